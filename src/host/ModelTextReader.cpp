#include "ModelTextReader.h"

#include "ModelFileFormat.h"
#include "ModelNumberReadings.h"
#include "ModelTextLabels.h"
#include "ModelTextSeenIds.h"
#include "Utf8Check.h"

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/Model.h>

#include <QPointF>
#include <QStringList>

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>
#include <rapidjson/stream.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace EntityModel {

namespace {

using namespace ModelFileFormat;

// The keys the reader knows (of the file, an entity, an attribute's object); each has its bit in Frame::keysMet.
enum class Field : quint8 {
    Other, Format, FormatVersion, Root, Attributes, Id, Type, Si, Unit, Int, Choice, Links, List, Curve, Entities
};

// Picked by length, then by bytes compared inline: every key of every entity and wrapper
// comes here, and a search through the list took a library call for each name of its length.
Field keyOf(const char* text, size_t size)
{
    const auto is = [text](const char* name, size_t length) { return std::memcmp(text, name, length) == 0; };
    switch (size) {
    case 2:
        return is("id", 2) ? Field::Id : is("si", 2) ? Field::Si : Field::Other;
    case 3:
        return is("int", 3) ? Field::Int : Field::Other;
    case 4:
        return is("type", 4)   ? Field::Type
               : is("unit", 4) ? Field::Unit
               : is("list", 4) ? Field::List
               : is("root", 4) ? Field::Root
                               : Field::Other;
    case 5:
        return is("links", 5) ? Field::Links : is("curve", 5) ? Field::Curve : Field::Other;
    case 6:
        return is("choice", 6) ? Field::Choice : is("format", 6) ? Field::Format : Field::Other;
    case 8:
        return is("entities", 8) ? Field::Entities : Field::Other;
    case 10:
        return is("attributes", 10) ? Field::Attributes : Field::Other;
    case 13:
        return is("formatVersion", 13) ? Field::FormatVersion : Field::Other;
    default:
        return Field::Other;
    }
}

quint32 bitOf(Field key) { return quint32(1) << int(key); }

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

// What a frame's label, type, unit or choice points to while it has none.
const TypeRef& noLabel()
{
    static const TypeRef none;
    return none;
}

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
        label = &noLabel();
        keys = ModelTextLabels::Run();
        id = -1;
        type = &noLabel();
        attributesObject = false;
        attributes.clear();
        unreadable = false;
        bodyFits = false;
        siNumber = false;
        unitString = false;
        tag = Field::Other;
        text.clear();
        choice = &noLabel();
        unit = &noLabel();
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
    // Labels point into the reader's table of labels, so that a frame takes and drops them
    // without counting references: the attributes made copy them.
    const TypeRef* label = &noLabel(); // Attributes: the key whose value comes next; Wrapper: the attribute's label
    ModelTextLabels::Run keys; // Attributes: the keys met so far, for guessing the next one

    // Entity: attributes come before the id and type are known (keys may be in any order),
    // so they wait here until the entity is made.
    double id = -1;
    const TypeRef* type = &noLabel();
    bool attributesObject = false;
    std::vector<std::unique_ptr<Attribute>> attributes;

    // Wrapper: the object that holds an attribute other than a plain value; the arrays
    // under its key (Links, List, Curve) gather their numbers here.
    Field tag = Field::Other;
    bool unreadable = false;
    bool bodyFits = false;
    double si = 0;
    bool siNumber = false;
    const TypeRef* unit = &noLabel();
    bool unitString = false;
    QString text; // of an "int"
    const TypeRef* choice = &noLabel();
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
        if (m_numbers.read(text, size, value) == std::errc::result_out_of_range) {
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

    const TypeRef* label(const char* text, size_t size) { return &m_labels.find(text, size); }

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
            current.label = &m_labels.findNext(current.keys, text, size);
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
                current.type = string ? label(value.text, value.size) : &noLabel();
            else if (current.key == Field::Attributes)
                current.attributesObject = false;
            return true;
        case Frame::Kind::Attributes:
            if (value.kind == Scalar::Kind::Null)
                raise(unreadable(), current.label->getLabel());
            else
                keep(index, std::make_unique<ValueAttribute>(*current.label, plainValue(value)));
            return true;
        case Frame::Kind::Wrapper:
            if (current.key == Field::Si) {
                current.si = value.number;
                current.siNumber = number;
            } else if (current.key == Field::Unit) {
                current.unit = string ? label(value.text, value.size) : &noLabel();
                current.unitString = string;
            } else if (current.key == Field::Int) {
                current.text = string ? QString::fromUtf8(value.text, int(value.size)) : QString();
                current.bodyFits = string;
            } else if (current.key == Field::Choice) {
                current.choice = string ? label(value.text, value.size) : &noLabel();
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
                const QString& type = current.type->getLabel();
                if (!push(Frame::Kind::Attributes))
                    return false;
                m_path.push_back(type.isEmpty() ? Step{QString(), index} : Step{type});
                return true;
            }
            if (current.key == Field::Id)
                current.id = -1;
            else if (current.key == Field::Type)
                current.type = &noLabel();
            else if (current.key == Field::Attributes)
                current.attributesObject = false;
            return push(Frame::Kind::Skip);
        case Frame::Kind::Attributes: {
            const TypeRef* attribute = current.label; // `current` may move as the frames grow
            if (!object) {
                raise(unreadable(), attribute->getLabel());
                return push(Frame::Kind::Skip);
            }
            if (!push(Frame::Kind::Wrapper))
                return false;
            frame(top()).label = attribute;
            m_path.push_back(Step{attribute->getLabel()});
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
            wrapper.composite = std::make_unique<CompositeAttribute>(*wrapper.label);
        else if (tag == Field::Entities)
            wrapper.list = std::make_unique<EntityListAttribute>(*wrapper.label);
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
                    step.text = current.type->getLabel();
                    step.entityFrame = -1;
                }
            }
        }
        const double id = current.id;
        const QString type = current.type->getLabel();
        if (type.isEmpty() || !(id >= 1) || id != std::floor(id)) {
            raiseOver(current, entityNeeds());
        } else if (id > double(MaxSavedId)) {
            // Said apart: such an id is whole and positive, only past what a number holds exactly.
            raiseOver(current, QStringLiteral("entity id %1 is above %2, the largest id a model file can keep")
                                   .arg(id, 0, 'f', 0)
                                   .arg(MaxSavedId));
        } else if (!m_seen.insert(quint64(id))) {
            raiseOver(current, QStringLiteral("entity id %1 appears twice").arg(quint64(id)));
        } else if (!current.attributesObject) {
            raiseOver(current, notAnObject(), type);
        }
        std::unique_ptr<Entity> made;
        if (!m_problem.set) {
            made = m_model.makeEntity(*current.type, quint64(id));
            made->reserve(int(current.attributes.size()));
            for (std::unique_ptr<Attribute>& attribute : current.attributes) {
                if (const std::unique_ptr<Attribute> replaced = made->put(std::move(attribute))) {
                    m_path.push_back(Step{type});
                    raise(twice(replaced->getType().getLabel()));
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
                made = std::make_unique<ValueAttribute>(*current.label, current.si, *current.unit);
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
            return ok ? std::make_unique<ValueAttribute>(*wrapper.label, QVariant(value)) : nullptr;
        }
        case Field::Choice:
            return std::make_unique<ChoiceAttribute>(*wrapper.label, *wrapper.choice);
        case Field::Links:
            return std::make_unique<LinkAttribute>(*wrapper.label, wrapper.ids);
        case Field::List:
            return std::make_unique<DoubleListAttribute>(*wrapper.label, wrapper.values);
        case Field::Curve:
            return std::make_unique<CurveAttribute>(*wrapper.label, wrapper.points);
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
        if (const std::unique_ptr<Attribute> replaced = owner.composite->put(std::move(attribute)))
            raise(twice(replaced->getType().getLabel()));
    }

    Model& m_model;
    std::vector<Frame> m_frames;
    int m_depth = 0;
    quint64 m_clock = 0;
    std::vector<Step> m_path;
    ModelTextLabels m_labels;
    ModelTextSeenIds m_seen;
    std::unique_ptr<Entity> m_root;
    Problem m_problem;
    bool m_tooDeep = false;
    bool m_numberTooBig = false;
    ModelNumberReadings m_numbers;
    bool m_notObject = false;
    bool m_formatFits = false;
    int m_version = 0;
};

} // namespace

std::unique_ptr<Entity> readModelText(Model& model, QByteArray json, QString* problem)
{
    constexpr qint64 MaxReservedIds = qint64(1) << 24; // a text of 4 GiB: past what one is read whole
    std::unique_ptr<Entity> root;
    {
        // The encoding is checked apart, in one pass over the whole text, before the parser
        // writes into it: the parser's own check, a character at a time, took a fifth of the reading.
        const size_t invalid = firstInvalidUtf8(json.constData(), size_t(json.size()));
        // The id table sized once from the text: the models we write spend some 280 bytes on
        // an entity, so this is about their count, a little over.
        model.reserveEntities(int(std::min<qint64>(json.size() / 256, MaxReservedIds)));
        SaxReader reader(model); // ends before the model: the entities it holds unfinished are the model's
        rapidjson::Reader parser;
        // A byte-order mark, which editors on Windows put before UTF-8 text, is passed over;
        // offsets still count from the start of the file.
        const size_t start = json.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        // In place: strings are unescaped where they lie rather than copied out one by one.
        // The text ends in a zero byte, as a byte array's always does.
        rapidjson::InsituStringStream stream(json.data() + start);
        // Iterative: a hostile file's nesting takes no stack. Numbers as their text, read by
        // std::from_chars: exact, so that every double reads back as the writer's shortest
        // form meant it, and quicker than the parser's own exact reading (which in this
        // release also trips over a zero with a large exponent, "0e-30").
        constexpr unsigned flags =
            rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseInsituFlag;
        const rapidjson::ParseResult parsed = parser.Parse<flags>(stream, reader);
        rapidjson::ParseErrorCode code = parsed.Code();
        size_t offset = start + parsed.Offset();
        // The parser takes a zero byte for the end of the text: anything after it is refused.
        if (!parsed.IsError() && start + stream.Tell() < size_t(json.size())) {
            code = rapidjson::kParseErrorDocumentRootNotSingular;
            offset = start + stream.Tell();
        }
        if (invalid < size_t(json.size()) && (code == rapidjson::kParseErrorNone || invalid < offset)) {
            code = rapidjson::kParseErrorStringInvalidEncoding;
            offset = invalid;
        }
        const auto notJson = [offset](const QString& what) {
            return QStringLiteral("not JSON (%1 at offset %2)").arg(what).arg(offset);
        };
        if (code == rapidjson::kParseErrorTermination && reader.numberTooBig())
            code = rapidjson::kParseErrorNumberTooBig;
        if (code == rapidjson::kParseErrorTermination && reader.tooDeep()) {
            *problem = notJson(QStringLiteral("Nested deeper than %1 levels").arg(MaxNesting));
        } else if (code != rapidjson::kParseErrorNone) {
            // The parser's messages end with a full stop, which the sentence around them has.
            QString text = QString::fromUtf8(rapidjson::GetParseError_En(code));
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
            *problem = notJson(text);
        } else {
            root = reader.result(problem);
        }
    }
    return root;
}

} // namespace EntityModel
