#include <tarvex/host/UnitConverter.h>

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

using namespace EntityModel;

const UnitConverter& converter() { return UnitConverter::instance(); }

double tolerance(double expected) { return 1e-9 * std::max(1.0, std::abs(expected)); }

// The units the readers meet, each spelling with its SI value worked out by hand: one row per
// factor or offset, and the spellings a file may give it.
TEST(UnitConverterTest, ConvertsEverySpellingToAndFromSIAndSIUnitsWithFactorOne)
{
    // The quantity, the spellings of one unit, a value in it and the value in SI.
    const std::tuple<TypeRef, std::vector<const char*>, double, double> cases[] = {
        {Length_t, {"um", "micron", "\xc2\xb5m", "\xce\xbcm", " um "}, 250.0, 2.5e-4},
        {Length_t, {"mil"}, 10.0, 2.54e-4},
        {Length_t, {"in", "inch"}, 2.0, 0.0508},
        {Displacement_t, {"um"}, 4.0, 4e-6},
        {Area_t, {"cm^2"}, 3.0, 3e-4},
        {Power_t, {"kW"}, 1.5, 1500.0},
        {Temperature_t, {"C", "degC", "\xc2\xb0" "C", " C"}, 25.0, 298.15},
        {Temperature_t, {"F", "degF"}, -40.0, 233.15},
        {Conductivity_t, {"W/(m-K)", "W/(m K)", "W/mK", "W/(m*K)", " W / ( m - K ) ", "W/m-K"}, 2.0, 2.0},
        {Conductivity_t, {"W/(mm-K)", "W/mmK"}, 2.0, 2000.0},
        {Conductivity_t, {"BTU/(hr ft F)"}, 1.0, 1.730734666},
        {Density_t, {"kg/(m^3)", "kg/m3", "kg/m\xc2\xb3"}, 5.0, 5.0},
        {Density_t, {"g/(cm^3)", "g/cc", "g/cm3"}, 8.96, 8960.0},
        {Density_t, {"lb/(in^3)"}, 1.0, 27679.9047102},
        {SpecificHeat_t, {"J/(g K)", "kJ/(kg K)"}, 0.385, 385.0},
        {SpecificHeat_t, {"BTU/(lb F)"}, 1.0, 4186.8},
        {Time_t, {"h", "hr"}, 2.0, 7200.0},
        {Force_t, {"lbf"}, 1.0, 4.4482216152605},
        {Mass_t, {"lb"}, 1.0, 0.45359237},
        {Heat_Transfer_Coefficient_t, {"W/(m^2-K)", "W/m2K"}, 7.0, 7.0},
        {Thermal_Resistance_t, {"C/W"}, 0.5, 0.5},
    };
    for (const auto& [quantity, spellings, value, si] : cases) {
        for (const char* spelling : spellings) {
            SCOPED_TRACE(quantity.getLabel().toStdString() + " [" + spelling + "]");
            bool ok = false;
            EXPECT_NEAR(converter().convertToSI(quantity, value, TypeRef(spelling), &ok), si, tolerance(si));
            EXPECT_TRUE(ok && converter().isKnown(quantity, TypeRef(spelling)));
            EXPECT_NEAR(converter().convertFromSI(quantity, si, TypeRef(spelling)), value, tolerance(value));
        }
    }
    // The SI units themselves, exactly.
    const std::pair<TypeRef, const char*> siUnits[] = {
        {Length_t, "m"}, {Power_t, "W"}, {Temperature_t, "K"}, {Area_t, "m^2"}, {Mass_t, "kg"},
        {Time_t, "s"}, {Force_t, "N"}, {Thermal_Resistance_t, "K/W"}, {Conductivity_t, "W/(m K)"},
        {Density_t, "kg/(m^3)"}, {SpecificHeat_t, "J/(kg K)"}, {Heat_Transfer_Coefficient_t, "W/(m^2 K)"},
    };
    for (const auto& [quantity, unit] : siUnits)
        EXPECT_EQ(converter().convertToSI(quantity, 12.75, TypeRef(unit)), 12.75) << unit;
    // The readers name quantities by type constant or by table column title.
    for (const char* label : {"Specific_Heat", "Specific heat"})
        EXPECT_DOUBLE_EQ(converter().convertToSI(TypeRef(label), 2.0, TypeRef("kJ/(kg K)")), 2000.0) << label;
}

TEST(UnitConverterTest, UnknownUnitsAndQuantitiesLeaveTheValue)
{
    const std::pair<TypeRef, const char*> cases[] = {
        {Length_t, "Mm"}, {Length_t, "furlong"}, {Length_t, ""}, {Temperature_t, "c"}, // case matters: not mm, C
        {Length_t, "W"}, {Conductivity_t, "W/(m^2 K)"},                                  // units of other quantities
        {TypeRef("Voltage"), "V"}, {TypeRef(), "m"}, {TypeRef("Lengths"), "m"},
    };
    for (const auto& [quantity, unit] : cases) {
        SCOPED_TRACE(quantity.getLabel().toStdString() + " [" + unit + "]");
        bool ok = true;
        EXPECT_EQ(converter().convertToSI(quantity, 42.5, TypeRef(unit), &ok), 42.5);
        EXPECT_FALSE(ok);
        ok = true;
        EXPECT_EQ(converter().convertFromSI(quantity, 42.5, TypeRef(unit), &ok), 42.5);
        EXPECT_FALSE(ok);
        EXPECT_FALSE(converter().isKnown(quantity, TypeRef(unit)));
    }
    EXPECT_EQ(UnitConverter::describeUnknown(Length_t, TypeRef("furlong")),
              QStringLiteral("Unknown unit \"furlong\" for Length"));
    // Placeholders inside the labels must not be substituted again.
    EXPECT_EQ(UnitConverter::describeUnknown(TypeRef("%1"), TypeRef("%2")), QStringLiteral("Unknown unit \"%2\" for %1"));
}

} // namespace
