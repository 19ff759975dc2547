#include "builders/TarvexEntityBuildState.h"
#include "host/Model.h"

#include "builders/BuilderTestSupport.h"

using namespace BuilderTest;
using namespace Tarvex;

namespace {

// An owner P and the driver's reuse map over it.
struct Fixture
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* owner = EntityEditor::createEntity(PCB_t, model->getRoot(), Objects_t, nullptr, 0, "P");
    TarvexReuseMap reuse;
    TarvexEntityBuildState state{reuse};

    // A component of P with reference designator `key`, detached as an update does.
    Entity* detached(const QString& key)
    {
        Entity* made = EntityEditor::createEntity(Component_t, owner, Components_t);
        EntityEditor::setValue(made, Reference_Designator_t, key);
        reuse.detach(made);
        return made;
    }
    TarvexObtainedEntity get(const QString& key)
    {
        return state.getOrCreate(Reference_Designator_t, key, Component_t, owner, Components_t);
    }
};

} // namespace

TEST(TarvexEntityBuildState, DetachedMatchIsAttachedAgainAndTheOwnerLeavesTheMapWithItsLast)
{
    Fixture f;
    Entity* u1 = f.detached("U1");
    Entity* u2 = f.detached("U2");

    const TarvexObtainedEntity got = f.get("U2");
    EXPECT_EQ(got.entity, u2);
    EXPECT_TRUE(got.existing);
    EXPECT_EQ(listed(f.owner, Components_t), std::vector<Entity*>{u2});
    EXPECT_EQ(f.reuse.waitingFrom(f.owner), std::set<Entity*>{u1});

    EXPECT_EQ(f.get("U1").entity, u1);
    EXPECT_TRUE(f.reuse.isEmpty());
}

TEST(TarvexEntityBuildState, OnlyAnExactMatchOfOwnerTypeAndKeyIsReused)
{
    const struct
    {
        const char* what;
        AttributePath key;
        QString value;
        TypeRef type;
        bool otherOwner;
    } cases[] = {
        {"other case", Reference_Designator_t, "u1", Component_t, false},
        {"trailing blank", Reference_Designator_t, "U1 ", Component_t, false},
        {"other type", Reference_Designator_t, "U1", Solid_Obstruction_t, false},
        {"key attribute it does not have", Name_t, "U1", Component_t, false},
        {"other owner", Reference_Designator_t, "U1", Component_t, true},
    };
    for (const auto& c : cases) {
        Fixture f;
        Entity* earlier = f.detached("U1");
        Entity* parent = c.otherOwner ? EntityEditor::createEntity(PCB_t, f.model->getRoot(), Objects_t) : f.owner;
        const TarvexObtainedEntity got = f.state.getOrCreate(c.key, c.value, c.type, parent, Components_t);
        ASSERT_TRUE(got.entity) << c.what;
        EXPECT_FALSE(got.existing) << c.what;
        EXPECT_EQ(getStringValue(got.entity, c.key), c.value) << c.what << ": a new entity gets the key";
        EXPECT_EQ(f.reuse.waitingFrom(f.owner), std::set<Entity*>{earlier}) << c.what;
        EXPECT_FALSE(earlier->getOwnerEntity()) << c.what;
    }
    Fixture f;
    EXPECT_FALSE(f.state.getOrCreate(Name_t, "X", Component_t, nullptr, Components_t).entity) << "no parent";
}
