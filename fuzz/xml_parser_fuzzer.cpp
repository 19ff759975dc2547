// Feeds arbitrary bytes to the interchange XML reader: it must neither crash nor hang, a
// document it hands on must be an interchange model in the current layout, and every
// element wrapper must read that document without trouble.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include "support/RecordingProgress.h"
#include "support/TXMXMLModelDescription.h"
#include <tarvex/interchange/TarvexTXMXMLParser.h>
#include <tarvex/interchange/TarvexTXMXMLUpdater.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// After the update of an old file no footprint of the geometry set names its material the
// old way without also having "MatName".
bool footprintsUpdated(const Tarvex::TXMXMLModel& model)
{
    for (const Tarvex::TXMXMLGeom& geom : model.getGeomSet().getGeoms()) {
        if (!geom.getMatName() && (geom.hasAttribute(QStringLiteral("MetalMat")) ||
                                   geom.hasAttribute(QStringLiteral("DieletricMat"))))
            return false;
    }
    return true;
}

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    Tools::RecordingProgress progress;
    Tarvex::TarvexTXMXMLParser parser(&progress);
    const Tarvex::TarvexTXMXMLDocument document = parser.read(input.device());

    const int fatalErrors = progress.texts(Tools::ToolProgress::Kind::FatalError).size();
    if (fatalErrors > 1)
        std::abort();
    if (document) {
        const Tarvex::TXMXMLModel model = document.getModel();
        if (fatalErrors != 0 || model.isNull())
            std::abort();
        Tarvex::TarvexTXMXMLUpdater updater;
        if (parser.getLastLoadedFileVersion() < Tarvex::TXMFileVersion::current() && !footprintsUpdated(model))
            std::abort();
        // Every getter of every wrapper, then the same once more after a second update.
        const QStringList before = Tarvex::describeTXMXMLModel(model);
        if (before.isEmpty())
            std::abort();
        updater.update(document);
        (void)Tarvex::describeTXMXMLModel(document.getModel());
        (void)document.toByteArray();
    } else if (fatalErrors == 0 && !parser.getLastLoadedFileVersion().isEmpty()) {
        // Only a foreign root gives a null document without a message, and it has no version.
        std::abort();
    }
    return 0;
}
