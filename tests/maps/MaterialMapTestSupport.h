#pragma once

// A host model with one component whose layered model is built by hand, and readers of the
// cells a material map writes, for the material map tests.

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/maps/MaterialMapEditor.h>
#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <vector>

namespace MaterialMapTest {

using namespace EntityModel;
using Geometry::Bound2D;
using Geometry::Vec2;
using Kind = Tools::ToolProgress::Kind;
using Tarvex::MaterialMapData;

/// One millimetre in metres, the unit the host keeps lengths in.
constexpr double mm = 1e-3;

/// A default model with a component "Die" of the given size (metres) under the chassis.
struct HostFixture
{
    explicit HostFixture(double width = 0.003, double depth = 0.002, double height = 0.0001,
                         const TypeRef& shape = TypeRef())
        : model(Model::createDefault())
    {
        Entity* chassis = static_cast<const EntityListAttribute*>(model->getRoot()->findAttribute(Chassis_t))->at(0);
        component = EntityEditor::createEntity(Component_t, chassis, TypeCatalogue::listFor(Chassis_t, Component_t),
                                               nullptr, 0, QStringLiteral("Die"));
        EntityEditor::setSIValueNoThrow(component, Width_t, width);
        EntityEditor::setSIValueNoThrow(component, Depth_t, depth);
        EntityEditor::setSIValueNoThrow(component, Height_t, height);
        if (!shape.isNull())
            EntityEditor::setValueNoThrow(component, Shape_t, shape);
        model->getUndoStack().clear();
    }

    /// Appends a layer at `y` of `thickness` whose items are the given rectangles (SI).
    CompositeAttribute* addLayer(const QString& name, double y, double thickness,
                                 const std::vector<Geometry::Bound2D>& items)
    {
        const AttributePath layers = Tarvex::MaterialMapEditor::layersPath();
        const int index = ListAttributeEditor::getItemCount(component, layers);
        ListAttributeEditor::setItemCount(component, layers, index + 1);
        const AttributePath at = layers / AttributePath(TypeRef(ListAttributeEditor::itemLabel(index)));
        EntityEditor::setValueNoThrow(component, at / Name_t, name);
        EntityEditor::setSIValueNoThrow(component, at / Y_Location_t, y);
        EntityEditor::setSIValueNoThrow(component, at / Thickness_t, thickness);
        const AttributePath cells = at / Tarvex_Layer_Items_t;
        ListAttributeEditor::setItemCount(component, cells, int(items.size()));
        for (size_t i = 0; i < items.size(); ++i) {
            const AttributePath cell = cells / AttributePath(TypeRef(ListAttributeEditor::itemLabel(int(i))));
            EntityEditor::setSIValueNoThrow(component, cell / X_Location_t, items[i].getLow().x);
            EntityEditor::setSIValueNoThrow(component, cell / Z_Location_t, items[i].getLow().y);
            EntityEditor::setSIValueNoThrow(component, cell / Width_t, items[i].getSize().x);
            EntityEditor::setSIValueNoThrow(component, cell / Depth_t, items[i].getSize().y);
        }
        model->getUndoStack().clear();
        return layer(index);
    }

    /// The layer at `index`, or null.
    CompositeAttribute* layer(int index) const
    {
        const std::vector<CompositeAttribute*> all =
            ListAttributeEditor::getItems(component, Tarvex::MaterialMapEditor::layersPath());
        return index >= 0 && size_t(index) < all.size() ? all[size_t(index)] : nullptr;
    }

    /// The saved form of the whole model.
    QByteArray json() const { return ModelFile::toJson(*model); }

    std::unique_ptr<Model> model;
    Entity* component = nullptr;
};

/// One cell as the host holds it (lengths in SI).
struct Cell
{
    QString name;
    bool active = false;
    QString shape;
    double x = 0, z = 0, width = 0, depth = 0;
    QVector<double> outline;
    QVector<double> fractions;
    QString unit;
};

inline const Attribute* childOf(const CompositeAttribute* holder, const TypeRef& label)
{
    return holder ? holder->child(label.getLabel()) : nullptr;
}

/// The value or choice label of the child `label`; invalid when there is none.
inline QVariant valueOf(const CompositeAttribute* holder, const TypeRef& label)
{
    const Attribute* at = childOf(holder, label);
    if (at && at->getKind() == Attribute::Kind::Choice)
        return static_cast<const ChoiceAttribute*>(at)->getChoice().getLabel();
    return at && at->getKind() == Attribute::Kind::Value ? static_cast<const ValueAttribute*>(at)->getValue() : QVariant();
}

inline double numberOf(const CompositeAttribute* holder, const TypeRef& label)
{
    const QVariant value = valueOf(holder, label);
    return value.isValid() ? value.toDouble() : -1.0;
}

inline QString textOf(const CompositeAttribute* holder, const TypeRef& label) { return valueOf(holder, label).toString(); }

inline QVector<double> listOf(const CompositeAttribute* holder, const TypeRef& label)
{
    const Attribute* at = childOf(holder, label);
    return at && at->getKind() == Attribute::Kind::DoubleList ? static_cast<const DoubleListAttribute*>(at)->getValues()
                                                              : QVector<double>();
}

/// The cells of `layer` in list order.
inline std::vector<Cell> cellsOf(const CompositeAttribute* layer)
{
    std::vector<Cell> cells;
    const Attribute* list = childOf(layer, Tarvex_Layer_Items_t);
    if (!list || list->getKind() != Attribute::Kind::Composite)
        return cells;
    for (const Attribute* item : static_cast<const CompositeAttribute*>(list)->children()) {
        const auto* composite = static_cast<const CompositeAttribute*>(item);
        Cell cell;
        cell.name = textOf(composite, Name_t);
        cell.active = textOf(composite, Active_t) == QLatin1String("Yes");
        cell.shape = textOf(composite, Shape_t);
        cell.x = numberOf(composite, X_Location_t);
        cell.z = numberOf(composite, Z_Location_t);
        cell.width = numberOf(composite, Width_t);
        cell.depth = numberOf(composite, Depth_t);
        cell.outline = listOf(composite, Outline_t);
        cell.fractions = listOf(composite, Material_Fraction_t);
        const Attribute* x = childOf(composite, X_Location_t);
        if (x && x->getKind() == Attribute::Kind::Value)
            cell.unit = static_cast<const ValueAttribute*>(x)->getUnit().getLabel();
        cells.push_back(cell);
    }
    return cells;
}

/// Each cell as "name on|off Shape x,z widthxdepth (outline) metal/dielectric unit", lengths in mm.
inline std::vector<std::string> describe(const std::vector<Cell>& cells)
{
    const auto mm = [](double metres) { return QString::number(metres * 1e3, 'g', 12); };
    std::vector<std::string> result;
    for (const Cell& cell : cells) {
        QStringList outline, fractions;
        for (double v : cell.outline)
            outline << mm(v);
        for (double f : cell.fractions)
            fractions << QString::number(f);
        result.push_back(QStringLiteral("%1 %2 %3 %4,%5 %6x%7 (%8) ")
                             .arg(cell.name, cell.active ? "on" : "off", cell.shape, mm(cell.x), mm(cell.z),
                                  mm(cell.width), mm(cell.depth), outline.join(' '))
                             .append(fractions.join('/') + ' ' + cell.unit)
                             .toStdString());
    }
    return result;
}

/// The names of the materials linked by `layer`, in order.
inline QStringList materialsOf(const Entity* component, const CompositeAttribute* layer)
{
    QStringList names;
    for (const Entity* material :
         getLinkedEntities(component, ListAttributeEditor::getPathInOwner(layer) / Materials_t))
        names << material->getName();
    return names;
}

/// What a reader gave for `bytes` written to a file called `name`, and what it said.
struct Read
{
    std::vector<Tarvex::MaterialMapData> records;
    QStringList fatal;
    QStringList warnings;
};

/// Reads `bytes` with an `Importer` that keeps the file's y direction.
template <class Importer>
Read readWith(const QByteArray& bytes, const char* name)
{
    TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    Importer importer(false, &progress);
    Read read;
    read.records = importer.readMaterialMapData(dir.write(name, bytes));
    read.fatal = progress.texts(Tools::ToolProgress::Kind::FatalError);
    read.warnings = progress.texts(Tools::ToolProgress::Kind::Warning);
    return read;
}

/// Each record as "name dielectric/metal unit U [area x0,y0-x1,y1] at up+thickness grid RxC:
/// densities", then each "warning: " and "fatal: " message.
inline std::vector<std::string> describe(const Read& read)
{
    std::vector<std::string> result;
    for (const Tarvex::MaterialMapData& r : read.records) {
        QString text = QString::fromStdString(r.name + " " + r.dielectric + "/" + r.metal + " unit ") + r.lengthUnit.getLabel();
        if (r.area)
            text += QStringLiteral(" area %1,%2-%3,%4")
                        .arg(r.area->getLow().x)
                        .arg(r.area->getLow().y)
                        .arg(r.area->getHigh().x)
                        .arg(r.area->getHigh().y);
        text += QStringLiteral(" at %1+%2 grid %3x%4:").arg(r.upPos).arg(r.thickness).arg(r.rows).arg(r.columns);
        for (double d : r.metalDensity)
            text += ' ' + QString::number(d);
        result.push_back(text.toStdString());
    }
    for (const QString& text : read.warnings)
        result.push_back("warning: " + text.toStdString());
    for (const QString& text : read.fatal)
        result.push_back("fatal: " + text.toStdString());
    return result;
}

} // namespace MaterialMapTest
