#include <tarvex/builders/TarvexReuseMap.h>
#include <tarvex/host/Model.h>

#include "builders/BuilderTestSupport.h"

#include <QStringList>

#include <random>

using namespace BuilderTest;
using namespace Tarvex;

namespace {

// Two boards P and Q; components detached from P by reference designator, in order.
struct Boards
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* p = EntityEditor::createEntity(PCB_t, model->getRoot(), Objects_t, nullptr, 0, "P");
    Entity* q = EntityEditor::createEntity(PCB_t, model->getRoot(), Objects_t, nullptr, 0, "Q");
    TarvexReuseMap reuse;
    std::vector<Entity*> made;

    void detachAll(const QStringList& keys)
    {
        for (const QString& key : keys) {
            Entity* component = EntityEditor::createEntity(Component_t, p, Components_t);
            EntityEditor::setValue(component, Reference_Designator_t, key);
            made.push_back(component);
        }
        reuse.detachImports(std::vector<Entity*>(made.end() - keys.size(), made.end()));
    }
    // What `reattach` gives under P for `key`, as its place in `made` ("-" for none).
    QString ask(const QString& key, Entity* owner = nullptr)
    {
        owner = owner ? owner : p;
        Entity* got = reuse.reattach(owner, Reference_Designator_t, key, Component_t, owner, Components_t);
        const auto at = std::find(made.begin(), made.end(), got);
        return got ? QString::number(at - made.begin()) : QStringLiteral("-");
    }
    QString waitingPlaces() const
    {
        QStringList places;
        for (Entity* entity : reuse.waiting())
            places << QString::number(std::find(made.begin(), made.end(), entity) - made.begin());
        return places.join(' ');
    }
};

} // namespace

// Whatever order the file asks in, each key gives back the first entity still waiting with
// it, in the order they were detached; keys it does not know give nothing, and what is not
// asked for stays waiting in detach order.
TEST(TarvexReuseMap, EachKeyGivesTheFirstWaitingEntityWhateverTheOrderAsked)
{
    // Detached keys (places 0, 1, ...), keys asked, places given, places left waiting.
    const std::tuple<const char*, const char*, const char*, const char*, const char*> cases[] = {
        {"same order", "U1 U2 U1 U3", "U1 U2 U1 U3", "0 1 2 3", ""},
        {"reversed", "U1 U2 U1 U3", "U3 U1 U2 U1", "3 0 1 2", ""},
        {"one left out", "U1 U2 U1 U3", "U2 U1 U3", "1 0 3", "2"},
        {"first left out", "U1 U2 U3 U4", "U2 U3 U4", "1 2 3", "0"},
        {"new key first", "U1 U2 U3", "X U1 U2 U3", "- 0 1 2", ""},
        {"new key between", "U1 U2 U3", "U1 X U2 Y U3", "0 - 1 - 2", ""},
        {"duplicate asked more often than detached", "U1 U2 U1", "U1 U1 U1 U2", "0 2 - 1", ""},
        {"order taken up again after a skip", "A B C D E", "A C D B E", "0 2 3 1 4", ""},
        {"duplicates after a skip", "A B A C A", "B A C A A", "1 0 3 2 4", ""},
        {"skip, then a duplicate of one skipped", "A B A B", "B A A B", "1 0 2 3", ""},
        {"case and blanks count", "U1 u1", "u1 U1 U1", "1 0 -", ""},
        {"nothing asked", "U1 U2", "", "", "0 1"},
    };
    for (const auto& [what, detached, asked, given, left] : cases) {
        SCOPED_TRACE(what);
        Boards b;
        b.detachAll(QString(detached).split(' ', Qt::SkipEmptyParts));
        QStringList got;
        for (const QString& key : QString(asked).split(' ', Qt::SkipEmptyParts))
            got << b.ask(key);
        EXPECT_EQ(got.join(' '), QString(given));
        EXPECT_EQ(b.waitingPlaces(), QString(left));
        EXPECT_EQ(b.reuse.isEmpty(), QString(left).isEmpty());
    }
}

// An entity comes back only under the owner it was detached from and only once, whichever
// key attribute finds it; one detached after the first look-up is found too.
TEST(TarvexReuseMap, ReusedOnlyUnderItsOwnerOnceAndSeesLaterDetaches)
{
    Boards b;
    b.detachAll({"U1", "U2"});
    EXPECT_EQ(b.ask("U1", b.q), "-"); // moved to another board: made anew there
    EXPECT_EQ(b.reuse.waitingFrom(b.q), std::vector<Entity*>());

    // U2 also has a name: taken by name, it is no longer there by designator.
    EntityEditor::setValue(b.made[1], Name_t, QStringLiteral("second"));
    EXPECT_EQ(b.reuse.reattach(b.p, Name_t, "second", Component_t, b.p, Components_t), b.made[1]);
    EXPECT_EQ(b.ask("U2"), "-");
    EXPECT_EQ(b.ask("U1"), "0");

    // Detached again after the index was made (a renamed one is found by its new key).
    b.reuse.detach(b.made[0]);
    EntityEditor::setValue(b.made[0], Reference_Designator_t, QStringLiteral("U9"));
    EXPECT_EQ(b.ask("U1"), "-");
    EXPECT_EQ(b.ask("U9"), "0");
    EXPECT_EQ(listed(b.p, Components_t), (std::vector<Entity*>{b.made[1], b.made[0]}));
    EXPECT_TRUE(b.reuse.isEmpty());
}

// Many duplicate keys asked in a shuffled order with unknown keys among them give exactly
// what the plain rule gives: the first waiting entity of the key in detach order.
TEST(TarvexReuseMap, ShuffledAsksMatchTheFirstWaitingRule)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Boards b;
        QStringList keys;
        for (int i = 0; i < 60; ++i)
            keys << QStringLiteral("K%1").arg(random() % 25);
        b.detachAll(keys);
        QStringList asked = keys.mid(int(random() % 10)); // the first few left out
        asked << "X1" << "X2" << "K99";
        for (int i = asked.size() - 1; i > 0; --i) {
            // Mostly the order they were detached in, with some keys swapped.
            if (random() % 3 == 0)
                asked.swapItemsAt(i, int(random() % (i + 1)));
        }
        std::vector<bool> waiting(keys.size(), true);
        for (const QString& key : asked) {
            QString expected = QStringLiteral("-");
            for (int i = 0; i < keys.size(); ++i) {
                if (waiting[size_t(i)] && keys[i] == key) {
                    waiting[size_t(i)] = false;
                    expected = QString::number(i);
                    break;
                }
            }
            ASSERT_EQ(b.ask(key), expected) << key.toStdString();
        }
    }
}

// An update detaches the kinds it rebuilds and nothing else, however close a type's label
// comes to one of them (same length, one letter apart, case, a start of one), and an index
// over detached entities holds those of the type asked only, even where another detached
// type's label has the same length.
TEST(TarvexReuseMap, OnlyReusableTypesAreDetachedAndOnlyTheTypeAskedIsIndexed)
{
    const std::pair<const char*, bool> types[] = {
        {"Terminal", true}, {"Material", false}, {"terminal", false}, {"Bump", true},   {"Bumps", false},
        {"Bum", false},     {"PCB", true},       {"PCB_Hole", true},  {"PCB_Holf", false}, {"", false},
    };
    for (const auto& [label, reusable] : types)
        EXPECT_EQ(TarvexReuseMap::isReusableType(TypeRef(label)), reusable) << label;

    // A terminal and a same-length other type, both with key K, detached from one board.
    Boards b;
    Entity* terminal = EntityEditor::createEntity(Terminal_t, b.p, Components_t);
    Entity* other = EntityEditor::createEntity(TypeRef("Terminam"), b.p, Components_t);
    for (Entity* entity : {other, terminal})
        EntityEditor::setValue(entity, Name_t, QStringLiteral("K"));
    b.reuse.detach(other);
    b.reuse.detach(terminal);
    EXPECT_EQ(b.reuse.reattach(b.p, Name_t, "K", Terminal_t, b.p, Components_t), terminal);
    EXPECT_EQ(b.reuse.reattach(b.p, Name_t, "K", Terminal_t, b.p, Components_t), nullptr);
    EXPECT_EQ(b.reuse.waiting(), std::vector<Entity*>{other});
}
