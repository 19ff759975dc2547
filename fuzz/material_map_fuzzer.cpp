// Feeds arbitrary bytes to the layout readers (text or XML, chosen by the first byte) and
// applies what they read to a small host component, through a temporary file. Any input
// must end in applied layers or in a reported failure that leaves the model as it was.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/maps/TarvexMaterialMapImporter.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

using namespace EntityModel;

namespace {

// A component of 4 x 4 x 1 mm with one layer covering it, of the shape the fuzzer picks.
Entity* makeComponent(Model& model, uint8_t choice)
{
    Entity* root = model.getRoot();
    Entity* component = EntityEditor::createEntity(Component_t, root, TypeCatalogue::listFor(Project_t, Component_t),
                                                   nullptr, 0, QStringLiteral("Die"));
    EntityEditor::setSIValueNoThrow(component, Width_t, 0.004);
    EntityEditor::setSIValueNoThrow(component, Depth_t, 0.004);
    EntityEditor::setSIValueNoThrow(component, Height_t, 0.001);
    const TypeRef shapes[] = {TypeRef(), Cuboid_t, Polygon_t};
    if (!shapes[choice % 3].isNull())
        EntityEditor::setValueNoThrow(component, Shape_t, shapes[choice % 3]);
    const AttributePath layers = Tarvex::MaterialMapEditor::layersPath();
    ListAttributeEditor::setItemCount(component, layers, 1);
    const AttributePath layer = layers / AttributePath(TypeRef(ListAttributeEditor::itemLabel(0)));
    EntityEditor::setSIValueNoThrow(component, layer / Thickness_t, 0.001);
    ListAttributeEditor::setItemCount(component, layer / Tarvex_Layer_Items_t, 1);
    const AttributePath item = layer / Tarvex_Layer_Items_t / AttributePath(TypeRef(ListAttributeEditor::itemLabel(0)));
    EntityEditor::setSIValueNoThrow(component, item / Width_t, 0.004);
    EntityEditor::setSIValueNoThrow(component, item / Depth_t, 0.004);
    EntityEditor::setSIDoubleListValueNoThrow(component, item / Outline_t,
                                              {0, 0, 0.004, 0, 0.004, 0.002, 0.002, 0.002, 0.002, 0.004, 0, 0.004});
    model.getUndoStack().clear();
    return component;
}

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t choice = data[0];
    const Fuzz::FuzzInput input(data + 1, size - 1);
    if (!input.isUsable())
        return 0;
    const QString path = input.writeFile((choice & 1) ? QStringLiteral("layout.xml") : QStringLiteral("layout.txt"));

    Model model;
    Entity* component = makeComponent(model, uint8_t(choice >> 2));
    const QByteArray before = ModelFile::toJson(model);
    Tarvex::TarvexMaterialMapImporter importer(nullptr);
    importer.setResizeOwner(choice & 2);
    bool applied = false;
    try {
        applied = importer.importFile(path, component);
    } catch (const std::runtime_error&) {
        return 0; // a flip that cannot keep the map in place, as documented
    }
    if (!applied && ModelFile::toJson(model) != before)
        __builtin_trap(); // a failed import must leave the model as it was
    return 0;
}
