#pragma once

#include <tarvex/objects/TarvexPowerSource.h>

#include <QString>

#include <memory>
#include <vector>

namespace Tarvex {

/// The power sources of one interchange file, kept sorted by the name of the part they
/// belong to.
class TarvexPowerSourceTable
{
public:
    /// The shared sources (the type parts keep them in).
    using PowerSourceList = std::vector<std::shared_ptr<TarvexPowerSource>>;

    /// Adds `source` in object-name order, after the sources of the same object; null is
    /// ignored.
    void insert(std::shared_ptr<TarvexPowerSource> source);
    /// Every source whose object name is `objectName`, in table order; possibly none.
    PowerSourceList find(const QString& objectName) const;
    /// The sources, sorted by object name.
    const PowerSourceList& getPowerSources() const { return sources; }
    /// Number of sources.
    int size() const { return int(sources.size()); }
    /// True when the table holds no source.
    bool isEmpty() const { return sources.empty(); }

private:
    PowerSourceList sources;
};

} // namespace Tarvex
