#include "RunSummary.h"

#include "Console.h"
#include "ConsoleProgress.h"

#include <tarvex/host/Model.h>

#include <QJsonDocument>
#include <QStringList>

using EntityModel::ModelChangeCount;

namespace {

QString counted(int count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// "3 entities (Layer 2, PCB 1)", or "0 entities".
QString byType(const ModelChangeCount::ByType& counts)
{
    QStringList types;
    for (const auto& entry : counts)
        types << QStringLiteral("%1 %2").arg(entry.first).arg(entry.second);
    const QString total = counted(ModelChangeCount::total(counts), "entity", "entities");
    return types.isEmpty() ? total : total + QStringLiteral(" (") + types.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QJsonObject jsonOf(const ModelChangeCount::ByType& counts)
{
    QJsonObject object;
    for (const auto& entry : counts)
        object.insert(entry.first, entry.second);
    return object;
}

} // namespace

RunSummary::RunSummary(EntityModel::Model& model) : m_model(model) { m_model.setChangeCount(&m_count); }

RunSummary::~RunSummary() { m_model.setChangeCount(nullptr); }

QString RunSummary::text(int warnings, int errors) const
{
    QString line = QStringLiteral("built %1, changed %2, deleted %3; %4")
                       .arg(byType(m_count.createdByType(m_model)), byType(m_count.changedByType(m_model)),
                            byType(m_count.deletedByType(m_model)), counted(warnings, "warning", "warnings"));
    if (errors > 0) {
        // What a failed run built stays in memory only: the model file is left as it was.
        line = QStringLiteral("because of the errors nothing is saved; ") + line + QStringLiteral(", ") +
               counted(errors, "error", "errors");
    }
    return line;
}

QJsonObject RunSummary::json(int warnings, int errors) const
{
    return QJsonObject{{QStringLiteral("built"), jsonOf(m_count.createdByType(m_model))},
                       {QStringLiteral("changed"), jsonOf(m_count.changedByType(m_model))},
                       {QStringLiteral("deleted"), jsonOf(m_count.deletedByType(m_model))},
                       {QStringLiteral("errors"), errors},
                       {QStringLiteral("warnings"), warnings}};
}

void RunSummary::print(int warnings, int errors, bool json) const
{
    Tools::ConsoleProgress::clearActiveLine();
    if (json) {
        out() << QJsonDocument(this->json(warnings, errors)).toJson(QJsonDocument::Indented);
        out().flush();
        return;
    }
    QString line = text(warnings, errors);
    line[0] = line[0].toUpper();
    report() << line << ".\n";
    report().flush();
}
