#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace EntityModel {

/// One recorded edit that can be taken back and made again. It is recorded after it has
/// been applied.
class UndoCommand
{
public:
    virtual ~UndoCommand();
    /// Reverts the edit.
    virtual void undo() = 0;
    /// Applies the edit again after an undo.
    virtual void redo() = 0;
};

/// The model's history: named steps of edits, undone and redone as wholes.
class UndoStack
{
public:
    UndoStack();
    ~UndoStack();
    UndoStack(const UndoStack&) = delete;
    UndoStack& operator=(const UndoStack&) = delete;

    /// Opens a step; nested openings join the outermost one.
    void beginStep(const QString& name);
    /// Closes the step opened last; the outermost close files it (an empty step is dropped).
    void endStep();
    /// True while a step is open.
    bool isStepOpen() const { return m_depth > 0; }
    /// Records an applied edit: into the open step, or as a step of its own named `name`.
    /// Recording drops whatever could have been redone; with recording off the edit is dropped.
    void record(std::unique_ptr<UndoCommand> command, const QString& name);

    /// True when there is a step to undo (and no step is open).
    bool canUndo() const;
    /// True when there is a step to redo (and no step is open).
    bool canRedo() const;
    /// Name of the step `undo` would revert.
    QString undoText() const;
    /// Name of the step `redo` would apply.
    QString redoText() const;
    /// Reverts the last step, its edits in reverse order; false when there is none.
    bool undo();
    /// Applies the next undone step again; false when there is none.
    bool redo();
    /// Number of filed steps (done and undone).
    int count() const { return int(m_steps.size()); }
    /// Number of filed steps that are done, which `undo` can take back.
    int doneCount() const { return int(m_done); }
    /// Takes back the steps filed since `doneCount()` was `done`, which is how a failed
    /// operation leaves the model as it found it; false when they cannot all be taken back.
    bool undoTo(int done);
    /// Drops the whole history.
    void clear();
    /// Whether edits are recorded. A run that will never undo (a single operation of a tool
    /// that does not save after a failure) turns recording off: the history is dropped and
    /// later edits are applied without being kept.
    void setRecording(bool on);
    /// True while edits are recorded (the default).
    bool isRecording() const { return m_recording; }

private:
    struct Step
    {
        QString name;
        std::vector<std::unique_ptr<UndoCommand>> commands;
    };
    void truncateRedo();

    std::vector<Step> m_steps;
    size_t m_done = 0; // steps [0, m_done) are applied
    int m_depth = 0;
    Step m_open;
    bool m_recording = true;
};

} // namespace EntityModel
