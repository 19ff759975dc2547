#include "HostAttributes.h"
#include "Model3DTestData.h"

#include "host/CurveAttribute.h"
#include "host/EntityEditor.h"
#include "host/LibraryManager.h"
#include "host/Model.h"
#include "host/ModelFile.h"

#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace EntityModel;
using Model3DTest::flatten;

namespace {

/// A material of another model, with a value, a curve and a nested composite.
Entity* makeMaterial(Model& model, const QString& name, double conductivity)
{
    Entity* material = EntityEditor::createEntity(Material_t, model.getRoot(), Materials_t, nullptr, 0, name);
    EntityEditor::setSIValue(material, Conductivity_t / Value_t, conductivity);
    EntityEditor::setSIPointsCurve(material, Specific_Heat_t / Specific_Heat_Temperature_Curve_t,
                                   {QPointF(300, 400), QPointF(400, 450)});
    EntityEditor::setValue(material, Heat_Radiation_Properties_t / Option_t, QStringLiteral("Constant"));
    return material;
}

QStringList names(const std::vector<Entity*>& entities)
{
    QStringList result;
    for (const Entity* entity : entities)
        result << entity->getName();
    return result;
}

} // namespace

TEST(LibraryManager, KeepsLibrariesOfCopiedItemsAndSavesThemBesideTheModel)
{
    EXPECT_EQ(LibraryManager::storePathFor("/data/board.json"), "/data/board.library.json");
    EXPECT_EQ(LibraryManager::storePathFor("/data/board.JSON"), "/data/board.library.json");
    EXPECT_EQ(LibraryManager::storePathFor("/data/board"), "/data/board.library.json");

    Model source;
    Entity* copper = makeMaterial(source, "Copper", 398);
    Entity* tin = makeMaterial(source, "Tin", 66);

    LibraryManager manager;
    Entity* library = manager.createLibraryByLibraryPath("Norvane Material Library");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(manager.findLibraryByLibraryPath("Norvane Material Library"), library);
    EXPECT_EQ(manager.findLibraryByLibraryPath("Other"), nullptr);
    EXPECT_EQ(manager.createLibraryByLibraryPath(""), nullptr);
    // A new library is read-only: items go in only while it is writable.
    EXPECT_TRUE(manager.isLibraryReadOnly(library));
    EXPECT_EQ(manager.saveToLibrary(library, copper), nullptr);
    ASSERT_TRUE(manager.setLibraryReadOnly(library, false));
    Entity* copperItem = manager.saveToLibrary(library, copper);
    ASSERT_NE(copperItem, nullptr);
    ASSERT_NE(manager.saveToLibrary(library, tin), nullptr);
    EXPECT_NE(copperItem, copper);
    EXPECT_EQ(copperItem->getModel(), &manager.getStore());
    EXPECT_EQ(flatten(copperItem), flatten(copper));
    EXPECT_EQ(names(manager.getLibraryItems(library)), (QStringList{"Copper", "Tin"}));
    EXPECT_EQ(manager.findLibraryItem(library, "Tin")->getName(), "Tin");
    EXPECT_EQ(manager.findLibraryItem(library, "Lead"), nullptr);
    // The source model is untouched by the copy.
    EXPECT_EQ(source.getRoot()->getOwnedChildEntitiesOfType(Material_t).size(), 2u);

    // An update replaces the item in its place; attributes the new content lacks go.
    Model other;
    Entity* plain = EntityEditor::createEntity(Material_t, other.getRoot(), Materials_t, nullptr, 0, "Copper");
    EntityEditor::setSIValue(plain, Conductivity_t / Value_t, 390);
    Entity* updated = manager.updateLibraryItem(copperItem, plain);
    ASSERT_NE(updated, nullptr);
    EXPECT_FALSE(copperItem->isAlive());
    EXPECT_EQ(names(manager.getLibraryItems(library)), (QStringList{"Copper", "Tin"}));
    EXPECT_EQ(manager.getLibraryItems(library).front(), updated);
    EXPECT_EQ(flatten(updated), (QMap<QString, QString>{{"Conductivity/Value", "390"}, {"Name", "\"Copper\""}}));
    EXPECT_EQ(manager.updateLibraryItem(tin, plain), nullptr); // not an item of the store

    const QDateTime time = QDateTime::fromString("2024-05-06T07:08:09.010Z", Qt::ISODateWithMs);
    ASSERT_TRUE(manager.setLastModified(library, time));
    ASSERT_TRUE(manager.setLibraryReadOnly(library, true));
    EXPECT_TRUE(manager.saveLibrary(library));
    EXPECT_FALSE(manager.saveLibrary(copper));

    // Saved and loaded: the same libraries, items, times and state, and the same bytes.
    TestSupport::TempDir dir;
    const QString store = dir.path("model.library.json");
    QString error;
    ASSERT_TRUE(manager.save(store, &error)) << error.toStdString();
    std::unique_ptr<LibraryManager> loaded = LibraryManager::load(store, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    EXPECT_TRUE(loaded->isWritable());
    Entity* loadedLibrary = loaded->findLibraryByLibraryPath("Norvane Material Library");
    ASSERT_NE(loadedLibrary, nullptr);
    EXPECT_EQ(loaded->getLastModified(loadedLibrary), time);
    EXPECT_TRUE(loaded->isLibraryReadOnly(loadedLibrary));
    EXPECT_EQ(names(loaded->getLibraryItems(loadedLibrary)), (QStringList{"Copper", "Tin"}));
    EXPECT_EQ(flatten(loaded->getLibraryItems(loadedLibrary)[1]), flatten(tin));
    ASSERT_TRUE(loaded->save(dir.path("again.json"), &error));
    EXPECT_EQ(dir.read("again.json"), dir.read("model.library.json"));

    // No store file yet: an empty, writable store.
    std::unique_ptr<LibraryManager> fresh = LibraryManager::load(dir.path("none.library.json"), &error);
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->getLibraries().empty());
    EXPECT_TRUE(fresh->isWritable());
}

TEST(LibraryManager, AReadOnlyStoreRefusesEveryChange)
{
    TestSupport::TempDir dir;
    LibraryManager manager;
    Entity* library = manager.createLibraryByLibraryPath("Lib");
    ASSERT_TRUE(library);
    QString error;
    const QString store = dir.path("model.library.json");
    ASSERT_TRUE(manager.save(store, &error));

    // A store file without write permission opens read-only, whoever reads it.
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    std::unique_ptr<LibraryManager> locked = LibraryManager::load(store, &error);
    ASSERT_TRUE(locked) << error.toStdString();
    EXPECT_FALSE(locked->isWritable());
    Entity* lockedLibrary = locked->findLibraryByLibraryPath("Lib");
    ASSERT_TRUE(lockedLibrary);
    const QByteArray before = ModelFile::toJson(locked->getStore());

    Model source;
    Entity* material = makeMaterial(source, "Copper", 398);
    EXPECT_TRUE(locked->isLibraryReadOnly(lockedLibrary));
    EXPECT_FALSE(locked->setLibraryReadOnly(lockedLibrary, false));
    EXPECT_EQ(locked->createLibraryByLibraryPath("New"), nullptr);
    EXPECT_FALSE(locked->setLastModified(lockedLibrary, QDateTime::currentDateTimeUtc()));
    EXPECT_EQ(locked->saveToLibrary(lockedLibrary, material), nullptr);
    EXPECT_FALSE(locked->saveLibrary(lockedLibrary));
    EXPECT_EQ(ModelFile::toJson(locked->getStore()), before);
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // A file that is not a store is refused, naming it.
    const QString broken = dir.write("broken.library.json", "{\"format\": ");
    EXPECT_FALSE(LibraryManager::load(broken, &error));
    EXPECT_TRUE(error.contains(broken)) << error.toStdString();
}
