#include <tarvex/host/MachineMemory.h>

#include <unistd.h>

#include <algorithm>

namespace Tools {

qint64 MachineMemory::physicalBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return fallbackBytes;
    return qint64(pages) * qint64(pageSize);
}

qint64 MachineMemory::largestInput(double multiple, qint64 ceiling, qint64 memoryBytes)
{
    if (multiple <= 0.0 || memoryBytes <= 0)
        return 0;
    return std::min(ceiling, qint64(double(memoryBytes) / 2.0 / multiple));
}

} // namespace Tools
