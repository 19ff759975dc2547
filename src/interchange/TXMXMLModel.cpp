#include <tarvex/interchange/TXMXMLModel.h>

namespace Tarvex {

namespace {
const QString schemaVersionAttribute = QStringLiteral("SchemaVersion");
}

TXMXMLModel::TXMXMLModel(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

TXMFileVersion TXMXMLModel::getSchemaVersion() const
{
    return TXMFileVersion::fromQString(getAttribute(schemaVersionAttribute), QLatin1Char('.'));
}

void TXMXMLModel::setSchemaVersion(const TXMFileVersion& version)
{
    setAttribute(schemaVersionAttribute, version.toQString(QLatin1Char('.')));
}

TXMXMLUnitSet TXMXMLModel::getUnitSet() const { return TXMXMLUnitSet(getFirstChildElement(QStringLiteral("UNITSet"))); }

void TXMXMLModel::setUnitSet(const TXMXMLUnitSet& unitSet) { setChildElement(QStringLiteral("UNITSet"), unitSet); }

TXMXMLMaterialSet TXMXMLModel::getMaterialSet() const { return TXMXMLMaterialSet(getFirstChildElement(QStringLiteral("MaterialSet"))); }

void TXMXMLModel::setMaterialSet(const TXMXMLMaterialSet& materialSet) { setChildElement(QStringLiteral("MaterialSet"), materialSet); }

LegacyXMLSimplificationOptions TXMXMLModel::getSimplificationOptions() const { return LegacyXMLSimplificationOptions(getFirstChildElement(QStringLiteral("SimplificationOptions"))); }

void TXMXMLModel::setSimplificationOptions(const LegacyXMLSimplificationOptions& options) { setChildElement(QStringLiteral("SimplificationOptions"), options); }

TXMXMLGeomSet TXMXMLModel::getGeomSet() const { return TXMXMLGeomSet(getFirstChildElement(QStringLiteral("GEOMSet"))); }

void TXMXMLModel::setGeomSet(const TXMXMLGeomSet& geomSet) { setChildElement(QStringLiteral("GEOMSet"), geomSet); }

TXMXMLLayoutSet TXMXMLModel::getLayoutSet() const { return TXMXMLLayoutSet(getFirstChildElement(QStringLiteral("LayoutSet"))); }

void TXMXMLModel::setLayoutSet(const TXMXMLLayoutSet& layoutSet) { setChildElement(QStringLiteral("LayoutSet"), layoutSet); }

TXMXMLPower2DSourceSet TXMXMLModel::getPower2DSourceSet() const { return TXMXMLPower2DSourceSet(getFirstChildElement(QStringLiteral("Power2DSourceSet"))); }

void TXMXMLModel::setPower2DSourceSet(const TXMXMLPower2DSourceSet& sourceSet) { setChildElement(QStringLiteral("Power2DSourceSet"), sourceSet); }

TXMXMLTerminalSet TXMXMLModel::getTerminalSet() const { return TXMXMLTerminalSet(getFirstChildElement(QStringLiteral("TerminalSet"))); }

void TXMXMLModel::setTerminalSet(const TXMXMLTerminalSet& terminalSet) { setChildElement(QStringLiteral("TerminalSet"), terminalSet); }

TXMXMLSolderBallSet TXMXMLModel::getSolderBallSet() const { return TXMXMLSolderBallSet(getFirstChildElement(QStringLiteral("SolderBallSet"))); }

void TXMXMLModel::setSolderBallSet(const TXMXMLSolderBallSet& ballSet) { setChildElement(QStringLiteral("SolderBallSet"), ballSet); }

TXMXMLSolderBumpSet TXMXMLModel::getSolderBumpSet() const { return TXMXMLSolderBumpSet(getFirstChildElement(QStringLiteral("SolderBumpSet"))); }

void TXMXMLModel::setSolderBumpSet(const TXMXMLSolderBumpSet& bumpSet) { setChildElement(QStringLiteral("SolderBumpSet"), bumpSet); }

} // namespace Tarvex
