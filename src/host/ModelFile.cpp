#include <tarvex/host/ModelFile.h>

#include <tarvex/host/AtomicFile.h>
#include <tarvex/host/CellGrid.h>
#include <tarvex/host/CurveAttribute.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <new>

namespace EntityModel {

namespace {

const QString FormatName = QStringLiteral("tarvex-host-model");
constexpr int FormatVersion = 1;
// A saved model larger than this is not a model we wrote.
constexpr qint64 MaxFileBytes = qint64(2) * 1024 * 1024 * 1024;
// The largest entity id a saved model may hold: ids are JSON numbers (doubles), exact only
// up to 2^53 (about 9.007e15). The reader refuses larger ones, and the writer refuses to save
// them (a link to one too), so that every file we write reads back.
constexpr quint64 MaxSavedId = 9000000000000000ull;

// Writes the saved tree, noting the largest id it writes (of an entity or in a link).
struct Writer
{
    quint64 largestId = 0;

    QJsonValue attributeToJson(const Attribute& attribute)
    {
        switch (attribute.getKind()) {
        case Attribute::Kind::Value: {
            const auto& value = static_cast<const ValueAttribute&>(attribute);
            const QVariant& v = value.getValue();
            if (v.type() == QVariant::Double) {
                if (value.getUnit().isNull())
                    return v.toDouble();
                return QJsonObject{{"si", v.toDouble()}, {"unit", value.getUnit().getLabel()}};
            }
            if (v.type() == QVariant::LongLong)
                return QJsonObject{{"int", QString::number(v.toLongLong())}};
            if (v.type() == QVariant::Bool)
                return v.toBool();
            return v.toString();
        }
        case Attribute::Kind::Choice:
            return QJsonObject{{"choice", static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel()}};
        case Attribute::Kind::Link: {
            QJsonArray ids;
            for (quint64 id : static_cast<const LinkAttribute&>(attribute).getIds()) {
                largestId = std::max(largestId, id);
                ids.append(double(id));
            }
            return QJsonObject{{"links", ids}};
        }
        case Attribute::Kind::Curve: {
            QJsonArray points;
            for (const QPointF& p : static_cast<const CurveAttribute&>(attribute).getPoints())
                points.append(QJsonArray{p.x(), p.y()});
            return QJsonObject{{"curve", points}};
        }
        case Attribute::Kind::DoubleList: {
            QJsonArray values;
            for (double v : static_cast<const DoubleListAttribute&>(attribute).getValues())
                values.append(v);
            return QJsonObject{{"list", values}};
        }
        case Attribute::Kind::EntityList: {
            const auto& list = static_cast<const EntityListAttribute&>(attribute);
            QJsonArray entities;
            for (int i = 0; i < list.count(); ++i)
                entities.append(entityToJson(*list.at(i)));
            return QJsonObject{{"entities", entities}};
        }
        case Attribute::Kind::Composite:
        case Attribute::Kind::Entity:
            break;
        }
        // Cell items not yet made are written from their grid without being kept.
        QJsonObject children;
        static_cast<const CompositeAttribute&>(attribute).forEachChild(
            [this, &children](const Attribute& child) {
                children.insert(child.getType().getLabel(), attributeToJson(child));
            });
        return QJsonObject{{"attributes", children}};
    }

    QJsonObject entityToJson(const Entity& entity)
    {
        largestId = std::max(largestId, entity.getId());
        QJsonObject attributes;
        entity.forEachChild(
            [this, &attributes](const Attribute& child) {
                attributes.insert(child.getType().getLabel(), attributeToJson(child));
            });
        return QJsonObject{
            {"id", double(entity.getId())}, {"type", entity.getType().getLabel()}, {"attributes", attributes}};
    }
};

// The cells that grids hold below `attribute`, made or not.
qint64 gridCells(const Attribute& attribute)
{
    qint64 cells = 0;
    switch (attribute.getKind()) {
    case Attribute::Kind::EntityList: {
        const auto& list = static_cast<const EntityListAttribute&>(attribute);
        for (int i = 0; i < list.count(); ++i)
            cells += gridCells(*list.at(i));
        break;
    }
    case Attribute::Kind::Composite:
    case Attribute::Kind::Entity: {
        const auto& composite = static_cast<const CompositeAttribute&>(attribute);
        if (const CellGrid* grid = composite.getCellGrid())
            cells += grid->getCount();
        for (const Attribute* child : composite.madeChildren())
            cells += gridCells(*child);
        break;
    }
    default:
        break;
    }
    return cells;
}

// Reads the saved tree back; the first problem found is kept in `error` and stops the read.
class Reader
{
public:
    explicit Reader(Model& model) : m_model(model) {}

    std::unique_ptr<Entity> entity(const QJsonValue& json, const QString& where)
    {
        const QJsonObject object = json.toObject();
        const double id = object.value("id").toDouble(-1);
        const QString type = object.value("type").toString();
        if (!json.isObject() || type.isEmpty() || id < 1 || id != std::floor(id) || id > double(MaxSavedId))
            return fail(where + QStringLiteral(": an entity needs a positive whole \"id\" and a \"type\"")), nullptr;
        if (m_seen.contains(quint64(id)))
            return fail(where + QStringLiteral(": entity id %1 appears twice").arg(quint64(id))), nullptr;
        m_seen.insert(quint64(id));
        std::unique_ptr<Entity> made = m_model.makeEntity(TypeRef(type), quint64(id));
        children(*made, object.value("attributes"), where + QLatin1Char('/') + type);
        return m_error.isEmpty() ? std::move(made) : nullptr;
    }

    const QString& error() const { return m_error; }

private:
    void children(CompositeAttribute& holder, const QJsonValue& json, const QString& where)
    {
        if (!json.isObject())
            return fail(where + QStringLiteral(": \"attributes\" must be an object"));
        const QJsonObject object = json.toObject();
        for (auto it = object.begin(); it != object.end() && m_error.isEmpty(); ++it) {
            if (std::unique_ptr<Attribute> attribute = this->attribute(TypeRef(it.key()), it.value(), where + QLatin1Char('/') + it.key()))
                holder.put(std::move(attribute));
        }
    }

    std::unique_ptr<Attribute> attribute(const TypeRef& label, const QJsonValue& json, const QString& where)
    {
        if (json.isDouble())
            return std::make_unique<ValueAttribute>(label, json.toDouble());
        if (json.isBool())
            return std::make_unique<ValueAttribute>(label, json.toBool());
        if (json.isString())
            return std::make_unique<ValueAttribute>(label, json.toString());
        const QJsonObject object = json.toObject();
        if (!json.isObject() || object.size() > 2 || object.isEmpty())
            return fail(where + QStringLiteral(": unreadable attribute")), nullptr;
        const QString tag = object.begin().key() == QLatin1String("unit") ? QStringLiteral("si") : object.begin().key();
        const QJsonValue body = object.value(tag);
        if (tag == QLatin1String("si") && body.isDouble() && object.value("unit").isString())
            return std::make_unique<ValueAttribute>(label, body.toDouble(), TypeRef(object.value("unit").toString()));
        if (object.size() != 1)
            return fail(where + QStringLiteral(": unreadable attribute")), nullptr;
        if (tag == QLatin1String("int")) {
            bool ok = false;
            const qlonglong value = body.toString().toLongLong(&ok);
            if (ok)
                return std::make_unique<ValueAttribute>(label, QVariant(value));
        } else if (tag == QLatin1String("choice") && body.isString()) {
            return std::make_unique<ChoiceAttribute>(label, TypeRef(body.toString()));
        } else if (tag == QLatin1String("links") && body.isArray()) {
            QVector<quint64> ids;
            for (const QJsonValue& id : body.toArray()) {
                // The ids an entity may have: anything else would not convert, or not read back.
                const double value = id.toDouble(-1);
                if (value < 1 || value != std::floor(value) || value > double(MaxSavedId))
                    return fail(where + QStringLiteral(": a link needs positive whole ids")), nullptr;
                ids << quint64(value);
            }
            return std::make_unique<LinkAttribute>(label, ids);
        } else if (tag == QLatin1String("list") && body.isArray()) {
            QVector<double> values;
            for (const QJsonValue& v : body.toArray())
                values << v.toDouble();
            return std::make_unique<DoubleListAttribute>(label, values);
        } else if (tag == QLatin1String("curve") && body.isArray()) {
            auto curve = std::make_unique<CurveAttribute>(label);
            for (const QJsonValue& point : body.toArray())
                curve->addPoint(point.toArray().at(0).toDouble(), point.toArray().at(1).toDouble());
            return curve;
        } else if (tag == QLatin1String("entities") && body.isArray()) {
            auto list = std::make_unique<EntityListAttribute>(label);
            for (const QJsonValue& child : body.toArray()) {
                std::unique_ptr<Entity> entity = this->entity(child, where);
                if (!entity)
                    return nullptr;
                list->insert(-1, std::move(entity));
            }
            return list;
        } else if (tag == QLatin1String("attributes")) {
            auto composite = std::make_unique<CompositeAttribute>(label);
            children(*composite, body, where);
            return composite;
        }
        return fail(where + QStringLiteral(": unreadable attribute")), nullptr;
    }

    void fail(const QString& message)
    {
        if (m_error.isEmpty())
            m_error = message;
    }

    Model& m_model;
    QSet<quint64> m_seen;
    QString m_error;
};

} // namespace

namespace {

QJsonDocument toDocument(const Model& model, Writer& writer)
{
    return QJsonDocument(QJsonObject{
        {"format", FormatName}, {"formatVersion", FormatVersion}, {"root", writer.entityToJson(*model.getRoot())}});
}

QByteArray writeJson(const Model& model, Writer& writer)
{
    return toDocument(model, writer).toJson(QJsonDocument::Indented);
}

// The text of `document`, or a null array when it would pass `maxBytes`. One byte array
// holds at most MaxJsonBytes, and growing one past that throws like a failed allocation;
// the document in memory is already built, so that is the limit, not the memory.
QByteArray boundedText(const QJsonDocument& document, qint64 maxBytes)
{
    QByteArray text;
    try {
        text = document.toJson(QJsonDocument::Indented);
    } catch (const std::bad_alloc&) {
        return QByteArray();
    }
    return text.size() > maxBytes ? QByteArray() : text;
}

} // namespace

QByteArray ModelFile::toJson(const Model& model)
{
    Writer writer;
    return writeJson(model, writer);
}

std::unique_ptr<Model> ModelFile::fromJson(const QByteArray& json, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    QString problem;
    if (document.isNull())
        problem = QStringLiteral("not JSON (%1 at offset %2)").arg(parseError.errorString()).arg(parseError.offset);
    else if (document.object().value("format").toString() != FormatName)
        problem = QStringLiteral("not a saved model (no \"format\": \"%1\")").arg(FormatName);
    else if (document.object().value("formatVersion").toInt() != FormatVersion)
        problem = QStringLiteral("saved model format version %1 is not supported")
                      .arg(document.object().value("formatVersion").toInt());
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return nullptr;
    }
    auto model = std::make_unique<Model>();
    model->resetRoot(nullptr); // the saved root brings its own id
    Reader reader(*model);
    std::unique_ptr<Entity> root = reader.entity(document.object().value("root"), QStringLiteral("root"));
    if (!root) {
        if (error)
            *error = reader.error();
        return nullptr;
    }
    model->resetRoot(std::move(root));
    return model;
}

bool ModelFile::save(const Model& model, const QString& path, QString* error)
{
    return save(model, path, error, QStringLiteral("the model"));
}

bool ModelFile::save(const Model& model, const QString& path, QString* error, const QString& what)
{
    return save(model, path, error, what, MaxJsonBytes);
}

bool ModelFile::save(const Model& model, const QString& path, QString* error, const QString& what, qint64 maxBytes)
{
    const QFileInfo existing(path);
    QString problem;
    if (existing.exists() && !existing.isFile()) {
        problem = QStringLiteral("it is not a regular file");
    } else if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner)) {
        // Even where the system would let us (as root), a file marked read-only stays as it is.
        problem = QStringLiteral("the file is read-only");
    } else if (const qint64 cells = gridCells(*model.getRoot()); cells > CellGrid::MaximumModelCells) {
        problem = QStringLiteral("the model holds %1 material-map cells, more than the %2 a model file can take "
                                 "(apply a coarser map)")
                      .arg(cells)
                      .arg(CellGrid::MaximumModelCells);
    } else {
        try {
            Writer writer;
            const QByteArray json = boundedText(toDocument(model, writer), maxBytes);
            // Refused rather than renumbered: ids are what links, undo steps and the user's
            // notes (`show`, `objects` print them) know entities by, and ids are only ever
            // handed out one above the last, so a model reaches the limit only by a file
            // written to reach it. Renumbering would quietly change every id a person or
            // another file has noted; refusing says what happened and keeps the old file.
            if (json.isNull()) {
                problem = QStringLiteral("the model is too large to save: its text would pass %1 bytes, the most one "
                                         "buffer in memory holds; %2 was left as it was")
                              .arg(maxBytes)
                              .arg(what);
            } else if (writer.largestId > MaxSavedId) {
                problem = QStringLiteral("it would hold entity id %1, above %2, the largest id a model file can keep; "
                                         "%3 was left as it was")
                              .arg(writer.largestId)
                              .arg(MaxSavedId)
                              .arg(what);
            } else {
                return AtomicFile::write(path, json, what, error);
            }
        } catch (const std::bad_alloc&) {
            problem = QStringLiteral("there is not enough memory to write it");
        }
    }
    if (error)
        *error = QStringLiteral("Cannot write model file %1: %2").arg(path, problem);
    return false;
}

std::unique_ptr<Model> ModelFile::load(const QString& path, QString* error)
{
    QFile file(path);
    QString problem;
    std::unique_ptr<Model> model;
    if (!QFileInfo(path).isFile() && QFileInfo::exists(path))
        problem = QStringLiteral("it is not a regular file");
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (file.size() > MaxFileBytes)
        problem = QStringLiteral("file too large");
    else
        model = fromJson(file.readAll(), &problem);
    if (!model && error)
        *error = QStringLiteral("Cannot read model file %1: %2").arg(path, problem);
    return model;
}

} // namespace EntityModel
