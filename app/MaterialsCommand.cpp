#include "CommandLine.h"
#include "Console.h"
#include "ModelPrinter.h"

#include "ConsoleProgress.h"
#include <tarvex/host/ForwardingProgress.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/model3d/Tarvex3DDomModel.h>
#include <tarvex/model3d/TarvexMaterialImporter.h>

#include <QHash>
#include <QFileInfo>


using namespace EntityModel;

namespace {

void printMaterials(const LibraryManager& manager, const std::vector<Tarvex3D::Tarvex3DMaterial>& materials)
{
    Entity* library = manager.findLibraryByLibraryPath(Tarvex3D::TarvexMaterialImporter::libraryName);
    ModelPrinter printer(report());
    // One pass over the library: looking each material up in turn would scan it every time.
    const std::vector<Entity*> items = manager.getLibraryItems(library);
    QHash<QString, const Entity*> byName;
    // Filled from the end, so that the first item of a name wins, as a lookup would find it.
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        byName.insert((*it)->getName(), *it);
    int shown = 0;
    for (const Tarvex3D::Tarvex3DMaterial& material : materials) {
        if (const Entity* item = byName.value(material.getName(), nullptr)) {
            printer.print(*item, 1);
            ++shown;
        }
    }
    report() << "The material library \"" << Tarvex3D::TarvexMaterialImporter::libraryName << "\" holds "
             << items.size() << " materials; " << shown << " of them from this file.\n";
    report().flush();
}

} // namespace

int runMaterialsCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Imports a material library file of the 3D solver tool into the material library \"" +
        Tarvex3D::TarvexMaterialImporter::libraryName +
        "\" kept beside the model (MODEL.library.json), and prints the materials with their properties "
        "(SI units; curves with their temperature range in K). A library already up to date with the file "
        "is left as it is.");
    parser.addPositionalArgument("LIBRARY_FILE", "Material library file (top element \"Norvane_Material_Lib\") "
                                                 "or project file holding one; \"-\" for standard input.");
    const QCommandLineOption modelOption("model", "Model file whose material library is updated (created when "
                                                  "missing); without it nothing is saved.",
                                         "MODEL.json");
    parser.addOption(modelOption);
    if (const std::optional<int> status =
            parser.read(1, 1, {}, QStringLiteral("materials needs exactly one LIBRARY_FILE")))
        return *status;

    const QString file = parser.inputArgument(0, InterProcess::XMLDOMReader::contentCeiling);
    if (file.isEmpty())
        return 1;
    const QString modelPath = parser.pathValue(modelOption);
    // The model and the material library beside it are read and saved under one lock.
    ModelLock lock;
    std::unique_ptr<Model> model = openFileAndModel(file, modelPath, lock, false);
    if (!model)
        return 1;
    std::unique_ptr<LibraryManager> manager = std::make_unique<LibraryManager>();
    QString problem;
    if (!modelPath.isEmpty() && !(manager = LibraryManager::load(LibraryManager::storePathFor(modelPath), &problem)))
        return failure(problem);

    Tools::ConsoleProgress console;
    Tools::ForwardingProgress progress(&console, QFileInfo(file).fileName() + QStringLiteral(" : "));
    const auto failed = [&]() { return finish(true, *model, modelPath, manager.get()); };

    // A library without materials would be "imported" without a change; say so instead.
    const Tarvex3D::Tarvex3DDomModel document = Tarvex3D::Tarvex3DDomModel::fromFile(file, &progress);
    if (document.isNull())
        return failed();
    const std::vector<Tarvex3D::Tarvex3DMaterial> listed = document.getMaterials();
    if (listed.empty()) {
        progress.post(Tools::ToolProgress::Kind::FatalError,
                      QStringLiteral("no materials in the file (no \"Material\" in a \"Norvane_Material_Lib\")"));
        return failed();
    }

    Tarvex3D::TarvexMaterialImporter importer(&progress);
    importer.setLibraryManager(manager.get());
    const bool updated = importer.importMaterialLibrary(file);
    if (console.fatalErrors() > 0)
        return failed();
    if (updated) {
        report() << "Imported " << userText(file) << " into the material library \""
                 << Tarvex3D::TarvexMaterialImporter::libraryName << "\":\n";
    } else {
        report() << "The material library \"" << Tarvex3D::TarvexMaterialImporter::libraryName
                 << "\" is up to date with " << file << "; nothing was imported:\n";
    }
    printMaterials(*manager, listed);
    return updated ? finish(false, *model, modelPath, manager.get()) : 0;
}
