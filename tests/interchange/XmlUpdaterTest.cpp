// The version updater of interchange XML files: old layouts in, the current layout out,
// compared element by element.
#include <tarvex/interchange/TarvexTXMXMLUpdater.h>
#include "interchange/XmlTestSupport.h"

using namespace Tarvex;
using InterchangeTest::parse;
using InterchangeTest::readBytes;
using InterchangeTest::tree;

TEST(TarvexTXMXMLUpdater, OldFileBecomesTheCurrentLayout)
{
    // One of each kind of change; the footprint rules one by one are in the table below.
    // Elements in the wrong place, a second set, text and comments: only the first set of
    // each name is updated and nothing is lost or invented.
    const QString old = R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2024.1.2">
      text<!-- comment -->
      <SimplificationOptions><Model ObjectName="replaced"/></SimplificationOptions>
      <MaterialSet><Include File="lib.xml"/><Material Name="FR4" k="0.3"/><Note/><Material Name="Cu"/></MaterialSet>
      <SimplifictionOptions><Model ObjectName="PCB" Nx="12" NX="9" Ny=""/></SimplifictionOptions>
      <SimplifictionOptions><Model ObjectName="second"/></SimplifictionOptions>
      <Geom Name="loose" MetalMat="Cu"/>
      <GEOMSet>
        <Geom Name="Top" ObjectName="PCB" MetalMat="Cu" DieletricMat="FR4" MetalDensityFile="top.txt"><node/></Geom>
        <Geom Name="Core" ObjectName="PCB" DieletricMat="FR4"><Geom Name="nested" MetalMat="Cu"/><GEOMSet/></Geom>
        <Geom Name="Q1" ObjectName="Q1_JB_JC" Type="TwoResistor"/>
        some text
      </GEOMSet>
      <GEOMSet><Geom Name="second set" MetalMat="Cu"/></GEOMSet>
      <Power2DSourceSet><Power2DSource GeomName="U1"/><Power2DSource ObjectName="U2" GeomName="x"/>
        <Power2DSource GeomName=""/></Power2DSourceSet>
      <TerminalSet><Terminal GeomName="not in a group"/><TerminalGroup><Terminal Name="t1" GeomName="Top"/></TerminalGroup>
        </TerminalSet>
      <SolderBallSet><SolderBall Name="b" GeomName="untouched"/></SolderBallSet>
    </TARVEX_INTERCHANGE_MODEL>)";

    // The first misspelled options take the place of the right ones, their values replacing
    // any already there (an empty one moves as it is); later misspelled ones go. An empty
    // "GeomName" still names the footprint. The collected layouts come last.
    const QString expected = R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2024.1.2">
      <SimplificationOptions><Model ObjectName="PCB" NX="12" NY=""/></SimplificationOptions>
      <MaterialSet><Note/><Material Name="FR4" k="0.3"/><Material Name="Cu"/><Include File="lib.xml"/></MaterialSet>
      <Geom Name="loose" MetalMat="Cu"/>
      <GEOMSet>
        <Geom Name="Top" ObjectName="PCB"><node/></Geom>
        <Geom Name="Core" ObjectName="PCB" MatName="FR4"><Geom Name="nested" MetalMat="Cu"/><GEOMSet/></Geom>
        <Geom Name="Q1" ObjectName="Q1" Type="TwoResistor"/>
      </GEOMSet>
      <GEOMSet><Geom Name="second set" MetalMat="Cu"/></GEOMSet>
      <Power2DSourceSet><Power2DSource ObjectName="U1"/><Power2DSource ObjectName="U2" GeomName="x"/>
        <Power2DSource ObjectName=""/></Power2DSourceSet>
      <TerminalSet><Terminal GeomName="not in a group"/><TerminalGroup><Terminal Name="t1" ObjectName="Top"/></TerminalGroup>
        </TerminalSet>
      <SolderBallSet><SolderBall Name="b" GeomName="untouched"/></SolderBallSet>
      <LayoutSet><Include ObjectName="Top" MetalMat="Cu" DielectricMat="FR4" File="top.txt"/></LayoutSet>
    </TARVEX_INTERCHANGE_MODEL>)";

    QDomDocument dom = parse(old);
    const TarvexTXMXMLDocument updated = TarvexTXMXMLUpdater().update(TarvexTXMXMLDocument(dom));
    ASSERT_TRUE(updated);
    EXPECT_EQ(tree(updated.document().documentElement()), tree(parse(expected).documentElement()));
    // In place: the caller's document is the updated one.
    EXPECT_EQ(dom.documentElement().lastChildElement().tagName(), QStringLiteral("LayoutSet"));
    EXPECT_TRUE(dom.documentElement().firstChildElement("GEOMSet").text().contains(QStringLiteral("some text")));
}

TEST(TarvexTXMXMLUpdater, UnknownRootsAreRefused)
{
    for (const char* xml : {"<Layout/>", "<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL_2/>", "<tarvex_interchange_model/>",
                            "<a><TARVEX_INTERCHANGE_MODEL/></a>"}) {
        SCOPED_TRACE(xml);
        EXPECT_FALSE(readBytes(xml).document);
        EXPECT_FALSE(TarvexTXMXMLUpdater().update(TarvexTXMXMLDocument(parse(QString::fromLatin1(xml)))));
    }
    EXPECT_FALSE(TarvexTXMXMLUpdater().update(TarvexTXMXMLDocument(QDomDocument())));
    EXPECT_TRUE(TarvexTXMXMLUpdater().needsUpdate(TarvexTXMXMLDocument()));
}

TEST(TarvexTXMXMLUpdater, VersionThresholds)
{
    // One element for each rule, and which versions each rule applies to: old files (below
    // 2025.1.0) get every rule, 2025.1 and 2025.1.0 only the "GeomName" renames, newer files
    // none. The host orders 2025.1 equal to 2025.1.0. The rules' own edge list says a
    // 2025.1.0 file still gets the footprint layout move; the model update runs the
    // footprint update for old files only, and that order of steps is the one followed here.
    // The version itself is never rewritten.
    const QString file = R"(<TARVEX_INTERCHANGE_MODEL %1>
      <SimplifictionOptions><Model ObjectName="PCB" Nx="7"/></SimplifictionOptions>
      <MaterialSet><Include File="lib"/><Material Name="m"/></MaterialSet>
      <GEOMSet><Geom Name="L1" ObjectName="PCB_JB" MetalMat="Cu" DieletricMat="FR4"/></GEOMSet>
      <Power2DSourceSet><Power2DSource GeomName="PCB"/></Power2DSourceSet>
    </TARVEX_INTERCHANGE_MODEL>)";
    const QString old = R"(<TARVEX_INTERCHANGE_MODEL %1>
      <SimplificationOptions><Model ObjectName="PCB" NX="7"/></SimplificationOptions>
      <MaterialSet><Material Name="m"/><Include File="lib"/></MaterialSet>
      <GEOMSet><Geom Name="L1" ObjectName="PCB"/></GEOMSet>
      <Power2DSourceSet><Power2DSource ObjectName="PCB"/></Power2DSourceSet>
      <LayoutSet><Include ObjectName="L1" MetalMat="Cu" DielectricMat="FR4" File=""/></LayoutSet>
    </TARVEX_INTERCHANGE_MODEL>)";
    QString notNewer = file;
    notNewer.replace(R"(GeomName="PCB")", R"(ObjectName="PCB")");
    struct Row
    {
        const char* version; // nullptr: no "SchemaVersion"
        const QString& expected;
    };
    for (const Row& row : {Row{nullptr, old}, Row{"2025.0.99", old}, Row{"2025.1", notNewer}, Row{"2025.1.0", notNewer},
                           Row{"2025.1.1", file}}) {
        SCOPED_TRACE(row.version ? row.version : "(absent)");
        const QString attribute = row.version ? QStringLiteral("SchemaVersion=\"%1\"").arg(row.version) : QString();
        const InterchangeTest::XmlOutcome read = readBytes(file.arg(attribute).toUtf8());
        EXPECT_EQ(read.messages, "");
        EXPECT_EQ(tree(read.document.getModel()), tree(parse(row.expected.arg(attribute)).documentElement()));
    }
}

// Footprints one by one, at the versions that decide; the whole-file test above has more.
TEST(TarvexTXMXMLUpdater, FootprintMaterialsAndSuffixes)
{
    struct Row
    {
        const char* name;
        const char* geom;
        const char* version;
        const char* expected;
        const char* collected; // the collected layout set, or "" when none was made
    };
    const Row rows[] = {
        {"layout with empty names", R"(<Geom MetalMat="" DieletricMat=""/>)", "2025.1.0", R"(<Geom/>)",
         R"(<LayoutSet><Include ObjectName="" MetalMat="" DielectricMat="" File=""/></LayoutSet>)"},
        {"metal only", R"(<Geom MetalMat="Cu" MetalDensityFile="a.txt"/>)", "2024", R"(<Geom MatName="Cu" MetalDensityFile="a.txt"/>)", ""},
        {"right spelling is not the old one", R"(<Geom DielectricMat="FR4"/>)", "2024", R"(<Geom DielectricMat="FR4"/>)", ""},
        {"empty MatName wins", R"(<Geom MatName="" MetalMat="Cu"/>)", "2024", R"(<Geom MatName="" MetalMat="Cu"/>)", ""},
        {"suffix removed everywhere", R"(<Geom ObjectName="_JCA_JB"/>)", "", R"(<Geom ObjectName="A"/>)", ""},
        {"suffix of another case", R"(<Geom ObjectName="U_jc"/>)", "2024", R"(<Geom ObjectName="U_jc"/>)", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDomDocument document = parse(QString::fromLatin1(row.geom));
        TarvexTXMXMLUpdater updater;
        const TXMXMLGeom updated =
            updater.update(TXMXMLGeom(document.documentElement()), TXMFileVersion::fromString(row.version));
        EXPECT_EQ(updated.element(), document.documentElement());
        EXPECT_EQ(tree(updated.element()), tree(parse(QString::fromLatin1(row.expected)).documentElement()));
        const QDomElement collected = *row.collected ? parse(row.collected).documentElement() : QDomElement();
        EXPECT_EQ(tree(updater.getCollectedLayoutSet().element()), tree(collected));
    }
}

TEST(TarvexTXMXMLUpdater, CollectedLayoutsAndAFileThatHasItsOwn)
{
    const QString base = R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2024">%1
      <GEOMSet><Geom Name="A" MetalMat="Cu" DieletricMat="FR4"/><Geom Name="B" MetalMat="Cu" DieletricMat="FR4"/></GEOMSet>
    </TARVEX_INTERCHANGE_MODEL>)";
    struct Row
    {
        const char* name;
        const char* layoutSet;
        QStringList includes; // ObjectName of each include of the resulting layout set
    };
    const Row rows[] = {
        {"none", "", {"A", "B"}},
        // The file's own list wins; the footprints still lose their layout attributes.
        {"own includes", R"(<LayoutSet><Include GeomName="Z"/></LayoutSet>)", {"Z"}},
        // A layout set without includes is replaced by the collected one.
        {"empty own set", R"(<LayoutSet><Note/></LayoutSet>)", {"A", "B"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDomDocument document = parse(base.arg(QString::fromLatin1(row.layoutSet)));
        const TXMXMLModel model = TarvexTXMXMLUpdater().update(TXMXMLModel(document.documentElement()));
        QStringList names;
        for (const TXMXMLLayoutInclude& include : model.getLayoutSet().getIncludes())
            names << include.getObjectName();
        EXPECT_EQ(names, row.includes);
        EXPECT_EQ(model.getChildElements("LayoutSet").size(), 1);
        EXPECT_FALSE(model.getGeomSet().getGeoms().value(1).hasAttribute("MetalMat"));
    }
}
