#include <tarvex/objects/TarvexTerminal.h>

namespace Tarvex {

TarvexTerminal::TarvexTerminal(const QString& terminalName, const QString& terminalObjectName,
                               const QString& terminalNormal, qint32 terminalNX, qint32 terminalNY,
                               qint64 terminalSourcePosition, const TarvexTerminalGroup& terminalGroup)
    : name(terminalName),
      objectName(terminalObjectName),
      normal(terminalNormal),
      nx(terminalNX),
      ny(terminalNY),
      sourcePosition(terminalSourcePosition),
      group(terminalGroup)
{
}

} // namespace Tarvex
