#include "support/RecordingProgress.h"

namespace Tools {

void RecordingProgress::reset()
{
    ++m_resets;
    m_total = 0;
    m_step = 0;
}

QStringList RecordingProgress::texts(Kind kind) const
{
    QStringList result;
    for (const Entry& entry : m_entries) {
        if (entry.kind == kind)
            result << entry.text;
    }
    return result;
}

} // namespace Tools
