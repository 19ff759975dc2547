#include "EntityFields.h"
#include "ImportSession.h"

#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/TerminalAttributes.h>

#include <gtest/gtest.h>

// Terminals from our files to host terminals, end to end. Host axes are y up: a file's
// (x, y, z) is the host's (x, z, -y). A face's width and depth, its offsets (the low corner of
// the part from the corner of the entity the terminal stands on) and the nodes (the face's corners in the file's
// axes from the part's low corner, at their middle height) are worked out by hand per row.

using namespace EntityModel;
using Kind = Tools::ToolProgress::Kind;
using Session = ImportTest::ImportSession;

namespace {

std::vector<Entity*> terminalsOf(const Entity* owner)
{
    const auto* list = dynamic_cast<const EntityListAttribute*>(owner->findAttribute(Terminals_t));
    std::vector<Entity*> result;
    for (int i = 0; list && i < list->count(); ++i)
        result.push_back(list->at(i));
    return result;
}

// A terminal or group in one line: name, hidden and conduction flags ("-" when unset), then
// a group's export type, or a terminal's side, width x depth, offsets and pins ("no face").
std::string line(const Entity* e)
{
    const auto label = [e](const AttributePath& path) { return getTypeValue(e, path, TypeRef("-")).getLabel(); };
    const auto number = [e](const TypeRef& name) { return QString::number(getStandardDoubleValue(e, name, -1), 'g', 12); };
    QStringList parts{e->getName(), label(Hidden_t), label(Include_Conduction_t)};
    if (e->getType() == Terminal_Group_t)
        parts << label(TerminalAttributes::exportType());
    else if (!e->findAttribute(Side_t))
        parts << "no face";
    else
        parts << label(Side_t) << number(Width_t) + 'x' + number(Depth_t) << number(Offset_1_t) + ',' + number(Offset_2_t)
              << QStringLiteral("%1x%2").arg(getIntValue(e, TerminalAttributes::pinsAlongFirst(), -1))
                     .arg(getIntValue(e, TerminalAttributes::pinsAlongSecond(), -1));
    return parts.join(' ').toStdString();
}

// `owner`'s terminal list in lines, each group's terminals indented after it.
std::vector<std::string> lines(const Entity* owner)
{
    std::vector<std::string> result;
    for (const Entity* e : terminalsOf(owner)) {
        result.push_back(line(e));
        for (const Entity* inGroup : terminalsOf(e))
            result.push_back("  " + line(inGroup));
    }
    return result;
}

std::string nodes(const Entity* terminal)
{
    return ImportTest::fields(terminal, "Tarvex_Interchange_Model/Terminal Nodes/", {"Nodes"});
}

} // namespace

// L-shaped board 40 x 30 x 1.6 mm at the file's origin: host bound 0.04 x 0.0016 x 0.03 at
// (0, 0, -0.03); its terminals cover whole faces of the board, so their offsets from the
// board's corner are 0 wherever it stands; top and bottom faces take the board's outline, in
// host x and z.
// A name facing one way is one hidden terminal (file grid for one element, at least 1; 1 x 1
// for two; "z-" no face); names facing several ways go into their group's entity, the (1, 1, 0)
// element left out; all in name order, a name's elements in file order across layers.
TEST(TerminalImport, BoardTerminalsTakeTheirFacesSizesOffsetsPinGridsAndGroups)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("terminals.xml"), false);
    const std::vector<Entity*> boards = ImportTest::findAll(s.model->getRoot(), PCB_t);
    ASSERT_EQ(boards.size(), 1u);
    EXPECT_EQ(lines(boards.front()), (std::vector<std::string>{
                                         "T_FLAT Yes Yes no face",
                                         "Pads Yes Yes Lump",
                                         "  T_LUMP - Yes Top 0.04x0.03 0,0 1x1",
                                         "  T_LUMP - Yes Front 0.04x0.0016 0,0 1x1",
                                         "Edge Yes No Separate",
                                         "  T_MIX - No Top 0.04x0.03 0,0 2x2",
                                         "  T_MIX - No Right 0.03x0.0016 0,0 1x1",
                                         "  T_SKEW - No Bottom 0.04x0.03 0,0 1x1",
                                         "Odd Yes Yes Separate",
                                         "  T_ODD - Yes Top 0.04x0.03 0,0 1x1",
                                         "  T_ODD - Yes Left 0.03x0.0016 0,0 1x1",
                                         "T_PAIR Yes Yes Bottom 0.04x0.03 0,0 1x1",
                                         "T_REAR Yes Yes Rear 0.04x0.0016 0,0 1x1",
                                         "T_TOP Yes Yes Top 0.04x0.03 0,0 4x3",
                                     }));
    // Nodes in file axes from the board's low corner: the top face's corners; a side face's
    // middle line (the rear one at y = 30 mm, the -x one at x = 0).
    const std::vector<Entity*> listed = terminalsOf(boards.front());
    ASSERT_EQ(listed.size(), 7u);
    EXPECT_EQ(nodes(listed[6]), "Nodes=[0 0 0.0016 0 0.03 0.0016 0.04 0 0.0016 0.04 0.03 0.0016]");
    EXPECT_EQ(nodes(listed[5]), "Nodes=[0 0.03 0.0008 0.04 0.03 0.0008]");
    EXPECT_EQ(nodes(terminalsOf(listed[2])[1]), "Nodes=[0 0 0.0008 0 0.03 0.0008]");
    EXPECT_EQ(nodes(listed[0]), "Nodes=none");
    const std::string outline = "Shape=Polygon; Outline=[0 0.03 0 0 0.01 0 0.01 0.02 0.04 0.02 0.04 0.03]";
    EXPECT_EQ(ImportTest::fields(listed[6], "", {"Shape", "Outline"}), outline);
    EXPECT_EQ(ImportTest::fields(listed[4], "", {"Shape", "Outline"}), outline) << "the bottom too";
    EXPECT_EQ(ImportTest::fields(listed[5], "", {"Shape", "Outline"}), "Shape=none; Outline=none");
    EXPECT_EQ(getTypeValue(listed[6], TerminalAttributes::constructionType()), Tarvex_Interchange_Model_t);
    // The unknown export type of "Odd" is told once, for its one group entity.
    EXPECT_EQ(s.progress.texts(Kind::Warning).filter("Unsupported terminal Export Typ"),
              QStringList{"terminals.xml : Unsupported terminal Export Typ"});
}

// The heat sink's fin (1 x 10 x 4 mm) is its first block: it carries the terminal its blocks
// share by name, on its +x face (Left on no board), 10 mm wide and 4 mm deep, nodes along its
// middle; the base carries none. The fin stands at the group's origin, so its offsets are 0.
TEST(TerminalImport, AHeatSinkCarriesItsTerminalOnItsFirstBlockOnly)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("terminals.xml"), false);
    const std::vector<Entity*> blocks = ImportTest::findAll(s.model->getRoot(), Solid_Obstruction_t);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(ImportTest::fields(blocks[0], "", {"Width"}), "Width=0.001") << "the fin first";
    EXPECT_TRUE(terminalsOf(blocks[1]).empty());
    EXPECT_EQ(lines(blocks[0]), std::vector<std::string>{"HS_EDGE Yes Yes Left 0.01x0.004 0,0 3x2"});
    EXPECT_EQ(nodes(terminalsOf(blocks[0]).front()), "Nodes=[0.001 0 0.002 0.001 0.01 0.002]");
}

// An update from the file just imported reuses every terminal and group where it was: the
// saved model stays byte for byte, with as many terminals as before (12) and groups (3).
TEST(TerminalImport, AnUpdateFromTheSameFileChangesNothingAndDuplicatesNoTerminal)
{
    Session s;
    const std::vector<Entity*> built = s.importer.importModel(ImportTest::builderData("terminals.xml"), false);
    ASSERT_FALSE(built.empty());
    const QByteArray before = s.json();
    s.importer.updateModel(ImportTest::builderData("terminals.xml"), built);
    EXPECT_EQ(ImportTest::findAll(s.model->getRoot(), Terminal_t).size(), 12u);
    EXPECT_EQ(ImportTest::findAll(s.model->getRoot(), Terminal_Group_t).size(), 3u);
    EXPECT_TRUE(s.model->getDetachedEntities().empty());
    EXPECT_EQ(s.json(), before);
}
