#include <tarvex/host/UndoStack.h>

namespace EntityModel {

UndoCommand::~UndoCommand() = default;

UndoStack::UndoStack() = default;

UndoStack::~UndoStack()
{
    // Undone commands may own entities that refer to the model; release newest first.
    clear();
}

void UndoStack::beginStep(const QString& name)
{
    if (m_depth++ == 0) {
        m_open.name = name;
        m_open.commands.clear();
    }
}

void UndoStack::endStep()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    if (m_open.commands.empty())
        return;
    truncateRedo();
    m_steps.push_back(std::move(m_open));
    m_done = m_steps.size();
    m_open = Step();
}

void UndoStack::record(std::unique_ptr<UndoCommand> command, const QString& name)
{
    if (!command || !m_recording)
        return;
    truncateRedo();
    if (m_depth > 0) {
        m_open.commands.push_back(std::move(command));
        return;
    }
    Step step;
    step.name = name;
    step.commands.push_back(std::move(command));
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
}

bool UndoStack::canUndo() const { return m_depth == 0 && m_done > 0; }

bool UndoStack::canRedo() const { return m_depth == 0 && m_done < m_steps.size(); }

QString UndoStack::undoText() const { return canUndo() ? m_steps[m_done - 1].name : QString(); }

QString UndoStack::redoText() const { return canRedo() ? m_steps[m_done].name : QString(); }

bool UndoStack::undoTo(int done)
{
    while (doneCount() > done) {
        if (!undo())
            return false;
    }
    return true;
}

bool UndoStack::undo()
{
    if (!canUndo())
        return false;
    Step& step = m_steps[--m_done];
    for (auto it = step.commands.rbegin(); it != step.commands.rend(); ++it)
        (*it)->undo();
    return true;
}

bool UndoStack::redo()
{
    if (!canRedo())
        return false;
    Step& step = m_steps[m_done++];
    for (auto& command : step.commands)
        command->redo();
    return true;
}

void UndoStack::clear()
{
    while (!m_steps.empty())
        m_steps.pop_back();
    m_done = 0;
    while (!m_open.commands.empty())
        m_open.commands.pop_back();
}

void UndoStack::setRecording(bool on)
{
    if (!on)
        clear();
    m_recording = on;
}

void UndoStack::truncateRedo()
{
    while (m_steps.size() > m_done)
        m_steps.pop_back();
}

} // namespace EntityModel
