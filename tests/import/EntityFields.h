#pragma once

#include <tarvex/host/Attribute.h>
#include <tarvex/host/CompositeAttribute.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/EntityReading.h>

#include <string>
#include <vector>

namespace ImportTest {

using namespace EntityModel;

/// A file of ours under tests/data/builders.
inline QString builderData(const char* name) { return QStringLiteral(TARVEX_TEST_DATA "/builders/") + name; }

// Whatever is stored at each of `paths` below `prefix`, as "path=value" separated by "; ":
// numbers to 12 digits, texts quoted, choices by label, lists in brackets, curves as points.
inline std::string fields(const Entity* entity, const QString& prefix, const QStringList& paths)
{
    QStringList out;
    for (const QString& path : paths) {
        const Attribute* attribute = entity ? entity->findAttribute(AttributePath(prefix + path)) : nullptr;
        QString value = QStringLiteral("none");
        if (const auto* plain = dynamic_cast<const ValueAttribute*>(attribute)) {
            const QVariant& v = plain->getValue();
            value = v.type() == QVariant::Double ? QString::number(v.toDouble(), 'g', 12)
                    : v.type() == QVariant::String ? '"' + v.toString() + '"'
                                                    : v.toString();
        } else if (const auto* choice = dynamic_cast<const ChoiceAttribute*>(attribute)) {
            value = choice->getChoice().getLabel();
        } else if (const auto* list = dynamic_cast<const DoubleListAttribute*>(attribute)) {
            QStringList values;
            for (double v : list->getValues())
                values << QString::number(v, 'g', 12);
            value = '[' + values.join(' ') + ']';
        } else if (const auto* curve = dynamic_cast<const CurveAttribute*>(attribute)) {
            QStringList points;
            for (const QPointF& p : curve->getPoints())
                points << QStringLiteral("%1:%2").arg(p.x(), 0, 'g', 12).arg(p.y(), 0, 'g', 12);
            value = '{' + points.join(' ') + '}';
        }
        out << path + '=' + value;
    }
    return out.join(QStringLiteral("; ")).toStdString();
}

// The entities of `type` called `name` (by name or designator) anywhere below `owner`.
inline std::vector<EntityModel::Entity*> findAll(const Entity* owner, const TypeRef& type, const QString& name = QString())
{
    std::vector<Entity*> all;
    CompositeAttribute::getOwnedChildEntities(owner, all, true, true);
    std::vector<Entity*> found;
    for (Entity* entity : all) {
        const bool named = name.isEmpty() || entity->getName() == name ||
                           getStringValue(entity, Reference_Designator_t) == name;
        if (entity->getType() == type && named)
            found.push_back(entity);
    }
    return found;
}

inline EntityModel::Entity* findOne(const Entity* owner, const TypeRef& type, const QString& name)
{
    const std::vector<Entity*> found = findAll(owner, type, name);
    return found.size() == 1 ? found.front() : nullptr;
}

} // namespace ImportTest
