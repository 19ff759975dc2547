#pragma once

#include <QString>

namespace EntityModel {

class Model;

/// Makes every edit of the model made during its life one undo step named `name`.
/// Openers nest: inner ones join the outermost step.
class UndoStackOpener
{
public:
    /// Opens a step on `model`; the flags are accepted for the host's signature and unused.
    UndoStackOpener(Model* model, const QString& name, bool = true, bool = true);
    /// Closes the step.
    ~UndoStackOpener();
    UndoStackOpener(const UndoStackOpener&) = delete;
    UndoStackOpener& operator=(const UndoStackOpener&) = delete;

private:
    Model* m_model;
};

} // namespace EntityModel
