#include <tarvex/interchange/TarvexTXMJSONUpdater.h>

#include <QJsonObject>
#include <QJsonValue>

namespace Tarvex {

TXMFileVersion TarvexTXMJSONUpdater::current() { return TXMFileVersion::current(); }

bool TarvexTXMJSONUpdater::needsUpdate(const TXMFileVersion& version) const
{
    return version < TXMFileVersion::current();
}

bool TarvexTXMJSONUpdater::needsUpdate(const TXMJSONFile& file) const { return needsUpdate(file.getVersion()); }

bool TarvexTXMJSONUpdater::needsUpdate(const QJsonDocument& document) const
{
    return !document.isObject() || needsUpdate(TXMJSONFile(document.object()));
}

QJsonDocument TarvexTXMJSONUpdater::update(const QJsonDocument& document) const
{
    if (!document.isObject())
        return QJsonDocument();
    const TXMJSONFile file(document.object());
    if (!needsUpdate(file))
        return document;
    return QJsonDocument(update(file).object());
}

TXMJSONFile TarvexTXMJSONUpdater::update(const TXMJSONFile& file) const
{
    if (file.isNull() || !needsUpdate(file))
        return file;

    const TXMFileVersion version = file.getVersion();
    TXMJSONFile result(file.object());
    if (version < TXMFileVersion::current()) {
        // A file without a model gets none: there is nothing to bring up to date.
        if (result.hasItem(QStringLiteral("TARVEX_INTERCHANGE_MODEL")))
            result.setModel(update(result.getModel(), version));
        // Files before 2025.1 had one fixed unit system whatever they declared.
        TXMJSONUnit unit = result.getUnit();
        unit.setDisplacement(QStringLiteral("mm"));
        unit.setLength(QStringLiteral("um"));
        unit.setLoad(QStringLiteral("N"));
        unit.setTemperature(QStringLiteral("C"));
        unit.setTime(QStringLiteral("s"));
        result.setUnit(unit);
    }
    result.setVersion(TXMFileVersion::current());
    return result;
}

TXMJSONModel TarvexTXMJSONUpdater::update(const TXMJSONModel& model, const EntityModel::BasicVersion& fileVersion) const
{
    if (!(fileVersion < TXMFileVersion::current()))
        return model;
    QList<TXMJSONImport> imports = model.getImport();
    for (TXMJSONImport& entry : imports)
        entry = update(entry, fileVersion);
    TXMJSONModel result(model.object());
    result.setImport(imports);
    return result;
}

TXMJSONImport TarvexTXMJSONUpdater::update(const TXMJSONImport& entry, const EntityModel::BasicVersion& fileVersion) const
{
    if (!(fileVersion < TXMFileVersion::current()))
        return entry;
    // Old files wrote "Priority" with a capital P, either as a name map or as one number for
    // every name. It is normalised under that same key, as the format's history has it; the
    // import reads "priority", so an updated entry still counts as priority 0 under "all".
    const QString key = QStringLiteral("Priority");
    TXMJSONImport result(entry.object());
    const QJsonValue priority = entry.object().value(key);
    if (priority.isObject())
        return result;
    if (const std::optional<int> number = TXMJSONImport::toInt32(priority)) {
        QJsonObject all;
        all.insert(QStringLiteral("all"), *number);
        result.setItem(key, all);
    } else {
        result.removeItem(key);
    }
    return result;
}

} // namespace Tarvex
