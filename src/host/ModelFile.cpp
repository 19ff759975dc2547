#include <tarvex/host/ModelFile.h>

#include "ModelFileFormat.h"
#include "ModelTextReader.h"
#include "ModelTextWriter.h"

#include <tarvex/host/AtomicFile.h>
#include <tarvex/host/CellGrid.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <new>

#include <sys/mman.h>

namespace EntityModel {

namespace {

// A saved model larger than this is not a model we wrote.
constexpr qint64 MaxFileBytes = qint64(2) * 1024 * 1024 * 1024;

// The whole text of `file`, read into memory asked for in large pages: a text this size is
// fresh memory from the system, and the reading faulted it in one 4 KiB page at a time,
// each cleared first. Read on to the end as readAll() does, should the file have grown.
QByteArray readWhole(QFile& file)
{
    constexpr quintptr LargePage = quintptr(2) * 1024 * 1024;
    const qint64 size = file.size();
    if (size < qint64(LargePage) || size > ModelFile::MaxJsonBytes)
        return file.readAll();
    QByteArray text(int(size), Qt::Uninitialized);
    const quintptr start = (quintptr(text.data()) + LargePage - 1) & ~(LargePage - 1);
    const quintptr end = (quintptr(text.data()) + quintptr(size)) & ~(LargePage - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE); // only advice: its failure changes nothing
    const qint64 got = file.read(text.data(), size);
    text.truncate(int(std::max<qint64>(got, 0)));
    if (got == size)
        text += file.readAll();
    return text;
}

} // namespace

QByteArray ModelFile::toJson(const Model& model)
{
    QByteArray text;
    const AtomicFile::Sink append = [&text](const char* data, qint64 size) {
        text.append(data, int(size));
        return true;
    };
    // One byte array holds at most MaxJsonBytes, and growing one past that throws like a
    // failed allocation.
    try {
        return writeModelText(model, append, MaxJsonBytes, false).written ? text : QByteArray();
    } catch (const std::bad_alloc&) {
        return QByteArray();
    }
}

std::unique_ptr<Model> ModelFile::fromJson(QByteArray json, QString* error)
{
    auto model = std::make_unique<Model>();
    model->resetRoot(nullptr); // the saved root brings its own id
    QString problem;
    std::unique_ptr<Entity> root = readModelText(*model, std::move(json), &problem);
    if (!root) {
        if (error)
            *error = problem;
        return nullptr;
    }
    model->resetRoot(std::move(root));
    return model;
}

bool ModelFile::save(const Model& model, const QString& path, QString* error)
{
    return save(model, path, error, QStringLiteral("the model"));
}

bool ModelFile::save(const Model& model, const QString& path, QString* error, const QString& what)
{
    return save(model, path, error, what, MaxJsonBytes);
}

bool ModelFile::save(const Model& model, const QString& path, QString* error, const QString& what, qint64 maxBytes)
{
    const QFileInfo existing(path);
    QString problem;
    if (existing.exists() && !existing.isFile()) {
        problem = QStringLiteral("it is not a regular file");
    } else if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner)) {
        // Even where the system would let us (as root), a file marked read-only stays as it is.
        problem = QStringLiteral("the file is read-only");
    } else {
        try {
            // Streamed into the file; a refusal found part way cancels the write, and the old
            // file stays.
            ModelTextOutcome outcome;
            AtomicFile file(path, what);
            if (file.write([&outcome, &model, maxBytes](const AtomicFile::Sink& sink) {
                    outcome = writeModelText(model, sink, maxBytes, true);
                    return outcome.written;
                }))
                return true;
            // Refused rather than renumbered: ids are what links, undo steps and the user's
            // notes (`show`, `objects` print them) know entities by, and ids are only ever
            // handed out one above the last, so a model reaches the limit only by a file
            // written to reach it. Renumbering would quietly change every id a person or
            // another file has noted; refusing says what happened and keeps the old file.
            // Too many cells is said first, whatever stopped the write: the writer stops
            // counting them where it stops, so the whole count is taken here.
            if (const qint64 cells = countGridCells(*model.getRoot()); cells > CellGrid::MaximumModelCells) {
                problem = QStringLiteral("the model holds %1 material-map cells, more than the %2 a model file can "
                                         "take (apply a coarser map)")
                              .arg(cells)
                              .arg(CellGrid::MaximumModelCells);
            } else if (!file.errorString().isEmpty()) {
                if (error)
                    *error = file.errorString();
                return false;
            } else if (outcome.tooLarge) {
                problem = QStringLiteral("the model is too large to save: its text would pass %1 bytes, the most one "
                                         "buffer in memory holds; %2 was left as it was")
                              .arg(maxBytes)
                              .arg(what);
            } else if (outcome.deepest > ModelFileFormat::MaxNesting) {
                problem = QStringLiteral("its text would nest %1 levels deep, more than the %2 a model file is read "
                                         "back with (entities nested too deeply in one another); %3 was left as it was")
                              .arg(outcome.deepest)
                              .arg(ModelFileFormat::MaxNesting)
                              .arg(what);
            } else {
                problem = QStringLiteral("it would hold entity id %1, above %2, the largest id a model file can keep; "
                                         "%3 was left as it was")
                              .arg(outcome.largestId)
                              .arg(ModelFileFormat::MaxSavedId)
                              .arg(what);
            }
        } catch (const std::bad_alloc&) {
            problem = QStringLiteral("there is not enough memory to write it");
        }
    }
    if (error)
        *error = QStringLiteral("Cannot write model file %1: %2").arg(path, problem);
    return false;
}

std::unique_ptr<Model> ModelFile::load(const QString& path, QString* error)
{
    QFile file(path);
    QString problem;
    std::unique_ptr<Model> model;
    if (!QFileInfo(path).isFile() && QFileInfo::exists(path))
        problem = QStringLiteral("it is not a regular file");
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else if (file.size() > MaxFileBytes)
        problem = QStringLiteral("it is %1 bytes, more than the %2 a model file may hold")
                      .arg(file.size())
                      .arg(MaxFileBytes);
    else // read whole and parsed where it lies; not mapped, as a file written in place meanwhile would fault
        model = fromJson(readWhole(file), &problem);
    if (!model && error)
        *error = QStringLiteral("Cannot read model file %1: %2").arg(path, problem);
    return model;
}

} // namespace EntityModel
