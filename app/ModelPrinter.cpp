#include "ModelPrinter.h"

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/UnitConverter.h>

#include <set>

using namespace EntityModel;

namespace {

QString indent(int depth) { return QString(depth * 2, QLatin1Char(' ')); }

QString number(double value) { return QString::number(value, 'g', 10); }

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

QString describe(const Attribute& attribute)
{
    switch (attribute.getKind()) {
    case Attribute::Kind::Value: {
        const auto& value = static_cast<const ValueAttribute&>(attribute);
        const QVariant& v = value.getValue();
        if (v.type() == QVariant::Double)
            return value.getUnit().isNull() ? number(v.toDouble()) : inDisplayUnit(v.toDouble(), value.getUnit());
        if (v.type() == QVariant::String)
            return QLatin1Char('"') + v.toString() + QLatin1Char('"');
        return v.toString();
    }
    case Attribute::Kind::Choice:
        return static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel();
    case Attribute::Kind::Link: {
        QStringList ids;
        for (quint64 id : static_cast<const LinkAttribute&>(attribute).getIds())
            ids << QLatin1Char('#') + QString::number(id);
        return QStringLiteral("-> ") + ids.join(QStringLiteral(", "));
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
            values << number(v);
        return QLatin1Char('[') + values.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    default:
        return QString();
    }
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

} // namespace

void ModelPrinter::print(const Entity& entity, int depth)
{
    m_out << indent(depth) << entity.getType().getLabel();
    if (!entity.getName().isEmpty())
        m_out << " \"" << entity.getName() << '"';
    m_out << " #" << entity.getId() << '\n';
    printAttributes(entity, QString(), depth + 1);
}

void ModelPrinter::printTopLevel(const std::vector<Entity*>& entities, const QString& verb, int warnings, int errors)
{
    m_out << verb << ' ' << entities.size() << (entities.size() == 1 ? " top-level entity" : " top-level entities")
          << (entities.empty() ? "." : ":") << '\n';
    for (const Entity* entity : entities)
        print(*entity, 1);

    // What the entities hold, each counted once however the list nests them.
    struct Kind
    {
        TypeRef type;
        const char* one;
        const char* many;
        int count;
    };
    Kind kinds[] = {{Component_t, "component", "components", 0},        {Solid_Obstruction_t, "block", "blocks", 0},
                    {Bump_t, "solder ball or bump", "solder balls and bumps", 0}, {Heat_Source_t, "heat source", "heat sources", 0},
                    {Terminal_t, "terminal", "terminals", 0}};
    std::set<const Entity*> counted;
    for (Entity* entity : entities) {
        std::vector<Entity*> held{entity};
        CompositeAttribute::getOwnedChildEntities(entity, held, true, true);
        for (const Entity* one : held) {
            if (!counted.insert(one).second)
                continue;
            for (Kind& kind : kinds)
                kind.count += one->getType() == kind.type ? 1 : 0;
        }
    }
    QStringList parts;
    for (const Kind& kind : kinds)
        parts << QStringLiteral("%1 %2").arg(kind.count).arg(QLatin1String(kind.count == 1 ? kind.one : kind.many));
    m_out << "In all: " << parts.join(QStringLiteral(", ")) << "; " << warnings
          << (warnings == 1 ? " warning, " : " warnings, ") << errors << (errors == 1 ? " error.\n" : " errors.\n");
    m_out.flush();
}

void ModelPrinter::printAttributes(const CompositeAttribute& holder, const QString& prefix, int depth)
{
    for (const Attribute* attribute : holder.children()) {
        const QString label = prefix + attribute->getType().getLabel();
        switch (attribute->getKind()) {
        case Attribute::Kind::Composite: {
            const auto& composite = static_cast<const CompositeAttribute&>(*attribute);
            if (isItemList(composite))
                printItems(composite, label, depth);
            else
                printAttributes(composite, label + QLatin1Char('/'), depth);
            break;
        }
        case Attribute::Kind::EntityList: {
            const auto& list = static_cast<const EntityListAttribute&>(*attribute);
            for (int i = 0; i < list.count(); ++i)
                print(*list.at(i), depth);
            break;
        }
        default:
            if (label != Name_t.getLabel())
                m_out << indent(depth) << label << " = " << describe(*attribute) << '\n';
        }
    }
}

void ModelPrinter::printItems(const CompositeAttribute& list, const QString& label, int depth)
{
    const std::vector<Attribute*> items = list.children();
    m_out << indent(depth) << label << " (" << items.size() << (items.size() == 1 ? " item" : " items") << ")\n";
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& item = static_cast<const CompositeAttribute&>(*items[i]);
        m_out << indent(depth + 1) << '[' << (i + 1) << ']';
        if (const Attribute* name = item.child(Name_t.getLabel()))
            m_out << ' ' << describe(*name);
        m_out << '\n';
        printAttributes(item, QString(), depth + 2);
    }
}
