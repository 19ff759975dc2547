#pragma once

#include <tarvex/host/DisplayColour.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/Vec.h>
#include "model3d/Model3DTestData.h"
#include <tarvex/model3d/TarvexMaterialImporter.h>

#include <tarvex/exchange3d/Tarvex3DExporter.h>
#include "support/TempDir.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

// Models the export tests start from, and readers of what an export wrote.
namespace ExportTest {

using namespace EntityModel;

/// A library of one material, "Cu 101.b": conductivity 401 W/(m K) at 20 °C and 391 at
/// 100 °C, density 8933, specific heat 385, emissivity 0.03, solar reflectance 0.4, an
/// electrical conductivity of 5.8e7 S/m.
inline QByteArray copperLibrary()
{
    return "<Norvane_Material_Lib Version=\"1.05\"><DataDescriptions>"
           "<Metal><Column name=\"Temperature\" unit=\"C\"/><Column name=\"Conductivity\" unit=\"S/m\"/></Metal>"
           "<Thermal><Column name=\"Temperature\" unit=\"C\"/><Column name=\"Conductivity\" unit=\"W/(m*K)\"/>"
           "<Column name=\"Density\" unit=\"kg/m^3\"/><Column name=\"Specific heat\" unit=\"J/(kg*K)\"/>"
           "<Column name=\"Emissivity\"/><Column name=\"Solar Reflectance\"/></Thermal>"
           "</DataDescriptions>"
           "<Material name=\"Cu 101.b\"><Metal><Model>25 5.8e7</Model></Metal>"
           "<Thermal><Model>20 401 8933 385 0.03 0.4\n100 391 8933 385 0.03 0.4</Model></Thermal></Material>"
           "</Norvane_Material_Lib>";
}

/// The materials of a library text, made as the material-library importer makes them,
/// under `root`.
inline std::vector<Entity*> importLibrary(const QByteArray& text, Entity* root)
{
    Tarvex3D::TarvexMaterialImporter importer(nullptr);
    return importer.createMaterials(importer.generateMaterials(Model3DTest::parse(text)), root);
}

/// One value set on an entity: a type, a switch or a number in SI units.
struct Setting
{
    Setting(const AttributePath& path, const TypeRef& value)
        : apply([path, &value](Entity* entity) { EntityEditor::setValue(entity, path, value); }) {}
    Setting(const AttributePath& path, bool value)
        : apply([path, value](Entity* entity) { EntityEditor::setValue(entity, path, value); }) {}
    Setting(const AttributePath& path, double value)
        : apply([path, value](Entity* entity) { EntityEditor::setSIValue(entity, path, value); }) {}
    std::function<void(Entity*)> apply;
};

/// A new `type` named `name` in the list `list` of `owner`, with `settings` applied.
inline Entity* child(Entity* owner, const TypeRef& type, const TypeRef& list, const QString& name,
                     std::initializer_list<Setting> settings = {})
{
    Entity* made = EntityEditor::createEntity(type, owner, list, nullptr, 0, name);
    for (const Setting& setting : settings)
        setting.apply(made);
    return made;
}

/// A solid block of `size` (m) at `at` (m) in `owner`.
inline Entity* block(Entity* owner, const QString& name, const Geometry::Vec3& at, const Geometry::Vec3& size)
{
    return child(owner, Solid_Obstruction_t, Obstructions_t, name,
                 {{X_Location_t, at.x}, {Y_Location_t, at.y}, {Z_Location_t, at.z}, {Width_t, size.x},
                  {Height_t, size.y}, {Depth_t, size.z}});
}

/// Two named blocks in the chassis: "Block 1.a" (10 x 2 x 5 mm at 1, 0, 2 mm) coloured
/// 255, 128, 64, made of the library material "Cu 101.b" and holding the 2.5 W heat source
/// "Q 1"; "Block 2" (4 x 1 x 3 mm at 20, 0, 0 mm) with no material.
struct TwoBlocks
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* copper = importLibrary(copperLibrary(), model->getRoot()).at(0);
    Entity* first = block(chassis, "Block 1.a", {0.001, 0, 0.002}, {0.01, 0.002, 0.005});
    Entity* second = block(chassis, "Block 2", {0.02, 0, 0}, {0.004, 0.001, 0.003});
    Entity* heat = child(first, Heat_Source_t, Heat_Sources_t, "Q 1", {{Heat_t / Heat_Dissipated_t, 2.5}});

    TwoBlocks()
    {
        setColourNoThrow(first, {255, 128, 64});
        EntityEditor::setLinks(first, MaterialLink_t, {copper});
        model->getUndoStack().clear();
    }
};

/// Saves `model` as `name` in `dir`.
inline void saveModel(const Model& model, const TestSupport::TempDir& dir, const QString& name = "model.json")
{
    QString problem;
    ASSERT_TRUE(ModelFile::save(model, dir.path(name), &problem)) << problem.toStdString();
}

/// Saves the two blocks as model.json in `dir`.
inline void saveTwoBlocks(const TestSupport::TempDir& dir) { saveModel(*TwoBlocks().model, dir); }

/// What one export of a model into a temporary folder gave.
struct Exported
{
    QDomDocument project;
    QStringList notes; // "entity name: note"
};

/// Exports `model` into a temporary folder, only what is solved in FEA when `feaOnly`.
inline Exported exportOf(const Model& model, bool feaOnly = false)
{
    const TestSupport::TempDir dir;
    Tarvex3D::Tarvex3DExporter exporter;
    EXPECT_TRUE(exporter.exportModel(model.getRoot(), dir.path("out.zip").toStdString(), feaOnly, nullptr))
        << exporter.importError();
    Exported result{exporter.getDocument(), {}};
    for (const Tarvex3D::Tarvex3DExporter::Note& note : exporter.getNotes())
        result.notes << (note.first ? note.first->getName() : QString()) + ": " + note.second;
    return result;
}

/// The members of the zip archive at `path`, by name in archive order, with their bytes.
inline std::vector<std::pair<QString, QByteArray>> readArchive(const QString& path)
{
    std::vector<std::pair<QString, QByteArray>> members;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return members;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile file(&zip);
        file.open(QIODevice::ReadOnly);
        members.emplace_back(zip.getCurrentFileName(), file.readAll());
    }
    return members;
}

/// The child elements of `parent`, only those named `tag` when it is given.
inline QList<QDomElement> elements(const QDomElement& parent, const QString& tag = QString())
{
    QList<QDomElement> found;
    for (QDomElement element = parent.firstChildElement(tag); !element.isNull(); element = element.nextSiblingElement(tag))
        found << element;
    return found;
}

/// The first element of "Objects" whose attribute `name` is `value`, or null.
inline QDomElement objectWhere(const QDomDocument& project, const QString& name, const QString& value)
{
    for (const QDomElement& object : elements(project.documentElement().firstChildElement("Objects"))) {
        if (object.attribute(name) == value)
            return object;
    }
    return QDomElement();
}

/// The element of "Objects" with `id`, or null.
inline QDomElement objectWithId(const QDomDocument& project, const QString& id) { return objectWhere(project, "id", id); }

/// The objects of "Objects" after the template's own (ids above 36), as "tag id name".
inline QStringList addedObjects(const QDomDocument& project)
{
    QStringList added;
    for (const QDomElement& object : elements(project.documentElement().firstChildElement("Objects"))) {
        if (object.attribute("id").toInt() > 36)
            added << object.tagName() + ' ' + object.attribute("id") + ' ' + object.attribute("Name");
    }
    return added;
}

/// The structure group at the path of group names `path` ("Static Analysis/Power Input").
inline QDomElement structureGroup(const QDomDocument& project, const QString& path)
{
    QDomElement at = project.documentElement().firstChildElement("Structure");
    for (const QString& name : path.split('/')) {
        const QList<QDomElement> groups = elements(at, "DataGroup");
        const auto named = [&name](const QDomElement& group) { return group.attribute("Name") == name; };
        const auto found = std::find_if(groups.begin(), groups.end(), named);
        at = found == groups.end() ? QDomElement() : *found;
    }
    return at;
}

/// The attributes of `element` that differ from `expected` ("Name=value|Other=value"), each as
/// "Name=actual"; empty when all match.
inline QStringList differingAttributes(const QDomElement& element, const QString& expected)
{
    QStringList differing;
    for (const QString& pair : expected.split('|')) {
        const QString name = pair.section('=', 0, 0);
        if (element.attribute(name) != pair.section('=', 1))
            differing << name + '=' + element.attribute(name);
    }
    return differing;
}

/// The links below `element` as nested text: "37{38} 39".
inline QString links(const QDomElement& element)
{
    QStringList parts;
    for (const QDomElement& link : elements(element, "Object")) {
        const QString inner = links(link);
        parts << link.attribute("id") + (inner.isEmpty() ? QString() : '{' + inner + '}');
    }
    return parts.join(' ');
}

} // namespace ExportTest
