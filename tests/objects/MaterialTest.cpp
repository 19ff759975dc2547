#include <tarvex/host/CompositeAttribute.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/Model.h>
#include <tarvex/model3d/Tarvex3DDataDescription.h>
#include <tarvex/model3d/Tarvex3DMaterial.h>
#include <tarvex/objects/TarvexMaterialCMX.h>
#include <tarvex/objects/TarvexMaterialSimple.h>
#include <tarvex/objects/TarvexMaterialTable.h>
#include <tarvex/objects/TarvexPowerSourceLegacyPowerMap.h>
#include <tarvex/objects/TarvexPowerSourcePowerMap.h>
#include <tarvex/objects/TarvexPowerSourceTable.h>

#include <QDomDocument>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using namespace EntityModel;
using namespace Tarvex;
using Geometry::Vec3;

namespace {

// The values a material writes below an attribute.
const QStringList writtenValues = {"Density/Value",   "Specific_Heat/Value", "Conductivity/K1",
                                   "Conductivity/K2", "Conductivity/K3",     "Emissivity/Value"};

/// A host model with one material entity in the root's material list.
struct HostFixture
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* material = EntityEditor::createEntity(Material_t, model->getRoot(), Materials_t);

    /// A new entity holding an empty composite at `path`, as a layer item holds its material.
    CompositeAttribute* composite(const AttributePath& path)
    {
        Entity* item = EntityEditor::createEntity(TypeRef("Layer_Item"), model->getRoot(), TypeRef("Items"));
        if (!item || !model->setAttribute(item, path, std::make_unique<CompositeAttribute>(TypeRef(path.last())),
                                          QStringLiteral("Add composite")))
            return nullptr;
        return static_cast<CompositeAttribute*>(item->findAttribute(path));
    }
};

// The SI values at `paths` below `prefix` (-1 where there is none), to 12 digits, as one text.
std::string valuesAt(const Entity* entity, const QString& prefix, const QStringList& paths)
{
    QStringList values;
    for (const QString& path : paths)
        values << QString::number(getStandardDoubleValue(entity, AttributePath(prefix + path), -1.0), 'g', 12);
    return values.join(' ').toStdString();
}

/// A library material with a two-row thermal table (20 and 120 C) and one given by one row
/// only, parsed as the library reader does.
std::vector<Tarvex3D::Tarvex3DMaterial> libraryMaterials(QDomDocument& document)
{
    document.setContent(QStringLiteral(
        "<Lib><Material name=\"Alloy42\"><Thermal><Model>120 14 8100 520 0.4 0.3\n20 10 8000 500 0.2 0.3</Model>"
        "</Thermal></Material><Material name=\"Mold\"><Thermal><Model>25 0.8 1900 900 0.9 0.1</Model></Thermal>"
        "</Material></Lib>"));
    Tarvex3D::Tarvex3DDataDescription thermal(QStringLiteral("Thermal"));
    for (const char* value :
         {"Temperature", "Conductivity", "Density", "Specific heat", "Emissivity", "Solar Reflectance"})
        thermal.addValue({QString::fromLatin1(value), value == QLatin1String("Temperature") ? "C" : QString()});

    std::vector<Tarvex3D::Tarvex3DMaterial> materials;
    const QDomNodeList elements = document.documentElement().elementsByTagName(QStringLiteral("Material"));
    for (int i = 0; i < elements.count(); ++i) {
        Tarvex3D::Tarvex3DMaterial material(elements.at(i).toElement());
        material.parseMaterialProperties({thermal});
        materials.push_back(material);
    }
    return materials;
}

/// A source of the current kind, or of the legacy one.
std::shared_ptr<TarvexPowerSource> powerSource(const QString& name, const QString& objectName, bool legacy = false)
{
    TarvexPowerSource::Common values;
    values.name = name;
    values.objectName = objectName;
    if (legacy)
        return std::make_shared<TarvexPowerSourceLegacyPowerMap>(values, Geometry::Vec2(), 1.0, 0.0, QString());
    return std::make_shared<TarvexPowerSourcePowerMap>(values, false, false, 1.0, 1.0, QString());
}

} // namespace

TEST(TarvexMaterialSimpleTest, PopulateEntityWritesConductivityAlongHostAxes)
{
    struct Row
    {
        const char* label;
        TarvexMaterialSimple material;
        TypeRef type;
        const char* values; // density, specific heat, conductivity value, K1 to K3, emissivity
    };
    // One entity for all rows: populating again replaces the conductivity type.
    const Row rows[] = {
        {"orthotropic", TarvexMaterialSimple("Ortho", 2000, 900, Vec3(1, 2, 3), 0.7), Orthotropic_t,
         "2000 900 -1 1 3 2 0.7"},
        {"isotropic", TarvexMaterialSimple("Iso", 2000, 900, 0.3), Isotropic_t, "2000 900 0.3 0.3 0.3 0.3 0"},
    };
    HostFixture host;
    ASSERT_NE(host.material, nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        row.material.populateEntity(host.material);
        EXPECT_EQ(getStringValue(host.material, Name_t), row.material.getName());
        EXPECT_EQ(getStringValue(host.material, Specific_Heat_t / Option_t), QStringLiteral("Constant"));
        EXPECT_EQ(getTypeValue(host.material, Conductivity_t / Type_t), row.type);
        EXPECT_EQ(valuesAt(host.material, "", {"Density/Value", "Specific_Heat/Value", "Conductivity/Value",
                                               "Conductivity/K1", "Conductivity/K2", "Conductivity/K3",
                                               "Heat_Radiation_Properties/Surface_Emissivity/Value"}),
                  row.values);
    }
    TarvexMaterialSimple("FR4", 1, 1, 1.0).populateEntity(nullptr);
}

TEST(TarvexMaterialTest, PopulateAttributeWritesBelowTheAttributeOnly)
{
    QDomDocument document;
    const auto materials = libraryMaterials(document);
    ASSERT_EQ(materials.size(), 2u);
    HostFixture host;
    // 0 K lies below the table: the lowest temperature's row (20 C) holds, wherever it
    // stands. A one-row table is a constant material: its row gives every property.
    struct Row
    {
        const Tarvex3D::Tarvex3DMaterial& material;
        Entity* materialEntity;
        const char* values;
    };
    for (const Row& row : {Row{materials[0], host.material, "8000 500 10 10 10 0.2"},
                           Row{materials[1], nullptr, "1900 900 0.8 0.8 0.8 0.9"}}) {
        SCOPED_TRACE(row.material.getName().toStdString());
        CompositeAttribute* composite = host.composite(AttributePath(Material_t));
        ASSERT_NE(composite, nullptr);
        Entity* item = composite->getOwnerEntity();
        TarvexMaterialCMX(row.material).populateAttribute(composite, row.materialEntity);
        EXPECT_EQ(getLinkedEntity(item, Material_t / TypeRef("TarvexMaterial")), row.materialEntity);
        EXPECT_EQ(valuesAt(item, "Material/", writtenValues), row.values);
        // Neither the name nor anything outside the attribute.
        EXPECT_EQ(item->findAttribute(Material_t / Name_t), nullptr);
        EXPECT_EQ(item->findAttribute(AttributePath(Density_t)), nullptr);
    }
    TarvexMaterialCMX(materials[1]).populateAttribute(nullptr, host.material);

    // A simple material writes its conductivity along the host axes. An entity given as the
    // attribute takes the values at its top; a composite that belongs to no entity is ignored.
    TarvexMaterialSimple("Ortho", 2700, 880, Vec3(1, 2, 3), 0.25).populateAttribute(host.material, nullptr);
    EXPECT_EQ(valuesAt(host.material, "", writtenValues), "2700 880 1 3 2 0.25");
    EXPECT_EQ(host.material->findAttribute(AttributePath(Name_t)), nullptr);
    CompositeAttribute loose(Material_t);
    TarvexMaterialSimple("Iso", 10, 20, 0.3).populateAttribute(&loose, nullptr);
    EXPECT_TRUE(loose.children().empty());
}

// Both lookup tables keep their entries sorted by name and find only exact names.
TEST(TarvexLookupTableTest, SortedTablesFindExactNames)
{
    const auto names = [](const auto& entries) {
        QStringList order;
        for (const auto& entry : entries)
            order << entry->getName();
        return order;
    };
    TarvexMaterialTable materials;
    std::vector<std::shared_ptr<TarvexMaterial>> made;
    for (const char* name : {"FR4", "Copper", "Mold", "Aluminium", "Copper"}) {
        made.push_back(std::make_shared<TarvexMaterialSimple>(name, made.size(), 1, 1.0));
        materials.insert(made.back());
    }
    materials.insert(nullptr);
    EXPECT_EQ(names(materials.getMaterials()), QStringList({"Aluminium", "Copper", "Copper", "FR4", "Mold"}));
    // The first of two materials of one name is the one found.
    EXPECT_EQ(materials.find("Copper"), made[1]);
    // Between two entries, before the first, after the last, other case, a prefix: none.
    for (const char* missing : {"Bronze", "", "Zinc", "copper", "Copp"})
        EXPECT_EQ(materials.find(missing), nullptr) << missing;

    TarvexPowerSourceTable sources;
    for (const auto& source : {powerSource("S1", "U1"), powerSource("S2", "BRD"), powerSource("S3", "U10"),
                               powerSource("S4", "U1", true), powerSource("S5", "A")})
        sources.insert(source);
    sources.insert(nullptr);
    EXPECT_EQ(names(sources.getPowerSources()), QStringList({"S5", "S2", "S1", "S4", "S3"}));
    // Both sources of U1 in insertion order, not those of U10 (which U1 is a prefix of).
    EXPECT_EQ(names(sources.find("U1")), QStringList({"S1", "S4"}));
    for (const char* missing : {"U0", "", "Z", "u1", "BR"})
        EXPECT_TRUE(sources.find(missing).empty()) << missing;
}
