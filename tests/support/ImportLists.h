#pragma once

#include "support/TempDir.h"

#include <QString>

namespace TestSupport {

/// Writes a chain of `levels` import lists into `dir`, each naming the next one twice and
/// the last naming `leaf` (a file of `dir`) twice, so that the chain asks for 2^levels
/// imports of `leaf`; returns the path of the first list.
inline QString writeDoublingChain(const TempDir& dir, int levels, const QString& leaf)
{
    for (int level = 1; level <= levels; ++level) {
        const QString next = level == levels ? leaf : QStringLiteral("list%1.json").arg(level + 1);
        dir.write(QStringLiteral("list%1.json").arg(level),
                  QStringLiteral("{\"TARVEX_INTERCHANGE_MODEL\": {\"Import\": [{\"file\": \"%1\"}, {\"file\": \"%1\"}]}}")
                      .arg(next)
                      .toUtf8());
    }
    return dir.path(QStringLiteral("list1.json"));
}

} // namespace TestSupport
