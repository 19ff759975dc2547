#include "TarvexVersion.h"

namespace Tarvex {

QString version() { return QStringLiteral(TARVEX_VERSION); }

} // namespace Tarvex
