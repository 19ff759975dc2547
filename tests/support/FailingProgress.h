#pragma once

#include "support/RecordingProgress.h"

#include <new>

namespace Tools {

/// A sink that runs out of memory (throws std::bad_alloc) the first time it is told a text
/// ending in `failAt`, as an allocation failing at that point of an operation would; it
/// records everything else.
class FailingProgress : public RecordingProgress
{
public:
    explicit FailingProgress(const QString& failAt) : m_failAt(failAt) {}

    void post(Kind kind, const QString& text) override
    {
        if (!m_failed && text.endsWith(m_failAt)) {
            m_failed = true;
            throw std::bad_alloc();
        }
        RecordingProgress::post(kind, text);
    }

private:
    QString m_failAt;
    bool m_failed = false;
};

} // namespace Tools
