// Interchange files read on pugixml's tree and on Qt's DOM: the same version, the same
// updated document byte for byte, the same messages for files that do not read.
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include "interchange/XmlTestSupport.h"

#include <QFile>

using namespace Tarvex;
using InterProcess::XMLDOMBacking;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QByteArray generated(bool legacy)
{
    TXMXMLGeneratorOptions options;
    options.layers = 4;
    options.components = 12;
    options.balls = 24;
    options.legacy = legacy;
    options.seed = 7;
    return TXMXMLGenerator::toXml(TXMXMLGenerator(options).generate());
}

struct Read
{
    InterchangeTest::XmlOutcome outcome;
    QByteArray written;
};

Read readOn(const QByteArray& bytes, XMLDOMBacking backing)
{
    const XMLDOMBacking before = InterProcess::XMLDOMReader::defaultBacking();
    InterProcess::XMLDOMReader::setDefaultBacking(backing);
    Read read{InterchangeTest::readBytes(bytes), QByteArray()};
    InterProcess::XMLDOMReader::setDefaultBacking(before);
    read.written = TXMXMLGenerator::toXml(read.outcome.document);
    return read;
}

} // namespace

TEST(XmlBacking, EveryFileReadsAndUpdatesAlikeOnBothTrees)
{
    const QByteArray board = fileBytes(QStringLiteral(TARVEX_SAMPLES "/board.xml"));
    // Each file with whether pugixml's tree takes it.
    const std::pair<QByteArray, bool> files[] = {
        {board, true},
        {fileBytes(QStringLiteral(TARVEX_SAMPLES "/legacy-board.xml")), true},
        {fileBytes(QStringLiteral(TARVEX_TEST_DATA "/interchange/model_current.xml")), true},
        {generated(false), true},
        {generated(true), true},
        // Footprints out of place, text and comments among them, layouts to collect, old names.
        {R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2024.1.2">
              text<!-- comment -->
              <MaterialSet><Include File="lib.xml"/><Material Name="FR4" k="0.3"/><Note/><Material Name="Cu"/></MaterialSet>
              <SimplifictionOptions><Model ObjectName="PCB" Nx="12" NX="9" Ny=""/></SimplifictionOptions>
              <SimplifictionOptions><Model ObjectName="second"/></SimplifictionOptions>
              <GEOMSet>
                <Geom Name="Top" ObjectName="PCB" MetalMat="Cu" DieletricMat="FR4" MetalDensityFile="top.txt"><node/></Geom>
                <Geom Name="Core" ObjectName="PCB" DieletricMat="FR4"/>some text<Geom Name="Q1" ObjectName="Q1_JB_JC"/>
              </GEOMSet>
              <Power2DSourceSet><Power2DSource GeomName="U1"/><Note/><Power2DSource ObjectName="U2" GeomName="x"/></Power2DSourceSet>
              <TerminalSet><TerminalGroup><Terminal Name="t2" GeomName="Top"/><!-- c --><Terminal Name="t1"/></TerminalGroup>
              </TerminalSet>
            </TARVEX_INTERCHANGE_MODEL>)",
         true},
        {R"(<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL><GEOMSet><Geom Name="a" MetalMat="Cu"/></GEOMSet>
            </NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>)",
         true},
        // Read with Qt's DOM whichever tree is asked for.
        {R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2024.1.2"><GEOMSet><Geom Name="&#65;" x="1" x="2"/></GEOMSet>
            </TARVEX_INTERCHANGE_MODEL>)",
         false},
        // Not read at all, with the same message.
        {board.left(board.size() / 2), false},
        {"<TARVEX_INTERCHANGE_MODEL></GEOMSet>", false},
        {"<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", false},
    };
    for (const auto& [bytes, plain] : files) {
        SCOPED_TRACE(bytes.left(200).toStdString());
        const Read qt = readOn(bytes, XMLDOMBacking::Qt);
        const Read pugixml = readOn(bytes, XMLDOMBacking::Pugixml);
        EXPECT_EQ(pugixml.outcome.messages, qt.outcome.messages);
        EXPECT_EQ(pugixml.outcome.lastLoaded.toQString(), qt.outcome.lastLoaded.toQString());
        EXPECT_EQ(pugixml.written, qt.written);
        EXPECT_EQ(pugixml.outcome.document.isNull(), qt.outcome.document.isNull());
        if (!qt.outcome.document.isNull()) {
            EXPECT_EQ(qt.outcome.document.backing(), XMLDOMBacking::Qt);
            EXPECT_EQ(pugixml.outcome.document.backing() == XMLDOMBacking::Pugixml, plain);
        } else {
            EXPECT_FALSE(qt.outcome.messages.empty());
        }
    }
}
