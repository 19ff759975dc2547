// The element wrappers of the interchange XML file: every attribute read under its own name,
// the defaults, and the children each set lists. Reading numbers is the DOM node's own test.
#include "interchange/TXMXMLModel.h"
#include "interchange/TerminalGroupTerminalType.h"

#include <QDomDocument>

#include <gtest/gtest.h>

#include <functional>

using namespace Tarvex;

namespace {

// Parses test documents and keeps them alive as long as the test: elements of a document
// that is gone cannot be written to.
class Documents
{
public:
    /// The root of `xml`, which the test expects to be well formed.
    QDomElement root(const QString& xml)
    {
        QDomDocument document;
        QString message;
        EXPECT_TRUE(document.setContent(xml, &message)) << message.toStdString() << "\n" << xml.toStdString();
        m_kept.append(document);
        return document.documentElement();
    }
    /// The first child element of the root of `xml`.
    QDomElement first(const QString& xml) { return root(xml).firstChildElement(); }

private:
    QList<QDomDocument> m_kept;
};

struct DoubleRow
{
    const char* attribute;
    double fallback;
    std::function<double(const QDomElement&)> read;
};

struct StringRow
{
    const char* attribute;
    std::function<QString(const QDomElement&)> read;
};

// Each number attribute of an element is read under its own name; a missing one gives
// the element's own default.
void checkDoubles(Documents& xml, const char* tag, const std::vector<DoubleRow>& rows)
{
    for (const DoubleRow& row : rows) {
        SCOPED_TRACE(std::string(tag) + " " + row.attribute);
        EXPECT_EQ(row.read(xml.first(QStringLiteral("<r><%1/></r>").arg(tag))), row.fallback);
        const QString text = QStringLiteral("<r><%1 %2=\"-2.5e-3\"/></r>").arg(tag, row.attribute);
        EXPECT_EQ(row.read(xml.first(text)), -2.5e-3);
    }
}

// Each text attribute is read under its own name, as written, blanks and markup included.
void checkStrings(Documents& xml, const char* tag, const std::vector<StringRow>& rows)
{
    for (const StringRow& row : rows) {
        SCOPED_TRACE(std::string(tag) + " " + row.attribute);
        const QString text = QStringLiteral("<r><%1 %2=\" A &amp; b&lt;1 \"/></r>").arg(tag, row.attribute);
        EXPECT_EQ(row.read(xml.first(text)), QStringLiteral(" A & b<1 "));
    }
}

} // namespace

TEST(TXMXMLElements, UnitsReadTheirUnitOrTheDefault)
{
    Documents xml;
    struct Row
    {
        const char* tag;
        const char* fallback;
        std::function<QString(const TXMXMLUnitSet&)> read;
    };
    const Row rows[] = {
        {"Length", "m", [](const TXMXMLUnitSet& set) { return set.getLength().getUnit(); }},
        {"Power", "W", [](const TXMXMLUnitSet& set) { return set.getPower().getUnit(); }},
        {"Conductivity", "W/(m-K)", [](const TXMXMLUnitSet& set) { return set.getConductivity().getUnit(); }},
        {"Density", "kg/(m^3)", [](const TXMXMLUnitSet& set) { return set.getDensity().getUnit(); }},
        {"SpecificHeat", "J/(kg-K)", [](const TXMXMLUnitSet& set) { return set.getSpecificHeat().getUnit(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        const QString fallback = QString::fromLatin1(row.fallback);
        // No "UNITSet" at all, and a unit element without "Unit".
        EXPECT_EQ(row.read(TXMXMLModel(xml.root("<TARVEX_INTERCHANGE_MODEL/>")).getUnitSet()), fallback);
        EXPECT_EQ(row.read(TXMXMLUnitSet(xml.root(QStringLiteral("<UNITSet><%1/></UNITSet>").arg(row.tag)))), fallback);
        // Read as written, the first of duplicates counting.
        const QString text = QStringLiteral("<M><UNITSet><%1 Unit=\"u-1\"/><%1 Unit=\"u-2\"/></UNITSet><UNITSet>"
                                           "<%1 Unit=\"later set\"/></UNITSet></M>")
                                .arg(row.tag);
        EXPECT_EQ(row.read(TXMXMLModel(xml.root(text)).getUnitSet()), QStringLiteral("u-1"));
    }
    EXPECT_EQ(TXMXMLModel(xml.root("<M><UnitSet><Length Unit=\"mm\"/></UnitSet></M>")).getUnitSet().getLength().getUnit(),
              QStringLiteral("m"));
}

TEST(TXMXMLElements, MaterialsAndIncludes)
{
    Documents xml;
    checkDoubles(xml, "Material", {{"k", 0.0, [](const QDomElement& e) { return TXMXMLMaterial(e).getK(); }},
                              {"kx", 0.0, [](const QDomElement& e) { return TXMXMLMaterial(e).getKx(); }},
                              {"ky", 0.0, [](const QDomElement& e) { return TXMXMLMaterial(e).getKy(); }},
                              {"kz", 0.0, [](const QDomElement& e) { return TXMXMLMaterial(e).getKz(); }},
                              {"density", 0.0, [](const QDomElement& e) { return TXMXMLMaterial(e).getDensity(); }},
                              {"specificheat", 0.0, [](const QDomElement& e) { return TXMXMLMaterial(e).getSpecificHeat(); }},
                              {"emissivity", 0.0, [](const QDomElement& e) { return TXMXMLMaterial(e).getEmissivity(); }}});
    checkStrings(xml, "Material", {{"Name", [](const QDomElement& e) { return TXMXMLMaterial(e).getName(); }}});
    checkStrings(xml, "Include", {{"File", [](const QDomElement& e) { return TXMXMLMaterialInclude(e).getFile(); }}});

    // Isotropic or orthotropic: presence decides, even of an unreadable value.
    struct Row
    {
        const char* attributes;
        bool hasK;
        bool hasKxyz;
    };
    const Row rows[] = {{"", false, false},           {"k=\"1\"", true, false},        {"kx=\"1\"", false, true},
                        {"ky=\"1\"", false, true},    {"kz=\"\"", false, true},        {"k=\"abc\"", true, false},
                        {"K=\"1\" KX=\"1\"", false, false}, {"k=\"1\" kz=\"2\"", true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.attributes);
        const TXMXMLMaterial material(xml.first(QStringLiteral("<r><Material %1/></r>").arg(row.attributes)));
        EXPECT_EQ(material.hasK(), row.hasK);
        EXPECT_EQ(material.hasKxyz(), row.hasKxyz);
    }

    // Lists: every child of the exact name, in document order, other children ignored.
    const TXMXMLMaterialSet set(xml.root("<MaterialSet><Material Name=\"a\"/><Include File=\"x.lib\"/><material Name=\"no\"/>"
                                       "<Other><Material Name=\"nested\"/></Other><Material Name=\"b\"/>"
                                       "<Include File=\"y.lib\"/><Material Name=\"a\"/></MaterialSet>"));
    QStringList names;
    for (const TXMXMLMaterial& material : set.getMaterials())
        names << material.getName();
    EXPECT_EQ(names, (QStringList{"a", "b", "a"}));
    ASSERT_EQ(set.getIncludes().size(), 2);
    EXPECT_EQ(set.getIncludes()[1].getFile(), QStringLiteral("y.lib"));
    EXPECT_TRUE(TXMXMLModel(xml.root("<M><Material Name=\"misplaced\"/></M>")).getMaterialSet().getMaterials().isEmpty());
}

TEST(TXMXMLElements, SimplificationModels)
{
    Documents xml;
    const auto nx = [&xml](const QString& attributes) {
        return LegacyXMLSimplificationModel(xml.first(QStringLiteral("<r><Model %1/></r>").arg(attributes))).getNX();
    };
    struct Row
    {
        const char* attributes;
        qint32 nx;
    };
    // A grid of one cell unless an integer says otherwise; the older "Nx" is not read here.
    const Row rows[] = {{"", 1}, {"NX=\"12\"", 12}, {"NX=\"x\"", 1}, {"Nx=\"5\"", 1}};
    for (const Row& row : rows)
        EXPECT_EQ(nx(QString::fromLatin1(row.attributes)), row.nx) << row.attributes;
    const LegacyXMLSimplificationModel model(xml.first("<r><Model ObjectName=\"PCB\" NY=\"9\"/></r>"));
    EXPECT_EQ(model.getObjectName(), QStringLiteral("PCB"));
    EXPECT_EQ(model.getNY(), 9);
    EXPECT_EQ(LegacyXMLSimplificationModel(xml.first("<r><Model/></r>")).getNY(), 1);

    const TXMXMLModel file(xml.root("<M><SimplifictionOptions><Model ObjectName=\"a\"/></SimplifictionOptions>"
                                  "<SimplificationOptions><Model ObjectName=\"b\"/><Model ObjectName=\"c\"/>"
                                  "</SimplificationOptions></M>"));
    const QList<LegacyXMLSimplificationModel> models = file.getSimplificationOptions().getModels();
    ASSERT_EQ(models.size(), 2);
    EXPECT_EQ(models[0].getObjectName(), QStringLiteral("b"));
    EXPECT_EQ(models[1].getObjectName(), QStringLiteral("c"));
}

TEST(TXMXMLElements, GeometryElementsAndNodes)
{
    Documents xml;
    checkStrings(xml, "Geom", {{"ObjectName", [](const QDomElement& e) { return TXMXMLGeom(e).getObjectName(); }},
                          {"Name", [](const QDomElement& e) { return TXMXMLGeom(e).getName(); }},
                          {"Type", [](const QDomElement& e) { return TXMXMLGeom(e).getType(); }}});
    checkDoubles(xml, "Geom", {{"dz", 0.0, [](const QDomElement& e) { return TXMXMLGeom(e).getDz(); }},
                          {"Power", 0.0, [](const QDomElement& e) { return TXMXMLGeom(e).getPower(); }},
                          {"ThetaJB", 0.0, [](const QDomElement& e) { return TXMXMLGeom(e).getThetaJB(); }},
                          {"ThetaJC", 0.0, [](const QDomElement& e) { return TXMXMLGeom(e).getThetaJC(); }}});
    checkDoubles(xml, "node", {{"x", 0.0, [](const QDomElement& e) { return TXMXMLGeomNode(e).getX(); }},
                          {"y", 0.0, [](const QDomElement& e) { return TXMXMLGeomNode(e).getY(); }},
                          {"z", 0.0, [](const QDomElement& e) { return TXMXMLGeomNode(e).getZ(); }}});

    // "MatName": absent, present but empty, and present.
    EXPECT_FALSE(TXMXMLGeom(xml.first("<r><Geom/></r>")).getMatName().has_value());
    EXPECT_FALSE(TXMXMLGeom(xml.first("<r><Geom matname=\"Cu\" MetalMat=\"Cu\"/></r>")).getMatName().has_value());
    const std::optional<QString> empty = TXMXMLGeom(xml.first("<r><Geom MatName=\"\"/></r>")).getMatName();
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(TXMXMLGeom(xml.first("<r><Geom MatName=\"FR4\"/></r>")).getMatName(), std::optional<QString>("FR4"));

    // Nodes are the "node" children in order: not "Node", not nested deeper.
    const TXMXMLGeom geom(xml.first("<r><Geom><node x=\"1\"/><Node x=\"9\"/><node x=\"2\" y=\"abc\"/>"
                                       "<holes><node x=\"8\"/></holes><node x=\"3\" z=\"-0.5\"/></Geom></r>"));
    const QList<TXMXMLGeomNode> nodes = geom.getNodes();
    ASSERT_EQ(nodes.size(), 3);
    EXPECT_EQ(nodes[0].getX(), 1.0);
    EXPECT_EQ(nodes[1].getX(), 2.0);
    EXPECT_EQ(nodes[1].getY(), 0.0);
    EXPECT_EQ(nodes[2].getZ(), -0.5);

    // Geoms are found only inside "GEOMSet", spelled exactly.
    const TXMXMLModel model(xml.root("<M><Geom Name=\"outside\"/><GeomSet><Geom Name=\"wrong set\"/></GeomSet>"
                                   "<GEOMSet><Geom Name=\"a\"/><Geom Name=\"b\"/></GEOMSet><GEOMSet><Geom Name=\"c\"/>"
                                   "</GEOMSet></M>"));
    const QList<TXMXMLGeom> geoms = model.getGeomSet().getGeoms();
    ASSERT_EQ(geoms.size(), 2);
    EXPECT_EQ(geoms[0].getName() + geoms[1].getName(), QStringLiteral("ab"));
}

TEST(TXMXMLElements, LayoutsAndPowerSources)
{
    Documents xml;
    checkStrings(xml, "Include", {{"File", [](const QDomElement& e) { return TXMXMLLayoutInclude(e).getFile(); }},
                             {"MetalMat", [](const QDomElement& e) { return TXMXMLLayoutInclude(e).getMetalMat(); }},
                             {"DielectricMat", [](const QDomElement& e) { return TXMXMLLayoutInclude(e).getDielectricMat(); }},
                             {"ObjectName", [](const QDomElement& e) { return TXMXMLLayoutInclude(e).getObjectName(); }}});
    // The layout include spells "Dielectric" right; the older footprint spelling is not it.
    EXPECT_EQ(TXMXMLLayoutInclude(xml.first("<r><Include DieletricMat=\"FR4\"/></r>")).getDielectricMat(), QString());

    const auto source = [](const QDomElement& e) { return TXMXMLPower2DSource(e); };
    checkDoubles(xml, "Power2DSource", {{"xll", 0.0, [&](const QDomElement& e) { return source(e).getXll(); }},
                                   {"yll", 0.0, [&](const QDomElement& e) { return source(e).getYll(); }},
                                   {"dx", 0.0, [&](const QDomElement& e) { return source(e).getDx(); }},
                                   {"dy", 0.0, [&](const QDomElement& e) { return source(e).getDy(); }},
                                   {"Rotation", 0.0, [&](const QDomElement& e) { return source(e).getRotation(); }},
                                   {"PowerScale", 1.0, [&](const QDomElement& e) { return source(e).getPowerScale(); }},
                                   {"GeomScale", 1.0, [&](const QDomElement& e) { return source(e).getGeomScale(); }},
                                   {"Power", 0.0, [&](const QDomElement& e) { return source(e).getPower(); }}});
    checkStrings(xml, "Power2DSource", {{"PowerMapFile", [&](const QDomElement& e) { return source(e).getPowerMapFile(); }},
                                   {"Flip", [&](const QDomElement& e) { return source(e).getFlip(); }},
                                   {"Normal", [&](const QDomElement& e) { return source(e).getNormal(); }},
                                   {"Name", [&](const QDomElement& e) { return source(e).getName(); }},
                                   {"ObjectName", [&](const QDomElement& e) { return source(e).getObjectName(); }}});

    const TXMXMLModel model(xml.root("<M><LayoutSet><Include ObjectName=\"L1\"/><Include ObjectName=\"L2\"/></LayoutSet>"
                                   "<Power2DSourceSet><Power2DSource Name=\"s\"/><Power2DSource Name=\"t\"/>"
                                   "<Power2DSources/></Power2DSourceSet></M>"));
    ASSERT_EQ(model.getLayoutSet().getIncludes().size(), 2);
    EXPECT_EQ(model.getLayoutSet().getIncludes()[1].getObjectName(), QStringLiteral("L2"));
    ASSERT_EQ(model.getPower2DSourceSet().getPower2DSources().size(), 2);
    EXPECT_EQ(model.getPower2DSourceSet().getPower2DSources()[1].getName(), QStringLiteral("t"));
    // A material include is not a layout include: each set reads its own children.
    EXPECT_TRUE(TXMXMLModel(xml.root("<M><MaterialSet><Include File=\"a\"/></MaterialSet></M>"))
                    .getLayoutSet()
                    .getIncludes()
                    .isEmpty());
}

TEST(TXMXMLElements, TerminalsAndTheirType)
{
    Documents xml;
    struct TypeRow
    {
        const char* text;
        TerminalGroupTerminalType type;
    };
    const TypeRow types[] = {{"Lump", TerminalGroupTerminalType::Lump},   {"Separate", TerminalGroupTerminalType::Separate},
                             {"lump", TerminalGroupTerminalType::None},   {"SEPARATE", TerminalGroupTerminalType::None},
                             {" Lump", TerminalGroupTerminalType::None},  {"", TerminalGroupTerminalType::None},
                             {"2", TerminalGroupTerminalType::None}};
    for (const TypeRow& row : types) {
        SCOPED_TRACE(row.text);
        const QString text = QString::fromLatin1(row.text);
        EXPECT_EQ(terminalGroupTerminalTypeFromString(text, TerminalGroupTerminalType::None), row.type);
        const TXMXMLTerminalGroup group(xml.first(QStringLiteral("<r><TerminalGroup TerminalType=\"%1\"/></r>").arg(text)));
        EXPECT_EQ(group.getTerminalType(), row.type);
        if (row.type != TerminalGroupTerminalType::None) {
            EXPECT_EQ(terminalGroupTerminalTypeToString(row.type), text);
        }
    }
    EXPECT_EQ(terminalGroupTerminalTypeFromString("lump", TerminalGroupTerminalType::Separate),
              TerminalGroupTerminalType::Separate);
    EXPECT_EQ(TXMXMLTerminalGroup(xml.first("<r><TerminalGroup/></r>")).getTerminalType(), TerminalGroupTerminalType::None);
    EXPECT_EQ(terminalGroupTerminalTypeToString(TerminalGroupTerminalType::None), QString());
    EXPECT_EQ(terminalGroupTerminalTypeToString(TerminalGroupTerminalType(7)), QString());

    checkStrings(xml, "TerminalGroup", {{"ConnectionType", [](const QDomElement& e) { return TXMXMLTerminalGroup(e).getConnectionType(); }},
                                   {"Name", [](const QDomElement& e) { return TXMXMLTerminalGroup(e).getName(); }}});
    checkStrings(xml, "Terminal", {{"Normal", [](const QDomElement& e) { return TXMXMLTerminal(e).getNormal(); }},
                              {"Name", [](const QDomElement& e) { return TXMXMLTerminal(e).getName(); }},
                              {"ObjectName", [](const QDomElement& e) { return TXMXMLTerminal(e).getObjectName(); }}});
    // Terminal divisions default to 0, unlike the grids of simplification models.
    EXPECT_EQ(TXMXMLTerminal(xml.first("<r><Terminal/></r>")).getNX(), 0);
    EXPECT_EQ(TXMXMLTerminal(xml.first("<r><Terminal/></r>")).getNY(), 0);
    EXPECT_EQ(TXMXMLTerminal(xml.first("<r><Terminal NX=\"4\" NY=\"5\"/></r>")).getNX(), 4);
    EXPECT_EQ(TXMXMLTerminal(xml.first("<r><Terminal NX=\"4\" NY=\"5\"/></r>")).getNY(), 5);

    const TXMXMLTerminalSet set(xml.root("<TerminalSet><TerminalGroup Name=\"g1\"><Terminal Name=\"a\"/><Terminal Name=\"b\"/>"
                                       "</TerminalGroup><Terminal Name=\"loose\"/><TerminalGroup Name=\"g2\"/></TerminalSet>"));
    const QList<TXMXMLTerminalGroup> groups = set.getTerminalGroups();
    ASSERT_EQ(groups.size(), 2);
    ASSERT_EQ(groups[0].getTerminals().size(), 2);
    EXPECT_EQ(groups[0].getTerminals()[1].getName(), QStringLiteral("b"));
    EXPECT_TRUE(groups[1].getTerminals().isEmpty());
}

TEST(TXMXMLElements, SolderBallsAndBumps)
{
    Documents xml;
    // Balls and bumps share their attributes; each set lists only its own kind.
    checkStrings(xml, "SolderBall", {{"Name", [](const QDomElement& e) { return TXMXMLSolderBall(e).getName(); }},
                                {"MatName", [](const QDomElement& e) { return TXMXMLSolderBall(e).getMatName(); }},
                                {"position", [](const QDomElement& e) { return TXMXMLSolderBall(e).getPosition(); }}});
    checkDoubles(xml, "SolderBall", {{"d1", 0.0, [](const QDomElement& e) { return TXMXMLSolderBall(e).getD1(); }},
                                {"d2", 0.0, [](const QDomElement& e) { return TXMXMLSolderBall(e).getD2(); }},
                                {"dmax", 0.0, [](const QDomElement& e) { return TXMXMLSolderBall(e).getDMax(); }},
                                {"ht", 0.0, [](const QDomElement& e) { return TXMXMLSolderBall(e).getHeight(); }}});

    const TXMXMLModel model(xml.root("<M><SolderBallSet><SolderBall Name=\"a\"/><SolderBump Name=\"wrong set\"/>"
                                   "<SolderBall Name=\"b\"/></SolderBallSet><SolderBumpSet><SolderBump Name=\"c\"/>"
                                   "</SolderBumpSet></M>"));
    ASSERT_EQ(model.getSolderBallSet().getSolderBalls().size(), 2);
    EXPECT_EQ(model.getSolderBallSet().getSolderBalls()[1].getName(), QStringLiteral("b"));
    ASSERT_EQ(model.getSolderBumpSet().getSolderBumps().size(), 1);
    EXPECT_EQ(model.getSolderBumpSet().getSolderBumps()[0].getName(), QStringLiteral("c"));
}

TEST(TXMXMLElements, ModelChildrenAreFoundAndReplacedByName)
{
    Documents xml;
    struct Row
    {
        const char* tag;
        std::function<QDomElement(const TXMXMLModel&)> get;
        std::function<void(TXMXMLModel&, const QDomElement&)> set;
    };
    const Row rows[] = {
        {"UNITSet", [](const TXMXMLModel& m) { return m.getUnitSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setUnitSet(TXMXMLUnitSet(e)); }},
        {"MaterialSet", [](const TXMXMLModel& m) { return m.getMaterialSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setMaterialSet(TXMXMLMaterialSet(e)); }},
        {"SimplificationOptions", [](const TXMXMLModel& m) { return m.getSimplificationOptions().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setSimplificationOptions(LegacyXMLSimplificationOptions(e)); }},
        {"GEOMSet", [](const TXMXMLModel& m) { return m.getGeomSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setGeomSet(TXMXMLGeomSet(e)); }},
        {"LayoutSet", [](const TXMXMLModel& m) { return m.getLayoutSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setLayoutSet(TXMXMLLayoutSet(e)); }},
        {"Power2DSourceSet", [](const TXMXMLModel& m) { return m.getPower2DSourceSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setPower2DSourceSet(TXMXMLPower2DSourceSet(e)); }},
        {"TerminalSet", [](const TXMXMLModel& m) { return m.getTerminalSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setTerminalSet(TXMXMLTerminalSet(e)); }},
        {"SolderBallSet", [](const TXMXMLModel& m) { return m.getSolderBallSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setSolderBallSet(TXMXMLSolderBallSet(e)); }},
        {"SolderBumpSet", [](const TXMXMLModel& m) { return m.getSolderBumpSet().element(); },
         [](TXMXMLModel& m, const QDomElement& e) { m.setSolderBumpSet(TXMXMLSolderBumpSet(e)); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        const QString tag = QString::fromLatin1(row.tag);
        TXMXMLModel model(xml.root(QStringLiteral("<M><%1 id=\"1\"/><x/><%1 id=\"2\"/><%2 id=\"3\"/></M>")
                                     .arg(tag, tag.toLower())));
        EXPECT_EQ(row.get(model).attribute("id"), QStringLiteral("1"));

        // The setter puts the new element, under the set's name, in place of the first one.
        QDomElement replacement = model.element().ownerDocument().createElement("anything");
        replacement.setAttribute("id", "new");
        row.set(model, replacement);
        EXPECT_EQ(row.get(model).attribute("id"), QStringLiteral("new"));
        EXPECT_EQ(model.element().firstChildElement().tagName(), tag);
        EXPECT_EQ(model.element().firstChildElement().attribute("id"), QStringLiteral("new"));
        EXPECT_EQ(model.getChildElements(tag).size(), 2);
        // A null element removes every child of that name.
        row.set(model, QDomElement());
        EXPECT_TRUE(model.getChildElements(tag).isEmpty());
        EXPECT_EQ(model.getChildElements(tag.toLower()).size(), 1);
    }
}

TEST(TXMXMLElements, ListSettersReplaceInOrderAndOptionalValuesAreWrittenOrRemoved)
{
    Documents xml;
    TXMXMLGeomSet set(xml.root("<GEOMSet><Geom Name=\"a\"/><note/><Geom Name=\"b\"/><Geom Name=\"c\"/></GEOMSet>"));
    QList<TXMXMLGeom> geoms = set.getGeoms();
    std::swap(geoms[0], geoms[2]);
    geoms.removeAt(1);
    set.setGeoms(geoms);
    // The listed elements, in list order, after the other children; "b" is gone.
    QStringList seen;
    for (QDomElement child = set.element().firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        seen << child.tagName() + QLatin1Char(':') + child.attribute("Name");
    EXPECT_EQ(seen, (QStringList{"note:", "Geom:c", "Geom:a"}));

    // Nodes made in another document are copied in; wrappers of other names are renamed.
    TXMXMLGeom geom = geoms[0];
    QDomDocument other;
    QDomElement foreign = other.createElement("point");
    TXMXMLGeomNode node(foreign);
    node.setX(1.5);
    node.setY(-2.25);
    node.setZ(1e-300);
    geom.setNodes({node, node});
    ASSERT_EQ(geom.getNodes().size(), 2);
    EXPECT_EQ(geom.element().firstChildElement().tagName(), QStringLiteral("node"));
    EXPECT_EQ(geom.getNodes()[1].getZ(), 1e-300);
    EXPECT_EQ(geom.getNodes()[0].getY(), -2.25);

    // An empty material name is written; no name removes the attribute.
    geom.setMatName(QString());
    ASSERT_TRUE(geom.getMatName().has_value());
    geom.setMatName(std::nullopt);
    EXPECT_FALSE(geom.hasAttribute("MatName"));
    TXMXMLTerminalGroup group(xml.root("<TerminalGroup/>"));
    group.setTerminalType(TerminalGroupTerminalType::Separate);
    EXPECT_EQ(group.getAttribute("TerminalType"), QStringLiteral("Separate"));
    group.setTerminalType(TerminalGroupTerminalType::None);
    EXPECT_TRUE(group.hasAttribute("TerminalType"));
    EXPECT_EQ(group.getTerminalType(), TerminalGroupTerminalType::None);
    // A set cannot take its own parent as a child: that would make a cycle.
    TXMXMLGeomSet parent(geom.element().parentNode().toElement());
    geom.setNodes({TXMXMLGeomNode(parent.element()), node});
    ASSERT_EQ(geom.getNodes().size(), 1);
    EXPECT_EQ(parent.getGeoms().size(), 2);
    // Setters on a null wrapper do nothing.
    TXMXMLGeom null;
    null.setNodes({node});
    EXPECT_TRUE(null.getNodes().isEmpty());
}
