#include <tarvex/objects/TarvexTerminalGroup.h>

namespace Tarvex {

TarvexTerminalGroup::TarvexTerminalGroup(const QString& groupName, const QString& groupConnectionType,
                                         TerminalGroupTerminalType groupTerminalType)
    : name(groupName), connectionType(groupConnectionType), terminalType(groupTerminalType)
{
}

} // namespace Tarvex
