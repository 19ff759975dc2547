#include "Model3DTestData.h"

#include <tarvex/model3d/Tarvex3DMaterial.h>

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

using namespace Model3DTest;
using Tarvex3D::Tarvex3DCurveProperties;
using Tarvex3D::Tarvex3DDataDescription;
using Tarvex3D::Tarvex3DMaterial;

namespace {

using Points = std::vector<std::pair<double, double>>;

Points points(const Tarvex3DCurveProperties& curve)
{
    Points result;
    for (const auto& point : curve.getCurveData())
        result.emplace_back(point.first, point.second);
    return result;
}

Tarvex3DDataDescription description(const QString& name, const QList<Tarvex3DDataDescription::Column>& columns)
{
    Tarvex3DDataDescription result(name);
    for (const auto& column : columns)
        result.addValue(column);
    return result;
}

/// The only material of a library, parsed with the library's descriptions.
Tarvex3DMaterial parsedMaterial(const QByteArray& materialXml, const QByteArray& descriptions = defaultDescriptions())
{
    const Tarvex3D::Tarvex3DDomModel model = parse(library(materialXml, descriptions));
    std::vector<Tarvex3DMaterial> materials = model.getMaterials();
    if (materials.size() != 1)
        return Tarvex3DMaterial();
    materials.front().parseMaterialProperties(
        model.getDataDescriptions({"Metal", "Thermal"}) + model.getStructuralDataDescriptions({"Elasticity", "CTE"}));
    return materials.front();
}

QStringList issueTexts(const Tarvex3DMaterial& material)
{
    QStringList texts;
    for (const auto& issue : material.getTableIssues())
        texts << QStringLiteral("%1@%2: %3").arg(issue.table).arg(issue.line).arg(issue.text);
    return texts;
}

} // namespace

TEST(Tarvex3DMaterial, ParsesEveryTableIntoSICurves)
{
    const Tarvex3DMaterial copper = parsedMaterial(material(
        "Copper", "-50 401 8933 360 0.05 0.6\n25 398 8.9e3 385 0.05 0.6\n",
        "<Metal><Model>20 5.96e7\n100 4.6e7</Model></Metal>\n"
        "<Structural><Elasticity>25 1.17e11 0.34\n125 1.1e11 0.35</Elasticity>"
        "<CTE RefTemperature=\"25\">-40 1.6e-5\n25 1.7e-5</CTE></Structural>\n"));
    EXPECT_EQ(points(copper.getThermalConductivity()), (Points{{kelvin(-50), 401}, {kelvin(25), 398}}));
    EXPECT_EQ(points(copper.getDensity()), (Points{{kelvin(-50), 8933}, {kelvin(25), 8900}}));
    EXPECT_EQ(points(copper.getElectricalConductivity()), (Points{{kelvin(20), 5.96e7}, {kelvin(100), 4.6e7}}));
    EXPECT_EQ(points(copper.getPoissonsRatio()), (Points{{kelvin(25), 0.34}, {kelvin(125), 0.35}}));
    EXPECT_EQ(points(copper.getCTE()), (Points{{kelvin(-40), 1.6e-5}, {kelvin(25), 1.7e-5}}));
    EXPECT_EQ(copper.getCTERefTemp(), 25.0); // as written, not converted
    EXPECT_TRUE(copper.getTableIssues().isEmpty()) << issueTexts(copper).join('\n').toStdString();

    // Parsing again replaces every curve, the CTE included (its points are not appended
    // a second time).
    Tarvex3DMaterial again = copper;
    const Tarvex3D::Tarvex3DDomModel model = parse(library(material("Copper", "")));
    again.parseMaterialProperties(model.getDataDescriptions({"Metal", "Thermal"}) +
                                  model.getStructuralDataDescriptions({"Elasticity", "CTE"}));
    EXPECT_EQ(points(again.getCTE()), points(copper.getCTE()));
}

TEST(Tarvex3DMaterial, ConvertsEachColumnFromItsOwnUnit)
{
    const QByteArray descriptions =
        "<DataDescriptions><Thermal><Column name=\"Temperature\" unit=\"F\"/>"
        "<Column name=\"Conductivity\" unit=\"W/(cm*K)\"/><Column name=\"Density\" unit=\"g/cm^3\"/>"
        "<Column name=\"Specific heat\" unit=\"J/(g*K)\"/><Column name=\"Emissivity\" unit=\"%\"/></Thermal>"
        "<Structural><CTE><Column name=\"Reference Temperature\" unit=\"C\"/><Column name=\"Temperature\" unit=\"K\"/>"
        "<Column name=\"CTE\" unit=\"1/C\"/></CTE></Structural></DataDescriptions>";
    const Tarvex3DMaterial m = parsedMaterial(
        material("M", "212 4 8.9 0.385 90\n", "<Structural><CTE RefTemperature=\"x\">300 2e-5 7\n</CTE></Structural>"),
        descriptions);
    ASSERT_EQ(m.getThermalConductivity().getCurveData().size(), 1u);
    EXPECT_DOUBLE_EQ(m.getThermalConductivity().getCurveData().front().second, 400.0);
    EXPECT_DOUBLE_EQ(m.getThermalConductivity().getCurveData().front().first, 373.15);
    EXPECT_DOUBLE_EQ(m.getDensity().getCurveData().front().second, 8900.0);
    EXPECT_DOUBLE_EQ(m.getSpecificHeat().getCurveData().front().second, 385.0);
    // Emissivity is stored as read, whatever its unit says.
    EXPECT_DOUBLE_EQ(m.getEmissivity().getCurveData().front().second, 90.0);
    // The CTE table reads field 0 as the temperature and field 1 as the coefficient, even
    // where the layout puts a reference temperature first; the unit is the "Temperature"
    // column's.
    EXPECT_EQ(points(m.getCTE()), (Points{{300, 2e-5}}));

    // Unknown units leave the values as they are (kelvin for temperatures).
    const QByteArray unknown = "<DataDescriptions><Metal><Column name=\"Temperature\" unit=\"Rankine\"/>"
                               "<Column name=\"Conductivity\" unit=\"S/m\"/></Metal></DataDescriptions>";
    const Tarvex3DMaterial u = parsedMaterial("<Material name=\"U\"><Metal><Model>500 1e6</Model></Metal></Material>", unknown);
    EXPECT_EQ(points(u.getElectricalConductivity()), (Points{{500, 1e6}}));
}

TEST(Tarvex3DMaterial, SplitsRowsAtNewlinesAndFieldsAtEverySingleBlank)
{
    const Tarvex3DDataDescription metal = description("Metal", {{"Temperature", "K"}, {"Conductivity", "S/m"}, {"Third", ""}});
    // Two blanks make an empty field, which reads as 0.
    EXPECT_EQ(points(Tarvex3DMaterial::parseMaterialProperty(metal, "25  400", "Conductivity")), (Points{{25, 0}}));
    EXPECT_EQ(points(Tarvex3DMaterial::parseMaterialProperty(metal, "25  400", "Third")), (Points{{25, 400}}));
    // Tabs and carriage returns are blanks too; the text as a whole is trimmed, rows are not.
    EXPECT_EQ(points(Tarvex3DMaterial::parseMaterialProperty(metal, "\n\t 10\t1\r\n20 2\r\n  ", "Conductivity")),
              (Points{{10, 1}, {20, 2}}));
    EXPECT_EQ(points(Tarvex3DMaterial::parseMaterialProperty(metal, "10 1\n 20 2", "Conductivity")),
              (Points{{10, 1}, {0, 20}}));
    // A field that is not a number reads as 0; a row too short for the column is skipped.
    // A row of blanks only is taken as a row with no fields and skipped, not as a row of
    // empty fields that would read as a point (0, 0).
    EXPECT_EQ(points(Tarvex3DMaterial::parseMaterialProperty(metal, "10 abc\nx 5\n30\n   \n\n40 4", "Conductivity")),
              (Points{{10, 0}, {0, 5}, {40, 4}}));
    // Missing "Temperature" or property column: no curve at all.
    EXPECT_EQ(points(Tarvex3DMaterial::parseMaterialProperty(metal, "10 1", "Density")), Points());
    const Tarvex3DDataDescription noTemperature = description("Metal", {{"Temp", "K"}, {"Conductivity", ""}});
    EXPECT_EQ(points(Tarvex3DMaterial::parseMaterialProperty(noTemperature, "10 1", "Conductivity")), Points());
}

TEST(Tarvex3DMaterial, ReportsQuestionableRowsWithTheirDocumentLines)
{
    // Line numbers: the library header takes lines 1-10 (declaration, top element, eight
    // description lines), the material starts on 11, its table text on 12, the first row on 13.
    const Tarvex3DMaterial m = parsedMaterial(material("Bad",
                                                       "25 398 8933 385 0.05 0.6\n"   // 13
                                                       "50 39x 8933 385 0.05 0.6\n"   // 14: not a number
                                                       "75 390 8933\n"                // 15: too short
                                                       "\n"                           // 16: blank, fine
                                                       "100  390 8933 385 0.05 0.6\n" // 17: empty field
                                                       "75 380 8933 390 0.05 0.6\n"   // 18: repeated
                                                       "60 380 8933 390 0.05 0.6\n",  // 19: out of order
                                                       // A CTE row without its second field is skipped
                                                       // like the short rows of the other tables.
                                                       "<Structural><CTE>\n25 1e-5\n30\n</CTE></Structural>\n"));
    EXPECT_EQ(issueTexts(m),
              (QStringList{
                  "Thermal@14: not a number, read as 0: \"39x\" in column \"Conductivity\"",
                  "Thermal@15: the row has 3 fields, too few for \"Specific heat\", \"Emissivity\", \"Solar Reflectance\"; "
                  "they are not read from this row",
                  "Thermal@17: empty field read as 0 in \"Conductivity\" (fields are separated by single blanks)",
                  "Thermal@18: temperature 75 was already given on line 15",
                  "Thermal@19: temperature 60 is out of order: the temperatures above it rise",
                  "CTE@23: the row has 1 fields, too few for \"CTE\"; they are not read from this row",
              }));
    // The rows are still read as the format says.
    EXPECT_EQ(m.getSpecificHeat().getCurveData().size(), 5u);

    // A falling table is in order; past five problems a table gets one summary line.
    const Tarvex3DMaterial falling = parsedMaterial(material("F", "100 1 1 1 1 1\n50 2 1 1 1 1\n0 3 1 1 1 1\n"));
    EXPECT_TRUE(falling.getTableIssues().isEmpty()) << issueTexts(falling).join('\n').toStdString();
    const Tarvex3DMaterial many = parsedMaterial(material("N", QByteArray("a b c d e f\n").repeated(4)));
    EXPECT_EQ(many.getTableIssues().size(), 6);
    EXPECT_EQ(issueTexts(many).last(), "Thermal@0: 2 more problem(s) in this table not listed");
}

TEST(Tarvex3DMaterial, ReportsNumbersThatAreNotFiniteWithTheirRowAndColumn)
{
    // NaN and infinities are kept as the reader gives them; a number too large for a double,
    // or a reference temperature that is no number, is read as 0 as before. The second
    // thermal row is on line 14, the CTE element on line 16.
    const QString kept = "not a finite number, kept as read; the model takes no curve or value holding it: ";
    const QString zero = "not a finite number (too large for a double), read as 0: ";
    const QString badReference = "CTE@16: attribute RefTemperature is not a finite number ";
    // The second thermal row and the reference temperature, the issue, and the second
    // conductivity point and the reference temperature as read.
    const std::tuple<QByteArray, QByteArray, QString, QString> cases[] = {
        {"50 nan 8933 385 0.05 0.6", "25", "Thermal@14: " + kept + "\"nan\" in column \"Conductivity\"", "323.15:nan ref 25"},
        {"1e999 390 8933 385 0.05 0.6", "25", "Thermal@14: " + zero + "\"1e999\" in column \"Temperature\"", "273.15:390 ref 25"},
        {"50 390 8933 385 0.05 0.6", "-inf", badReference + "(-inf), kept as read; the model takes no such value", "323.15:390 ref -inf"},
        {"50 390 8933 385 0.05 0.6", "1e999", badReference + "(1e999), read as 0", "323.15:390 ref 0"},
        {"50 390 8933 385 0.05 0.6", "warm", badReference + "(warm), read as 0", "323.15:390 ref 0"},
    };
    for (const auto& [row, reference, issue, read] : cases) {
        const Tarvex3DMaterial m = parsedMaterial(material("M", "25 398 8933 385 0.05 0.6\n" + row + "\n",
                                                           "<Structural><CTE RefTemperature=\"" + reference +
                                                               "\">\n25 1e-5\n</CTE></Structural>\n"));
        EXPECT_EQ(issueTexts(m), QStringList{issue});
        const auto& curve = m.getThermalConductivity().getCurveData();
        ASSERT_EQ(curve.size(), 2u) << row.toStdString();
        EXPECT_EQ(QStringLiteral("%1:%2 ref %3").arg(curve[1].first).arg(curve[1].second).arg(m.getCTERefTemp()), read);
    }
}
