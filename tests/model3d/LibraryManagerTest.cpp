#include "HostAttributes.h"
#include "Model3DTestData.h"

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>

#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace EntityModel;
using Model3DTest::flatten;

// Items copied in (a value, a curve and a nested composite), updated in place, and the store
// saved beside the model and loaded again; the importer's tests cover how a file fills it.
TEST(LibraryManager, KeepsLibrariesOfCopiedItemsAndSavesThemBesideTheModel)
{
    EXPECT_EQ(LibraryManager::storePathFor("/data/board.JSON"), "/data/board.library.json");
    Model source;
    Entity* copper = EntityEditor::createEntity(Material_t, source.getRoot(), Materials_t, nullptr, 0, "Copper");
    EntityEditor::setSIPointsCurve(copper, Specific_Heat_t / Specific_Heat_Temperature_Curve_t,
                                   {QPointF(300, 400), QPointF(400, 450)});
    EntityEditor::setValue(copper, Heat_Radiation_Properties_t / Option_t, QStringLiteral("Constant"));
    LibraryManager manager;
    Entity* library = manager.createLibraryByLibraryPath("Norvane Material Library");
    ASSERT_NE(library, nullptr);
    // A new library is read-only: items go in only while it is writable.
    EXPECT_EQ(manager.saveToLibrary(library, copper), nullptr);
    ASSERT_TRUE(manager.setLibraryReadOnly(library, false));
    Entity* copperItem = manager.saveToLibrary(library, copper);
    ASSERT_NE(copperItem, nullptr);
    EXPECT_EQ(copperItem->getModel(), &manager.getStore());
    EXPECT_EQ(flatten(copperItem), flatten(copper));
    EXPECT_EQ(manager.updateLibraryItem(copper, copper), nullptr); // not an item of the store

    const QDateTime time = QDateTime::fromString("2024-05-06T07:08:09.010Z", Qt::ISODateWithMs);
    ASSERT_TRUE(manager.setLastModified(library, time));
    ASSERT_TRUE(manager.setLibraryReadOnly(library, true));
    // Saved and loaded: the same libraries, items, times and state, and the same bytes.
    TestSupport::TempDir dir;
    const QString store = dir.path("model.library.json");
    QString error;
    ASSERT_TRUE(manager.save(store, &error)) << error.toStdString();
    std::unique_ptr<LibraryManager> loaded = LibraryManager::load(store, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    Entity* loadedLibrary = loaded->findLibraryByLibraryPath("Norvane Material Library");
    ASSERT_NE(loadedLibrary, nullptr);
    EXPECT_EQ(loaded->getLastModified(loadedLibrary), time);
    EXPECT_TRUE(loaded->isLibraryReadOnly(loadedLibrary));
    EXPECT_EQ(flatten(loaded->findLibraryItem(loadedLibrary, "Copper")), flatten(copper));
    ASSERT_TRUE(loaded->save(dir.path("again.json"), &error));
    EXPECT_EQ(dir.read("again.json"), dir.read("model.library.json"));

    // A store file without write permission opens read-only, whoever reads it, and refuses
    // changes (an import into it is the command's test).
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    std::unique_ptr<LibraryManager> locked = LibraryManager::load(store, &error);
    ASSERT_TRUE(locked) << error.toStdString();
    EXPECT_FALSE(locked->isWritable());
    Entity* lockedLibrary = locked->findLibraryByLibraryPath("Norvane Material Library");
    const QByteArray before = ModelFile::toJson(locked->getStore());
    EXPECT_FALSE(locked->setLibraryReadOnly(lockedLibrary, false));
    EXPECT_EQ(locked->createLibraryByLibraryPath("New"), nullptr);
    EXPECT_EQ(ModelFile::toJson(locked->getStore()), before);
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // No store file yet: an empty, writable store; a file that is not a store is refused, naming it.
    std::unique_ptr<LibraryManager> fresh = LibraryManager::load(dir.path("none.library.json"), &error);
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->getLibraries().empty() && fresh->isWritable());
    const QString broken = dir.write("broken.library.json", "{\"format\": ");
    EXPECT_FALSE(LibraryManager::load(broken, &error));
    EXPECT_TRUE(error.contains(broken)) << error.toStdString();
}
