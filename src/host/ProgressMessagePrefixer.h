#pragma once

#include <tarvex/host/ToolProgress.h>

namespace CFDProgress {

/// A sink that forwards everything to another sink, putting a prefix in front of every
/// text (an import sets it to the name of the file being read).
class ProgressMessagePrefixer : public Tools::ToolProgress
{
public:
    /// Forwards to `target` (may be null: then nothing is reported).
    explicit ProgressMessagePrefixer(Tools::ToolProgress* target, const QString& prefix = QString());

    /// The text put in front of every message.
    const QString& getPrefix() const { return m_prefix; }
    /// Changes the prefix.
    void setPrefix(const QString& prefix) { m_prefix = prefix; }
    /// The sink messages go to.
    Tools::ToolProgress* getTarget() const { return m_target; }
    /// How many fatal errors went through so far: a caller that hands this sink on learns
    /// whether anything it called failed.
    int getFatalErrorCount() const { return m_fatalErrors; }

    void reset() override;
    void setTotalSteps(quint64 total) override;
    void setStep(quint64 count) override;
    void post(Kind kind, const QString& text) override;

private:
    Tools::ToolProgress* m_target;
    QString m_prefix;
    int m_fatalErrors = 0;
};

} // namespace CFDProgress
