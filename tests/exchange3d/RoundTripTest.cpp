// A model exported as a project archive and imported again gives its entities back, compared
// entity by entity inside the archive's group.
#include "exchange3d/ExportTestSupport.h"
#include <tarvex/exchange3d/Tarvex3DImporter.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/GeometryBuilder.h>
#include "model3d/HostAttributes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ExportTest;

namespace {

// What the round trip must keep of one entity, as text: its type and name, its box (solids)
// or place (sensors) in the world to the nanometre, its colour, its material with all the
// material's properties, its power, the normal of its face (terminals) and what holds it.
QString described(const Entity* entity, const QString& name)
{
    const TypeRef& type = entity->getType();
    // The builder owns the part, so it must outlive every use of it.
    Geometry::GeometryBuilder geometry;
    const Geometry::Part* part = geometry.buildPart(entity);
    QString text = QStringLiteral("%1 \"%2\"").arg(type.getLabel(), name);
    const auto nanometres = [&](const Geometry::Vec3& v) {
        text += QStringLiteral(" %1,%2,%3").arg(std::llround(v.x * 1e9)).arg(std::llround(v.y * 1e9)).arg(std::llround(v.z * 1e9));
    };
    if (type == Sensor_t)
        nanometres(part->getTransform().getTranslation());
    if (type == Solid_Obstruction_t) {
        nanometres(part->getBound().getLow());
        nanometres(part->getBound().getHigh());
        // A solid without a colour is shown in the project's default one.
        const DisplayColour colour = getColour(entity).value_or(DisplayColour{180, 180, 180});
        text += QStringLiteral(" colour %1,%2,%3").arg(colour.red).arg(colour.green).arg(colour.blue);
    }
    if (const Entity* material = getLinkedEntity(entity, MaterialLink_t)) {
        QMap<QString, QString> properties = Model3DTest::flatten(material);
        properties.remove(QStringLiteral("Name"));
        text += QStringLiteral(" of ") + material->getName();
        for (auto it = properties.begin(); it != properties.end(); ++it)
            text += QLatin1Char(' ') + it.key() + QLatin1Char('=') + it.value();
    }
    if (type == Heat_Source_t)
        text += QStringLiteral(" %1 W").arg(getStandardDoubleValue(entity, Heat_t / Heat_Dissipated_t, 0));
    const Entity* owner = entity->getOwnerEntity();
    if (type == Terminal_t) {
        const QVector<double> normal = getStandardDoubleListValues(getLinkedEntity(owner, FaceDefinition_t), Normals_t);
        text += QStringLiteral(" %1 on the face %2,%3,%4")
                    .arg(getTypeValue(entity, Boundary_Type_t).getLabel())
                    .arg(normal.value(0)).arg(normal.value(1)).arg(normal.value(2));
        owner = owner->getOwnerEntity();
    }
    return type == Solid_Obstruction_t ? text : text + QStringLiteral(" in ") + owner->getName();
}

// The unique-name rule of an export: blanks and points become underscores. Solids keep their
// own names ("ObjectName"); every other object is known by its unique name.
QString exportedName(const Entity* entity)
{
    QString name = entity->getName();
    if (entity->getType() != Solid_Obstruction_t)
        name.replace(QLatin1Char(' '), QLatin1Char('_')).replace(QLatin1Char('.'), QLatin1Char('_'));
    return name;
}

TEST(Tarvex3DRoundTrip, ExportedAndImportedAgainGivesTheSameEntities)
{
    // Two blocks (one coloured, of copper, with a heat source), a block in a placed group with
    // a sensor, and a terminal on the +y face of the first block.
    TwoBlocks original;
    Entity* stack = child(original.chassis, Group_Obstruction_t, Obstructions_t, "Stack",
                          {{X_Location_t, 0.03}, {Y_Location_t, 0.001}});
    Entity* third = block(stack, "Block 3", {0.0005, 0.0001, 0.0002}, {0.0011, 0.0013, 0.0017});
    setColourNoThrow(third, {1, 2, 3});
    EntityEditor::setLinks(third, MaterialLink_t, {original.copper});
    child(third, Sensor_t, Sensors_t, "T_probe",
          {{Type_t, Point_t}, {X_Location_t, 0.0004}, {Y_Location_t, 0.00065}, {Z_Location_t, 0.001}});
    child(third, Heat_Source_t, Heat_Sources_t, "Q.2", {{Heat_t / Heat_Dissipated_t, 0.125}});
    Entity* cadFace = child(original.first, CAD_Face_t, CAD_Faces_t, "");
    EntityEditor::setSIDoubleListValue(cadFace, Normals_t, {0, 1, 0});
    Entity* face = child(original.first, Face_t, Faces_t, "");
    EntityEditor::setLinks(face, FaceDefinition_t, {cadFace});
    child(face, Terminal_t, TerminalLink_t, "Pin 1", {{Boundary_Type_t, External_t}});

    TestSupport::TempDir dir;
    Tarvex3D::Tarvex3DExporter exporter;
    ASSERT_TRUE(exporter.exportModel(original.model->getRoot(), dir.path("round.trip.zip").toStdString(), false, nullptr))
        << exporter.importError();
    const std::unique_ptr<Model> copy = Model::createDefault();
    Tarvex3D::Tarvex3DImporter importer(nullptr);
    ASSERT_TRUE(importer.importModel(EntityFetcher::getChassis(copy->getRoot()), dir.path("round.trip.zip").toStdString()))
        << importer.importError();
    const Entity* group = importer.getImportedGroup();
    EXPECT_EQ(group->getName(), "round.trip");

    // Every solid, heat source, sensor and terminal comes back once, in the group, the same;
    // a material comes back under its exported name.
    const auto describedBelow = [](const Entity* root, bool asExported) {
        std::vector<Entity*> all;
        root->getOwnedChildEntities(all, true, true);
        QStringList lines;
        for (const Entity* entity : all) {
            const TypeRef& type = entity->getType();
            if (type == Group_Obstruction_t || type == Face_t || type == CAD_Face_t)
                continue;
            lines << (asExported ? described(entity, exportedName(entity)).replace(" of Cu 101.b ", " of EC_Cu_101_b ")
                                 : described(entity, entity->getName()));
        }
        lines.sort();
        return lines;
    };
    const QStringList expected = describedBelow(original.chassis, true);
    const QStringList imported = describedBelow(group, false);
    EXPECT_EQ(imported.join("\n").toStdString(), expected.join("\n").toStdString());
    EXPECT_EQ(expected.size(), 7);
}

} // namespace
