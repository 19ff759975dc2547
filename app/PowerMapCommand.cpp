#include "CommandLine.h"
#include "Console.h"
#include "ModelLookup.h"
#include "RunSummary.h"

#include "ConsoleProgress.h"
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ForwardingProgress.h>
#include <tarvex/maps/TarvexPowerMapImporter.h>

#include <QFileInfo>


using namespace EntityModel;

namespace {

QString number(double value) { return QString::number(value, 'g', 6); }

// One line per applied map, read back from the entity as the saved model holds it.
void printApplied(const Entity& entity, const QString& file)
{
    report() << "Applied " << file << " to " << entity.getType().getLabel() << " \"" << lookupNameOf(entity) << "\":\n";
    const Attribute* list = entity.child(Power_Maps_t.getLabel());
    const int count = list && list->getKind() == Attribute::Kind::EntityList
                          ? static_cast<const EntityListAttribute*>(list)->count()
                          : 0;
    for (int index = 0; index < count; ++index) {
        const Entity* map = static_cast<const EntityListAttribute*>(list)->at(index);
        report() << "  " << map->getName() << ": ";
        if (hasAttributeSetTo(map, Power_Map_Kind_t, Area_Map_t)) {
            const int blocks = getStandardDoubleListValues(map, Powers_t).size();
            report() << "area map of " << blocks << (blocks == 1 ? " block" : " blocks");
        } else {
            report() << "grid of " << getIntValue(map, Grid_Rows_t, 0) << " rows x " << getIntValue(map, Grid_Columns_t, 0)
                  << " columns";
        }
        report() << ", total power " << number(getStandardDoubleValue(map, Total_Power_t, 0)) << " W";
        const std::vector<Entity*> linked = getLinkedEntities(map, Leakage_Links_t);
        const QVector<double> temperatures = getStandardDoubleListValues(map, Leakage_Temperatures_t);
        for (size_t i = 0; i < linked.size() && int(i) < temperatures.size(); ++i)
            report() << ", leakage at " << number(temperatures[int(i)] - 273.15) << " C with " << linked[i]->getName();
        report() << '\n';
    }
    report().flush();
}

} // namespace

int runPowerMapCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Reads a text-format power map (grid or area power maps, with leakage maps) and applies it to an "
        "entity of a saved model, replacing the power maps an earlier run applied there. Overlapping power "
        "blocks are cut into blocks that do not overlap, with power shared by area. Prints the maps applied "
        "(powers in W, leakage temperatures in C) and saves the model; after an error the model file is "
        "left unchanged.");
    parser.addPositionalArgument("FILE", "The power map file.");
    const QCommandLineOption dryRunOption("dry-run", "Apply the map and print what it did, without saving the model.");
    parser.addJsonOption(QStringLiteral("the summary"));
    EntityCommandTarget target;
    if (const std::optional<int> status = openEntityCommand(
            parser, "Name of the entity (a heat source, a die...) receiving the map.", {dryRunOption}, target))
        return *status;
    const QString& file = target.file;
    Entity* entity = target.entity;

    const RunSummary summary(*target.model);
    Tools::ConsoleProgress console;
    Tools::ForwardingProgress progress(&console, QFileInfo(file).fileName() + QStringLiteral(" : "));
    Tarvex::TarvexPowerMapImporter importer(&progress);
    if (!importer.importPowerMap(entity, file) || console.fatalErrors() > 0)
        return finish(true, *target.model, target.modelPath);
    if (!parser.wantsJson())
        printApplied(*entity, file);
    summary.print(console.warnings(), console.fatalErrors(), parser.wantsJson());
    return finishEntityCommand(target, parser.isSet(dryRunOption));
}
