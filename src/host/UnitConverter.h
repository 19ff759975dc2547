#pragma once

#include <tarvex/host/TypeRef.h>

#include <optional>

namespace EntityModel {

/// Converts values between the units that exchange files name and SI units. The tables
/// are fixed when the converter is first used.
///
/// Quantities are matched by label ignoring case, blanks and underscores ("SpecificHeat",
/// "Specific_Heat" and "Specific heat" are one quantity). Unit texts are matched ignoring
/// blanks, "-", "(", ")", "*" and "^", so "W/(m-K)", "W/(m K)", "W/(m*K)" and "W/mK" are
/// one unit, as are "kg/(m^3)" and "kg/m3"; otherwise case matters (mm is not Mm).
class UnitConverter
{
public:
    /// How values of one unit become SI: SI = (value + offset) * scale; only temperatures
    /// have an offset.
    struct Conversion
    {
        double scale = 1.0;
        double offset = 0.0;

        /// `value` in SI.
        double toSI(double value) const { return (value + offset) * scale; }
    };

    /// The converter.
    static const UnitConverter& instance();

    /// `value` of `quantity` written in `unit`, in SI. An unknown quantity or unit returns
    /// `value` unchanged and sets `*ok` to false; callers warn with `describeUnknown`.
    double convertToSI(const TypeRef& quantity, double value, const TypeRef& unit, bool* ok = nullptr) const;
    /// The conversion of `quantity` written in `unit` to SI, found once for readers that
    /// convert many values of one unit; nullopt for an unknown quantity or unit.
    std::optional<Conversion> conversionToSI(const TypeRef& quantity, const TypeRef& unit) const;
    /// The SI `value` of `quantity` written in `unit`; unknown units as in `convertToSI`.
    double convertFromSI(const TypeRef& quantity, double value, const TypeRef& unit, bool* ok = nullptr) const;
    /// True when `unit` is a known unit of `quantity`.
    bool isKnown(const TypeRef& quantity, const TypeRef& unit) const;
    /// The SI unit of `quantity` ("m", "W", "K", "W/(m K)"...), or the null reference.
    TypeRef getSIUnit(const TypeRef& quantity) const;
    /// A message for a unit that is not known: "Unknown unit \"%1\" for %2".
    static QString describeUnknown(const TypeRef& quantity, const TypeRef& unit);

private:
    UnitConverter();
    struct Tables;
    const Tables* m_tables;
};

} // namespace EntityModel
