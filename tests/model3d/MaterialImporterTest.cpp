#include "HostAttributes.h"
#include "Model3DTestData.h"

#include <tarvex/host/EntityReading.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/model3d/TarvexMaterialImporter.h>

#include "support/TempDir.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

using namespace EntityModel;
using namespace Model3DTest;
using Tarvex3D::Tarvex3DMaterial;
using Tarvex3D::TarvexMaterialImporter;
using Kind = Tools::ToolProgress::Kind;

namespace {

using Attributes = QMap<QString, QString>;

// What the sample library's Copper becomes: temperatures in K, varying properties as
// curves, the others as values. Specific heat keeps its option, value and curve together
// under Specific_Heat (the host's material tree has no separate SpecificHeat attribute).
const Attributes copper = {
    {"Name", "\"Copper\""},
    {"Conductivity/Option", "\"Temperature Dependent\""},
    {"Conductivity/Conductivity_Temperature_Curve", "223.15:401 298.15:398 398.15:391"},
    {"Electrical_Conductivity/Option", "\"Temperature Dependent\""},
    {"Electrical_Conductivity/Electrical_Conductivity_Temperature_Curve", "293.15:59600000 373.15:46000000"},
    {"Specific_Heat/Option", "\"Temperature Dependent\""},
    {"Specific_Heat/Specific_Heat_Temperature_Curve", "223.15:360 298.15:385 398.15:398"},
    {"Structural_Analysis_Properties/Elasticity/Youngs_Modulus/Option", "\"Constant\""},
    {"Structural_Analysis_Properties/Elasticity/Youngs_Modulus/Value", "117000000000"},
    {"Structural_Analysis_Properties/Elasticity/Poissons_Ratio/Option", "\"Constant\""},
    {"Structural_Analysis_Properties/Elasticity/Poissons_Ratio/Value", "0.34"},
    {"Structural_Analysis_Properties/Thermal_Expansion_Coefficient/Option", "\"Constant\""},
    {"Structural_Analysis_Properties/Thermal_Expansion_Coefficient/Value", "1.7e-05"},
    {"Structural_Analysis_Properties/Thermal_Expansion_Coefficient/Reference_Temperature", "25"},
    {"Density/Value", "8933"},
    {"Heat_Radiation_Properties/Surface_Emissivity/Value", "0.05"},
    {"Solar_Radiation_Properties/Solar_Reflectance/Value", "0.6"},
};

QStringList names(const std::vector<Entity*>& entities)
{
    QStringList result;
    for (const Entity* entity : entities)
        result << (entity ? entity->getName() : QStringLiteral("(none)"));
    return result;
}

void setFileTime(const QString& path, const QDateTime& time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

QByteArray storeJson(const LibraryManager& manager) { return ModelFile::toJson(manager.getStore()); }

} // namespace

TEST(TarvexMaterialImporter, ConstantTablesGiveValuesAndMissingPropertiesAreReported)
{
    const QByteArray file = library(
        material("Flat", "20 5 1000 700 0.5 0.5\n80 5 1000 700 0.5 0.5\n")            // same conductivity in every row
        + material("NoConductivity", "")                                               // no rows
        + "<Material name=\"Thin\"><Thermal><Model>25 2</Model></Thermal></Material>\n" // no density, no specific heat
        + material("OneHeat", "20 1 2 300 0 0\n90 3 2\n"));                           // one specific-heat row
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    TarvexMaterialImporter importer(&progress);
    auto model = Model::createDefault();
    const std::vector<Tarvex3DMaterial> materials = importer.readMaterials(dir.write("lib.xml", file));
    // Questionable rows are named with their material, table and line as they are read.
    EXPECT_EQ(progress.texts(Kind::Warning).value(1),
              "Material \"OneHeat\", Thermal table, line 25: the row has 3 fields, too few for \"Specific heat\", "
              "\"Emissivity\", \"Solar Reflectance\"; they are not read from this row");
    progress.clear();

    const std::vector<Entity*> made = importer.createMaterials(materials, model->getRoot());
    EXPECT_EQ(names(made), (QStringList{"Flat", "(none)", "Thin", "OneHeat"}));
    EXPECT_EQ(getOwnerPath(made.front()), AttributePath(Materials_t));
    // Missing density and specific heat are reported and set to 0; the material is still
    // imported and the import goes on.
    EXPECT_EQ(progress.texts(Kind::Warning),
              (QStringList{"NoConductivity: No thermal conductivity curve in file. Material not imported.",
                           "Material has no Specific Heat value, setting to 0.",
                           "Material has no density value, setting to 0."}));
    const Attributes flat = flatten(made[0]);
    EXPECT_EQ(flat.value("Conductivity/Option"), "\"Constant\"");
    EXPECT_EQ(flat.value("Conductivity/Value"), "5");
    EXPECT_FALSE(flat.contains("Conductivity/Conductivity_Temperature_Curve"));
    EXPECT_EQ(flatten(made[2]).value("Density/Value"), "0");
    const Attributes oneHeat = flatten(made[3]);
    EXPECT_EQ(oneHeat.value("Specific_Heat/Value"), "300");
    EXPECT_EQ(oneHeat.value("Conductivity/Conductivity_Temperature_Curve"), "293.15:1 363.15:3");

    // No parent to hold the material: nothing made, and said so.
    progress.clear();
    EXPECT_EQ(importer.createMaterial(materials.front(), nullptr), nullptr);
    EXPECT_EQ(progress.texts(Kind::Warning), QStringList{"Flat: the material entity could not be created."});
}

TEST(TarvexMaterialImporter, KeepsTheHostLibraryInStepWithTheLibraryFileOrLeavesItAlone)
{
    TestSupport::TempDir dir;
    const QString path = dir.path("lib.xml");
    ASSERT_TRUE(QFile::copy(sampleLibrary(), path));
    const QDateTime first = QDateTime::fromString("2024-03-01T10:00:00.250Z", Qt::ISODateWithMs);
    setFileTime(path, first);

    LibraryManager manager;
    Tools::RecordingProgress progress;
    TarvexMaterialImporter importer(&progress);
    importer.setLibraryManager(&manager);
    ASSERT_TRUE(importer.importMaterialLibrary(path));
    EXPECT_TRUE(progress.entries().empty());
    Entity* library = manager.findLibraryByLibraryPath("Norvane Material Library");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(names(manager.getLibraryItems(library)), (QStringList{"Copper", "FR4", "SAC305", "Silicon"}));
    EXPECT_EQ(manager.getLastModified(library), first);
    EXPECT_TRUE(manager.isLibraryReadOnly(library));

    // The items are host materials, made attribute by attribute.
    EXPECT_EQ(flatten(manager.findLibraryItem(library, "Copper")), copper);
    // FR4 has one thermal row and no "Metal" table: constants, electrical conductivity 0.
    const Attributes fr4 = flatten(manager.findLibraryItem(library, "FR4"));
    EXPECT_EQ(fr4.value("Conductivity/Value"), "0.3");
    EXPECT_EQ(fr4.value("Electrical_Conductivity/Value"), "0");
    EXPECT_EQ(fr4.value("Specific_Heat/Option"), "\"Constant\"");
    // SAC305's CTE varies, its density does not (density is always a value).
    const Attributes sac = flatten(manager.findLibraryItem(library, "SAC305"));
    EXPECT_EQ(sac.value("Structural_Analysis_Properties/Thermal_Expansion_Coefficient/"
                        "Thermal_Expansion_Coefficient_Temperature_Curve"),
              "233.15:2.1e-05 298.15:2.2e-05 398.15:2.4e-05");
    EXPECT_EQ(sac.value("Density/Value"), "7380");
    EXPECT_FALSE(sac.contains("Structural_Analysis_Properties/Thermal_Expansion_Coefficient/Value"));

    // An older file time: up to date, nothing changes (the same time again is the command's test).
    const QByteArray before = storeJson(manager);
    setFileTime(path, first.addSecs(-3600));
    EXPECT_FALSE(importer.importMaterialLibrary(path));
    EXPECT_EQ(storeJson(manager), before);
    EXPECT_TRUE(progress.entries().empty());

    // A newer file: items of the same name are replaced in place, new ones appended, and
    // items the file does not name stay.
    QFile::remove(path);
    dir.write("lib.xml", Model3DTest::library(material("Zinc", "25 116 7140 388 0.05 0.5\n") +
                                 material("FR4", "25 0.35 1900 1150 0.9 0.1\n100 0.4 1900 1150 0.9 0.1\n")));
    const QDateTime second = first.addDays(1);
    setFileTime(path, second);
    ASSERT_TRUE(importer.importMaterialLibrary(path));
    EXPECT_EQ(names(manager.getLibraryItems(library)), (QStringList{"Copper", "FR4", "SAC305", "Silicon", "Zinc"}));
    const Attributes newFr4 = flatten(manager.findLibraryItem(library, "FR4"));
    EXPECT_EQ(newFr4.value("Conductivity/Conductivity_Temperature_Curve"), "298.15:0.35 373.15:0.4");
    // Nothing of the old FR4 lingers: its constant conductivity is gone, its elasticity is
    // that of a file without one.
    EXPECT_FALSE(newFr4.contains("Conductivity/Value"));
    EXPECT_EQ(newFr4.value("Structural_Analysis_Properties/Elasticity/Youngs_Modulus/Value"), "0");
    EXPECT_EQ(flatten(manager.findLibraryItem(library, "Copper")), copper);
    EXPECT_EQ(manager.getLastModified(library), second);

    // A file without materials changes nothing (a read-only store and a broken file are the
    // command's tests).
    setFileTime(path, second.addDays(1));
    const QByteArray updated = storeJson(manager);
    EXPECT_TRUE(importer.importMaterialLibrary(dir.write("empty.xml", Model3DTest::library(""))));
    EXPECT_EQ(storeJson(manager), updated);

    // A store that is read-only from the start cannot even get the library; without a library
    // manager there is nowhere to import to.
    LibraryManager locked;
    locked.setWritable(false);
    importer.setLibraryManager(&locked);
    progress.clear();
    EXPECT_FALSE(importer.importMaterialLibrary(path));
    EXPECT_TRUE(locked.getLibraries().empty());
    EXPECT_FALSE(TarvexMaterialImporter(&progress).importMaterialLibrary(path));
    EXPECT_EQ(progress.texts(Kind::FatalError),
              (QStringList{"The material library \"Norvane Material Library\" cannot be created.",
                           "There is no material library to import \"" + path + "\" into."}));
}
