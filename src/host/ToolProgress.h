#pragma once

#include <QString>

namespace Tools {

/// The host's progress sink: message kinds and step progress of the running operation.
class ToolProgress
{
public:
    /// What a posted text is.
    enum class Kind { Message, Informational, Warning, FatalError };

    virtual ~ToolProgress();
    /// Starts a new operation: step counts go back to zero.
    virtual void reset() = 0;
    /// Sets the number of steps of the current operation (0: unknown).
    virtual void setTotalSteps(quint64 total) = 0;
    /// Reports that `count` steps of the total are done.
    virtual void setStep(quint64 count) = 0;
    /// Posts a text of the given kind.
    virtual void post(Kind kind, const QString& text) = 0;
};

} // namespace Tools
