#include <tarvex/host/UndoStackOpener.h>

#include <tarvex/host/Model.h>

namespace EntityModel {

UndoStackOpener::UndoStackOpener(Model* model, const QString& name, bool, bool) : m_model(model)
{
    if (m_model)
        m_model->getUndoStack().beginStep(name);
}

UndoStackOpener::~UndoStackOpener()
{
    if (m_model)
        m_model->getUndoStack().endStep();
}

} // namespace EntityModel
