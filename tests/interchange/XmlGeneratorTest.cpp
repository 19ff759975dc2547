// Generated interchange files: both layouts read back alike, the content matches the
// options, and the same seed gives the same bytes. The two samples are checked the same way.
#include "interchange/TXMXMLGenerator.h"
#include "support/TXMXMLModelDescription.h"
#include "interchange/TarvexTXMXMLParser.h"

#include "support/RecordingProgress.h"

#include <QBuffer>
#include <QSet>

#include <gtest/gtest.h>

using namespace Tarvex;

namespace {

struct Read
{
    TarvexTXMXMLDocument document;
    TXMFileVersion version;
    size_t messages = 0;
};

Read readBack(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    Read read;
    read.document = parser.read(&buffer);
    read.version = parser.getLastLoadedFileVersion();
    read.messages = progress.entries().size();
    return read;
}

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

TEST(TXMXMLGenerator, BothLayoutsReadBackAlike)
{
    struct Row
    {
        int layers, components, balls;
        quint64 seed;
    };
    const Row rows[] = {{1, 0, 0, 1}, {2, 1, 1, 2}, {4, 12, 8, 1}, {6, 40, 100, 77}, {7, 25, 3, 123456789}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.layers << " layers, " << row.components << " components, " << row.balls
                                        << " balls, seed " << row.seed);
        TXMXMLGeneratorOptions options;
        options.layers = row.layers;
        options.components = row.components;
        options.balls = row.balls;
        options.seed = row.seed;
        const QByteArray current = generate(options, false);
        const QByteArray legacy = generate(options, true);
        // The older layout really is the older one.
        EXPECT_TRUE(legacy.contains("<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>"));
        EXPECT_FALSE(legacy.contains("SchemaVersion"));
        EXPECT_TRUE(legacy.contains("<SimplifictionOptions>"));
        EXPECT_TRUE(legacy.contains("DieletricMat=\""));
        EXPECT_FALSE(legacy.contains("<LayoutSet"));
        EXPECT_FALSE(current.contains("GeomName") || current.contains("Nx=") || current.contains("DieletricMat"));

        const Read fromCurrent = readBack(current);
        const Read fromLegacy = readBack(legacy);
        ASSERT_TRUE(fromCurrent.document);
        ASSERT_TRUE(fromLegacy.document);
        EXPECT_EQ(fromCurrent.messages + fromLegacy.messages, 0u);
        EXPECT_EQ(fromCurrent.version, TXMFileVersion::current());
        EXPECT_TRUE(fromLegacy.version.isEmpty());
        EXPECT_EQ(content(fromLegacy.document), content(fromCurrent.document));
        // The current layout is already current: reading it changes nothing.
        EXPECT_EQ(content(fromCurrent.document), content(TXMXMLGenerator(options).generate()));
    }
}

TEST(TXMXMLGenerator, ContentFollowsTheOptions)
{
    TXMXMLGeneratorOptions options;
    options.layers = 5;
    options.components = 60;
    options.balls = 37;
    options.seed = 9;
    const TXMXMLModel model = readBack(generate(options, true)).document.getModel();

    QSet<QString> materials;
    for (const TXMXMLMaterial& material : model.getMaterialSet().getMaterials())
        materials.insert(material.getName());
    QSet<QString> geomNames;
    QSet<QString> objectNames;
    QSet<QString> types;
    QSet<double> boardLayers;
    QSet<QString> packages;
    for (const TXMXMLGeom& geom : model.getGeomSet().getGeoms()) {
        geomNames.insert(geom.getName());
        ASSERT_EQ(geom.getNodes().size(), 4);
        if (geom.getObjectName() == QLatin1String("PCB")) {
            boardLayers.insert(geom.getNodes()[0].getZ());
            continue;
        }
        objectNames.insert(geom.getObjectName());
        types.insert(geom.getType());
        // Every component footprint names a material of the file.
        ASSERT_TRUE(geom.getMatName().has_value()) << geom.getName().toStdString();
        EXPECT_TRUE(materials.contains(*geom.getMatName())) << geom.getName().toStdString();
        if (geom.getType() == QLatin1String("Package"))
            packages.insert(geom.getObjectName());
        if (geom.getType() == QLatin1String("TwoResistor")) {
            EXPECT_GT(geom.getThetaJB(), 0.0);
            EXPECT_GT(geom.getThetaJC(), 0.0);
        }
    }
    EXPECT_EQ(boardLayers.size(), options.layers);
    EXPECT_EQ(objectNames.size(), options.components);
    EXPECT_EQ(types, (QSet<QString>{"Block", "TwoResistor", "Package", "HeatSink"}));
    // Layouts, heat sources and terminals refer to what is there.
    for (const TXMXMLLayoutInclude& include : model.getLayoutSet().getIncludes()) {
        EXPECT_TRUE(geomNames.contains(include.getObjectName()));
        EXPECT_TRUE(materials.contains(include.getMetalMat()) && materials.contains(include.getDielectricMat()));
    }
    EXPECT_FALSE(model.getLayoutSet().getIncludes().isEmpty());
    EXPECT_EQ(model.getPower2DSourceSet().getPower2DSources().size(), packages.size());
    for (const TXMXMLPower2DSource& source : model.getPower2DSourceSet().getPower2DSources()) {
        EXPECT_TRUE(packages.contains(source.getObjectName()));
        EXPECT_GT(source.getPower(), 0.0);
    }
    EXPECT_EQ(model.getTerminalSet().getTerminalGroups().size(), packages.size());
    for (const TXMXMLTerminalGroup& group : model.getTerminalSet().getTerminalGroups()) {
        EXPECT_NE(group.getTerminalType(), TerminalGroupTerminalType::None);
        for (const TXMXMLTerminal& terminal : group.getTerminals())
            EXPECT_TRUE(geomNames.contains(terminal.getObjectName()));
    }
    EXPECT_EQ(model.getSimplificationOptions().getModels().size(), packages.size() + 1);
    ASSERT_EQ(model.getSolderBallSet().getSolderBalls().size(), options.balls);
    ASSERT_EQ(model.getSolderBumpSet().getSolderBumps().size(), options.balls);
    for (const TXMXMLSolderBall& ball : model.getSolderBallSet().getSolderBalls())
        EXPECT_EQ(ball.getPosition().split(QLatin1Char(',')).size(), 3);
}

TEST(TXMXMLGenerator, TheSameSeedGivesTheSameBytes)
{
    TXMXMLGeneratorOptions options;
    options.components = 30;
    options.balls = 20;
    for (const bool legacy : {false, true}) {
        options.seed = 5;
        const QByteArray first = generate(options, legacy);
        EXPECT_EQ(generate(options, legacy), first);
        options.seed = 6;
        EXPECT_NE(generate(options, legacy), first);
    }
    EXPECT_TRUE(TXMXMLGenerator::toXml(InterProcess::XMLDOMDocument()).isEmpty());
}

TEST(TXMXMLGenerator, TheLegacySampleReadsAsTheCurrentOne)
{
    const QString samples = QStringLiteral(TARVEX_SAMPLES "/");
    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    const TarvexTXMXMLDocument current = parser.readFile(samples + "board.xml");
    ASSERT_TRUE(current);
    EXPECT_EQ(parser.getLastLoadedFileVersion(), TXMFileVersion::current());
    const TarvexTXMXMLDocument legacy = parser.readFile(samples + "legacy-board.xml");
    ASSERT_TRUE(legacy);
    EXPECT_TRUE(parser.getLastLoadedFileVersion().isEmpty());
    EXPECT_TRUE(progress.entries().empty());

    // The older file adds only its simplification grid.
    QStringList legacyLines = describeTXMXMLModel(legacy.getModel()).mid(1);
    EXPECT_EQ(legacyLines.removeAll("SimplificationModel ObjectName=PCB NX=12 NY=8"), 1);
    EXPECT_EQ(legacyLines.join('\n').toStdString(), content(current));
    // Every kind of element is there.
    const TXMXMLModel model = current.getModel();
    EXPECT_EQ(model.getGeomSet().getGeoms().size(), 13);
    EXPECT_EQ(model.getPower2DSourceSet().getPower2DSources().size(), 1);
    EXPECT_EQ(model.getTerminalSet().getTerminalGroups().value(0).getTerminals().size(), 2);
    EXPECT_EQ(model.getSolderBallSet().getSolderBalls().size(), 4);
    EXPECT_EQ(model.getSolderBumpSet().getSolderBumps().size(), 2);
}
