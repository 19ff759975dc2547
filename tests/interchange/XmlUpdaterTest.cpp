// The version updater of interchange XML files: old layouts in, the current layout out,
// compared element by element.
#include "interchange/TarvexTXMXMLParser.h"
#include "interchange/TarvexTXMXMLUpdater.h"

#include "support/RecordingProgress.h"

#include <QBuffer>
#include <QDomDocument>

#include <gtest/gtest.h>

using namespace Tarvex;

namespace {

QDomDocument parse(const QString& xml)
{
    QDomDocument document;
    QString message;
    EXPECT_TRUE(document.setContent(xml, &message)) << message.toStdString();
    return document;
}

// An element tree in a form that compares as the trees do: tags, attributes in name order,
// child elements in order, one per line, and the trimmed text of elements without children.
std::string tree(const QDomElement& element, const QString& indent = QString())
{
    if (element.isNull())
        return indent.toStdString() + "(no element)\n";
    QStringList attributes;
    const QDomNamedNodeMap map = element.attributes();
    for (int index = 0; index < map.count(); ++index)
        attributes << map.item(index).toAttr().name() + "=\"" + map.item(index).toAttr().value() + '"';
    attributes.sort();
    std::string text = (indent + element.tagName() + ' ' + attributes.join(' ')).toStdString();
    if (element.firstChildElement().isNull())
        return text + " " + element.text().trimmed().toStdString() + "\n";
    text += "\n";
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        text += tree(child, indent + "  ");
    return text;
}

TarvexTXMXMLDocument readThroughParser(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Tools::RecordingProgress progress;
    TarvexTXMXMLParser parser(&progress);
    const TarvexTXMXMLDocument document = parser.read(&buffer);
    EXPECT_TRUE(progress.entries().empty());
    return document;
}

} // namespace

TEST(TarvexTXMXMLUpdater, OldFileBecomesTheCurrentLayout)
{
    const QString old = R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2024.1.2">
      <SimplifictionOptions>
        <Model ObjectName="PCB" Nx="12" Ny="8"/>
        <Model ObjectName="U1" Nx="3"/>
        <Model ObjectName="U2" NX="4" NY="5"/>
      </SimplifictionOptions>
      <SimplifictionOptions><Model ObjectName="dropped"/></SimplifictionOptions>
      <MaterialSet>
        <Include File="lib.xml"/>
        <Material Name="FR4" k="0.3"/>
        <Note/>
        <Material Name="Copper" k="385"/>
      </MaterialSet>
      <GEOMSet>
        <Geom Name="Top" ObjectName="PCB" MetalMat="Copper" DieletricMat="FR4" MetalDensityFile="top.txt" dz="0.035"><node x="0"/></Geom>
        <Geom Name="Inner" ObjectName="PCB" MetalMat="Copper" DieletricMat="FR4"/>
        <Geom Name="Plane" ObjectName="PCB" MetalMat="Copper"/>
        <Geom Name="Core" ObjectName="PCB" DieletricMat="FR4"/>
        <Geom Name="Kept" ObjectName="PCB" MatName="FR4" MetalMat="Copper" DieletricMat="FR4" MetalDensityFile="k.txt"/>
        <Geom Name="Q1" ObjectName="Q1_JB_JC" Type="TwoResistor"/>
        <Geom Name="Q2" ObjectName="Q2_JC" Type="TwoResistor"/>
        <Geom Name="Mid" ObjectName="A_JB_B"/>
        <Geom Name="Lower" ObjectName="U3_jb"/>
      </GEOMSet>
      <Power2DSourceSet>
        <Power2DSource Name="h1" GeomName="U1"/>
        <Power2DSource Name="h2" ObjectName="U2" GeomName="other"/>
      </Power2DSourceSet>
      <TerminalSet>
        <TerminalGroup Name="g" TerminalType="Lump">
          <Terminal Name="t1" GeomName="Top"/>
          <Terminal Name="t2" ObjectName="Core"/>
        </TerminalGroup>
      </TerminalSet>
      <SolderBallSet><SolderBall Name="b" GeomName="untouched"/></SolderBallSet>
    </TARVEX_INTERCHANGE_MODEL>)";

    // The options keep their place under the right name; the collected layouts come last.
    const QString expected = R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2024.1.2">
      <SimplificationOptions>
        <Model ObjectName="PCB" NX="12" NY="8"/>
        <Model ObjectName="U1" NX="3"/>
        <Model ObjectName="U2" NX="4" NY="5"/>
      </SimplificationOptions>
      <MaterialSet>
        <Note/>
        <Material Name="FR4" k="0.3"/>
        <Material Name="Copper" k="385"/>
        <Include File="lib.xml"/>
      </MaterialSet>
      <GEOMSet>
        <Geom Name="Top" ObjectName="PCB" dz="0.035"><node x="0"/></Geom>
        <Geom Name="Inner" ObjectName="PCB"/>
        <Geom Name="Plane" ObjectName="PCB" MatName="Copper"/>
        <Geom Name="Core" ObjectName="PCB" MatName="FR4"/>
        <Geom Name="Kept" ObjectName="PCB" MatName="FR4" MetalMat="Copper" DieletricMat="FR4" MetalDensityFile="k.txt"/>
        <Geom Name="Q1" ObjectName="Q1" Type="TwoResistor"/>
        <Geom Name="Q2" ObjectName="Q2" Type="TwoResistor"/>
        <Geom Name="Mid" ObjectName="A_JB_B"/>
        <Geom Name="Lower" ObjectName="U3_jb"/>
      </GEOMSet>
      <Power2DSourceSet>
        <Power2DSource Name="h1" ObjectName="U1"/>
        <Power2DSource Name="h2" ObjectName="U2" GeomName="other"/>
      </Power2DSourceSet>
      <TerminalSet>
        <TerminalGroup Name="g" TerminalType="Lump">
          <Terminal Name="t1" ObjectName="Top"/>
          <Terminal Name="t2" ObjectName="Core"/>
        </TerminalGroup>
      </TerminalSet>
      <SolderBallSet><SolderBall Name="b" GeomName="untouched"/></SolderBallSet>
      <LayoutSet>
        <Include ObjectName="Top" MetalMat="Copper" DielectricMat="FR4" File="top.txt"/>
        <Include ObjectName="Inner" MetalMat="Copper" DielectricMat="FR4" File=""/>
      </LayoutSet>
    </TARVEX_INTERCHANGE_MODEL>)";

    QDomDocument dom = parse(old);
    TarvexTXMXMLUpdater updater;
    const TarvexTXMXMLDocument updated = updater.update(TarvexTXMXMLDocument(dom));
    ASSERT_TRUE(updated);
    EXPECT_EQ(tree(updated.document().documentElement()), tree(parse(expected).documentElement()));
    // In place: the caller's document is the updated one.
    EXPECT_EQ(dom.documentElement().lastChildElement().tagName(), QStringLiteral("LayoutSet"));
}

TEST(TarvexTXMXMLUpdater, LegacyRootAndUnknownRoots)
{
    const QByteArray legacy = R"(<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL SchemaVersion="2025.2">
      <GEOMSet><Geom Name="U1" ObjectName="U1_JC" MetalMat="Cu"/></GEOMSet>
    </NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>)";
    const TarvexTXMXMLDocument document = readThroughParser(legacy);
    ASSERT_TRUE(document);
    const TXMXMLModel model = document.getModel();
    ASSERT_FALSE(model.isNull());
    // Its own version is disregarded: the former root name means the oldest layout.
    EXPECT_EQ(model.getAttribute("SchemaVersion", "absent"), QString());
    const TXMXMLGeom geom = model.getGeomSet().getGeoms().value(0);
    EXPECT_EQ(geom.getObjectName(), QStringLiteral("U1"));
    EXPECT_EQ(geom.getMatName(), std::optional<QString>("Cu"));

    for (const char* xml : {"<Layout/>", "<tarvex_interchange_model/>", "<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL_2/>",
                            "<a><TARVEX_INTERCHANGE_MODEL/></a>", "<Layout SchemaVersion=\"2030\"/>"}) {
        SCOPED_TRACE(xml);
        EXPECT_FALSE(readThroughParser(xml));
        TarvexTXMXMLUpdater updater;
        EXPECT_FALSE(updater.update(TarvexTXMXMLDocument(parse(QString::fromLatin1(xml)))));
    }
    TarvexTXMXMLUpdater updater;
    EXPECT_FALSE(updater.update(TarvexTXMXMLDocument(QDomDocument())));
    EXPECT_FALSE(updater.update(TarvexTXMXMLDocument(parse("<!-- only a comment --><x/>"))));
}

TEST(TarvexTXMXMLUpdater, VersionThresholds)
{
    // One element for each rule, and which versions each rule applies to: old files (below
    // 2025.1.0) get every rule, 2025.1 and 2025.1.0 the rules of files not newer, newer
    // files none. The host orders 2025.1 equal to 2025.1.0.
    const QString file = R"(<TARVEX_INTERCHANGE_MODEL %1>
      <SimplifictionOptions><Model ObjectName="PCB" Nx="7"/></SimplifictionOptions>
      <MaterialSet><Include File="lib"/><Material Name="m"/></MaterialSet>
      <GEOMSet><Geom Name="L1" ObjectName="PCB_JB" MetalMat="Cu" DieletricMat="FR4"/></GEOMSet>
      <Power2DSourceSet><Power2DSource GeomName="PCB"/></Power2DSourceSet>
      <TerminalSet><TerminalGroup><Terminal GeomName="L1"/></TerminalGroup></TerminalSet>
    </TARVEX_INTERCHANGE_MODEL>)";
    struct Row
    {
        const char* version; // nullptr: no "SchemaVersion"
        bool old;
        bool notNewer;
    };
    const Row rows[] = {{nullptr, true, true},     {"", true, true},          {"2024.1", true, true},
                        {"2024.9.9", true, true},  {"2025", true, true},      {"2025.0.99", true, true},
                        {"2025.1", false, true},   {"2025.1.0", false, true}, {"2025.1.0.0", false, true},
                        {"2025.1.1", false, false}, {"2025.2", false, false}, {"2026", false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.version ? row.version : "(absent)");
        const QString attribute = row.version ? QStringLiteral("SchemaVersion=\"%1\"").arg(row.version) : QString();
        const QByteArray bytes = file.arg(attribute).toUtf8();
        const TarvexTXMXMLDocument document = readThroughParser(bytes);
        ASSERT_TRUE(document);
        const TXMXMLModel model = document.getModel();
        const TXMXMLGeom geom = model.getGeomSet().getGeoms().value(0);

        // Old only: the compact-model suffix, the misspelled options and their "Nx", the
        // order of the material set.
        EXPECT_EQ(geom.getObjectName(), row.old ? QStringLiteral("PCB") : QStringLiteral("PCB_JB"));
        EXPECT_EQ(model.getSimplificationOptions().isNull(), !row.old);
        EXPECT_EQ(model.getSimplificationOptions().getModels().value(0).getNX(), row.old ? 7 : 1);
        EXPECT_EQ(model.getMaterialSet().element().firstChildElement().tagName(),
                  row.old ? QStringLiteral("Material") : QStringLiteral("Include"));
        // Old only, too: the footprint layout move. The rules' own edge list says a 2025.1.0
        // file still gets it; the model update runs the footprint update for old files only,
        // and that order of steps is the one followed here.
        EXPECT_EQ(geom.hasAttribute("MetalMat"), !row.old);
        EXPECT_EQ(model.getLayoutSet().getIncludes().size(), row.old ? 1 : 0);
        EXPECT_EQ(model.getLayoutSet().getIncludes().value(0).getObjectName(), row.old ? QStringLiteral("L1") : QString());
        // Not newer: the "GeomName" renames.
        EXPECT_EQ(model.getPower2DSourceSet().getPower2DSources().value(0).getObjectName(),
                  row.notNewer ? QStringLiteral("PCB") : QString());
        EXPECT_EQ(model.getTerminalSet().getTerminalGroups().value(0).getTerminals().value(0).getObjectName(),
                  row.notNewer ? QStringLiteral("L1") : QString());
        // The version itself is never rewritten.
        EXPECT_EQ(model.getAttribute("SchemaVersion", "absent"),
                  row.version ? QString::fromLatin1(row.version) : QStringLiteral("absent"));
        // Newer files come back exactly as written.
        if (!row.notNewer) {
            EXPECT_EQ(tree(model.element()), tree(parse(QString::fromUtf8(bytes)).documentElement()));
        }
    }

    // The model's own "SchemaVersion" decides.
    const TarvexTXMXMLUpdater updater;
    EXPECT_TRUE(updater.needsUpdate(TXMXMLModel(parse("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1\"/>").documentElement())));
    EXPECT_FALSE(updater.needsUpdate(TXMXMLModel(parse("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.2\"/>").documentElement())));
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
        {"layout", R"(<Geom Name="L1" MetalMat="Cu" DieletricMat="FR4" MetalDensityFile="a.txt" dz="1"/>)", "2024",
         R"(<Geom Name="L1" dz="1"/>)",
         R"(<LayoutSet><Include ObjectName="L1" MetalMat="Cu" DielectricMat="FR4" File="a.txt"/></LayoutSet>)"},
        {"layout with empty names", R"(<Geom MetalMat="" DieletricMat=""/>)", "2025.1.0", R"(<Geom/>)",
         R"(<LayoutSet><Include ObjectName="" MetalMat="" DielectricMat="" File=""/></LayoutSet>)"},
        {"metal only", R"(<Geom MetalMat="Cu" MetalDensityFile="a.txt"/>)", "2024", R"(<Geom MatName="Cu" MetalDensityFile="a.txt"/>)", ""},
        {"dielectric only", R"(<Geom DieletricMat="FR4"/>)", "2025.1", R"(<Geom MatName="FR4"/>)", ""},
        {"right spelling is not the old one", R"(<Geom DielectricMat="FR4"/>)", "2024", R"(<Geom DielectricMat="FR4"/>)", ""},
        {"empty MatName wins", R"(<Geom MatName="" MetalMat="Cu"/>)", "2024", R"(<Geom MatName="" MetalMat="Cu"/>)", ""},
        {"newer file", R"(<Geom ObjectName="U_JB" MetalMat="Cu"/>)", "2025.1.1", R"(<Geom ObjectName="U_JB" MetalMat="Cu"/>)", ""},
        {"suffix removed everywhere", R"(<Geom ObjectName="_JCA_JB"/>)", "", R"(<Geom ObjectName="A"/>)", ""},
        {"suffix of another case", R"(<Geom ObjectName="U_jc"/>)", "2024", R"(<Geom ObjectName="U_jc"/>)", ""},
        {"suffix at 2025.1", R"(<Geom ObjectName="U_JC"/>)", "2025.1", R"(<Geom ObjectName="U_JC"/>)", ""},
        {"suffix at 2025.0.5", R"(<Geom ObjectName="U_JC"/>)", "2025.0.5", R"(<Geom ObjectName="U"/>)", ""},
        {"suffix only", R"(<Geom ObjectName="_JB"/>)", "2024", R"(<Geom ObjectName=""/>)", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDomDocument document = parse(QString::fromLatin1(row.geom));
        TarvexTXMXMLUpdater updater;
        const TXMXMLGeom updated =
            updater.update(TXMXMLGeom(document.documentElement()), TXMFileVersion::fromString(row.version));
        EXPECT_EQ(updated.element(), document.documentElement());
        EXPECT_EQ(tree(updated.element()), tree(parse(QString::fromLatin1(row.expected)).documentElement()));
        const TXMXMLLayoutSet collected = updater.getCollectedLayoutSet();
        if (*row.collected == 0) {
            EXPECT_TRUE(collected.isNull());
        } else {
            EXPECT_EQ(tree(collected.element()), tree(parse(QString::fromLatin1(row.collected)).documentElement()));
        }
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
        for (const TXMXMLGeom& geom : model.getGeomSet().getGeoms()) {
            EXPECT_FALSE(geom.hasAttribute("MetalMat"));
            EXPECT_FALSE(geom.hasAttribute("DieletricMat"));
        }
    }

    // Nothing to collect: no empty "LayoutSet" appears.
    QDomDocument plain = parse(R"(<TARVEX_INTERCHANGE_MODEL><GEOMSet><Geom MatName="x"/></GEOMSet></TARVEX_INTERCHANGE_MODEL>)");
    TarvexTXMXMLUpdater updater;
    updater.update(TXMXMLModel(plain.documentElement()));
    EXPECT_TRUE(plain.documentElement().firstChildElement("LayoutSet").isNull());

    // An updater used again starts afresh: includes of the first model stay there.
    QDomDocument first = parse(base.arg(QString()));
    updater.update(TXMXMLModel(first.documentElement()));
    QDomDocument second = parse(R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="2025.1.0"/>)");
    updater.update(TXMXMLModel(second.documentElement()));
    EXPECT_TRUE(second.documentElement().firstChildElement().isNull());
    EXPECT_EQ(TXMXMLModel(first.documentElement()).getLayoutSet().getIncludes().size(), 2);
}

TEST(TarvexTXMXMLUpdater, SimplificationOptionsAndGridNames)
{
    // Both spellings: the misspelled element takes the place of the right one, and every
    // other misspelled one goes.
    QDomDocument both = parse(R"(<TARVEX_INTERCHANGE_MODEL>
      <SimplificationOptions><Model ObjectName="right"/></SimplificationOptions>
      <SimplifictionOptions><Model ObjectName="first" Nx="2" NX="9" Ny=""/></SimplifictionOptions>
      <SimplifictionOptions><Model ObjectName="second"/></SimplifictionOptions>
    </TARVEX_INTERCHANGE_MODEL>)");
    const TXMXMLModel model = TarvexTXMXMLUpdater().update(TXMXMLModel(both.documentElement()));
    EXPECT_EQ(model.getChildElements("SimplifictionOptions").size(), 0);
    ASSERT_EQ(model.getChildElements("SimplificationOptions").size(), 1);
    const QList<LegacyXMLSimplificationModel> grids = model.getSimplificationOptions().getModels();
    ASSERT_EQ(grids.size(), 1);
    EXPECT_EQ(grids[0].getObjectName(), QStringLiteral("first"));
    // The older spelling's value replaces one already there; an empty value moves as it is.
    EXPECT_EQ(grids[0].getNX(), 2);
    EXPECT_FALSE(grids[0].hasAttribute("Nx"));
    EXPECT_EQ(grids[0].getAttribute("NY", "absent"), QString());
    EXPECT_EQ(grids[0].getNY(), 1);

    // The grid names move for every old model element, not for files of 2025.1.0.
    struct Row
    {
        const char* version;
        bool moved;
    };
    for (const Row& row : {Row{"", true}, Row{"2024.12", true}, Row{"2025.1.0", false}}) {
        SCOPED_TRACE(row.version);
        QDomDocument document = parse(R"(<Model Nx="4" Ny="6"/>)");
        const LegacyXMLSimplificationModel grid = TarvexTXMXMLUpdater().update(
            LegacyXMLSimplificationModel(document.documentElement()), TXMFileVersion::fromString(row.version));
        EXPECT_EQ(grid.getNX(), row.moved ? 4 : 1);
        EXPECT_EQ(grid.getNY(), row.moved ? 6 : 1);
        EXPECT_EQ(grid.hasAttribute("Nx"), !row.moved);
    }
}

TEST(TarvexTXMXMLUpdater, MisplacedAndMalformedContentIsLeftAlone)
{
    // Elements in the wrong place, duplicated sets, text and comments: only the first set
    // of each name is updated and nothing is lost or invented.
    const QString xml = R"(<TARVEX_INTERCHANGE_MODEL SchemaVersion="abc">
      text<!-- comment -->
      <Geom Name="loose" MetalMat="Cu"/>
      <GEOMSet>
        <Geom Name="a" MetalMat="Cu"><Geom Name="nested" MetalMat="Cu"/><GEOMSet/></Geom>
        some text
      </GEOMSet>
      <GEOMSet><Geom Name="second set" MetalMat="Cu"/></GEOMSet>
      <TerminalSet><Terminal GeomName="not in a group"/><TerminalGroup/></TerminalSet>
      <MaterialSet/>
      <Power2DSourceSet><Power2DSource GeomName=""/></Power2DSourceSet>
    </TARVEX_INTERCHANGE_MODEL>)";
    QDomDocument document = parse(xml);
    const TarvexTXMXMLDocument updated = TarvexTXMXMLUpdater().update(TarvexTXMXMLDocument(document));
    ASSERT_TRUE(updated);
    const QDomElement root = document.documentElement();
    // "abc" is no version: the file is treated as the oldest.
    EXPECT_EQ(root.firstChildElement("Geom").attribute("MetalMat"), QStringLiteral("Cu"));
    const QDomElement first = root.firstChildElement("GEOMSet");
    EXPECT_EQ(first.firstChildElement("Geom").attribute("MatName"), QStringLiteral("Cu"));
    EXPECT_EQ(first.firstChildElement("Geom").firstChildElement("Geom").attribute("MetalMat"), QStringLiteral("Cu"));
    EXPECT_EQ(first.nextSiblingElement("GEOMSet").firstChildElement("Geom").attribute("MetalMat"), QStringLiteral("Cu"));
    EXPECT_TRUE(first.text().contains(QStringLiteral("some text")));
    EXPECT_EQ(root.firstChildElement("TerminalSet").firstChildElement("Terminal").attribute("GeomName"),
              QStringLiteral("not in a group"));
    // An empty "GeomName" still names the footprint (as empty).
    const QDomElement source = root.firstChildElement("Power2DSourceSet").firstChildElement();
    EXPECT_TRUE(source.hasAttribute("ObjectName"));
    EXPECT_FALSE(source.hasAttribute("GeomName"));
    EXPECT_EQ(root.elementsByTagName("LayoutSet").size(), 0);
}
