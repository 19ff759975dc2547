#pragma once

#include <QString>

namespace Tarvex {

/// How the terminals of a "TerminalGroup" are modelled ("TerminalType").
enum class TerminalGroupTerminalType : int {
    None = 0,     ///< Missing or unrecognised text.
    Separate = 1, ///< "Separate": every terminal on its own.
    Lump = 2,     ///< "Lump": the group as one terminal.
};

/// "Lump" and "Separate", written exactly, give their value; any other text `fallback`.
TerminalGroupTerminalType terminalGroupTerminalTypeFromString(const QString& text,
                                                              TerminalGroupTerminalType fallback = TerminalGroupTerminalType::None);
/// "Separate" or "Lump"; empty text for none and for any value outside the enumeration.
QString terminalGroupTerminalTypeToString(TerminalGroupTerminalType type);

} // namespace Tarvex
