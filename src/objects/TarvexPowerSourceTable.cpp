#include <tarvex/objects/TarvexPowerSourceTable.h>

#include <algorithm>

namespace Tarvex {

namespace {

bool entryBefore(const std::shared_ptr<TarvexPowerSource>& entry, const QString& key)
{
    return entry->getObjectName() < key;
}

bool keyBefore(const QString& key, const std::shared_ptr<TarvexPowerSource>& entry)
{
    return key < entry->getObjectName();
}

} // namespace

void TarvexPowerSourceTable::insert(std::shared_ptr<TarvexPowerSource> source)
{
    if (!source)
        return;
    const auto at = std::upper_bound(sources.begin(), sources.end(), source->getObjectName(), keyBefore);
    sources.insert(at, std::move(source));
}

TarvexPowerSourceTable::PowerSourceList TarvexPowerSourceTable::find(const QString& objectName) const
{
    const auto first = std::lower_bound(sources.begin(), sources.end(), objectName, entryBefore);
    const auto last = std::upper_bound(first, sources.end(), objectName, keyBefore);
    return PowerSourceList(first, last);
}

} // namespace Tarvex
