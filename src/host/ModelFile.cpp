#include <tarvex/host/ModelFile.h>

#include <tarvex/host/AtomicFile.h>
#include <tarvex/host/CellGrid.h>
#include <tarvex/host/CurveAttribute.h>

#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QStringList>

#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

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

// The saved text on its way out: gathered in a buffer of moderate size and passed to the
// sink a buffer at a time, so that a large model never stands whole in memory as text.
class Output
{
public:
    explicit Output(const AtomicFile::Sink& sink) : m_sink(sink), m_buffer(new char[Capacity]) {}

    void append(char c)
    {
        if (m_used == Capacity)
            flush();
        m_buffer[m_used++] = c;
    }

    void append(const char* data, size_t size)
    {
        if (size > Capacity - m_used) {
            flush();
            if (size > Capacity)
                return pass(data, size);
        }
        std::memcpy(m_buffer.get() + m_used, data, size);
        m_used += size;
    }

    template <size_t N>
    void append(const char (&text)[N])
    {
        append(text, N - 1);
    }

    void indent(int count)
    {
        for (; count > 0; --count)
            append(' ');
    }

    // The bytes made so far, passed on or not.
    qint64 size() const { return m_passed + qint64(m_used); }
    bool failed() const { return m_failed; }

    // From now on the text is only counted: what is made no longer goes to the sink.
    void holdBack() { m_holdingBack = true; }

    void flush()
    {
        pass(m_buffer.get(), m_used);
        m_used = 0;
    }

private:
    static constexpr size_t Capacity = size_t(256) * 1024;

    void pass(const char* data, size_t size)
    {
        if (size > 0 && !m_failed && !m_holdingBack)
            m_failed = !m_sink(data, qint64(size));
        m_passed += qint64(size);
    }

    const AtomicFile::Sink& m_sink;
    std::unique_ptr<char[]> m_buffer;
    size_t m_used = 0;
    qint64 m_passed = 0;
    bool m_failed = false;
    bool m_holdingBack = false;
};

// Writes the saved text straight from the tree, without a document in between: one entity
// to a line, indented one space per entity above it, keys in sorted order, numbers in the
// shortest form that reads back to the same double. Notes the largest id it writes (of an
// entity or in a link), and stops once the text passes `maxBytes`.
class Writer
{
public:
    // `refuseLargeIds`: once an id above MaxSavedId is met, nothing more goes to the sink
    // (the text is still counted, so that a model also too large is refused as such).
    Writer(qint64 maxBytes, bool refuseLargeIds) : m_maxBytes(maxBytes), m_refuseLargeIds(refuseLargeIds) {}

    // Writes the text of `model` to `sink`; false when it passed the limit, held an id above
    // MaxSavedId while refusing them, or the sink failed.
    bool write(const Model& model, const AtomicFile::Sink& sink)
    {
        Output out(sink);
        m_out = &out;
        writeRoot(model);
        out.flush();
        m_out = nullptr;
        return !m_tooLarge && !out.failed() && !(m_refuseLargeIds && m_largestId > MaxSavedId);
    }

    bool tooLarge() const { return m_tooLarge; }
    quint64 largestId() const { return m_largestId; }

private:
    bool stopped() const { return m_tooLarge || m_out->failed(); }

    void noteId(quint64 id)
    {
        m_largestId = std::max(m_largestId, id);
        if (m_refuseLargeIds && id > MaxSavedId)
            m_out->holdBack();
    }

    void writeRoot(const Model& model)
    {
        m_out->append("{\"format\":");
        string(FormatName);
        m_out->append(",\"formatVersion\":");
        whole(FormatVersion);
        m_out->append(",\"root\":");
        entity(*model.getRoot(), 0);
        m_out->append("}\n");
        m_tooLarge = m_tooLarge || m_out->size() > m_maxBytes;
    }

    void entity(const Entity& entity, int depth)
    {
        if (m_out->size() > m_maxBytes)
            m_tooLarge = true;
        if (stopped())
            return;
        noteId(entity.getId());
        m_out->append('\n');
        m_out->indent(depth);
        m_out->append("{\"attributes\":");
        children(entity, depth);
        m_out->append(",\"id\":");
        whole(entity.getId());
        m_out->append(",\"type\":");
        string(entity.getType().getLabel());
        m_out->append('}');
    }

    // Cell items not yet made are written from their grid without being kept.
    void children(const CompositeAttribute& composite, int depth)
    {
        m_out->append('{');
        // Two pointers: small enough for std::function to hold without allocating.
        struct Walk
        {
            bool first;
            int depth;
        } walk{true, depth};
        composite.forEachChild([this, &walk](const Attribute& child) {
            if (!walk.first)
                m_out->append(',');
            walk.first = false;
            string(child.getType().getLabel());
            m_out->append(':');
            attribute(child, walk.depth);
        });
        m_out->append('}');
    }

    void attribute(const Attribute& attribute, int depth)
    {
        switch (attribute.getKind()) {
        case Attribute::Kind::Value:
            return value(static_cast<const ValueAttribute&>(attribute));
        case Attribute::Kind::Choice:
            m_out->append("{\"choice\":");
            string(static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel());
            m_out->append('}');
            return;
        case Attribute::Kind::Link: {
            m_out->append("{\"links\":[");
            const QVector<quint64>& ids = static_cast<const LinkAttribute&>(attribute).getIds();
            for (int i = 0; i < ids.size(); ++i) {
                noteId(ids[i]);
                if (i > 0)
                    m_out->append(',');
                whole(ids[i]);
            }
            m_out->append("]}");
            return;
        }
        case Attribute::Kind::Curve: {
            m_out->append("{\"curve\":[");
            const QVector<QPointF>& points = static_cast<const CurveAttribute&>(attribute).getPoints();
            for (int i = 0; i < points.size(); ++i) {
                if (i > 0)
                    m_out->append(',');
                m_out->append('[');
                number(points[i].x());
                m_out->append(',');
                number(points[i].y());
                m_out->append(']');
            }
            m_out->append("]}");
            return;
        }
        case Attribute::Kind::DoubleList: {
            m_out->append("{\"list\":[");
            const QVector<double>& values = static_cast<const DoubleListAttribute&>(attribute).getValues();
            for (int i = 0; i < values.size(); ++i) {
                if (i > 0)
                    m_out->append(',');
                number(values[i]);
            }
            m_out->append("]}");
            return;
        }
        case Attribute::Kind::EntityList: {
            m_out->append("{\"entities\":[");
            const auto& list = static_cast<const EntityListAttribute&>(attribute);
            for (int i = 0; i < list.count() && !stopped(); ++i) {
                if (i > 0)
                    m_out->append(',');
                entity(*list.at(i), depth + 1);
            }
            m_out->append("]}");
            return;
        }
        case Attribute::Kind::Composite:
        case Attribute::Kind::Entity:
            m_out->append("{\"attributes\":");
            children(static_cast<const CompositeAttribute&>(attribute), depth);
            m_out->append('}');
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
            m_out->append("{\"si\":");
            number(v.toDouble());
            m_out->append(",\"unit\":");
            string(attribute.getUnit().getLabel());
            m_out->append('}');
            return;
        case QVariant::LongLong: {
            m_out->append("{\"int\":\"");
            char text[24];
            const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), v.toLongLong());
            m_out->append(text, size_t(end.ptr - text));
            m_out->append("\"}");
            return;
        }
        case QVariant::Bool:
            if (v.toBool())
                m_out->append("true");
            else
                m_out->append("false");
            return;
        default:
            return string(v.toString());
        }
    }

    void number(double value)
    {
        if (!std::isfinite(value))
            return m_out->append("null"); // as JSON has no such numbers; the host never stores them
        char text[32];
        const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
        m_out->append(text, size_t(end.ptr - text));
    }

    void whole(quint64 value)
    {
        char text[24];
        const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
        m_out->append(text, size_t(end.ptr - text));
    }

    // Characters beyond ASCII are written as UTF-8, control characters as \u escapes.
    void string(const QString& text)
    {
        const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        const QByteArray utf8 = ascii ? QByteArray() : text.toUtf8();
        m_out->append('"');
        if (ascii) {
            for (const QChar c : text)
                character(char(c.unicode()));
        } else {
            for (const char c : utf8)
                character(c);
        }
        m_out->append('"');
    }

    void character(char c)
    {
        if (c == '"' || c == '\\') {
            m_out->append('\\');
            m_out->append(c);
        } else if (uchar(c) < 0x20) {
            static const char hex[] = "0123456789abcdef";
            const char escaped[] = {'\\', 'u', '0', '0', hex[(c >> 4) & 0xf], hex[c & 0xf]};
            m_out->append(escaped, sizeof escaped);
        } else {
            m_out->append(c);
        }
    }

    Output* m_out = nullptr;
    qint64 m_maxBytes;
    bool m_refuseLargeIds;
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

// The entity ids read so far. Ids are handed out one above the last, so a model's ids are
// dense: a bitmap holds them for a bit each, where a hash set took a node per entity. Ids far
// beyond the model's size (a hand-edited file) go to the set.
class SeenIds
{
public:
    // False when `id` was seen before.
    bool insert(quint64 id)
    {
        if (id < DenseLimit) {
            if (id >= m_dense.size())
                m_dense.resize(std::max<std::size_t>(std::size_t(id) + 1, m_dense.size() * 2));
            const bool fresh = !m_dense[std::size_t(id)];
            m_dense[std::size_t(id)] = true;
            return fresh;
        }
        return m_sparse.insert(id).second;
    }

private:
    static constexpr quint64 DenseLimit = quint64(1) << 26; // 8 MiB of bits at most
    std::vector<bool> m_dense;
    std::unordered_set<quint64> m_sparse;
};

// How deep the saved text may nest, as Qt's JSON reader allowed before: no file we write
// comes near it, and the limit keeps a hostile file from taking memory level by level.
constexpr int MaxNesting = 1024;

// The keys the reader knows (of the file, an entity, an attribute's object); each has its bit in Frame::keysMet.
enum class Field : quint8 {
    Other, Format, FormatVersion, Root, Attributes, Id, Type, Si, Unit, Int, Choice, Links, List, Curve, Entities
};

Field keyOf(const char* text, size_t size)
{
    static const std::pair<const char*, Field> known[] = {
        {"format", Field::Format}, {"formatVersion", Field::FormatVersion}, {"root", Field::Root},
        {"attributes", Field::Attributes}, {"id", Field::Id}, {"type", Field::Type}, {"si", Field::Si},
        {"unit", Field::Unit}, {"int", Field::Int}, {"choice", Field::Choice}, {"links", Field::Links},
        {"list", Field::List}, {"curve", Field::Curve}, {"entities", Field::Entities}};
    for (const auto& [name, key] : known) {
        if (std::strlen(name) == size && std::memcmp(name, text, size) == 0)
            return key;
    }
    return Field::Other;
}

quint32 bitOf(Field key) { return quint32(1) << int(key); }

// The offset of the first byte of `text` that does not begin well-formed UTF-8 (no overlong
// forms, no surrogates, nothing above U+10FFFF), or `size` when there is none.
size_t firstInvalidUtf8(const char* text, size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < size) {
        // Runs of ASCII, eight bytes at a time.
        quint64 word = 0;
        for (; i + 8 <= size; i += 8) {
            std::memcpy(&word, bytes + i, 8);
            if (word & 0x8080808080808080ull)
                break;
        }
        if (i == size)
            break;
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence and the range its second byte must lie in.
        size_t length = 4;
        unsigned char low = 0x80;
        unsigned char high = 0xbf;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        } else {
            return i;
        }
        if (size - i < length || bytes[i + 1] < low || bytes[i + 1] > high)
            return i;
        for (size_t k = 2; k < length; ++k) {
            if ((bytes[i + k] & 0xc0) != 0x80)
                return i;
        }
        i += length;
    }
    return size;
}

// The labels met so far, found again by their UTF-8 bytes without a string made for the
// search: a model has millions of attributes and a few hundred labels, which so share their
// text. Open addressing, at most half full.
class Labels
{
public:
    TypeRef find(const char* text, size_t size)
    {
        const quint64 hash = hashOf(text, size);
        size_t slot = hash & (m_slots.size() - 1);
        for (; m_slots[slot].used; slot = (slot + 1) & (m_slots.size() - 1)) {
            const Slot& entry = m_slots[slot];
            if (entry.hash == hash && entry.bytes.size() == size && std::memcmp(entry.bytes.data(), text, size) == 0)
                return entry.label;
        }
        const TypeRef made(QString::fromUtf8(text, int(size)));
        m_slots[slot] = Slot{true, hash, std::string(text, size), made};
        if (++m_count * 2 > m_slots.size())
            grow();
        return made;
    }

private:
    struct Slot
    {
        bool used = false;
        quint64 hash = 0;
        std::string bytes;
        TypeRef label;
    };

    static quint64 hashOf(const char* text, size_t size)
    {
        quint64 hash = 14695981039346656037ull; // FNV-1a
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ uchar(text[i])) * 1099511628211ull;
        return hash;
    }

    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        for (Slot& entry : old) {
            if (!entry.used)
                continue;
            size_t slot = entry.hash & (m_slots.size() - 1);
            while (m_slots[slot].used)
                slot = (slot + 1) & (m_slots.size() - 1);
            m_slots[slot] = std::move(entry);
        }
    }

    std::vector<Slot> m_slots = std::vector<Slot>(512);
    size_t m_count = 0;
};

// A value that holds no other: what the parser hands over for null, true, a number or a string.
struct Scalar
{
    enum class Kind { Null, Bool, Number, String };
    Kind kind;
    double number = 0;
    bool boolean = false;
    const char* text = nullptr;
    size_t size = 0;
};

// One step of the place the reader is at, for messages: an attribute's label, "root", or the
// type of an entity, which may be known only once the entity's object ends ("type" comes
// after "attributes" in the files we write); `entityFrame` names that entity's frame until then.
struct Step
{
    QString text;
    int entityFrame = -1;
};

// An object or array the reader is inside, and what it has gathered so far. Frames are
// reused as the reader goes up and down, so their lists keep their room.
struct Frame
{
    enum class Kind { Top, Entity, Attributes, Wrapper, Links, List, Curve, Point, Entities, Skip };

    void reset(Kind newKind, quint64 now, size_t newPathSize)
    {
        kind = newKind;
        pushedAt = now;
        pathSize = newPathSize;
        key = Field::Other;
        keysMet = 0;
        keyCount = 0;
        twice = false;
        label = TypeRef();
        id = -1;
        type = TypeRef();
        attributesObject = false;
        attributes.clear();
        unreadable = false;
        bodyFits = false;
        siNumber = false;
        unitString = false;
        tag = Field::Other;
        text.clear();
        choice = TypeRef();
        unit = TypeRef();
        ids.clear();
        values.clear();
        points.clear();
        list.reset();
        composite.reset();
        point[0] = point[1] = 0;
        elements = 0;
    }

    Kind kind = Kind::Skip;
    quint64 pushedAt = 0; // the reader's clock when the frame began
    size_t pathSize = 0;  // the length of the place when the frame began
    Field key = Field::Other; // Top, Entity, Wrapper: the key whose value comes next
    quint32 keysMet = 0;
    int keyCount = 0;
    bool twice = false; // a key came twice
    TypeRef label; // Attributes: the key whose value comes next; Wrapper: the attribute's label

    // Entity: attributes come before the id and type are known (keys may be in any order),
    // so they wait here until the entity is made.
    double id = -1;
    TypeRef type;
    bool attributesObject = false;
    std::vector<std::unique_ptr<Attribute>> attributes;

    // Wrapper: the object that holds an attribute other than a plain value; the arrays
    // under its key (Links, List, Curve) gather their numbers here.
    Field tag = Field::Other;
    bool unreadable = false;
    bool bodyFits = false;
    double si = 0;
    bool siNumber = false;
    TypeRef unit;
    bool unitString = false;
    QString text; // of an "int"
    TypeRef choice;
    QVector<quint64> ids;
    QVector<double> values;
    QVector<QPointF> points;
    std::unique_ptr<EntityListAttribute> list;
    std::unique_ptr<CompositeAttribute> composite;

    // Point: a curve's [x, y].
    double point[2] = {0, 0};
    int elements = 0;
};

// Reads the saved text as the parser meets it, making entities and attributes straight away,
// without a document in between. The first problem found is kept (a problem of an entity or
// attribute itself is kept over one found inside it, as a reader from the top down would
// find it first) and the reading goes on to the end, so that text that is not JSON, or not a
// saved model, is still called so.
class SaxReader
{
public:
    explicit SaxReader(Model& model) : m_model(model) {}

    bool Null() { return scalar({Scalar::Kind::Null}); }
    bool Bool(bool value) { return scalar({Scalar::Kind::Bool, 0, value}); }
    // Numbers come as their text (see fromJson), these not at all.
    bool Int(int) { return true; }
    bool Uint(unsigned) { return true; }
    bool Int64(int64_t) { return true; }
    bool Uint64(uint64_t) { return true; }
    bool Double(double) { return true; }
    bool RawNumber(const char* text, rapidjson::SizeType size, bool)
    {
        double value = 0;
        if (std::from_chars(text, text + size, value).ec == std::errc::result_out_of_range) {
            // The parser has refused most numbers too large already; what passes it and is
            // out of range is too large when its exponent is positive, and too small else.
            const char* exponent = std::find_if(text, text + size, [](char c) { return c == 'e' || c == 'E'; });
            if (exponent + 1 < text + size && exponent[1] != '-') {
                m_numberTooBig = true;
                return false;
            }
            value = text[0] == '-' ? -0.0 : 0.0;
        }
        return scalar({Scalar::Kind::Number, value});
    }
    bool String(const char* text, rapidjson::SizeType size, bool)
    {
        return scalar({Scalar::Kind::String, 0, false, text, size});
    }
    bool StartObject() { return start(true); }
    bool StartArray() { return start(false); }
    bool Key(const char* text, rapidjson::SizeType size, bool) { return key(text, size); }
    bool EndObject(rapidjson::SizeType) { return end(); }
    bool EndArray(rapidjson::SizeType) { return end(); }

    // True when the text nested deeper than MaxNesting, which stopped the parser.
    bool tooDeep() const { return m_tooDeep; }
    // True when a number was too large for a double, which stopped the parser.
    bool numberTooBig() const { return m_numberTooBig; }

    // The model's root once the whole text was read; null with `*problem` set otherwise.
    std::unique_ptr<Entity> result(QString* problem)
    {
        if (m_notObject || !m_formatFits)
            *problem = QStringLiteral("not a saved model (no \"format\": \"%1\")").arg(FormatName);
        else if (m_version != FormatVersion)
            *problem = QStringLiteral("saved model format version %1 is not supported").arg(m_version);
        else if (m_problem.set)
            *problem = problemText();
        else if (!m_root)
            *problem = QStringLiteral("root: an entity needs a positive whole \"id\" and a \"type\"");
        else
            return std::move(m_root);
        return nullptr;
    }

private:
    struct Problem
    {
        bool set = false;
        quint64 raisedAt = 0;
        std::vector<Step> path;
        QString message;
    };

    Frame& frame(int index) { return m_frames[size_t(index)]; }
    int top() const { return m_depth - 1; }

    bool push(Frame::Kind kind)
    {
        if (m_depth == MaxNesting) {
            m_tooDeep = true;
            return false;
        }
        if (size_t(m_depth) == m_frames.size())
            m_frames.emplace_back();
        m_frames[size_t(m_depth++)].reset(kind, ++m_clock, m_path.size());
        return true;
    }

    void pop()
    {
        m_path.resize(frame(top()).pathSize);
        --m_depth;
    }

    TypeRef label(const char* text, size_t size) { return m_labels.find(text, size); }

    // Notes a problem at the current place, with `step` below it when not empty; a problem
    // already noted stays.
    void raise(const QString& message, const QString& step = QString())
    {
        if (!m_problem.set)
            note(message, step);
    }

    // Notes a problem of the thing `owner` reads, replacing one noted while inside it.
    void raiseOver(const Frame& owner, const QString& message, const QString& step = QString())
    {
        if (!m_problem.set || m_problem.raisedAt > owner.pushedAt)
            note(message, step);
    }

    void note(const QString& message, const QString& step)
    {
        m_problem.set = true;
        m_problem.raisedAt = ++m_clock;
        m_problem.path = m_path;
        if (!step.isEmpty())
            m_problem.path.push_back(Step{step});
        m_problem.message = message;
    }

    QString problemText() const
    {
        QStringList steps;
        for (const Step& step : m_problem.path)
            steps << step.text;
        return steps.isEmpty() ? m_problem.message : steps.join(QLatin1Char('/')) + QStringLiteral(": ") + m_problem.message;
    }

    static QString entityNeeds() { return QStringLiteral("an entity needs a positive whole \"id\" and a \"type\""); }
    static QString unreadable() { return QStringLiteral("unreadable attribute"); }
    static QString notAnObject() { return QStringLiteral("\"attributes\" must be an object"); }
    static QString twice(const QString& key) { return QStringLiteral("\"%1\" appears twice").arg(key); }

    bool key(const char* text, size_t size)
    {
        if (m_depth == 0)
            return true;
        Frame& current = frame(top());
        switch (current.kind) {
        case Frame::Kind::Attributes:
            current.label = label(text, size);
            return true;
        case Frame::Kind::Top:
        case Frame::Kind::Entity:
        case Frame::Kind::Wrapper: {
            current.key = keyOf(text, size);
            ++current.keyCount;
            const bool known = current.kind == Frame::Kind::Top
                                   ? current.key == Field::Format || current.key == Field::FormatVersion || current.key == Field::Root
                               : current.kind == Frame::Kind::Entity
                                   ? current.key == Field::Attributes || current.key == Field::Id || current.key == Field::Type
                                   : current.key >= Field::Attributes && current.key != Field::Id && current.key != Field::Type;
            if (!known) {
                current.key = Field::Other;
                current.unreadable = true; // matters to a wrapper only
                return true;
            }
            // A key written twice is refused rather than one of its values picked: no file
            // we write repeats a key, and in an edited one either value may be the one meant.
            if (current.keysMet & bitOf(current.key)) {
                current.twice = true;
                raise(twice(QString::fromUtf8(text, int(size))));
            }
            current.keysMet |= bitOf(current.key);
            if (current.kind == Frame::Kind::Wrapper && current.key != Field::Si && current.key != Field::Unit)
                current.tag = current.key;
            return true;
        }
        default:
            return true;
        }
    }

    bool scalar(const Scalar& value)
    {
        if (m_depth == 0) {
            m_notObject = true;
            return true;
        }
        const int index = top();
        Frame& current = frame(index);
        const bool number = value.kind == Scalar::Kind::Number;
        const bool string = value.kind == Scalar::Kind::String;
        switch (current.kind) {
        case Frame::Kind::Top:
            if (current.key == Field::Format)
                m_formatFits = string && QLatin1String(value.text, int(value.size)) == FormatName;
            else if (current.key == Field::FormatVersion)
                m_version = number ? wholeInt(value.number) : 0;
            else if (current.key == Field::Root)
                raise(entityNeeds(), QStringLiteral("root"));
            return true;
        case Frame::Kind::Entity:
            if (current.key == Field::Id)
                current.id = number ? value.number : -1;
            else if (current.key == Field::Type)
                current.type = string ? label(value.text, value.size) : TypeRef();
            else if (current.key == Field::Attributes)
                current.attributesObject = false;
            return true;
        case Frame::Kind::Attributes:
            if (value.kind == Scalar::Kind::Null)
                raise(unreadable(), current.label.getLabel());
            else
                keep(index, std::make_unique<ValueAttribute>(current.label, plainValue(value)));
            return true;
        case Frame::Kind::Wrapper:
            if (current.key == Field::Si) {
                current.si = value.number;
                current.siNumber = number;
            } else if (current.key == Field::Unit) {
                current.unit = string ? label(value.text, value.size) : TypeRef();
                current.unitString = string;
            } else if (current.key == Field::Int) {
                current.text = string ? QString::fromUtf8(value.text, int(value.size)) : QString();
                current.bodyFits = string;
            } else if (current.key == Field::Choice) {
                current.choice = string ? label(value.text, value.size) : TypeRef();
                current.bodyFits = string;
            } else {
                current.bodyFits = false;
            }
            return true;
        case Frame::Kind::Links:
            // The ids an entity may have: anything else would not convert, or not read back.
            if (!number || !(value.number >= 1) || value.number != std::floor(value.number) ||
                value.number > double(MaxSavedId))
                raise(QStringLiteral("a link needs positive whole ids"));
            else
                frame(index - 1).ids << quint64(value.number);
            return true;
        case Frame::Kind::List:
            frame(index - 1).values << (number ? value.number : 0.0); // as a missing number reads
            return true;
        case Frame::Kind::Curve:
            frame(index - 1).points << QPointF(); // not a point: (0, 0), as a missing number reads
            return true;
        case Frame::Kind::Point:
            if (current.elements < 2)
                current.point[current.elements] = number ? value.number : 0.0;
            ++current.elements;
            return true;
        case Frame::Kind::Entities:
            raise(entityNeeds());
            return true;
        case Frame::Kind::Skip:
            return true;
        }
        return true;
    }

    static QVariant plainValue(const Scalar& value)
    {
        switch (value.kind) {
        case Scalar::Kind::Number:
            return value.number;
        case Scalar::Kind::Bool:
            return value.boolean;
        default:
            return QString::fromUtf8(value.text, int(value.size));
        }
    }

    // A format version as a whole int, or 0 for any other number.
    static int wholeInt(double value)
    {
        return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max() &&
                       value == std::floor(value)
                   ? int(value)
                   : 0;
    }

    bool start(bool object)
    {
        if (m_depth == 0) {
            m_notObject = !object;
            return push(object ? Frame::Kind::Top : Frame::Kind::Skip);
        }
        const int index = top();
        Frame& current = frame(index);
        switch (current.kind) {
        case Frame::Kind::Top:
            if (current.key == Field::Root && object) {
                m_path.push_back(Step{QStringLiteral("root")});
                return push(Frame::Kind::Entity);
            }
            if (current.key == Field::Root)
                raise(entityNeeds(), QStringLiteral("root"));
            else if (current.key == Field::Format)
                m_formatFits = false;
            else if (current.key == Field::FormatVersion)
                m_version = 0;
            return push(Frame::Kind::Skip);
        case Frame::Kind::Entity:
            if (current.key == Field::Attributes && object) {
                current.attributesObject = true;
                const QString type = current.type.getLabel();
                if (!push(Frame::Kind::Attributes))
                    return false;
                m_path.push_back(type.isEmpty() ? Step{QString(), index} : Step{type});
                return true;
            }
            if (current.key == Field::Id)
                current.id = -1;
            else if (current.key == Field::Type)
                current.type = TypeRef();
            else if (current.key == Field::Attributes)
                current.attributesObject = false;
            return push(Frame::Kind::Skip);
        case Frame::Kind::Attributes: {
            const TypeRef attribute = current.label;
            if (!object) {
                raise(unreadable(), attribute.getLabel());
                return push(Frame::Kind::Skip);
            }
            if (!push(Frame::Kind::Wrapper))
                return false;
            frame(top()).label = attribute;
            m_path.push_back(Step{attribute.getLabel()});
            return true;
        }
        case Frame::Kind::Wrapper:
            return startBody(index, object);
        case Frame::Kind::List:
            frame(index - 1).values << 0.0;
            return push(Frame::Kind::Skip);
        case Frame::Kind::Curve:
            if (object) {
                frame(index - 1).points << QPointF();
                return push(Frame::Kind::Skip);
            }
            return push(Frame::Kind::Point);
        case Frame::Kind::Point:
            if (current.elements < 2)
                current.point[current.elements] = 0;
            ++current.elements;
            return push(Frame::Kind::Skip);
        case Frame::Kind::Links:
            raise(QStringLiteral("a link needs positive whole ids"));
            return push(Frame::Kind::Skip);
        case Frame::Kind::Entities:
            if (object)
                return push(Frame::Kind::Entity);
            raise(entityNeeds());
            return push(Frame::Kind::Skip);
        case Frame::Kind::Skip:
            return push(Frame::Kind::Skip);
        }
        return true;
    }

    // The object or array under a key of an attribute's wrapper.
    bool startBody(int index, bool object)
    {
        Frame& wrapper = frame(index);
        const Field tag = wrapper.key;
        const bool fits = object ? tag == Field::Attributes
                                 : tag == Field::Links || tag == Field::List || tag == Field::Curve || tag == Field::Entities;
        if (tag == Field::Si)
            wrapper.siNumber = false;
        else if (tag == Field::Unit)
            wrapper.unitString = false;
        else if (tag != Field::Other)
            wrapper.bodyFits = fits;
        if (!fits)
            return push(Frame::Kind::Skip);
        if (tag == Field::Attributes)
            wrapper.composite = std::make_unique<CompositeAttribute>(wrapper.label);
        else if (tag == Field::Entities)
            wrapper.list = std::make_unique<EntityListAttribute>(wrapper.label);
        return push(tag == Field::Attributes ? Frame::Kind::Attributes
                    : tag == Field::Links    ? Frame::Kind::Links
                    : tag == Field::List     ? Frame::Kind::List
                    : tag == Field::Curve    ? Frame::Kind::Curve
                                           : Frame::Kind::Entities);
    }

    bool end()
    {
        const int index = top();
        Frame& current = frame(index);
        switch (current.kind) {
        case Frame::Kind::Entity:
            endEntity(index);
            return true;
        case Frame::Kind::Wrapper:
            endWrapper(index);
            return true;
        case Frame::Kind::Point: {
            const QPointF point(current.point[0], current.point[1]);
            pop();
            frame(top() - 1).points << point;
            return true;
        }
        default:
            pop();
            return true;
        }
    }

    void endEntity(int index)
    {
        Frame& current = frame(index);
        m_path.resize(current.pathSize);
        if (m_problem.set) {
            for (Step& step : m_problem.path) {
                if (step.entityFrame == index) {
                    step.text = current.type.getLabel();
                    step.entityFrame = -1;
                }
            }
        }
        const double id = current.id;
        const QString type = current.type.getLabel();
        if (type.isEmpty() || !(id >= 1) || id != std::floor(id) || id > double(MaxSavedId)) {
            raiseOver(current, entityNeeds());
        } else if (!m_seen.insert(quint64(id))) {
            raiseOver(current, QStringLiteral("entity id %1 appears twice").arg(quint64(id)));
        } else if (!current.attributesObject) {
            raiseOver(current, notAnObject(), type);
        }
        std::unique_ptr<Entity> made;
        if (!m_problem.set) {
            made = m_model.makeEntity(current.type, quint64(id));
            for (std::unique_ptr<Attribute>& attribute : current.attributes) {
                const QString label = attribute->getType().getLabel();
                if (made->put(std::move(attribute))) {
                    m_path.push_back(Step{type});
                    raise(twice(label));
                    m_path.pop_back();
                }
            }
        }
        pop();
        if (!made || m_problem.set)
            return;
        Frame& parent = frame(top());
        if (parent.kind == Frame::Kind::Top) {
            m_root = std::move(made);
            m_path.clear();
        } else {
            frame(top() - 1).list->insert(-1, std::move(made));
        }
    }

    void endWrapper(int index)
    {
        Frame& current = frame(index);
        std::unique_ptr<Attribute> made;
        if (current.twice) {
            // told when the key came again
        } else if (current.unreadable || current.keyCount == 0 || current.keyCount > 2) {
            raiseOver(current, unreadable());
        } else if (current.keyCount == 2) {
            if ((current.keysMet & bitOf(Field::Si)) && current.siNumber && current.unitString)
                made = std::make_unique<ValueAttribute>(current.label, current.si, current.unit);
            else
                raiseOver(current, unreadable());
        } else if (current.tag == Field::Attributes && !current.bodyFits) {
            raiseOver(current, notAnObject());
        } else if (current.tag == Field::Other || !current.bodyFits) {
            raiseOver(current, unreadable());
        } else {
            made = wrapped(current);
            if (!made)
                raiseOver(current, unreadable());
        }
        pop();
        if (made)
            keep(top(), std::move(made));
    }

    // The attribute a wrapper with one fitting key holds; null for an "int" that is none.
    static std::unique_ptr<Attribute> wrapped(Frame& wrapper)
    {
        switch (wrapper.tag) {
        case Field::Int: {
            bool ok = false;
            const qlonglong value = wrapper.text.toLongLong(&ok);
            return ok ? std::make_unique<ValueAttribute>(wrapper.label, QVariant(value)) : nullptr;
        }
        case Field::Choice:
            return std::make_unique<ChoiceAttribute>(wrapper.label, wrapper.choice);
        case Field::Links:
            return std::make_unique<LinkAttribute>(wrapper.label, wrapper.ids);
        case Field::List:
            return std::make_unique<DoubleListAttribute>(wrapper.label, wrapper.values);
        case Field::Curve:
            return std::make_unique<CurveAttribute>(wrapper.label, wrapper.points);
        case Field::Entities:
            return std::move(wrapper.list);
        case Field::Attributes:
            return std::move(wrapper.composite);
        default:
            return nullptr;
        }
    }

    // Gives `attribute` to what the attributes object at `index` belongs to: an entity not
    // yet made, or a composite.
    void keep(int index, std::unique_ptr<Attribute> attribute)
    {
        Frame& owner = frame(index - 1);
        if (owner.kind == Frame::Kind::Entity) {
            owner.attributes.push_back(std::move(attribute));
            return;
        }
        const QString label = attribute->getType().getLabel();
        if (owner.composite->put(std::move(attribute)))
            raise(twice(label));
    }

    Model& m_model;
    std::vector<Frame> m_frames;
    int m_depth = 0;
    quint64 m_clock = 0;
    std::vector<Step> m_path;
    Labels m_labels;
    SeenIds m_seen;
    std::unique_ptr<Entity> m_root;
    Problem m_problem;
    bool m_tooDeep = false;
    bool m_numberTooBig = false;
    bool m_notObject = false;
    bool m_formatFits = false;
    int m_version = 0;
};

} // namespace

QByteArray ModelFile::toJson(const Model& model)
{
    QByteArray text;
    const AtomicFile::Sink append = [&text](const char* data, qint64 size) {
        text.append(data, int(size));
        return true;
    };
    // One byte array holds at most MaxJsonBytes, and growing one past that throws like a
    // failed allocation.
    try {
        return Writer(MaxJsonBytes, false).write(model, append) ? text : QByteArray();
    } catch (const std::bad_alloc&) {
        return QByteArray();
    }
}

std::unique_ptr<Model> ModelFile::fromJson(const QByteArray& json, QString* error)
{
    auto model = std::make_unique<Model>();
    model->resetRoot(nullptr); // the saved root brings its own id
    QString problem;
    std::unique_ptr<Entity> root;
    {
        SaxReader reader(*model); // ends before the model: the entities it holds unfinished are the model's
        rapidjson::Reader parser;
        rapidjson::MemoryStream stream(json.constData(), size_t(json.size()));
        // Iterative: a hostile file's nesting takes no stack. Numbers as their text, read by
        // std::from_chars: exact, so that every double reads back as the writer's shortest
        // form meant it, and quicker than the parser's own exact reading (which in this
        // release also trips over a zero with a large exponent, "0e-30"). The encoding is
        // checked apart, in one pass over the whole text: the parser's own check, a
        // character at a time, took a fifth of the reading.
        constexpr unsigned flags = rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag;
        const rapidjson::ParseResult parsed = parser.Parse<flags>(stream, reader);
        rapidjson::ParseErrorCode code = parsed.Code();
        size_t offset = parsed.Offset();
        // The parser takes a zero byte for the end of the text: anything after it is refused.
        if (!parsed.IsError() && stream.Tell() < size_t(json.size())) {
            code = rapidjson::kParseErrorDocumentRootNotSingular;
            offset = stream.Tell();
        }
        if (const size_t invalid = firstInvalidUtf8(json.constData(), size_t(json.size()));
            invalid < size_t(json.size()) && (code == rapidjson::kParseErrorNone || invalid < offset)) {
            code = rapidjson::kParseErrorStringInvalidEncoding;
            offset = invalid;
        }
        const auto notJson = [offset](const QString& what) {
            return QStringLiteral("not JSON (%1 at offset %2)").arg(what).arg(offset);
        };
        if (code == rapidjson::kParseErrorTermination && reader.numberTooBig())
            code = rapidjson::kParseErrorNumberTooBig;
        if (code == rapidjson::kParseErrorTermination && reader.tooDeep()) {
            problem = notJson(QStringLiteral("Nested deeper than %1 levels").arg(MaxNesting));
        } else if (code != rapidjson::kParseErrorNone) {
            // The parser's messages end with a full stop, which the sentence around them has.
            QString text = QString::fromUtf8(rapidjson::GetParseError_En(code));
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
            problem = notJson(text);
        } else {
            root = reader.result(&problem);
        }
    }
    if (!root) {
        if (error)
            *error = problem;
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
            // Streamed into the file; a refusal found part way cancels the write, and the old
            // file stays.
            Writer writer(maxBytes, true);
            AtomicFile file(path, what);
            if (file.write([&writer, &model](const AtomicFile::Sink& sink) { return writer.write(model, sink); }))
                return true;
            // Refused rather than renumbered: ids are what links, undo steps and the user's
            // notes (`show`, `objects` print them) know entities by, and ids are only ever
            // handed out one above the last, so a model reaches the limit only by a file
            // written to reach it. Renumbering would quietly change every id a person or
            // another file has noted; refusing says what happened and keeps the old file.
            if (!file.errorString().isEmpty()) {
                if (error)
                    *error = file.errorString();
                return false;
            }
            if (writer.tooLarge()) {
                problem = QStringLiteral("the model is too large to save: its text would pass %1 bytes, the most one "
                                         "buffer in memory holds; %2 was left as it was")
                              .arg(maxBytes)
                              .arg(what);
            } else {
                problem = QStringLiteral("it would hold entity id %1, above %2, the largest id a model file can keep; "
                                         "%3 was left as it was")
                              .arg(writer.largestId())
                              .arg(MaxSavedId)
                              .arg(what);
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
    else // read whole and parsed where it lies; not mapped, as a file written in place meanwhile would fault
        model = fromJson(file.readAll(), &problem);
    if (!model && error)
        *error = QStringLiteral("Cannot read model file %1: %2").arg(path, problem);
    return model;
}

} // namespace EntityModel
