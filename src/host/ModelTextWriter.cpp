#include "ModelTextWriter.h"

#include "ModelFileFormat.h"
#include "ModelNumberTexts.h"

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/Model.h>

#include <QPointF>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace EntityModel {

namespace {

using namespace ModelFileFormat;

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
        if (count <= 0)
            return;
        if (size_t(count) > Capacity - m_used)
            flush();
        const size_t spaces = std::min(size_t(count), Capacity);
        std::memset(m_buffer.get() + m_used, ' ', spaces);
        m_used += spaces;
        indent(count - int(spaces));
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

// Appends `text` to `out` as a JSON string: characters beyond ASCII as UTF-8, control
// characters as \u escapes.
void appendQuoted(const QString& text, std::string& out)
{
    out.push_back('"');
    const QChar* const chars = text.constData();
    const int size = text.size();
    const size_t start = out.size();
    out.resize(start + size_t(size));
    // Labels and names are plain ASCII nearly always: copied a character to a byte.
    int plain = 0;
    for (; plain < size; ++plain) {
        const ushort c = chars[plain].unicode();
        if (c >= 0x80 || c < 0x20 || c == '"' || c == '\\')
            break;
        out[start + size_t(plain)] = char(c);
    }
    out.resize(start + size_t(plain));
    if (plain < size) {
        // Split after an ASCII character, so no surrogate pair is cut.
        const QByteArray rest = QStringView(chars + plain, size - plain).toUtf8();
        for (const char c : rest) {
            if (c == '"' || c == '\\') {
                out.push_back('\\');
                out.push_back(c);
            } else if (uchar(c) < 0x20) {
                static const char hex[] = "0123456789abcdef";
                const char escaped[] = {'\\', 'u', '0', '0', hex[(c >> 4) & 0xf], hex[c & 0xf]};
                out.append(escaped, sizeof escaped);
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
}

// The quoted forms of the labels met so far, keyed by where their characters lie: a model
// repeats a few hundred labels (types, keys, choices, units) millions of times, each a copy
// sharing the characters of one string. A slot keeps its string, so those characters cannot
// be freed and reused for another label while the slot holds them.
class QuotedLabels
{
public:
    QuotedLabels() : m_slots(SlotCount) {}

    const std::string& quoted(const QString& label)
    {
        const auto address = reinterpret_cast<quintptr>(label.constData());
        Slot& slot = m_slots[(address >> 4 ^ address >> 14) & (SlotCount - 1)];
        // A filled slot is never empty: it holds at least the two quotes.
        if (slot.quoted.empty() || slot.label.constData() != label.constData() || slot.label.size() != label.size()) {
            slot.label = label;
            slot.quoted.clear();
            appendQuoted(label, slot.quoted);
        }
        return slot.quoted;
    }

private:
    static constexpr size_t SlotCount = 1024;
    struct Slot
    {
        QString label;
        std::string quoted;
    };
    std::vector<Slot> m_slots;
};

// Writes the saved text straight from the tree, without a document in between: one entity
// to a line, indented one space per entity above it, keys in sorted order, numbers in the
// shortest form that reads back to the same double. Notes the largest id it writes (of an
// entity or in a link), and stops once the text passes `maxBytes`.
class Writer
{
public:
    // `refuse`: once an id above MaxSavedId is met, nothing more goes to the sink (the text
    // is still counted, so that a model also too large is refused as such); once the grids
    // hold more cells than a model file takes, the writing stops.
    Writer(qint64 maxBytes, bool refuse) : m_maxBytes(maxBytes), m_refuse(refuse) {}

    // Writes the text of `model` to `sink`; false when it passed the limit, held an id above
    // MaxSavedId or too many cells while refusing them, or the sink failed.
    bool write(const Model& model, const AtomicFile::Sink& sink)
    {
        Output out(sink);
        m_out = &out;
        writeRoot(model);
        out.flush();
        m_out = nullptr;
        return !m_tooLarge && !m_tooManyCells && !out.failed() &&
               !(m_refuse && (m_largestId > MaxSavedId || tooDeep()));
    }

    bool tooLarge() const { return m_tooLarge; }
    bool tooManyCells() const { return m_tooManyCells; }
    quint64 largestId() const { return m_largestId; }
    int deepest() const { return m_deepest; }

private:
    bool stopped() const { return m_tooLarge || m_tooManyCells || m_out->failed(); }

    void noteId(quint64 id)
    {
        m_largestId = std::max(m_largestId, id);
        if (m_refuse && id > MaxSavedId)
            m_out->holdBack();
    }

    // The nesting of the text: a container opened around what follows, closed after it, or
    // `levels` opened and closed within a value. A text nested deeper than the reader takes
    // is held back like an id beyond the limit, as no command could read it again.
    void enter()
    {
        reach(1);
        ++m_level;
    }
    void leave() { --m_level; }
    void reach(int levels)
    {
        m_deepest = std::max(m_deepest, m_level + levels);
        if (m_refuse && tooDeep())
            m_out->holdBack();
    }
    bool tooDeep() const { return m_deepest > MaxNesting; }

    // The cells of a grid met on the way; the cell check before a save rides on this walk.
    void noteCells(qint64 count)
    {
        m_cells += count;
        m_tooManyCells = m_tooManyCells || (m_refuse && m_cells > CellGrid::MaximumModelCells);
    }

    void writeRoot(const Model& model)
    {
        enter();
        m_out->append("{\"format\":");
        label(FormatName);
        m_out->append(",\"formatVersion\":");
        whole(FormatVersion);
        m_out->append(",\"root\":");
        entity(*model.getRoot(), 0);
        m_out->append("}\n");
        leave();
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
        enter();
        m_out->append("{\"attributes\":");
        children(entity, depth);
        m_out->append(",\"id\":");
        whole(entity.getId());
        m_out->append(",\"type\":");
        label(entity.getType().getLabel());
        m_out->append('}');
        leave();
    }

    // Cell items not yet made are written from their grid without being kept.
    void children(const CompositeAttribute& composite, int depth)
    {
        enter();
        m_out->append('{');
        if (const CellGrid* grid = composite.getCellGrid())
            noteCells(grid->getCount());
        bool first = true;
        if (!m_tooManyCells) { // the cells of a refused grid are not made
            composite.forEachChild([this, &first, depth](const Attribute& child) {
                if (!first)
                    m_out->append(',');
                first = false;
                label(child.getType().getLabel());
                m_out->append(':');
                attribute(child, depth);
            });
        }
        m_out->append('}');
        leave();
    }

    void attribute(const Attribute& attribute, int depth)
    {
        switch (attribute.getKind()) {
        case Attribute::Kind::Value:
            reach(1); // {"si": ...} or {"int": ...}
            return value(static_cast<const ValueAttribute&>(attribute));
        case Attribute::Kind::Choice:
            reach(1);
            m_out->append("{\"choice\":");
            label(static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel());
            m_out->append('}');
            return;
        case Attribute::Kind::Link: {
            reach(2);
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
            reach(3);
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
            reach(2);
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
            enter();
            enter();
            m_out->append("{\"entities\":[");
            const auto& list = static_cast<const EntityListAttribute&>(attribute);
            for (int i = 0; i < list.count() && !stopped(); ++i) {
                if (i > 0)
                    m_out->append(',');
                entity(*list.at(i), depth + 1);
            }
            m_out->append("]}");
            leave();
            leave();
            return;
        }
        case Attribute::Kind::Composite:
        case Attribute::Kind::Entity:
            enter();
            m_out->append("{\"attributes\":");
            children(static_cast<const CompositeAttribute&>(attribute), depth);
            m_out->append('}');
            leave();
            return;
        }
    }

    void value(const ValueAttribute& attribute)
    {
        const QVariant& v = attribute.getValue();
        switch (v.type()) {
        case QVariant::Double: {
            const double si = *static_cast<const double*>(v.constData());
            if (attribute.getUnit().isNull())
                return number(si);
            m_out->append("{\"si\":");
            number(si);
            m_out->append(",\"unit\":");
            label(attribute.getUnit().getLabel());
            m_out->append('}');
            return;
        }
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
        case QVariant::String:
            return string(*static_cast<const QString*>(v.constData()));
        default:
            return string(v.toString());
        }
    }

    void number(double value)
    {
        if (!std::isfinite(value))
            return m_out->append("null"); // as JSON has no such numbers; the host never stores them
        const std::string_view text = m_numbers.text(value);
        m_out->append(text.data(), text.size());
    }

    void whole(quint64 value)
    {
        char text[24];
        const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
        m_out->append(text, size_t(end.ptr - text));
    }

    void string(const QString& text)
    {
        m_text.clear();
        appendQuoted(text, m_text);
        m_out->append(m_text.data(), m_text.size());
    }

    void label(const QString& text)
    {
        const std::string& quoted = m_labels.quoted(text);
        m_out->append(quoted.data(), quoted.size());
    }

    Output* m_out = nullptr;
    QuotedLabels m_labels;
    ModelNumberTexts m_numbers;
    std::string m_text; // a value's quoted form, kept to reuse its memory
    qint64 m_maxBytes;
    bool m_refuse;
    bool m_tooLarge = false;
    bool m_tooManyCells = false;
    qint64 m_cells = 0;
    quint64 m_largestId = 0;
    int m_level = 0;
    int m_deepest = 0;
};

} // namespace

ModelTextOutcome writeModelText(const Model& model, const AtomicFile::Sink& sink, qint64 maxBytes,
                                bool refuse)
{
    Writer writer(maxBytes, refuse);
    ModelTextOutcome outcome;
    outcome.written = writer.write(model, sink);
    outcome.tooLarge = writer.tooLarge();
    outcome.tooManyCells = writer.tooManyCells();
    outcome.largestId = writer.largestId();
    outcome.deepest = writer.deepest();
    return outcome;
}

qint64 countGridCells(const Attribute& attribute)
{
    qint64 cells = 0;
    switch (attribute.getKind()) {
    case Attribute::Kind::EntityList: {
        const auto& list = static_cast<const EntityListAttribute&>(attribute);
        for (int i = 0; i < list.count(); ++i)
            cells += countGridCells(*list.at(i));
        break;
    }
    case Attribute::Kind::Composite:
    case Attribute::Kind::Entity: {
        const auto& composite = static_cast<const CompositeAttribute&>(attribute);
        if (const CellGrid* grid = composite.getCellGrid())
            cells += grid->getCount();
        composite.forEachMadeChild([&cells](const Attribute& child) { cells += countGridCells(child); });
        break;
    }
    default:
        break;
    }
    return cells;
}

} // namespace EntityModel
