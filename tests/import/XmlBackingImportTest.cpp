// Whole imports and updates on pugixml's tree and on Qt's DOM build the same entities.
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include "import/ImportSession.h"

#include <gtest/gtest.h>

using InterProcess::XMLDOMBacking;

namespace {

// The saved model after importing `path` and then updating the import with it.
std::pair<QByteArray, QByteArray> importAndUpdate(const QString& path, XMLDOMBacking backing)
{
    InterProcess::XMLDOMReader::setDefaultBacking(backing);
    ImportTest::ImportSession session;
    const std::vector<EntityModel::Entity*> built = session.importer.importModel(path, false);
    EXPECT_FALSE(built.empty()) << path.toStdString();
    const QByteArray imported = session.json();
    session.importer.updateModel(path, built);
    InterProcess::XMLDOMReader::setDefaultBacking(XMLDOMBacking::Pugixml);
    return {imported, session.json()};
}

} // namespace

TEST(XmlBackingImport, BothTreesBuildAndUpdateTheSameEntities)
{
    TestSupport::TempDir dir;
    QStringList paths{QStringLiteral(TARVEX_SAMPLES "/board.xml"), QStringLiteral(TARVEX_SAMPLES "/legacy-board.xml")};
    for (const bool legacy : {false, true}) {
        Tarvex::TXMXMLGeneratorOptions options;
        options.layers = 4;
        options.components = 9;
        options.balls = 18;
        options.legacy = legacy;
        options.seed = 11;
        paths.append(dir.write(legacy ? QStringLiteral("legacy.xml") : QStringLiteral("current.xml"),
                               Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate())));
    }
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const auto qt = importAndUpdate(path, XMLDOMBacking::Qt);
        const auto pugixml = importAndUpdate(path, XMLDOMBacking::Pugixml);
        EXPECT_EQ(pugixml.first, qt.first);
        EXPECT_EQ(pugixml.second, qt.second);
    }
}
