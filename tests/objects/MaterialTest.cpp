#include "host/CompositeAttribute.h"
#include "host/CurveAttribute.h"
#include "host/EntityEditor.h"
#include "host/EntityReading.h"
#include "host/Model.h"
#include "model3d/Tarvex3DDataDescription.h"
#include "model3d/Tarvex3DMaterial.h"
#include "model3d/TarvexMaterialImporter.h"
#include "objects/TarvexMaterialCMX.h"
#include "objects/TarvexMaterialMap.h"
#include "objects/TarvexMaterialSimple.h"
#include "objects/TarvexMaterialTable.h"
#include "objects/TarvexMaterialVisitorConst.h"

#include <QDomDocument>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using namespace EntityModel;
using namespace Tarvex;
using Geometry::Vec3;

namespace {

const double tolerance = 1e-12;

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

double si(const Entity* entity, const QString& path)
{
    return getStandardDoubleValue(entity, AttributePath(path), -1.0);
}

/// A library material with a two-row thermal table (20 and 120 C) and one given by one row
/// only, parsed as the library reader does.
std::vector<Tarvex3D::Tarvex3DMaterial> libraryMaterials(QDomDocument& document)
{
    const QString xml = QStringLiteral(
        "<Norvane_Material_Lib>"
        "<Material name=\"Alloy42\"><Thermal><Model>120 14 8100 520 0.4 0.3\n20 10 8000 500 0.2 0.3</Model>"
        "</Thermal></Material>"
        "<Material name=\"Mold\"><Thermal><Model>25 0.8 1900 900 0.9 0.1</Model></Thermal></Material>"
        "</Norvane_Material_Lib>");
    document.setContent(xml);
    Tarvex3D::Tarvex3DDataDescription thermal(QStringLiteral("Thermal"));
    thermal.addValue({QStringLiteral("Temperature"), QStringLiteral("C")});
    thermal.addValue({QStringLiteral("Conductivity"), QStringLiteral("W/(m K)")});
    thermal.addValue({QStringLiteral("Density"), QStringLiteral("kg/(m^3)")});
    thermal.addValue({QStringLiteral("Specific heat"), QStringLiteral("J/(kg K)")});
    thermal.addValue({QStringLiteral("Emissivity"), QString()});
    thermal.addValue({QStringLiteral("Solar Reflectance"), QString()});

    std::vector<Tarvex3D::Tarvex3DMaterial> materials;
    const QDomNodeList elements = document.documentElement().elementsByTagName(QStringLiteral("Material"));
    for (int i = 0; i < elements.count(); ++i) {
        Tarvex3D::Tarvex3DMaterial material(elements.at(i).toElement());
        material.parseMaterialProperties({thermal});
        materials.push_back(material);
    }
    return materials;
}

/// Records which visit ran, and on which object.
class RecordingVisitor : public TarvexMaterialVisitorConst
{
public:
    QStringList visits;
    const void* last = nullptr;

    void visitMaterialSimple(const TarvexMaterialSimple& material) override { record("simple", &material); }
    void visitMaterialCMX(const TarvexMaterialCMX& material) override { record("cmx", &material); }
    void visitMaterialMap(const TarvexMaterialMap& material) override { record("map", &material); }

private:
    void record(const char* kind, const void* material)
    {
        visits << QString::fromLatin1(kind);
        last = material;
    }
};

} // namespace

TEST(TarvexMaterialSimpleTest, PopulateEntityWritesConductivityAlongHostAxes)
{
    struct Row
    {
        const char* label;
        TarvexMaterialSimple material;
        TypeRef type;
        double value; // Conductivity/Value; -1 when it must not be written
        Vec3 k;       // K1, K2, K3
        double emissivity;
    };
    const Row rows[] = {
        {"orthotropic", TarvexMaterialSimple("Ortho", 2000, 900, Vec3(1, 2, 3), 0.7), Orthotropic_t, -1, Vec3(1, 3, 2), 0.7},
        {"orthotropic, other order", TarvexMaterialSimple("Ortho2", 2000, 900, Vec3(5, 0.25, 0.5), 0.7),
         Orthotropic_t, -1, Vec3(5, 0.5, 0.25), 0.7},
        {"isotropic", TarvexMaterialSimple("Iso", 2000, 900, 0.3, 0.7), Isotropic_t, 0.3, Vec3(0.3, 0.3, 0.3), 0.7},
        {"no conductivity", TarvexMaterialSimple("None", 2000, 900, 0.0), Isotropic_t, 0.0, Vec3(0, 0, 0), 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        HostFixture host;
        ASSERT_NE(host.material, nullptr);
        row.material.populateEntity(host.material);
        const Entity* entity = host.material;

        EXPECT_EQ(getStringValue(entity, Name_t), row.material.getName());
        EXPECT_DOUBLE_EQ(si(entity, "Density/Value"), 2000);
        EXPECT_EQ(getStringValue(entity, Specific_Heat_t / Option_t), QStringLiteral("Constant"));
        EXPECT_DOUBLE_EQ(si(entity, "Specific_Heat/Value"), 900);
        EXPECT_EQ(getTypeValue(entity, Conductivity_t / Type_t), row.type);
        EXPECT_NEAR(si(entity, "Conductivity/Value"), row.value, tolerance);
        EXPECT_NEAR(si(entity, "Conductivity/K1"), row.k.x, tolerance);
        EXPECT_NEAR(si(entity, "Conductivity/K2"), row.k.y, tolerance);
        EXPECT_NEAR(si(entity, "Conductivity/K3"), row.k.z, tolerance);
        EXPECT_DOUBLE_EQ(si(entity, "Heat_Radiation_Properties/Surface_Emissivity/Value"), row.emissivity);
        EXPECT_TRUE(row.material.getHostConductivity().isApprox(row.k, tolerance));
    }
}

TEST(TarvexMaterialSimpleTest, PopulatingAgainReplacesTheConductivityType)
{
    HostFixture host;
    TarvexMaterialSimple("FR4", 1850, 1100, Vec3(0.8, 0.8, 0.3)).populateEntity(host.material);
    ASSERT_EQ(getTypeValue(host.material, Conductivity_t / Type_t), Orthotropic_t);

    TarvexMaterialSimple("FR4", 1850, 1100, 0.35).populateEntity(host.material);
    EXPECT_EQ(getTypeValue(host.material, Conductivity_t / Type_t), Isotropic_t);
    for (const char* path : {"Conductivity/Value", "Conductivity/K1", "Conductivity/K2", "Conductivity/K3"})
        EXPECT_DOUBLE_EQ(si(host.material, path), 0.35) << path;

    // Null entities and attributes are ignored.
    TarvexMaterialSimple("FR4", 1, 1, 1.0).populateEntity(nullptr);
    TarvexMaterialSimple("FR4", 1, 1, 1.0).populateAttribute(nullptr, host.material);
}

TEST(TarvexMaterialSimpleTest, PopulateAttributeWritesValuesBelowTheAttributeOnly)
{
    HostFixture host;
    const AttributePath at = TypeRef("Cell") / Material_t;
    CompositeAttribute* composite = host.composite(at);
    ASSERT_NE(composite, nullptr);
    Entity* item = composite->getOwnerEntity();
    EntityEditor::setValueNoThrow(item, Name_t, QStringLiteral("Item"));

    TarvexMaterialSimple("Ortho", 2700, 880, Vec3(1, 2, 3), 0.25).populateAttribute(composite, host.material);

    EXPECT_DOUBLE_EQ(si(item, "Cell/Material/Density/Value"), 2700);
    EXPECT_DOUBLE_EQ(si(item, "Cell/Material/Specific_Heat/Value"), 880);
    EXPECT_NEAR(si(item, "Cell/Material/Conductivity/K1"), 1, tolerance);
    EXPECT_NEAR(si(item, "Cell/Material/Conductivity/K2"), 3, tolerance);
    EXPECT_NEAR(si(item, "Cell/Material/Conductivity/K3"), 2, tolerance);
    EXPECT_DOUBLE_EQ(si(item, "Cell/Material/Emissivity/Value"), 0.25);
    // Neither the name nor the type, and nothing outside the attribute.
    EXPECT_EQ(item->findAttribute(at / AttributePath(Name_t)), nullptr);
    EXPECT_EQ(item->findAttribute(at / (Conductivity_t / Type_t)), nullptr);
    EXPECT_EQ(getStringValue(item, Name_t), QStringLiteral("Item"));
    EXPECT_EQ(item->findAttribute(AttributePath(Density_t)), nullptr);
    // The material entity handed in is left alone.
    EXPECT_EQ(host.material->findAttribute(AttributePath(Density_t)), nullptr);

    // An entity given as the attribute takes the values at its top.
    TarvexMaterialSimple("Iso", 10, 20, 0.3, 0.5).populateAttribute(host.material, nullptr);
    EXPECT_DOUBLE_EQ(si(host.material, "Density/Value"), 10);
    EXPECT_DOUBLE_EQ(si(host.material, "Conductivity/K2"), 0.3);
    EXPECT_EQ(host.material->findAttribute(AttributePath(Name_t)), nullptr);

    // A composite that belongs to no entity cannot be written and is ignored.
    CompositeAttribute loose(Material_t);
    TarvexMaterialSimple("Iso", 10, 20, 0.3).populateAttribute(&loose, nullptr);
    EXPECT_TRUE(loose.children().empty());
}

TEST(TarvexMaterialCMXTest, PopulateEntityCopiesTheLibraryMaterial)
{
    QDomDocument document;
    const auto materials = libraryMaterials(document);
    ASSERT_EQ(materials.size(), 2u);
    const TarvexMaterialCMX alloy(materials[0]);

    HostFixture host;
    alloy.populateEntity(host.material);
    EXPECT_EQ(getStringValue(host.material, Name_t), QStringLiteral("Alloy42"));
    EXPECT_EQ(getStringValue(host.material, Conductivity_t / Option_t), QStringLiteral("Temperature Dependent"));
    const auto* curve = dynamic_cast<const CurveAttribute*>(
        host.material->findAttribute(Conductivity_t / Conductivity_Temperature_Curve_t));
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->getPoints().size(), 2);
    EXPECT_NEAR(curve->getPoints()[0].x(), 293.15, 1e-9);
    EXPECT_DOUBLE_EQ(curve->getPoints()[0].y(), 10);
    EXPECT_DOUBLE_EQ(curve->getPoints()[1].y(), 14);
    EXPECT_DOUBLE_EQ(si(host.material, "Density/Value"), 8100);

    // The same as the library importer writes into an entity of its own.
    Entity* reference = EntityEditor::createEntity(Material_t, host.model->getRoot(), Materials_t);
    Tarvex3D::TarvexMaterialImporter(nullptr).populateEntityMaterial(materials[0], reference);
    for (const char* path : {"Specific_Heat/Option", "Heat_Radiation_Properties/Surface_Emissivity",
                             "Solar_Radiation_Properties/Solar_Reflectance", "Electrical_Conductivity/Value"}) {
        EXPECT_EQ(getStringValue(host.material, AttributePath(path), "missing"),
                  getStringValue(reference, AttributePath(path), "missing"))
            << path;
    }

    alloy.populateEntity(nullptr);
}

TEST(TarvexMaterialCMXTest, PopulateAttributeLinksTheEntityAndSamplesTheCurvesAtZero)
{
    QDomDocument document;
    const auto materials = libraryMaterials(document);
    ASSERT_EQ(materials.size(), 2u);
    HostFixture host;
    CompositeAttribute* composite = host.composite(AttributePath(Material_t));
    ASSERT_NE(composite, nullptr);
    Entity* item = composite->getOwnerEntity();

    // 0 K lies below the table: the lowest temperature's row (20 C) holds, wherever it stands.
    TarvexMaterialCMX(materials[0]).populateAttribute(composite, host.material);
    EXPECT_EQ(getLinkedEntity(item, Material_t / TypeRef("TarvexMaterial")), host.material);
    EXPECT_DOUBLE_EQ(si(item, "Material/Density/Value"), 8000);
    EXPECT_DOUBLE_EQ(si(item, "Material/Specific_Heat/Value"), 500);
    for (const char* path : {"Material/Conductivity/K1", "Material/Conductivity/K2", "Material/Conductivity/K3"})
        EXPECT_DOUBLE_EQ(si(item, path), 10) << path;
    EXPECT_DOUBLE_EQ(si(item, "Material/Emissivity/Value"), 0.2);
    EXPECT_EQ(item->findAttribute(Material_t / Name_t), nullptr);

    // A one-row table is a curve of one point, which samples as 0 for every property.
    CompositeAttribute* second = host.composite(AttributePath(Material_t));
    ASSERT_NE(second, nullptr);
    Entity* moldItem = second->getOwnerEntity();
    const TarvexMaterialCMX mold(materials[1]);
    ASSERT_EQ(mold.getMaterial().getThermalConductivity().getCurveData().size(), 1u);
    mold.populateAttribute(second, nullptr);
    for (const char* path : {"Material/Density/Value", "Material/Specific_Heat/Value", "Material/Conductivity/K1",
                             "Material/Conductivity/K2", "Material/Conductivity/K3", "Material/Emissivity/Value"})
        EXPECT_EQ(si(moldItem, path), 0.0) << path;
    // Without a material entity there is nothing to link to.
    EXPECT_EQ(moldItem->findAttribute(Material_t / TypeRef("TarvexMaterial")), nullptr);

    mold.populateAttribute(nullptr, host.material);
}

TEST(TarvexMaterialTest, VisitorsDispatchByClass)
{
    QDomDocument document;
    const auto library = libraryMaterials(document);
    auto simple = std::make_shared<TarvexMaterialSimple>("FR4", 1850, 1100, 0.3);
    auto cmx = std::make_shared<TarvexMaterialCMX>(library[0]);
    auto map = std::make_shared<TarvexMaterialMap>("L1", simple, simple, QString());

    struct Row
    {
        std::shared_ptr<TarvexMaterial> material;
        const char* visit;
    };
    for (const Row& row : {Row{simple, "simple"}, Row{cmx, "cmx"}, Row{map, "map"}}) {
        SCOPED_TRACE(row.visit);
        RecordingVisitor visitor;
        const TarvexMaterial& constMaterial = *row.material;
        constMaterial.accept(visitor);
        row.material->accept(visitor);
        EXPECT_EQ(visitor.visits, QStringList({row.visit, row.visit}));
        EXPECT_EQ(visitor.last, row.material.get());
    }
}

TEST(TarvexMaterialTableTest, SortedLookupByName)
{
    TarvexMaterialTable table;
    const QStringList names = {"FR4", "Copper", "Mold", "Aluminium", "Copper"};
    std::vector<std::shared_ptr<TarvexMaterial>> made;
    for (const QString& name : names) {
        made.push_back(std::make_shared<TarvexMaterialSimple>(name, made.size(), 1, 1.0));
        table.insert(made.back());
    }
    table.insert(nullptr);
    ASSERT_EQ(table.size(), 5);

    QStringList order;
    for (const auto& material : table.getMaterials())
        order << material->getName();
    EXPECT_EQ(order, QStringList({"Aluminium", "Copper", "Copper", "FR4", "Mold"}));

    EXPECT_EQ(table.find("FR4"), made[0]);
    EXPECT_EQ(table.find("Aluminium"), made[3]);
    EXPECT_EQ(table.find("Mold"), made[2]);
    // The first of two materials of one name is the one found.
    EXPECT_EQ(table.find("Copper"), made[1]);
    // Between two entries, before the first, after the last, other case, a prefix: none.
    for (const char* missing : {"Bronze", "", "Zinc", "copper", "Copp", "FR45"})
        EXPECT_EQ(table.find(missing), nullptr) << missing;

    EXPECT_EQ(TarvexMaterialTable().find("FR4"), nullptr);
}
