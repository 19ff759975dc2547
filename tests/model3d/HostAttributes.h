#pragma once

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/Entity.h>

#include <QMap>
#include <QString>
#include <QStringList>

namespace Model3DTest {

/// Every plain attribute of an entity by its path, as readable text: doubles with 12
/// digits, strings quoted, curves as their points. Owned entities are left out.
inline void flatten(const EntityModel::CompositeAttribute& holder, const QString& prefix, QMap<QString, QString>& out)
{
    using EntityModel::Attribute;
    for (const Attribute* attribute : holder.children()) {
        const QString path = prefix + attribute->getType().getLabel();
        switch (attribute->getKind()) {
        case Attribute::Kind::Composite:
            flatten(static_cast<const EntityModel::CompositeAttribute&>(*attribute), path + QLatin1Char('/'), out);
            break;
        case Attribute::Kind::Value: {
            const QVariant& value = static_cast<const EntityModel::ValueAttribute*>(attribute)->getValue();
            out[path] = value.type() == QVariant::Double ? QString::number(value.toDouble(), 'g', 12)
                                                         : QLatin1Char('"') + value.toString() + QLatin1Char('"');
            break;
        }
        case Attribute::Kind::Choice:
            out[path] = static_cast<const EntityModel::ChoiceAttribute*>(attribute)->getChoice().getLabel();
            break;
        case Attribute::Kind::Curve: {
            QStringList points;
            for (const QPointF& p : static_cast<const EntityModel::CurveAttribute*>(attribute)->getPoints())
                points << QString::number(p.x(), 'g', 12) + QLatin1Char(':') + QString::number(p.y(), 'g', 12);
            out[path] = points.join(QLatin1Char(' '));
            break;
        }
        default:
            out[path] = QStringLiteral("(other)");
            break;
        }
    }
}

inline QMap<QString, QString> flatten(const EntityModel::Entity* entity)
{
    QMap<QString, QString> out;
    if (entity)
        flatten(*entity, QString(), out);
    return out;
}

} // namespace Model3DTest
