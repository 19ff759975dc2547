#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/host/Model.h>

#include "builders/BuilderTestSupport.h"

#include <tuple>

using namespace BuilderTest;
using namespace Tarvex;

namespace {

// An owner P with components U1 and U2 detached as an update does, and the driver's reuse
// map over them.
struct Fixture
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* owner = EntityEditor::createEntity(PCB_t, model->getRoot(), Objects_t, nullptr, 0, "P");
    TarvexReuseMap reuse;
    TarvexEntityBuildState state{reuse};
    Entity* u1 = detached("U1");
    Entity* u2 = detached("U2");

    Entity* detached(const QString& key)
    {
        Entity* made = EntityEditor::createEntity(Component_t, owner, Components_t);
        EntityEditor::setValue(made, Reference_Designator_t, key);
        reuse.detach(made);
        return made;
    }
};

} // namespace

// Only an exact match of owner, type and key is attached again (and leaves the map);
// anything else is a new entity carrying the key.
TEST(TarvexEntityBuildState, OnlyAnExactMatchOfOwnerTypeAndKeyIsReused)
{
    // What differs, the key attribute and value asked for, the type, whether the parent is
    // another owner, whether U2 is reused.
    const std::tuple<const char*, AttributePath, QString, TypeRef, bool, bool> cases[] = {
        {"exact match", Reference_Designator_t, "U2", Component_t, false, true},
        {"other case", Reference_Designator_t, "u2", Component_t, false, false},
        {"trailing blank", Reference_Designator_t, "U2 ", Component_t, false, false},
        {"other type", Reference_Designator_t, "U2", Solid_Obstruction_t, false, false},
        {"key attribute it does not have", Name_t, "U2", Component_t, false, false},
        {"other owner", Reference_Designator_t, "U2", Component_t, true, false},
    };
    for (const auto& [what, key, value, type, otherOwner, reused] : cases) {
        SCOPED_TRACE(what);
        Fixture f;
        Entity* parent = otherOwner ? EntityEditor::createEntity(PCB_t, f.model->getRoot(), Objects_t) : f.owner;
        const TarvexObtainedEntity got = f.state.getOrCreate(key, value, type, parent, Components_t);
        ASSERT_TRUE(got.entity);
        EXPECT_EQ(got.existing, reused);
        EXPECT_EQ(got.entity == f.u2, reused);
        EXPECT_EQ(getStringValue(got.entity, key), value);
        EXPECT_EQ(f.u2->getOwnerEntity() == f.owner, reused);
        EXPECT_EQ(f.reuse.waitingFrom(f.owner), (reused ? std::vector<Entity*>{f.u1} : std::vector<Entity*>{f.u1, f.u2}));
        EXPECT_FALSE(f.u1->getOwnerEntity());
    }
    // Nothing waits once all are reused; duplicate keys are reused in the order they were
    // detached, whatever their addresses; without a parent nothing is made.
    Fixture f;
    Entity* again = f.detached("U1");
    for (const char* key : {"U1", "U2", "U1"})
        f.state.getOrCreate(Reference_Designator_t, key, Component_t, f.owner, Components_t);
    EXPECT_EQ(listed(f.owner, Components_t), (std::vector<Entity*>{f.u1, f.u2, again}));
    EXPECT_TRUE(f.reuse.isEmpty());
    EXPECT_FALSE(f.state.getOrCreate(Name_t, "X", Component_t, nullptr, Components_t).entity);
}
