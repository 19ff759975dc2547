#include <tarvex/interchange/TerminalGroupTerminalType.h>

namespace Tarvex {

TerminalGroupTerminalType terminalGroupTerminalTypeFromString(const QString& text, TerminalGroupTerminalType fallback)
{
    // Matched case-sensitively: "lump" is not a terminal type of the format.
    if (text == QLatin1String("Lump"))
        return TerminalGroupTerminalType::Lump;
    if (text == QLatin1String("Separate"))
        return TerminalGroupTerminalType::Separate;
    return fallback;
}

QString terminalGroupTerminalTypeToString(TerminalGroupTerminalType type)
{
    switch (type) {
    case TerminalGroupTerminalType::Separate:
        return QStringLiteral("Separate");
    case TerminalGroupTerminalType::Lump:
        return QStringLiteral("Lump");
    case TerminalGroupTerminalType::None:
        break;
    }
    return QString();
}

} // namespace Tarvex
