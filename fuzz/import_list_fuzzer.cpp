// Feeds arbitrary bytes to the import driver as an import list with files beside it, and
// imports the list into a fresh host model. The input is cut at each line "%%" into up to
// three files written to one temporary folder: "list.json" (the one imported), "a.xml" and
// "b.json". Every file is read by its first byte, not its name, so each may be an import
// list or an interchange file, and each may name the others or itself. Nothing may crash or
// hang; a list that names itself is refused by the driver.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/import/TarvexImporter.h>
#include "support/RecordingProgress.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Larger inputs are skipped: the interchange readers are fuzzed on their own, and here the
// bytes go to the lists and their nesting.
constexpr size_t MaxInputBytes = 8 * 1024;
// A list imports each of its entries once per priority name, and every entry or name takes
// a ':' of its own, so the ':' of a list bound the imports it starts. Lists nest (one names
// another, each at most once on the way down), so the imports multiply: inputs whose
// lists could start more than this many imports together are skipped, so that no input of
// a few kilobytes asks for millions of imports (which is a long run, not a fault).
constexpr qint64 MaxImports = 2000;

const char* const FileNames[] = {"list.json", "a.xml", "b.json"};

// An upper bound on the imports `bytes` starts when imported as a file of a list.
qint64 importsStartedBy(const QByteArray& bytes)
{
    // The driver reads a file as a list when its first byte opens JSON, whatever its name.
    if (bytes.isEmpty() || (bytes.front() != '{' && bytes.front() != '['))
        return 1;
    return qMax(qint64(1), qint64(bytes.count(':')));
}

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    if (size > MaxInputBytes)
        return 0;
    const Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    // The lines of each file, joined again by the line ends between them.
    QList<QByteArray> files{QByteArray()};
    bool firstLine = true;
    for (const QByteArray& line : input.bytes().split('\n')) {
        if (line == "%%" && files.size() < 3) {
            files << QByteArray();
            firstLine = true;
            continue;
        }
        if (!firstLine)
            files.back() += '\n';
        files.back() += line;
        firstLine = false;
    }
    qint64 imports = 1;
    for (const QByteArray& file : files)
        imports *= importsStartedBy(file);
    if (imports > MaxImports)
        return 0;

    // Every file is written, empty when the input has no part for it, so that nothing an
    // earlier input left in the folder is read.
    QString list;
    for (int i = 0; i < 3; ++i) {
        const QByteArray bytes = i < files.size() ? files[i] : QByteArray();
        const Fuzz::FuzzInput file(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        const QString path = file.writeFile(QString::fromLatin1(FileNames[i]));
        if (i == 0)
            list = path;
    }

    std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    EntityModel::Entity* chassis = EntityModel::EntityFetcher::getChassis(model->getRoot());
    if (!chassis)
        std::abort();
    Tools::RecordingProgress progress;
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(chassis, &progress, &geometry);
    const std::vector<EntityModel::Entity*> built = importer.importModel(list, (size & 1) != 0);
    for (EntityModel::Entity* entity : built) {
        if (!entity)
            std::abort();
    }
    // The run ends with one closing message, whatever happened on the way.
    const QStringList messages = progress.texts(Tools::ToolProgress::Kind::Message);
    if (messages.isEmpty() || !messages.last().startsWith(QStringLiteral("Importing Tarvex Interchange Model Finished")))
        std::abort();
    return 0;
}
