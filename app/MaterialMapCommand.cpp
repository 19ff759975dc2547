#include "CommandLine.h"
#include "Console.h"
#include "ModelLookup.h"
#include "RunSummary.h"

#include "ConsoleProgress.h"
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ForwardingProgress.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/UnitConverter.h>
#include <tarvex/maps/TarvexMaterialMapImporter.h>
#include <tarvex/maps/UniformGridMaterialMapImporter.h>

#include <QFileInfo>

#include <algorithm>
#include <exception>
#include <memory>

using namespace EntityModel;

namespace {

const Attribute* childOf(const CompositeAttribute* holder, const TypeRef& label)
{
    return holder->child(label.getLabel());
}

// A length as the model shows it: in the unit it is shown in, else in metres.
QString lengthOf(const CompositeAttribute* holder, const TypeRef& label)
{
    const Attribute* at = childOf(holder, label);
    if (!at || at->getKind() != Attribute::Kind::Value)
        return QStringLiteral("?");
    const auto* value = static_cast<const ValueAttribute*>(at);
    const TypeRef unit = value->getUnit().isNull() ? m_t : value->getUnit();
    const double shown = UnitConverter::instance().convertFromSI(Length_t, value->getValue().toDouble(), unit);
    return QString::number(shown, 'g', 6) + QLatin1Char(' ') + unit.getLabel();
}

// One line per layer, read back from the entity as the saved model holds it.
void printApplied(const Entity& entity, const QString& file)
{
    const std::vector<CompositeAttribute*> layers =
        ListAttributeEditor::getItems(&entity, Tarvex::MaterialMapEditor::layersPath());
    report() << "Applied " << file << " to " << entity.getType().getLabel() << " \"" << lookupNameOf(entity) << "\": "
          << layers.size() << (layers.size() == 1 ? " layer\n" : " layers\n");
    for (const CompositeAttribute* layer : layers) {
        const Attribute* name = childOf(layer, Name_t);
        report() << "  \""
              << (name && name->getKind() == Attribute::Kind::Value
                      ? static_cast<const ValueAttribute*>(name)->getValue().toString()
                      : QString())
              << "\": bottom " << lengthOf(layer, Y_Location_t) << ", thickness " << lengthOf(layer, Thickness_t);
        // The cells are named column_row.
        int columns = 0;
        int rows = 0;
        int active = 0;
        double metal = 0.0;
        const Attribute* list = childOf(layer, Tarvex_Layer_Items_t);
        std::vector<Attribute*> cells;
        if (list && list->getKind() == Attribute::Kind::Composite)
            cells = static_cast<const CompositeAttribute*>(list)->children();
        for (const Attribute* cell : cells) {
            if (cell->getKind() != Attribute::Kind::Composite)
                continue;
            const auto* item = static_cast<const CompositeAttribute*>(cell);
            const Attribute* cellName = childOf(item, Name_t);
            const QStringList parts = cellName && cellName->getKind() == Attribute::Kind::Value
                                          ? static_cast<const ValueAttribute*>(cellName)->getValue().toString().split('_')
                                          : QStringList();
            if (parts.size() == 2) {
                columns = std::max(columns, parts[0].toInt() + 1);
                rows = std::max(rows, parts[1].toInt() + 1);
            }
            const Attribute* flag = childOf(item, Active_t);
            if (flag && flag->getKind() == Attribute::Kind::Choice &&
                static_cast<const ChoiceAttribute*>(flag)->getChoice() == Yes_t)
                ++active;
            const Attribute* fractions = childOf(item, Material_Fraction_t);
            if (fractions && fractions->getKind() == Attribute::Kind::DoubleList &&
                !static_cast<const DoubleListAttribute*>(fractions)->getValues().isEmpty())
                metal += static_cast<const DoubleListAttribute*>(fractions)->getValues().front();
        }
        report() << ", grid " << rows << " x " << columns << " (rows x columns), " << cells.size()
              << (cells.size() == 1 ? " cell, " : " cells, ") << active << " active";
        QStringList materials;
        const Entity* owner = &entity;
        const AttributePath materialsPath = ListAttributeEditor::getPathInOwner(layer) / Materials_t;
        for (const Entity* material : getLinkedEntities(owner, materialsPath))
            materials << material->getName();
        if (!materials.isEmpty())
            report() << ", materials " << materials.join(QStringLiteral(", "));
        if (!cells.empty() && !materials.isEmpty())
            report() << ", mean fraction of " << materials.front() << " " << QString::number(metal / cells.size(), 'g', 4)
                  << " %";
        report() << '\n';
    }
    report().flush();
}

// The sizes a resize changes, width x depth x height, as "60 × 40 × 1.565 mm".
QString sizeOf(const Entity& entity)
{
    QStringList sizes;
    for (const TypeRef& label : {Width_t, Depth_t, Height_t})
        sizes << QString::number(getStandardDoubleValue(&entity, label, 0.0) * 1000.0, 'g', 6);
    return sizes.join(QStringLiteral(" \u00d7 ")) + QStringLiteral(" mm");
}

} // namespace

int runMaterialMapCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Reads a material map - a layout file of the Tarvex tools in its text or XML form (\".xml\"), or a CSV "
        "table of metal densities (\".csv\") - and applies it to the layers of an entity of a saved model: each "
        "map layer becomes a grid of cells of a host layer with its metal and dielectric fractions. Prints the "
        "layers applied and saves the model; after an error the model file is left unchanged.");
    parser.addPositionalArgument("FILE", "The material map file.");
    const QCommandLineOption resizeOption("resize", "Resize the component and its layers to the map instead of "
                                                    "fitting the map into them; the change is printed.");
    const QCommandLineOption dryRunOption("dry-run", "Apply the map and print what it did, without saving the model.");
    parser.addJsonOption(QStringLiteral("the summary"));
    EntityCommandTarget target;
    if (const std::optional<int> status = openEntityCommand(
            parser, "Name of the component whose layers receive the map.", {resizeOption, dryRunOption}, target))
        return *status;
    const QString& file = target.file;
    Entity* entity = target.entity;

    QString problem;
    // Materials the model lacks are taken from the material library beside it, when there is one.
    std::unique_ptr<LibraryManager> libraries;
    const QString storePath = LibraryManager::storePathFor(target.modelPath);
    if (QFileInfo::exists(storePath) && !(libraries = LibraryManager::load(storePath, &problem)))
        return failure(problem);

    const RunSummary summary(*target.model);
    Tools::ConsoleProgress console;
    Tools::ForwardingProgress progress(&console, QFileInfo(file).fileName() + QStringLiteral(" : "));
    std::unique_ptr<Tarvex::MaterialMapImporter> importer;
    if (file.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        importer = std::make_unique<Tarvex::UniformGridMaterialMapImporter>(&progress);
    else
        importer = std::make_unique<Tarvex::TarvexMaterialMapImporter>(&progress);
    const bool resize = parser.isSet(resizeOption);
    importer->setResizeOwner(resize);
    importer->setLibraryManager(libraries.get());
    const QString entityText = entity->getType().getLabel() + QStringLiteral(" \"") + lookupNameOf(*entity) + '"';
    const QString sizeBefore = sizeOf(*entity);
    bool applied = false;
    try {
        // Without layers every map layer would be refused on its own; one refusal says why.
        if (!resize && ListAttributeEditor::getItems(entity, Tarvex::MaterialMapEditor::layersPath()).empty()) {
            const size_t layers = importer->readMaterialMapData(file).size();
            if (layers > 0) {
                const QString given = layers == 1 ? QStringLiteral("layer") : QStringLiteral("%1 layers").arg(layers);
                failure(QStringLiteral("%1 has no layers; use --resize to give it the map's %2").arg(entityText, given));
                return finish(true, *target.model, target.modelPath);
            }
        } else {
            applied = importer->importFile(file, entity);
        }
    } catch (const std::exception& e) {
        progress.post(Tools::ToolProgress::Kind::FatalError, QString::fromUtf8(e.what()));
    }
    if (!applied || console.fatalErrors() > 0) {
        err() << "error: " << file << " was not applied to \"" << lookupNameOf(*entity) << "\"\n";
        return finish(true, *target.model, target.modelPath);
    }
    if (resize && sizeOf(*entity) != sizeBefore)
        report() << "resizing " << entityText << " from " << sizeBefore << " to " << sizeOf(*entity) << '\n';
    if (!parser.wantsJson())
        printApplied(*entity, file);
    summary.print(console.warnings(), console.fatalErrors(), parser.wantsJson());
    return finishEntityCommand(target, parser.isSet(dryRunOption));
}
