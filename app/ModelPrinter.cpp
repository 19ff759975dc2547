#include "ModelPrinter.h"

#include "ModelLookup.h"

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/UnitConverter.h>

#include <QJsonArray>

using namespace EntityModel;

namespace {

QString indent(int level) { return QString(level * 2, QLatin1Char(' ')); }

QString number(double value) { return QString::number(value, 'g', 10); }

// The attributes that hold lengths: positions, sizes and outlines.
bool isLength(const QString& label)
{
    static const QStringList lengths{QStringLiteral("X_Location"), QStringLiteral("Y_Location"),
                                     QStringLiteral("Z_Location"), QStringLiteral("Width"),
                                     QStringLiteral("Height"),     QStringLiteral("Depth"),
                                     QStringLiteral("Thickness"),  QStringLiteral("Radius"),
                                     QStringLiteral("Elevation"),  QStringLiteral("Nodes")};
    const QString last = label.section(QLatin1Char('/'), -1);
    return lengths.contains(last) || last.endsWith(QLatin1String("_Diameter")) ||
           last.startsWith(QLatin1String("Offset_"));
}

// The quantity a display unit belongs to: the first whose table knows it.
QString inDisplayUnit(double si, const TypeRef& unit)
{
    static const TypeRef quantities[] = {Length_t, Power_t, Temperature_t, Conductivity_t, Density_t,
                                         SpecificHeat_t, Area_t, Mass_t, Time_t};
    for (const TypeRef& quantity : quantities) {
        bool ok = false;
        const double value = UnitConverter::instance().convertFromSI(quantity, si, unit, &ok);
        if (ok)
            return number(value) + QLatin1Char(' ') + unit.getLabel();
    }
    return number(si);
}

// `items` joined by ", " as far as `room` allows, then how many were left out.
QString fitted(const QStringList& items, int room)
{
    QString text;
    for (int i = 0; i < items.size(); ++i) {
        const QString more = QStringLiteral(", ... (%1 in all)").arg(items.size());
        const QString next = (i == 0 ? QString() : QStringLiteral(", ")) + items[i];
        if (text.size() + next.size() > room - (i + 1 < items.size() ? more.size() : 0) && i > 0)
            return text + more;
        text += next;
    }
    return text;
}

// True for the host's item lists (layers, cells of a layer): composites labelled by position.
bool isItemList(const CompositeAttribute& composite)
{
    const std::vector<Attribute*> children = composite.children();
    if (children.empty())
        return false;
    for (const Attribute* child : children) {
        if (child->getKind() != Attribute::Kind::Composite ||
            ListAttributeEditor::itemIndex(child->getType().getLabel()) < 0)
            return false;
    }
    return true;
}

// The label an entity is shown by; the attribute holding it is not repeated below.
bool isShownName(const Entity& entity, const QString& label)
{
    if (label == Name_t.getLabel())
        return true;
    return label == Reference_Designator_t.getLabel() && entity.getName().isEmpty();
}

QJsonValue jsonValue(const Attribute& attribute)
{
    switch (attribute.getKind()) {
    case Attribute::Kind::Value: {
        const QVariant& v = static_cast<const ValueAttribute&>(attribute).getValue();
        if (v.type() == QVariant::Double || v.type() == QVariant::Int || v.type() == QVariant::LongLong)
            return v.toDouble();
        if (v.type() == QVariant::Bool)
            return v.toBool();
        return v.toString();
    }
    case Attribute::Kind::Choice:
        return static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel();
    case Attribute::Kind::Link: {
        QJsonArray ids;
        for (quint64 id : static_cast<const LinkAttribute&>(attribute).getIds())
            ids.append(double(id));
        return QJsonObject{{QStringLiteral("links"), ids}};
    }
    case Attribute::Kind::Curve: {
        QJsonArray points;
        for (const QPointF& point : static_cast<const CurveAttribute&>(attribute).getPoints())
            points.append(QJsonArray{point.x(), point.y()});
        return QJsonObject{{QStringLiteral("curve"), points}};
    }
    case Attribute::Kind::DoubleList: {
        QJsonArray values;
        for (double v : static_cast<const DoubleListAttribute&>(attribute).getValues())
            values.append(v);
        return values;
    }
    default:
        return QJsonValue();
    }
}

// Every plain attribute below `holder` by its path; owned entities are left to the caller.
void collectJson(const CompositeAttribute& holder, const QString& prefix, QJsonObject& attributes)
{
    for (const Attribute* attribute : holder.children()) {
        const QString label = prefix + attribute->getType().getLabel();
        if (attribute->getKind() == Attribute::Kind::Composite)
            collectJson(static_cast<const CompositeAttribute&>(*attribute), label + QLatin1Char('/'), attributes);
        else if (attribute->getKind() != Attribute::Kind::EntityList && attribute->getKind() != Attribute::Kind::Entity)
            attributes.insert(label, jsonValue(*attribute));
    }
}

} // namespace

ModelPrinter::ModelPrinter(QTextStream& out) : ModelPrinter(out, Options()) {}

void ModelPrinter::print(const Entity& entity, int level) { printEntity(entity, level, m_options.depth); }

void ModelPrinter::printTopLevel(const std::vector<Entity*>& entities, const QString& verb)
{
    m_out << verb << ' ' << entities.size() << (entities.size() == 1 ? " top-level entity" : " top-level entities")
          << (entities.empty() ? "." : ":") << '\n';
    for (const Entity* entity : entities)
        print(*entity, 1);
    m_out.flush();
}

QJsonObject ModelPrinter::toJson(const Entity& entity, int level) const
{
    QJsonObject attributes;
    collectJson(entity, QString(), attributes);
    QJsonObject object{{QStringLiteral("id"), double(entity.getId())},
                       {QStringLiteral("type"), entity.getType().getLabel()},
                       {QStringLiteral("name"), lookupNameOf(entity)},
                       {QStringLiteral("attributes"), attributes}};
    if (m_options.depth < 0 || level < m_options.depth) {
        std::vector<Entity*> owned;
        entity.getOwnedChildEntities(owned, false, true);
        QJsonArray children;
        for (const Entity* child : owned)
            children.append(toJson(*child, level + 1));
        object.insert(QStringLiteral("children"), children);
    }
    return object;
}

void ModelPrinter::printEntity(const Entity& entity, int level, int depth)
{
    m_out << indent(level) << describeEntity(entity) << '\n';
    printAttributes(entity, QString(), level + 1);
    if (depth != 0)
        printChildren(entity, level + 1, depth - 1);
}

void ModelPrinter::printAttributes(const CompositeAttribute& holder, const QString& prefix, int level)
{
    for (const Attribute* attribute : holder.children()) {
        const QString label = prefix + attribute->getType().getLabel();
        switch (attribute->getKind()) {
        case Attribute::Kind::Composite: {
            const auto& composite = static_cast<const CompositeAttribute&>(*attribute);
            if (isItemList(composite))
                printItems(composite, label, level);
            else
                printAttributes(composite, label + QLatin1Char('/'), level);
            break;
        }
        case Attribute::Kind::EntityList:
        case Attribute::Kind::Entity:
            break; // after the attributes
        default:
            // The name an entity or item is shown by is not repeated below it.
            const bool shownAbove =
                prefix.isEmpty() && (holder.getKind() == Attribute::Kind::Entity
                                         ? isShownName(static_cast<const Entity&>(holder), label)
                                         : ListAttributeEditor::itemIndex(holder.getType().getLabel()) >= 0 &&
                                               label == Name_t.getLabel());
            if (!shownAbove)
                printLine(level, label, describe(*attribute, label, LineWidth - 2 * level - label.size() - 3));
        }
    }
}

void ModelPrinter::printChildren(const CompositeAttribute& holder, int level, int depth)
{
    std::vector<Entity*> owned;
    holder.getOwnedChildEntities(owned, false, true);
    for (const Entity* child : owned)
        printEntity(*child, level, depth);
}

void ModelPrinter::printItems(const CompositeAttribute& list, const QString& label, int level)
{
    const std::vector<Attribute*> items = list.children();
    m_out << indent(level) << label << " (" << items.size() << (items.size() == 1 ? " item" : " items") << ")\n";
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& item = static_cast<const CompositeAttribute&>(*items[i]);
        m_out << indent(level + 1) << '[' << (i + 1) << ']';
        if (const Attribute* name = item.child(Name_t.getLabel()))
            m_out << ' ' << describe(*name, Name_t.getLabel(), LineWidth);
        m_out << '\n';
        printAttributes(item, QString(), level + 2);
    }
}

void ModelPrinter::printLine(int level, const QString& label, const QString& value)
{
    m_out << indent(level) << label << " = " << value << '\n';
}

QString ModelPrinter::describe(const Attribute& attribute, const QString& label, int room) const
{
    room = std::max(room, 20);
    const bool millimetres = m_options.millimetres && isLength(label);
    const auto length = [millimetres](double si) { return millimetres ? number(si * 1000.0) : number(si); };
    switch (attribute.getKind()) {
    case Attribute::Kind::Value: {
        const auto& value = static_cast<const ValueAttribute&>(attribute);
        const QVariant& v = value.getValue();
        if (v.type() == QVariant::Double) {
            if (!value.getUnit().isNull())
                return inDisplayUnit(v.toDouble(), value.getUnit());
            return length(v.toDouble()) + (millimetres ? QStringLiteral(" mm") : QString());
        }
        if (v.type() == QVariant::String) {
            const QString text = v.toString();
            return QLatin1Char('"') + (text.size() + 2 > room ? text.left(room - 5) + QStringLiteral("...") : text) +
                   QLatin1Char('"');
        }
        return v.toString();
    }
    case Attribute::Kind::Choice:
        return static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel();
    case Attribute::Kind::Link: {
        QStringList ids;
        for (quint64 id : static_cast<const LinkAttribute&>(attribute).getIds())
            ids << QLatin1Char('#') + QString::number(id);
        return ids.isEmpty() ? QStringLiteral("-> (none)") : QStringLiteral("-> ") + fitted(ids, room - 3);
    }
    case Attribute::Kind::Curve: {
        const auto& curve = static_cast<const CurveAttribute&>(attribute);
        if (curve.getPoints().isEmpty())
            return QStringLiteral("curve (empty)");
        return QStringLiteral("curve of %1 points, x %2 .. %3")
            .arg(curve.getPoints().size())
            .arg(number(curve.getPoints().front().x()), number(curve.getPoints().back().x()));
    }
    case Attribute::Kind::DoubleList: {
        QStringList values;
        for (double v : static_cast<const DoubleListAttribute&>(attribute).getValues())
            values << length(v);
        return QLatin1Char('[') + fitted(values, room - 2 - (millimetres ? 3 : 0)) + QLatin1Char(']') +
               (millimetres ? QStringLiteral(" mm") : QString());
    }
    default:
        return QString();
    }
}
