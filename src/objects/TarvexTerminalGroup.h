#pragma once

#include <tarvex/interchange/TerminalGroupTerminalType.h>

#include <QString>

namespace Tarvex {

/// What the entity builders need of a "TerminalGroup" element, copied out of the file so
/// that the parsed document can go once the parts are made. The default record stands for
/// a terminal outside any group: every value empty or none.
class TarvexTerminalGroup
{
public:
    /// A group of no name, connection type or terminal type.
    TarvexTerminalGroup() = default;
    /// A group with its "Name", "ConnectionType" and "TerminalType".
    TarvexTerminalGroup(const QString& name, const QString& connectionType, TerminalGroupTerminalType terminalType);

    /// "Name": the group name; empty when absent.
    const QString& getName() const { return name; }
    /// "ConnectionType" as written; empty when absent.
    const QString& getConnectionType() const { return connectionType; }
    /// "TerminalType": Lump or Separate; none when absent or anything else.
    TerminalGroupTerminalType getTerminalType() const { return terminalType; }

private:
    QString name;
    QString connectionType;
    TerminalGroupTerminalType terminalType = TerminalGroupTerminalType::None;
};

} // namespace Tarvex
