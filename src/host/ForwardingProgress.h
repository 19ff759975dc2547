#pragma once

#include <tarvex/host/ToolProgress.h>

#include <QStringList>

#include <vector>

namespace Tools {

/// A sink that forwards everything to another sink, putting a prefix in front of every text,
/// and can keep the warnings and fatal errors passing through it for a caller to report.
class ForwardingProgress : public ToolProgress
{
public:
    /// Whether the warnings and fatal errors are kept besides being forwarded.
    enum class Keeping { Nothing, Problems };

    /// A kept warning or fatal error, without the prefix.
    struct Message
    {
        Kind kind;
        QString text;
    };

    /// Forwards to `target` (may be null: then nothing is forwarded) with `prefix` in front.
    explicit ForwardingProgress(ToolProgress* target, const QString& prefix = QString(),
                                Keeping keeping = Keeping::Nothing);

    /// The text put in front of every forwarded message.
    const QString& getPrefix() const { return m_prefix; }
    /// Changes the prefix.
    void setPrefix(const QString& prefix) { m_prefix = prefix; }
    /// How many fatal errors went through so far: a caller that hands this sink on learns
    /// whether anything it called failed.
    int getFatalErrorCount() const { return m_fatalErrors; }
    /// The warnings and fatal errors kept so far, in order (none unless keeping problems).
    const std::vector<Message>& messages() const { return m_messages; }
    /// The texts of the kept warnings, in order.
    QStringList warnings() const;

    void reset() override;
    void setTotalSteps(quint64 total) override;
    void setStep(quint64 count) override;
    void post(Kind kind, const QString& text) override;

private:
    ToolProgress* m_target;
    QString m_prefix;
    Keeping m_keeping;
    int m_fatalErrors = 0;
    std::vector<Message> m_messages;
};

} // namespace Tools
