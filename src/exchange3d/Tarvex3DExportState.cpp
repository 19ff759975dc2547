#include <tarvex/exchange3d/Tarvex3DExportState.h>

namespace Tarvex3D {

namespace {

// Operation ids of a fresh project start after this one.
constexpr quint64 lastTemplateOperation = 99;

} // namespace

void Tarvex3DExportState::clear()
{
    document = QDomDocument();
    project = library = objects = structure = parts = QDomElement();
    directory.clear();
    files.clear();
    feaOnly = false;
    solidMode = false;
    solverSolids.clear();
    notes.clear();
    materialNames.clear();
    m_names.clear();
    m_structuralCounter = m_operationCounter = m_steps = 0;
    m_structuralIds.clear();
    m_operationIds.clear();
}

void Tarvex3DExportState::startIds(const QDomDocument& document)
{
    m_names.clear();
    const QDomElement root = document.firstChildElement(QStringLiteral("Project"));
    if (root.isNull())
        return;
    const quint64 seed = root.firstChildElement(QStringLiteral("IdSeed")).attribute(QStringLiteral("Value")).toULongLong();
    m_structuralCounter = seed > 0 ? seed - 1 : 0;
    m_operationCounter = lastTemplateOperation;
    const QDomElement lastOperation =
        root.firstChildElement(QStringLiteral("Objects")).lastChildElement(QStringLiteral("Operation"));
    if (!lastOperation.isNull()) {
        const QString opId = lastOperation.attribute(QStringLiteral("OpId"));
        m_operationCounter = opId.mid(opId.lastIndexOf(QLatin1Char(' ')) + 1).toULongLong();
    }
}

QString Tarvex3DExportState::newStructuralId(const EntityModel::Entity* entity)
{
    const QString id = QString::number(++m_structuralCounter);
    if (entity && !m_structuralIds.contains(entity))
        m_structuralIds.insert(entity, id);
    return id;
}

QString Tarvex3DExportState::newOperationId(const EntityModel::Entity* entity)
{
    const QString id = QString::number(++m_operationCounter);
    if (entity && !m_operationIds.contains(entity))
        m_operationIds.insert(entity, id);
    return id;
}

QString Tarvex3DExportState::structuralIdOf(const EntityModel::Entity* entity) const
{
    return m_structuralIds.value(entity, QStringLiteral("-1"));
}

QString Tarvex3DExportState::operationIdOf(const EntityModel::Entity* entity) const
{
    return m_operationIds.value(entity, QStringLiteral("-1"));
}

void Tarvex3DExportState::replaceIds(const EntityModel::Entity* entity, const QString& structural,
                                     const QString& operation)
{
    m_structuralIds.insert(entity, structural);
    m_operationIds.insert(entity, operation);
}

void Tarvex3DExportState::step(const QString& text)
{
    m_reporter.showMessage(text);
    if (Tools::ToolProgress* sink = m_reporter.getProgress())
        sink->setStep(++m_steps);
}

} // namespace Tarvex3D
