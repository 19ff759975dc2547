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
#include <charconv>
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

// Writes the saved text straight from the tree, without a document in between: one entity
// to a line, indented one space per entity above it, keys in sorted order, numbers in the
// shortest form that reads back to the same double. Notes the largest id it writes (of an
// entity or in a link), and stops once the text passes `maxBytes`.
class Writer
{
public:
    explicit Writer(qint64 maxBytes) : m_maxBytes(maxBytes) {}

    // The text of `model`; null when it would pass the limit.
    QByteArray write(const Model& model)
    {
        // One byte array holds at most MaxJsonBytes, and growing one past that throws like a
        // failed allocation.
        try {
            writeRoot(model);
        } catch (const std::bad_alloc&) {
            m_tooLarge = true;
        }
        return m_tooLarge ? QByteArray() : std::move(m_out);
    }

    quint64 largestId() const { return m_largestId; }

private:
    void writeRoot(const Model& model)
    {
        m_out.append("{\"format\":");
        string(FormatName);
        m_out.append(",\"formatVersion\":");
        whole(FormatVersion);
        m_out.append(",\"root\":");
        entity(*model.getRoot(), 0);
        m_out.append("}\n");
        m_tooLarge = m_tooLarge || m_out.size() > m_maxBytes;
    }

    void entity(const Entity& entity, int depth)
    {
        if (m_out.size() > m_maxBytes) {
            m_tooLarge = true;
            return;
        }
        m_largestId = std::max(m_largestId, entity.getId());
        m_out.append('\n');
        m_out.append(depth, ' ');
        m_out.append("{\"attributes\":");
        children(entity, depth);
        m_out.append(",\"id\":");
        whole(entity.getId());
        m_out.append(",\"type\":");
        string(entity.getType().getLabel());
        m_out.append('}');
    }

    // Cell items not yet made are written from their grid without being kept.
    void children(const CompositeAttribute& composite, int depth)
    {
        m_out.append('{');
        bool first = true;
        composite.forEachChild([this, &first, depth](const Attribute& child) {
            if (!first)
                m_out.append(',');
            first = false;
            string(child.getType().getLabel());
            m_out.append(':');
            attribute(child, depth);
        });
        m_out.append('}');
    }

    void attribute(const Attribute& attribute, int depth)
    {
        switch (attribute.getKind()) {
        case Attribute::Kind::Value:
            return value(static_cast<const ValueAttribute&>(attribute));
        case Attribute::Kind::Choice:
            m_out.append("{\"choice\":");
            string(static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel());
            m_out.append('}');
            return;
        case Attribute::Kind::Link: {
            m_out.append("{\"links\":[");
            const QVector<quint64>& ids = static_cast<const LinkAttribute&>(attribute).getIds();
            for (int i = 0; i < ids.size(); ++i) {
                m_largestId = std::max(m_largestId, ids[i]);
                if (i > 0)
                    m_out.append(',');
                whole(ids[i]);
            }
            m_out.append("]}");
            return;
        }
        case Attribute::Kind::Curve: {
            m_out.append("{\"curve\":[");
            const QVector<QPointF>& points = static_cast<const CurveAttribute&>(attribute).getPoints();
            for (int i = 0; i < points.size(); ++i) {
                m_out.append(i > 0 ? ",[" : "[");
                number(points[i].x());
                m_out.append(',');
                number(points[i].y());
                m_out.append(']');
            }
            m_out.append("]}");
            return;
        }
        case Attribute::Kind::DoubleList: {
            m_out.append("{\"list\":[");
            const QVector<double>& values = static_cast<const DoubleListAttribute&>(attribute).getValues();
            for (int i = 0; i < values.size(); ++i) {
                if (i > 0)
                    m_out.append(',');
                number(values[i]);
            }
            m_out.append("]}");
            return;
        }
        case Attribute::Kind::EntityList: {
            m_out.append("{\"entities\":[");
            const auto& list = static_cast<const EntityListAttribute&>(attribute);
            for (int i = 0; i < list.count() && !m_tooLarge; ++i) {
                if (i > 0)
                    m_out.append(',');
                entity(*list.at(i), depth + 1);
            }
            m_out.append("]}");
            return;
        }
        case Attribute::Kind::Composite:
        case Attribute::Kind::Entity:
            m_out.append("{\"attributes\":");
            children(static_cast<const CompositeAttribute&>(attribute), depth);
            m_out.append('}');
            return;
        }
    }

    void value(const ValueAttribute& attribute)
    {
        const QVariant& v = attribute.getValue();
        switch (v.type()) {
        case QVariant::Double:
            if (attribute.getUnit().isNull())
                return number(v.toDouble());
            m_out.append("{\"si\":");
            number(v.toDouble());
            m_out.append(",\"unit\":");
            string(attribute.getUnit().getLabel());
            m_out.append('}');
            return;
        case QVariant::LongLong:
            m_out.append("{\"int\":\"");
            m_out.append(QByteArray::number(v.toLongLong()));
            m_out.append("\"}");
            return;
        case QVariant::Bool:
            m_out.append(v.toBool() ? "true" : "false");
            return;
        default:
            return string(v.toString());
        }
    }

    void number(double value)
    {
        if (!std::isfinite(value)) {
            m_out.append("null"); // as JSON has no such numbers; the host never stores them
            return;
        }
        char text[32];
        const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
        m_out.append(text, int(end.ptr - text));
    }

    void whole(quint64 value)
    {
        char text[24];
        const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
        m_out.append(text, int(end.ptr - text));
    }

    void string(const QString& text)
    {
        const int opening = m_out.size();
        m_out.append('"');
        for (const QChar c : text) {
            const ushort code = c.unicode();
            if (code >= 0x80)
                return asUtf8(text, opening);
            if (code == '"' || code == '\\') {
                m_out.append('\\');
                m_out.append(char(code));
            } else if (code < 0x20) {
                escapeControl(char(code));
            } else {
                m_out.append(char(code));
            }
        }
        m_out.append('"');
    }

    // A string with characters beyond ASCII, written again whole (from `opening`) as UTF-8.
    void asUtf8(const QString& text, int opening)
    {
        m_out.truncate(opening);
        m_out.append('"');
        for (const char c : text.toUtf8()) {
            if (c == '"' || c == '\\') {
                m_out.append('\\');
                m_out.append(c);
            } else if (uchar(c) < 0x20) {
                escapeControl(c);
            } else {
                m_out.append(c);
            }
        }
        m_out.append('"');
    }

    void escapeControl(char c)
    {
        static const char hex[] = "0123456789abcdef";
        const char escaped[] = {'\\', 'u', '0', '0', hex[(c >> 4) & 0xf], hex[c & 0xf]};
        m_out.append(escaped, int(sizeof escaped));
    }

    QByteArray m_out;
    qint64 m_maxBytes;
    bool m_tooLarge = false;
    quint64 m_largestId = 0;
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

// Where the reader is, for messages: the labels from the root down, joined only when a
// problem is found (most reads find none, and a model has millions of attributes).
struct Place
{
    const Place* up;
    QString step;

    QString text() const { return up ? up->text() + QLatin1Char('/') + step : step; }
};

// Reads the saved tree back; the first problem found is kept in `error` and stops the read.
class Reader
{
public:
    explicit Reader(Model& model) : m_model(model) {}

    std::unique_ptr<Entity> entity(const QJsonValue& json, const Place& where)
    {
        const QJsonObject object = json.toObject();
        const double id = object.value("id").toDouble(-1);
        const QString type = object.value("type").toString();
        if (!json.isObject() || type.isEmpty() || id < 1 || id != std::floor(id) || id > double(MaxSavedId))
            return fail(where.text() + QStringLiteral(": an entity needs a positive whole \"id\" and a \"type\"")), nullptr;
        if (m_seen.contains(quint64(id)))
            return fail(where.text() + QStringLiteral(": entity id %1 appears twice").arg(quint64(id))), nullptr;
        m_seen.insert(quint64(id));
        std::unique_ptr<Entity> made = m_model.makeEntity(TypeRef(type), quint64(id));
        children(*made, object.value("attributes"), Place{&where, type});
        return m_error.isEmpty() ? std::move(made) : nullptr;
    }

    const QString& error() const { return m_error; }

private:
    void children(CompositeAttribute& holder, const QJsonValue& json, const Place& where)
    {
        if (!json.isObject())
            return fail(where.text() + QStringLiteral(": \"attributes\" must be an object"));
        const QJsonObject object = json.toObject();
        for (auto it = object.begin(); it != object.end() && m_error.isEmpty(); ++it) {
            if (std::unique_ptr<Attribute> attribute = this->attribute(TypeRef(it.key()), it.value(), Place{&where, it.key()}))
                holder.put(std::move(attribute));
        }
    }

    std::unique_ptr<Attribute> attribute(const TypeRef& label, const QJsonValue& json, const Place& where)
    {
        if (json.isDouble())
            return std::make_unique<ValueAttribute>(label, json.toDouble());
        if (json.isBool())
            return std::make_unique<ValueAttribute>(label, json.toBool());
        if (json.isString())
            return std::make_unique<ValueAttribute>(label, json.toString());
        const QJsonObject object = json.toObject();
        if (!json.isObject() || object.size() > 2 || object.isEmpty())
            return fail(where.text() + QStringLiteral(": unreadable attribute")), nullptr;
        const QString tag = object.begin().key() == QLatin1String("unit") ? QStringLiteral("si") : object.begin().key();
        const QJsonValue body = object.value(tag);
        if (tag == QLatin1String("si") && body.isDouble() && object.value("unit").isString())
            return std::make_unique<ValueAttribute>(label, body.toDouble(), TypeRef(object.value("unit").toString()));
        if (object.size() != 1)
            return fail(where.text() + QStringLiteral(": unreadable attribute")), nullptr;
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
                    return fail(where.text() + QStringLiteral(": a link needs positive whole ids")), nullptr;
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
        return fail(where.text() + QStringLiteral(": unreadable attribute")), nullptr;
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

QByteArray ModelFile::toJson(const Model& model)
{
    return Writer(MaxJsonBytes).write(model);
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
    std::unique_ptr<Entity> root = reader.entity(document.object().value("root"), Place{nullptr, QStringLiteral("root")});
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
            Writer writer(maxBytes);
            const QByteArray json = writer.write(model);
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
            } else if (writer.largestId() > MaxSavedId) {
                problem = QStringLiteral("it would hold entity id %1, above %2, the largest id a model file can keep; "
                                         "%3 was left as it was")
                              .arg(writer.largestId())
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
