#pragma once

#include <tarvex/host/ProgressBaseObject.h>

#include <QString>

#include <new>

namespace EntityModel {

class Model;

/// Lets an operation the host calls directly end like any other failure when memory runs
/// out inside it (std::bad_alloc): the steps it filed in the model's history are taken
/// back, so that the model is as it was, a fatal error says so, and the operation answers
/// its failure value. Guards nest: only the outermost one catches, so that an operation
/// called by another is taken back with all of the outer one. Edits made inside a step the
/// caller holds open stay in that step, for the caller to take back.
class MemoryGuard
{
public:
    /// Notes where the history of `model` (may be null) stands.
    explicit MemoryGuard(Model* model);
    ~MemoryGuard();
    MemoryGuard(const MemoryGuard&) = delete;
    MemoryGuard& operator=(const MemoryGuard&) = delete;

    /// Runs `operation` and answers its result. When it runs out of memory, `model` is
    /// taken back, `reporter` reports that the operation `name` ran out of memory, and
    /// `failed` is answered.
    template <typename Result, typename Operation>
    static Result run(Model* model, const Log::ProgressBaseObject& reporter, const QString& name, Result failed,
                      Operation&& operation)
    {
        MemoryGuard guard(model);
        try {
            return operation();
        } catch (const std::bad_alloc&) {
            if (!guard.isOutermost())
                throw;
            guard.rollBack();
            reporter.fatalError(message(name));
            return failed;
        }
    }

    /// True when no other guard is running.
    bool isOutermost() const { return m_outermost; }
    /// Undoes every step filed since the guard was made, unless a step is still open.
    void rollBack() const;
    /// The fatal error of the operation `name` that ran out of memory.
    static QString message(const QString& name);

private:
    Model* m_model;
    int m_done = 0;
    bool m_outermost = false;
};

} // namespace EntityModel
