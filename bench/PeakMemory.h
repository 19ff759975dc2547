#pragma once

#include <malloc.h>

#include <cstring>
#include <fstream>
#include <string>

// How far the resident memory of this process rises while a case runs, from Linux's own
// counters: VmHWM (the peak) is reset to the current size through clear_refs.
namespace Bench {

/// The value in kB of the line of /proc/self/status that starts with `key` ("VmRSS:"), or -1.
inline long statusKilobytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::strlen(key)));
    }
    return -1;
}

/// The rise of the resident memory above where it stood when the scope began.
class PeakScope
{
public:
    PeakScope()
    {
        malloc_trim(0); // what earlier cases freed is given back first
        std::ofstream("/proc/self/clear_refs") << "5";
        m_before = statusKilobytes("VmRSS:");
    }
    /// The rise so far, in KiB; negative when the counters cannot be read.
    long growthKiB() const
    {
        const long peak = statusKilobytes("VmHWM:");
        return m_before > 0 && peak > 0 ? peak - m_before : -1;
    }
    /// The same in MiB.
    double growthMiB() const { return double(growthKiB()) / 1024.0; }

private:
    long m_before = 0;
};

} // namespace Bench
