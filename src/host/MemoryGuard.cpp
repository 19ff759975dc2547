#include <tarvex/host/MemoryGuard.h>

#include <tarvex/host/Model.h>

#include <QCoreApplication>

namespace EntityModel {

namespace {

// The guards running now on this thread: nesting is a property of one call chain, so
// operations a host runs on other threads do not see each other's guards.
thread_local int running = 0;

} // namespace

MemoryGuard::MemoryGuard(Model* model) : m_model(model), m_outermost(running == 0)
{
    ++running;
    if (m_model)
        m_done = m_model->getUndoStack().doneCount();
}

MemoryGuard::~MemoryGuard()
{
    --running;
}

void MemoryGuard::rollBack() const
{
    if (!m_model)
        return;
    m_model->getUndoStack().undoTo(m_done);
}

QString MemoryGuard::message(const QString& name)
{
    return QCoreApplication::translate("EntityModel::MemoryGuard",
                                       "There was not enough memory for \"%1\"; it was stopped and the model was left "
                                       "as it was")
        .arg(name);
}

} // namespace EntityModel
