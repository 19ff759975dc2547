// Materials as the project's library holds them: the rows of each table and the names. The
// rows of a library material are checked end to end in tests/app/Export3DCommandTest.
#include "exchange3d/ExportTestSupport.h"

#include <tarvex/exchange3d/Tarvex3DMaterialWriter.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/MaterialAttributes.h>

#include <gtest/gtest.h>

using namespace ExportTest;
using Tarvex3D::Tarvex3DDataDescription;
using Tarvex3D::Tarvex3DMaterialWriter;

namespace {

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

} // namespace

TEST(MaterialWriterTest, RowsComeFromTheCurvesAndConstantsFillEveryRow)
{
    Tarvex3DDataDescription thermal("Thermal");
    for (const char* column : {"Temperature", "Conductivity", "Density", "Unknown"})
        thermal.addValue({column, ""});
    const EntityModel::CurveAttribute falling(Conductivity_Temperature_Curve_t,
                                              {QPointF(373.15, 391), QPointF(293.15, 401)});
    const EntityModel::CurveAttribute other(Conductivity_Temperature_Curve_t, {QPointF(333.15, 1), QPointF(373.15, 2)});
    const EntityModel::CurveAttribute fraction(Conductivity_Temperature_Curve_t, {QPointF(250.25, 1.0 / 3.0)});
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
        // Temperatures that are no whole degrees, and values written exactly to be read back.
        {{{"Conductivity", &fraction, 0}}, "-22.9 0.3333333333333333 0 0 \n"},
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
    using M = MaterialAttributes;
    child(model->getRoot(), Material_t, Materials_t, "F R.4",
          {{M::conductivity() / Type_t, Orthotropic_t}, {M::conductivity() / K1_t, 0.3},
           {M::conductivity() / K2_t, 0.3}, {M::conductivity() / K3_t, 0.9}, {M::valueOf(M::density()), 1850.0},
           {M::thermalExpansion() / Reference_Temperature_t, 20.0}, {M::valueOf(M::thermalExpansion()), 1.4e-5},
           {M::valueOf(M::youngsModulus()), 2.2e10}});
    child(model->getRoot(), Material_t, Materials_t, "F R.4", {{M::valueOf(M::conductivity()), 0.25}});

    const Exported exported = exportOf(*model);
    EXPECT_EQ(exported.notes, QStringList({"F R.4: Material EC_F_R_4 is orthotropic; the mean of its "
                                           "conductivities, 0.5 W/(m K), was exported."}));
    EXPECT_EQ(table(exported.project, "EC_F_R_4", "Thermal/Model"), "25 0.5 1850 0 0 0 \n");
    EXPECT_EQ(table(exported.project, "EC_F_R_4_1", "Thermal/Model"), "25 0.25 0 0 0 0 \n");
    EXPECT_EQ(table(exported.project, "EC_F_R_4", "Structural/Elasticity"), "25 2.2e+10 0 \n");
    EXPECT_EQ(table(exported.project, "EC_F_R_4", "Structural/CTE"), "25 1.4e-05 \n");
    const QDomElement first = Tarvex3D::Tarvex3DDomModel(exported.project).getMaterials()[0].getElement();
    EXPECT_EQ(first.firstChildElement("Structural").firstChildElement("CTE").attribute("RefTemperature"), "20");
}
