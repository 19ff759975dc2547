#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexTerminalEntityBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/TerminalAttributes.h>

#include "builders/BuilderTestSupport.h"

#include <initializer_list>
#include <tuple>

// The terminal builder on entities and parts made here: which side a face gets on either
// side of a board, the pin grids of layers, and which group entity a terminal goes into.
// Parts are in the file's axes (z up, metres); the host's (x, y, z) is the file's (x, z, -y).

using namespace BuilderTest;
using namespace Tarvex;

namespace {

// One terminal as a file gives it: name, normal text and pin grid.
struct TerminalText
{
    const char* name;
    const char* normal;
    qint32 nx = 0;
    qint32 ny = 0;
};

// A model with the shared state of one import over it.
struct Fixture
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* root = model->getRoot();
    TarvexReuseMap reuse;
    TarvexEntityBuildState state{reuse};
    qint64 position = 0;

    // The terminals of a group named G connected to the board, further on in the file than
    // any made before.
    QList<TarvexTerminal> group(std::initializer_list<TerminalText> terminals)
    {
        const TarvexTerminalGroup group(QStringLiteral("G"), QStringLiteral("Board"), TerminalGroupTerminalType::None);
        QList<TarvexTerminal> made;
        for (const TerminalText& terminal : terminals)
            made << TarvexTerminal(terminal.name, QString(), terminal.normal, terminal.nx, terminal.ny, position++, group);
        return made;
    }
};

std::vector<Entity*> terminalsOf(const Entity* owner) { return listed(owner, Terminals_t); }

QString sideOf(const Entity* terminal) { return getTypeValue(terminal, Side_t).getLabel(); }

// Name, side, pins and second offset (host z on a top or bottom face, y on a side face).
QString summary(const Entity* terminal)
{
    return QStringLiteral("%1 %2 %3x%4 %5")
        .arg(terminal->getName(), sideOf(terminal))
        .arg(getIntValue(terminal, TerminalAttributes::pinsAlongFirst(), -1))
        .arg(getIntValue(terminal, TerminalAttributes::pinsAlongSecond(), -1))
        .arg(getStandardDoubleValue(terminal, Offset_2_t, -1), 0, 'g', 12);
}

// A layered part of two 1 mm layers over 4 x 4 mm from the origin, each cell with `terminals`.
std::unique_ptr<TarvexLayeredPart> twoLayers(const QList<TarvexTerminal>& bottom, const QList<TarvexTerminal>& top)
{
    auto layered = std::make_unique<TarvexLayeredPart>();
    for (const auto& [name, z, terminals] : {std::make_tuple("L_BOTTOM", 0.0, bottom), std::make_tuple("L_TOP", 0.001, top)}) {
        std::vector<Vec3> nodes{Vec3(0, 0, z), Vec3(0.004, 0, z), Vec3(0.004, 0.004, z), Vec3(0, 0.004, z)};
        TarvexBasicPart cell(name, "L", "Package", 0.0, std::move(nodes), 0.001, terminals);
        layered->addCell(std::make_unique<TarvexLayeredPartLayerCell>(std::move(cell)), false);
    }
    return layered;
}

} // namespace

// A block of a component facing up, along +x and towards the file's -y: on the bottom side
// of a board the board sees its top as Bottom and its +x as Right; on the top side, with no
// side written, or with no board below the component, Top and Left. Front stays Front.
TEST(TarvexTerminalEntityBuilder, ABottomSideComponentSwapsTopForBottomAndLeftForRight)
{
    // The component's side, whether a board holds it, the sides of FRONT, UP and X.
    const std::tuple<const char*, bool, QStringList> cases[] = {
        {"Top", true, {"Front", "Top", "Left"}},
        {"Bottom", true, {"Front", "Bottom", "Right"}},
        {"Bottom", false, {"Front", "Top", "Left"}},
        {"", true, {"Front", "Top", "Left"}},
    };
    for (const auto& [boardSide, onBoard, sides] : cases) {
        SCOPED_TRACE(std::string(boardSide) + (onBoard ? " on a board" : " on no board"));
        Fixture f;
        Entity* component = EntityEditor::createEntity(
            Component_t, onBoard ? EntityEditor::createEntity(PCB_t, f.root, Objects_t) : f.root, Components_t);
        if (*boardSide)
            EntityEditor::setValue(component, Board_Side_t, TypeRef(boardSide));
        Entity* group = EntityEditor::createEntity(Subcomponent_Group_t, component, SubcomponentGroups_t);
        Entity* entity = EntityEditor::createEntity(Solid_Obstruction_t, group, Obstructions_t);
        const auto part = block("B", "U1", "Block", Vec3(0.002, 0.003, 0.0016), Vec3(0.002, 0.003, 0.001));
        const QList<TarvexTerminal> terminals =
            f.group({{"UP", "(0, 0, 1)"}, {"X", "(1,0,0)"}, {"FRONT", "( 0 , -1 , 0 )"}});

        TarvexTerminalEntityBuilder::buildTerminals(&f.state, nullptr, terminals, *part, entity, Geometry::Transform());
        QStringList built;
        for (const Entity* terminal : terminalsOf(entity))
            built << sideOf(terminal);
        EXPECT_EQ(built, sides);
    }
}

// Inside a component each layer carries the terminals of its cells on its own faces: a
// vertical one takes the layered part's simplification grid (one pin without one), a
// sideways one keeps the file's grid (its face 1 mm up on the top layer), and the layers
// share the group entity of a name that faces several ways.
TEST(TarvexTerminalEntityBuilder, LayersTakeTheSimplificationGridAndShareGroups)
{
    for (const bool simplified : {true, false}) {
        SCOPED_TRACE(simplified ? "with a simplification grid" : "without one");
        Fixture f;
        Entity* entity = EntityEditor::createEntity(Substrate_t, f.root, Obstructions_t);
        const QList<TarvexTerminal> bottom = f.group({{"DOWN", "(0, 0, -1)", 2, 3}, {"M", "(0, 0, 1)"}, {"M", "(1, 0, 0)"}});
        const QList<TarvexTerminal> top = f.group({{"SIDE", "(0, 1, 0)", 2, 3}, {"M", "(0, 0, 1)"}, {"M", "(1, 0, 0)"}});
        auto part = twoLayers(bottom, top);
        if (simplified)
            part->setSimplificationGrid(TarvexLayeredPart::SimplificationGrid(6, 7));

        TarvexTerminalEntityBuilder::buildLayeredTerminals(&f.state, nullptr, *part, entity, Geometry::Transform());
        const std::vector<Entity*> built = terminalsOf(entity);
        ASSERT_EQ(built.size(), 3u);
        EXPECT_EQ(summary(built[0]), simplified ? "DOWN Bottom 6x7 -0.004" : "DOWN Bottom 1x1 -0.004");
        EXPECT_EQ(built[1]->getName(), "G");
        EXPECT_EQ(terminalsOf(built[1]).size(), 4u);
        EXPECT_EQ(summary(built[2]), "SIDE Rear 2x3 0.001");
    }
}
