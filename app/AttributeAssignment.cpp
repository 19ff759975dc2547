#include "AttributeAssignment.h"

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/host/UnitConverter.h>

#include <QRegularExpression>
#include <QStringList>

#include <limits>

using namespace EntityModel;

namespace {

// A number in SI, with the quantity and unit it was written in (null when written bare).
struct Quantity
{
    double si = 0.0;
    TypeRef quantity;
    TypeRef unit;
};

// "2", "2 mm", "-3.5e-2 W/(m^2 K)": a unit is looked up among the quantities people give
// values of; one that two quantities read differently is not taken.
std::optional<Quantity> parseQuantity(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?|[-+]?inf|nan)\\s*(.*?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    // Infinities and NaN are read so that the host, which takes only finite values, refuses them.
    const QString digits = match.captured(1).toLower();
    bool ok = true;
    const double value = digits.endsWith(QLatin1String("inf"))
                             ? (digits.startsWith(QLatin1Char('-')) ? -1.0 : 1.0) * std::numeric_limits<double>::infinity()
                         : digits == QLatin1String("nan") ? std::numeric_limits<double>::quiet_NaN()
                                                          : digits.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const TypeRef unit(match.captured(2));
    if (unit.isNull())
        return Quantity{value, TypeRef(), TypeRef()};
    const TypeRef* const quantities[] = {&Length_t, &Area_t, &Power_t, &Temperature_t, &Heat_Transfer_Coefficient_t,
                                         &Thermal_Resistance_t, &Conductivity_t, &Density_t, &SpecificHeat_t,
                                         &Mass_t, &Time_t, &Force_t};
    std::optional<Quantity> found;
    for (const TypeRef* quantity : quantities) {
        if (!UnitConverter::instance().isKnown(*quantity, unit))
            continue;
        const double si = UnitConverter::instance().convertToSI(*quantity, value, unit);
        if (found && found->si != si)
            return std::nullopt;
        if (!found)
            found = Quantity{si, *quantity, unit};
    }
    return found;
}

// "0:0.2, 10:0.5" as points; none when a point is not two numbers.
std::optional<QVector<QPointF>> parseCurve(const QString& text)
{
    QVector<QPointF> points;
    for (const QString& item : text.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
        const QStringList xy = item.split(QLatin1Char(':'));
        bool xOk = false;
        bool yOk = false;
        const double x = xy.value(0).toDouble(&xOk);
        const double y = xy.value(1).toDouble(&yOk);
        if (xy.size() != 2 || !xOk || !yOk)
            return std::nullopt;
        points.append(QPointF(x, y));
    }
    if (points.isEmpty())
        return std::nullopt;
    return points;
}

std::optional<bool> parseFlag(const QString& text)
{
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("1"))
        return true;
    if (word == QLatin1String("no") || word == QLatin1String("false") || word == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QStringList labelsOf(const QList<TypeRef>& types)
{
    QStringList labels;
    for (const TypeRef& type : types)
        labels << type.getLabel();
    return labels;
}

} // namespace

AttributeAssignment::AttributeAssignment(const QString& text, const AttributePath& path, const QString& value)
    : m_text(text), m_path(path), m_value(value)
{
}

std::optional<AttributeAssignment> AttributeAssignment::parse(const QString& text, QString* problem)
{
    const int equals = text.indexOf(QLatin1Char('='));
    const AttributePath path(equals < 0 ? QString() : text.left(equals));
    if (equals < 0 || path.isEmpty()) {
        *problem = QStringLiteral("\"%1\" is not PATH=VALUE").arg(text);
        return std::nullopt;
    }
    return AttributeAssignment(text, path, text.mid(equals + 1));
}

std::optional<std::vector<AttributeAssignment>> AttributeAssignment::parseAll(const QStringList& texts,
                                                                             QString* problem)
{
    std::vector<AttributeAssignment> assignments;
    for (const QString& text : texts) {
        std::optional<AttributeAssignment> assignment = parse(text, problem);
        if (!assignment)
            return std::nullopt;
        assignments.push_back(*assignment);
    }
    return assignments;
}

bool AttributeAssignment::applyAll(const std::vector<AttributeAssignment>& assignments, Entity* entity,
                                   QString* problem)
{
    for (const AttributeAssignment& assignment : assignments) {
        if (!assignment.apply(entity, problem))
            return false;
    }
    return true;
}

bool AttributeAssignment::apply(Entity* entity, QString* problem) const
{
    return makeItems(entity, problem) && write(entity, problem);
}

bool AttributeAssignment::makeItems(Entity* entity, QString* problem) const
{
    // Items are made one at a time, so that a mistyped label cannot make a list of millions.
    AttributePath list;
    for (const QString& step : m_path.steps()) {
        const int index = ListAttributeEditor::itemIndex(step);
        if (index >= 0) {
            const int count = ListAttributeEditor::getItemCount(entity, list);
            if (index > count) {
                *problem = QStringLiteral("%1: %2 holds %3 items; item %4 would leave a gap")
                               .arg(m_text, list.toString(), QString::number(count), step);
                return false;
            }
            if (index == count && !ListAttributeEditor::setItemCount(entity, list, count + 1)) {
                *problem = QStringLiteral("%1: the host refused to add item %2 to %3").arg(m_text, step, list.toString());
                return false;
            }
        }
        list = list / AttributePath(TypeRef(step));
    }
    return true;
}

bool AttributeAssignment::write(Entity* entity, QString* problem) const
{
    const Attribute* current = entity->findAttribute(m_path);
    const Attribute::Kind kind = current ? current->getKind() : Attribute::Kind::Value;
    const QVariant held = kind == Attribute::Kind::Value && current
                              ? static_cast<const ValueAttribute*>(current)->getValue()
                              : QVariant();
    const TypeRef label(m_path.last());
    const QList<TypeRef> choices = TypeCatalogue::choicesFor(label);
    const auto refuse = [&](const QString& why) {
        *problem = QStringLiteral("%1: %2").arg(m_text, why);
        return false;
    };
    const auto written = [&](bool done) {
        return done || refuse(QStringLiteral("the host refused the value"));
    };

    if (kind == Attribute::Kind::Composite || kind == Attribute::Kind::Entity || kind == Attribute::Kind::EntityList)
        return refuse(QStringLiteral("%1 holds attributes or entities; name one of them").arg(m_path.toString()));
    if (kind == Attribute::Kind::Curve || label.getLabel().endsWith(QLatin1String("_Curve"))) {
        const std::optional<QVector<QPointF>> points = parseCurve(m_value);
        if (!points)
            return refuse(QStringLiteral("a curve is written as X:Y points separated by commas"));
        return written(EntityEditor::setSIPointsCurveNoThrow(entity, m_path, *points));
    }
    if (kind == Attribute::Kind::Choice || !choices.isEmpty()) {
        if (!EntityEditor::setValueNoThrow(entity, m_path, TypeRef(m_value.trimmed()))) {
            return refuse(choices.isEmpty() ? QStringLiteral("the host refused the choice")
                                            : QStringLiteral("the host refused the choice; %1 is one of %2")
                                                  .arg(label.getLabel(), labelsOf(choices).join(QStringLiteral(", "))));
        }
        return true;
    }
    if (label == Name_t || label == Reference_Designator_t || held.type() == QVariant::String)
        return written(EntityEditor::setValueNoThrow(entity, m_path, m_value));
    if (held.type() == QVariant::Bool) {
        const std::optional<bool> flag = parseFlag(m_value);
        return flag ? written(EntityEditor::setValueNoThrow(entity, m_path, *flag))
                    : refuse(QStringLiteral("%1 holds Yes or No").arg(m_path.toString()));
    }
    if (held.type() == QVariant::LongLong) {
        bool ok = false;
        const int whole = m_value.trimmed().toInt(&ok);
        return ok ? written(EntityEditor::setValueNoThrow(entity, m_path, whole))
                  : refuse(QStringLiteral("%1 holds a whole number").arg(m_path.toString()));
    }
    const std::optional<Quantity> quantity = parseQuantity(m_value);
    if (!quantity) {
        if (held.type() == QVariant::Double)
            return refuse(QStringLiteral("%1 holds a number, in SI or with a known unit").arg(m_path.toString()));
        return written(EntityEditor::setValueNoThrow(entity, m_path, m_value));
    }
    if (!EntityEditor::setSIValueNoThrow(entity, m_path, quantity->si))
        return written(false);
    return quantity->unit.isNull() ||
           written(EntityEditor::setConvertValueToUnitsNoThrow(entity, m_path, quantity->quantity, quantity->unit));
}
