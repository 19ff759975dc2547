#include "host/UnitConverter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using EntityModel::TypeRef;
using EntityModel::UnitConverter;

const UnitConverter& converter()
{
    return UnitConverter::instance();
}

struct Conversion
{
    TypeRef quantity;
    const char* unit;
    double value;
    double si;
};

// Every unit the readers may meet, with its SI value worked out by hand.
std::vector<Conversion> conversionTable()
{
    using namespace EntityModel;
    return {
        {Length_t, "m", 2.5, 2.5},
        {Length_t, "cm", 2.5, 0.025},
        {Length_t, "mm", 2.5, 0.0025},
        {Length_t, "um", 250.0, 2.5e-4},
        {Length_t, "micron", 250.0, 2.5e-4},
        {Length_t, "\xc2\xb5m", 250.0, 2.5e-4},
        {Length_t, "nm", 3.0, 3e-9},
        {Length_t, "mil", 10.0, 2.54e-4},
        {Length_t, "in", 2.0, 0.0508},
        {Length_t, "inch", 2.0, 0.0508},
        {Length_t, "ft", 2.0, 0.6096},
        {Displacement_t, "mm", 4.0, 0.004},
        {Displacement_t, "um", 4.0, 4e-6},
        {Area_t, "mm^2", 3.0, 3e-6},
        {Area_t, "cm^2", 3.0, 3e-4},
        {Power_t, "W", 1.5, 1.5},
        {Power_t, "mW", 1.5, 0.0015},
        {Power_t, "kW", 1.5, 1500.0},
        {Power_t, "uW", 1.5, 1.5e-6},
        {Temperature_t, "K", 300.0, 300.0},
        {Temperature_t, "C", 25.0, 298.15},
        {Temperature_t, "C", -273.15, 0.0},
        {Temperature_t, "degC", 100.0, 373.15},
        {Temperature_t, "\xc2\xb0" "C", 0.0, 273.15},
        {Temperature_t, "F", 32.0, 273.15},
        {Temperature_t, "F", 212.0, 373.15},
        {Temperature_t, "degF", -40.0, 233.15},
        {Conductivity_t, "W/(m K)", 390.0, 390.0},
        {Conductivity_t, "W/(mm K)", 0.39, 390.0},
        {Conductivity_t, "W/(cm K)", 3.9, 390.0},
        {Conductivity_t, "W/(in K)", 1.0, 1.0 / 0.0254},
        {Conductivity_t, "BTU/(hr ft F)", 1.0, 1.730734666},
        {Density_t, "kg/(m^3)", 8960.0, 8960.0},
        {Density_t, "g/(cm^3)", 8.96, 8960.0},
        {Density_t, "g/cc", 8.96, 8960.0},
        {Density_t, "lb/(in^3)", 1.0, 27679.9047102},
        {Density_t, "lb/(ft^3)", 1.0, 16.0184633740},
        {SpecificHeat_t, "J/(kg K)", 385.0, 385.0},
        {SpecificHeat_t, "J/(g K)", 0.385, 385.0},
        {SpecificHeat_t, "kJ/(kg K)", 0.385, 385.0},
        {SpecificHeat_t, "BTU/(lb F)", 1.0, 4186.8},
        {Specific_Heat_t, "J/(g K)", 1.0, 1000.0},
        {Time_t, "s", 5.0, 5.0},
        {Time_t, "ms", 5.0, 0.005},
        {Time_t, "min", 2.0, 120.0},
        {Time_t, "h", 2.0, 7200.0},
        {Time_t, "hr", 2.0, 7200.0},
        {Force_t, "N", 3.0, 3.0},
        {Force_t, "kN", 3.0, 3000.0},
        {Force_t, "lbf", 1.0, 4.4482216152605},
        {Mass_t, "kg", 2.0, 2.0},
        {Mass_t, "g", 2.0, 0.002},
        {Mass_t, "lb", 1.0, 0.45359237},
        {Heat_Transfer_Coefficient_t, "W/(m^2 K)", 10.0, 10.0},
        {Thermal_Resistance_t, "K/W", 0.5, 0.5},
        {Thermal_Resistance_t, "C/W", 0.5, 0.5},
    };
}

double tolerance(double expected)
{
    return 1e-9 * std::max(1.0, std::abs(expected));
}

TEST(UnitConverterTest, ConvertsToAndFromSI)
{
    for (const Conversion& c : conversionTable()) {
        SCOPED_TRACE(c.quantity.getLabel().toStdString() + " [" + c.unit + "]");
        const TypeRef unit(c.unit);
        bool ok = false;
        EXPECT_NEAR(converter().convertToSI(c.quantity, c.value, unit, &ok), c.si, tolerance(c.si));
        EXPECT_TRUE(ok);
        ok = false;
        EXPECT_NEAR(converter().convertFromSI(c.quantity, c.si, unit, &ok), c.value, tolerance(c.value));
        EXPECT_TRUE(ok);
        EXPECT_TRUE(converter().isKnown(c.quantity, unit));
    }
}

TEST(UnitConverterTest, SpellingsOfOneUnitAgree)
{
    using namespace EntityModel;
    struct Case
    {
        TypeRef quantity;
        std::vector<const char*> spellings;
        double value;
        double si;
    };
    const Case cases[] = {
        {Conductivity_t, {"W/(m-K)", "W/(m K)", "W/mK", "W/(m*K)", " W / ( m - K ) ", "W/m-K", "W/(mK)"}, 2.0, 2.0},
        {Conductivity_t, {"W/(mm-K)", "W/(mm K)", "W/mmK", "W/(mm*K)"}, 2.0, 2000.0},
        {Density_t, {"kg/(m^3)", "kg/m^3", "kg/m3", "kg/(m3)", "kg/m\xc2\xb3"}, 5.0, 5.0},
        {Density_t, {"g/(cm^3)", "g/cm3", "g/cm^3"}, 1.0, 1000.0},
        {SpecificHeat_t, {"J/(kg-K)", "J/(kg K)", "J/kgK", "J/(kg*K)"}, 3.0, 3.0},
        {Heat_Transfer_Coefficient_t, {"W/(m^2-K)", "W/(m2 K)", "W/m2K", "W/(m^2*K)"}, 7.0, 7.0},
        {Length_t, {"um", "\xc2\xb5m", "\xce\xbcm", " um "}, 1.0, 1e-6},
        {Temperature_t, {"C", "degC", "\xc2\xb0" "C", " C"}, 10.0, 283.15},
    };
    for (const Case& c : cases) {
        for (const char* spelling : c.spellings) {
            SCOPED_TRACE(std::string("\"") + spelling + "\"");
            bool ok = false;
            EXPECT_NEAR(converter().convertToSI(c.quantity, c.value, TypeRef(spelling), &ok), c.si, tolerance(c.si));
            EXPECT_TRUE(ok);
        }
    }
}

TEST(UnitConverterTest, QuantityLabelsAndSIUnits)
{
    using namespace EntityModel;
    // The readers name quantities by type constant or by table column title.
    for (const char* label : {"SpecificHeat", "Specific_Heat", "Specific heat", "Specific Heat"}) {
        SCOPED_TRACE(label);
        bool ok = false;
        EXPECT_DOUBLE_EQ(converter().convertToSI(TypeRef(label), 2.0, TypeRef("kJ/(kg K)"), &ok), 2000.0);
        EXPECT_TRUE(ok);
    }

    const std::pair<TypeRef, const char*> siUnits[] = {
        {Length_t, "m"},
        {Displacement_t, "m"},
        {Power_t, "W"},
        {Temperature_t, "K"},
        {Conductivity_t, "W/(m K)"},
        {Density_t, "kg/(m^3)"},
        {SpecificHeat_t, "J/(kg K)"},
        {Specific_Heat_t, "J/(kg K)"},
        {Area_t, "m^2"},
        {Mass_t, "kg"},
        {Time_t, "s"},
        {Force_t, "N"},
        {Heat_Transfer_Coefficient_t, "W/(m^2 K)"},
        {Thermal_Resistance_t, "K/W"},
    };
    for (const auto& entry : siUnits) {
        SCOPED_TRACE(entry.first.getLabel().toStdString());
        const TypeRef si = converter().getSIUnit(entry.first);
        EXPECT_EQ(si.getLabel(), QString::fromUtf8(entry.second));
        // The SI unit must itself be known, with no offset and factor 1.
        bool ok = false;
        EXPECT_EQ(converter().convertToSI(entry.first, 12.75, si, &ok), 12.75);
        EXPECT_TRUE(ok);
    }
    EXPECT_TRUE(converter().getSIUnit(TypeRef("Voltage")).isNull());
    EXPECT_TRUE(converter().getSIUnit(TypeRef()).isNull());
}

TEST(UnitConverterTest, UnknownUnitsAndQuantitiesLeaveTheValue)
{
    using namespace EntityModel;
    struct Case
    {
        TypeRef quantity;
        const char* unit;
    };
    const Case cases[] = {
        {Length_t, "Mm"},         // case matters: not mm
        {Length_t, "MM"},
        {Length_t, "furlong"},
        {Length_t, ""},
        {Length_t, "W"},          // a unit of another quantity
        {Power_t, "m"},
        {Temperature_t, "c"},
        {Temperature_t, "W/(m K)"},
        {Conductivity_t, "W/(m^2 K)"},
        {Density_t, "kg/(m^2)"},
        {TypeRef("Voltage"), "V"},
        {TypeRef(), "m"},
        {TypeRef("Lengths"), "m"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quantity.getLabel().toStdString() + " [" + c.unit + "]");
        bool ok = true;
        EXPECT_EQ(converter().convertToSI(c.quantity, 42.5, TypeRef(c.unit), &ok), 42.5);
        EXPECT_FALSE(ok);
        ok = true;
        EXPECT_EQ(converter().convertFromSI(c.quantity, 42.5, TypeRef(c.unit), &ok), 42.5);
        EXPECT_FALSE(ok);
        EXPECT_FALSE(converter().isKnown(c.quantity, TypeRef(c.unit)));
    }
    // Without a flag the calls still answer.
    EXPECT_EQ(converter().convertToSI(Length_t, 3.0, TypeRef("parsec")), 3.0);
    EXPECT_EQ(converter().convertFromSI(Length_t, 3.0, TypeRef("parsec")), 3.0);
    EXPECT_DOUBLE_EQ(converter().convertFromSI(Length_t, 0.003, TypeRef("mm")), 3.0);

    EXPECT_EQ(UnitConverter::describeUnknown(Length_t, TypeRef("furlong")),
              QStringLiteral("Unknown unit \"furlong\" for Length"));
    // Placeholders inside the labels must not be substituted again.
    EXPECT_EQ(UnitConverter::describeUnknown(TypeRef("%1"), TypeRef("%2")), QStringLiteral("Unknown unit \"%2\" for %1"));
}

} // namespace
