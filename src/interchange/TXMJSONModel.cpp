#include <tarvex/interchange/TXMJSONModel.h>

#include <QJsonArray>
#include <QJsonValue>

namespace Tarvex {

TXMJSONModel::TXMJSONModel(const QJsonObject& object) : InterProcess::Types::BasicJsonObject(object) {}

TXMJSONModel::~TXMJSONModel() = default;

QList<TXMJSONImport> TXMJSONModel::getImport() const
{
    QList<TXMJSONImport> result;
    const QJsonValue imports = m_object.value(QStringLiteral("Import"));
    if (imports.isArray()) {
        const QJsonArray array = imports.toArray();
        for (const QJsonValue& entry : array)
            result.append(TXMJSONImport(entry.toObject()));
    } else if (imports.isObject()) {
        result.append(TXMJSONImport(imports.toObject()));
    }
    return result;
}

void TXMJSONModel::setImport(const QList<TXMJSONImport>& imports)
{
    QJsonArray array;
    for (const TXMJSONImport& entry : imports)
        array.append(entry.object());
    setItem(QStringLiteral("Import"), array);
}

} // namespace Tarvex
