#include <tarvex/interchange/TXMJSONFile.h>

namespace Tarvex {

TXMJSONFile::TXMJSONFile(const QJsonObject& object) : InterProcess::Types::BasicJsonObject(object) {}

TXMJSONFile::~TXMJSONFile() = default;

TXMFileVersion TXMJSONFile::getVersion() const
{
    return TXMFileVersion::fromQString(getItemString(QStringLiteral("Version")), QLatin1Char('.'));
}

void TXMJSONFile::setVersion(const TXMFileVersion& version)
{
    setItem(QStringLiteral("Version"), version.toQString(QLatin1Char('.')));
}

QString TXMJSONFile::getMode() const { return getItemString(QStringLiteral("Mode")); }

void TXMJSONFile::setMode(const QString& mode) { setItem(QStringLiteral("Mode"), mode); }

TXMJSONUnit TXMJSONFile::getUnit() const { return TXMJSONUnit(getItemObject(QStringLiteral("UNIT"))); }

void TXMJSONFile::setUnit(const TXMJSONUnit& unit) { setItem(QStringLiteral("UNIT"), unit.object()); }

TXMJSONModel TXMJSONFile::getModel() const
{
    return TXMJSONModel(getItemObject(QStringLiteral("TARVEX_INTERCHANGE_MODEL")));
}

void TXMJSONFile::setModel(const TXMJSONModel& model)
{
    setItem(QStringLiteral("TARVEX_INTERCHANGE_MODEL"), model.object());
}

} // namespace Tarvex
