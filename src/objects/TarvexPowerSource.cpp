#include <tarvex/objects/TarvexPowerSource.h>

namespace Tarvex {

TarvexPowerSource::~TarvexPowerSource() = default;

QString TarvexPowerSource::getName() const
{
    return common.name;
}

QString TarvexPowerSource::getObjectName() const
{
    return common.objectName;
}

} // namespace Tarvex
