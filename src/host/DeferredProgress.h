#pragma once

#include <tarvex/host/ToolProgress.h>

#include <vector>

namespace Tools {

/// A sink that keeps everything sent to it, in order, to hand it on later: work done on
/// another thread reports through it, and its reports reach the real sink when the work
/// is taken up, as if the work had been done there and then.
class DeferredProgress : public ToolProgress
{
public:
    /// Sends everything kept to `target`, in the order it came, and forgets it.
    void replayInto(ToolProgress& target);

    void reset() override;
    void setTotalSteps(quint64 total) override;
    void setStep(quint64 count) override;
    void post(Kind kind, const QString& text) override;

private:
    enum class Call { Reset, SetTotalSteps, SetStep, Post };
    struct Record
    {
        Call call;
        quint64 number;
        Kind kind;
        QString text;
    };
    std::vector<Record> m_records;
};

} // namespace Tools
