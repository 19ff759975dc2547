// Generated interchange files: both layouts read back alike, the content matches the
// options, and the same seed gives the same bytes. The two samples are checked the same way.
#include <tarvex/interchange/TXMXMLGenerator.h>
#include "interchange/XmlTestSupport.h"
#include "support/TXMXMLModelDescription.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace Tarvex;
using InterchangeTest::readBytes;

namespace {

QByteArray generate(TXMXMLGeneratorOptions options, bool legacy)
{
    options.legacy = legacy;
    return TXMXMLGenerator::toXml(TXMXMLGenerator(options).generate());
}

// The description without its first line, the version, one element a line.
std::string content(const TarvexTXMXMLDocument& document)
{
    return describeTXMXMLModel(document.getModel()).mid(1).join('\n').toStdString();
}

} // namespace

TEST(TXMXMLGenerator, BothLayoutsReadBackAlikeAndFollowTheOptions)
{
    for (const int components : {0, 60}) {
        SCOPED_TRACE(testing::Message() << components << " components");
        TXMXMLGeneratorOptions options;
        options.layers = components ? 5 : 1;
        options.components = components;
        options.balls = components ? 37 : 0;
        options.seed = 9;
        const QByteArray current = generate(options, false);
        const QByteArray legacy = generate(options, true);
        // The same seed gives the same bytes, another seed others.
        EXPECT_EQ(generate(options, true), legacy);
        options.seed = 10;
        EXPECT_NE(generate(options, true), legacy);
        options.seed = 9;
        // The older layout really is the older one.
        EXPECT_TRUE(legacy.contains("<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>"));
        EXPECT_TRUE(legacy.contains("<SimplifictionOptions>") && legacy.contains("DieletricMat=\""));
        EXPECT_FALSE(legacy.contains("SchemaVersion") || legacy.contains("<LayoutSet"));
        EXPECT_FALSE(current.contains("GeomName") || current.contains("Nx=") || current.contains("DieletricMat"));
        const auto fromCurrent = readBytes(current);
        const auto fromLegacy = readBytes(legacy);
        ASSERT_TRUE(fromCurrent.document && fromLegacy.document);
        EXPECT_EQ(fromCurrent.messages + fromLegacy.messages, "");
        EXPECT_EQ(fromCurrent.lastLoaded, TXMFileVersion::current());
        EXPECT_TRUE(fromLegacy.lastLoaded.isEmpty());
        EXPECT_EQ(content(fromLegacy.document), content(fromCurrent.document));
        // The current layout is already current: reading it changes nothing.
        EXPECT_EQ(content(fromCurrent.document), content(TXMXMLGenerator(options).generate()));

        const TXMXMLModel model = fromLegacy.document.getModel();
        QSet<QString> materials, objectNames, types;
        QSet<double> boardLayers;
        for (const TXMXMLMaterial& material : model.getMaterialSet().getMaterials())
            materials.insert(material.getName());
        for (const TXMXMLGeom& geom : model.getGeomSet().getGeoms()) {
            ASSERT_EQ(geom.getNodes().size(), 4);
            if (geom.getObjectName() == QLatin1String("PCB")) {
                boardLayers.insert(geom.getNodes()[0].getZ());
                continue;
            }
            objectNames.insert(geom.getObjectName());
            types.insert(geom.getType());
            // Every component footprint names a material of the file.
            EXPECT_TRUE(materials.contains(geom.getMatName().value_or("(none)"))) << geom.getName().toStdString();
        }
        EXPECT_EQ(boardLayers.size(), options.layers);
        EXPECT_EQ(objectNames.size(), options.components);
        EXPECT_EQ(model.getSolderBallSet().getSolderBalls().size(), options.balls);
        EXPECT_EQ(model.getSolderBumpSet().getSolderBumps().size(), options.balls);
        if (components == 0)
            continue;
        EXPECT_EQ(types, (QSet<QString>{"Block", "TwoResistor", "Package", "HeatSink"}));
        EXPECT_FALSE(model.getPower2DSourceSet().getPower2DSources().isEmpty());
        EXPECT_FALSE(model.getLayoutSet().getIncludes().isEmpty());
    }
}

TEST(TXMXMLGenerator, TheLegacySampleReadsAsTheCurrentOne)
{
    const QString samples = QStringLiteral(TARVEX_SAMPLES "/");
    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    const TarvexTXMXMLDocument current = parser.readFile(samples + "board.xml");
    const TarvexTXMXMLDocument legacy = parser.readFile(samples + "legacy-board.xml");
    ASSERT_TRUE(current && legacy);
    EXPECT_TRUE(progress.entries().empty());

    // The older file adds only its simplification grid.
    QStringList legacyLines = describeTXMXMLModel(legacy.getModel()).mid(1);
    EXPECT_EQ(legacyLines.removeAll("SimplificationModel ObjectName=PCB NX=12 NY=8"), 1);
    EXPECT_EQ(legacyLines.join('\n').toStdString(), content(current));
}
