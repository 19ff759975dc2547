#pragma once

#include <tarvex/host/ToolProgress.h>

#include <QStringList>

#include <vector>

namespace Tools {

/// A sink that keeps everything it is told, for tests and for callers that report later.
class RecordingProgress : public ToolProgress
{
public:
    /// One posted text.
    struct Entry
    {
        Kind kind;
        QString text;
    };

    void reset() override;
    void setTotalSteps(quint64 total) override { m_total = total; }
    void setStep(quint64 count) override { m_step = count; }
    void post(Kind kind, const QString& text) override { m_entries.push_back({kind, text}); }

    /// Everything posted, in order.
    const std::vector<Entry>& entries() const { return m_entries; }
    /// The texts of one kind, in order.
    QStringList texts(Kind kind) const;
    /// True when a text of `kind` equal to `text` was posted.
    bool has(Kind kind, const QString& text) const { return texts(kind).contains(text); }
    /// Number of resets so far.
    int resets() const { return m_resets; }
    /// The last total step count.
    quint64 totalSteps() const { return m_total; }
    /// The last step reached.
    quint64 step() const { return m_step; }
    /// Forgets the posted texts.
    void clear() { m_entries.clear(); }

private:
    std::vector<Entry> m_entries;
    int m_resets = 0;
    quint64 m_total = 0;
    quint64 m_step = 0;
};

} // namespace Tools
