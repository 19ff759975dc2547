#pragma once

#include <tarvex/host/ToolProgress.h>

#include <QStringList>

namespace Render {

/// A sink that keeps the warnings passing through it, for a report to list, and forwards
/// everything to another sink.
class WarningCollector : public Tools::ToolProgress
{
public:
    /// Forwards to `target` (may be null: then messages are only kept).
    explicit WarningCollector(Tools::ToolProgress* target);

    /// The warnings posted so far, in order.
    const QStringList& warnings() const { return m_warnings; }

    void reset() override;
    void setTotalSteps(quint64 total) override;
    void setStep(quint64 count) override;
    void post(Kind kind, const QString& text) override;

private:
    Tools::ToolProgress* m_target;
    QStringList m_warnings;
};

} // namespace Render
