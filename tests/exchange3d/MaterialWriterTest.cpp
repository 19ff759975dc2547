// Materials as the project's library holds them: the rows of each table, the names, and the
// same properties back when the library is read again.
#include "exchange3d/ExportTestSupport.h"

#include "exchange3d/Tarvex3DExporter.h"
#include "exchange3d/Tarvex3DMaterialWriter.h"
#include "host/CurveAttribute.h"
#include "host/EntityReading.h"
#include "host/MaterialAttributes.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace ExportTest;
using Tarvex3D::Tarvex3DDataDescription;
using Tarvex3D::Tarvex3DExporter;
using Tarvex3D::Tarvex3DMaterialWriter;

namespace {

struct Exported
{
    QDomDocument project;
    QStringList notes;
};

Exported exportOf(const Model& model)
{
    const TestSupport::TempDir dir;
    Tarvex3DExporter exporter;
    EXPECT_TRUE(exporter.exportModel(model.getRoot(), dir.path("out.zip").toStdString(), false, nullptr))
        << exporter.importError();
    Exported result{exporter.getDocument(), {}};
    for (const Tarvex3DExporter::Note& note : exporter.getNotes())
        result.notes << note.second;
    return result;
}

/// The table `path` ("Thermal/Model", "Structural/CTE") of the material `name`.
QString table(const QDomDocument& project, const QString& name, const QString& path)
{
    const Tarvex3D::Tarvex3DDomModel read(project);
    for (const Tarvex3D::Tarvex3DMaterial& material : read.getMaterials()) {
        if (material.getName() != name)
            continue;
        QDomElement at = material.getElement();
        for (const QString& step : path.split('/'))
            at = at.firstChildElement(step);
        return at.text();
    }
    return "(no material " + name + ")";
}

Entity* material(Model& model, const QString& name)
{
    return EntityEditor::createEntity(Material_t, model.getRoot(), Materials_t, nullptr, 0, name);
}

} // namespace

TEST(MaterialWriterTest, RowsComeFromTheCurvesAndConstantsFillEveryRow)
{
    const Tarvex3DDataDescription thermal = [] {
        Tarvex3DDataDescription d("Thermal");
        for (const char* column : {"Temperature", "Conductivity", "Density", "Unknown"})
            d.addValue({column, ""});
        return d;
    }();
    const EntityModel::CurveAttribute falling(Conductivity_Temperature_Curve_t,
                                              {QPointF(373.15, 391), QPointF(293.15, 401)});
    const EntityModel::CurveAttribute other(Conductivity_Temperature_Curve_t, {QPointF(333.15, 1), QPointF(373.15, 2)});
    const struct
    {
        QList<Tarvex3DMaterialWriter::Property> properties;
        const char* rows;
    } cases[] = {
        // Only constants: one row at 25 °C; a column without a property is 0.
        {{{"Conductivity", nullptr, 17.5}, {"Density", nullptr, 2700}}, "25 17.5 2700 0 \n"},
        // The curve's temperatures in rising order, the constant in each row.
        {{{"Conductivity", &falling, 0}, {"Density", nullptr, 8933}}, "20 401 8933 0 \n100 391 8933 0 \n"},
        // Two curves: every temperature of either once, each curve read at all of them.
        {{{"Conductivity", &falling, 0}, {"Density", &other, 0}},
         "20 401 1 0 \n60 396 1 0 \n100 391 2 0 \n"},
        // A property the layout has no column for is left out.
        {{{"Specific heat", nullptr, 5}}, "25 0 0 0 \n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tarvex3DMaterialWriter::temperatureDependentValuesToString(thermal, c.properties), c.rows);

    const std::list<double> ordered = Tarvex3DMaterialWriter::getOrderedTemperatures({300, 250, 300, 275.5, 250});
    EXPECT_EQ(std::vector<double>(ordered.begin(), ordered.end()), (std::vector<double>{250, 275.5, 300}));
}

TEST(MaterialWriterTest, NamesAreUniqueAndOrthotropicConductivityIsItsMeanWithANote)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* first = material(*model, "F R.4");
    EntityEditor::setValue(first, MaterialAttributes::conductivity() / Type_t, Orthotropic_t);
    EntityEditor::setSIValue(first, MaterialAttributes::conductivity() / K1_t, 0.3);
    EntityEditor::setSIValue(first, MaterialAttributes::conductivity() / K2_t, 0.3);
    EntityEditor::setSIValue(first, MaterialAttributes::conductivity() / K3_t, 0.9);
    EntityEditor::setSIValue(first, MaterialAttributes::valueOf(MaterialAttributes::density()), 1850);
    EntityEditor::setSIValue(first, MaterialAttributes::thermalExpansion() / Reference_Temperature_t, 20);
    EntityEditor::setSIValue(first, MaterialAttributes::valueOf(MaterialAttributes::thermalExpansion()), 1.4e-5);
    EntityEditor::setSIValue(first, MaterialAttributes::valueOf(MaterialAttributes::youngsModulus()), 2.2e10);
    Entity* second = material(*model, "F R.4");
    EntityEditor::setSIValue(second, MaterialAttributes::valueOf(MaterialAttributes::conductivity()), 0.25);

    const Exported exported = exportOf(*model);
    EXPECT_EQ(exported.notes,
              QStringList({"Material EC_F_R_4 is orthotropic; the mean of its conductivities, 0.5 W/(m K), was exported."}));
    EXPECT_EQ(table(exported.project, "EC_F_R_4", "Thermal/Model"), "25 0.5 1850 0 0 0 \n");
    EXPECT_EQ(table(exported.project, "EC_F_R_4_1", "Thermal/Model"), "25 0.25 0 0 0 0 \n");
    EXPECT_EQ(table(exported.project, "EC_F_R_4", "Structural/Elasticity"), "25 2.2e+10 0 \n");
    EXPECT_EQ(table(exported.project, "EC_F_R_4", "Structural/CTE"), "25 1.4e-05 \n");
    const QDomElement cte = Tarvex3D::Tarvex3DDomModel(exported.project)
                                .getMaterials()[0]
                                .getElement()
                                .firstChildElement("Structural")
                                .firstChildElement("CTE");
    EXPECT_EQ(cte.attribute("RefTemperature"), "20");
}

TEST(MaterialWriterTest, TheLibraryReadBackGivesTheMaterialsProperties)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* copper = importLibrary(copperLibrary(), model->getRoot()).at(0);
    // A curve whose temperatures are not whole degrees, and a specific heat that varies.
    EntityEditor::setValue(copper, MaterialAttributes::specificHeat() / Option_t, "Temperature Dependent");
    EntityEditor::setSIPointsCurve(copper, MaterialAttributes::curveOf(MaterialAttributes::specificHeat()),
                                   {QPointF(250.25, 360.125), QPointF(400.0, 1.0 / 3.0)});
    const Exported exported = exportOf(*model);

    const Tarvex3D::Tarvex3DDomModel read(exported.project);
    Tarvex3D::TarvexMaterialImporter importer(nullptr);
    const std::vector<Tarvex3D::Tarvex3DMaterial> materials = importer.generateMaterials(read);
    ASSERT_EQ(materials.size(), 1u);
    const Tarvex3D::Tarvex3DMaterial& back = materials[0];
    EXPECT_EQ(back.getName(), "EC_Cu_101_b");
    // Rows at 250.25, 293.15, 373.15 and 400 K; each curve read at every one of them.
    const auto conductivity = back.getThermalConductivity().getCurveData();
    ASSERT_EQ(conductivity.size(), 4u);
    const double kelvins[] = {250.25, 293.15, 373.15, 400.0};
    const double conductivities[] = {401, 401, 391, 391};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(conductivity[i].first, kelvins[i], 1e-9);
        EXPECT_EQ(conductivity[i].second, conductivities[i]);
    }
    EXPECT_EQ(back.getSpecificHeat().getCurveData().front().second, 360.125);
    EXPECT_EQ(back.getSpecificHeat().getCurveData().back().second, 1.0 / 3.0) << "written exactly";
    EXPECT_EQ(back.getDensity().getCurveData().front().second, 8933);
    EXPECT_EQ(back.getEmissivity().getCurveData().front().second, 0.03);
    EXPECT_EQ(back.getSolarReflectance().getCurveData().front().second, 0.4);
    ASSERT_EQ(back.getElectricalConductivity().getCurveData().size(), 1u);
    EXPECT_NEAR(back.getElectricalConductivity().getCurveData()[0].first, 298.15, 1e-9) << "the one row at 25 °C";
    EXPECT_EQ(back.getElectricalConductivity().getCurveData()[0].second, 5.8e7);
}
