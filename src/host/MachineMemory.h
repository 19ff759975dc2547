#pragma once

#include <QtGlobal>

namespace Tools {

/// The memory of the machine the library runs on, and the largest input a reader may take
/// on it: readers whose peak memory is a known multiple of their input refuse inputs that
/// would need more than half of the physical memory, leaving the rest to the host.
class MachineMemory
{
public:
    /// Assumed when the system does not tell its physical memory: small enough for any
    /// machine the host runs on.
    static constexpr qint64 fallbackBytes = qint64(4) << 30;

    /// The machine's physical memory in bytes, or `fallbackBytes` when it cannot be found.
    static qint64 physicalBytes();
    /// The largest input, in bytes, whose reading takes at most half of `memoryBytes` when
    /// it needs `multiple` bytes of memory per byte of input; never above `ceiling`.
    static qint64 largestInput(double multiple, qint64 ceiling, qint64 memoryBytes = physicalBytes());
};

} // namespace Tools
