#include <tarvex/host/ZipArchiveWriter.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace FileSystem {

namespace {

// A regular file readable by everyone, in the Unix mode bits zip tools keep in the high half
// of the external attributes: extractors that refuse links and devices accept it.
constexpr quint32 regularFileMode = 0100644;

bool fail(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
    return false;
}

} // namespace

QStringList ZipArchiveWriter::entryNames(const QStringList& files)
{
    QStringList names;
    QSet<QString> seen;
    for (const QString& file : files) {
        const QString name = QFileInfo(file).fileName();
        if (!seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    return names;
}

bool ZipArchiveWriter::write(const QString& archivePath, const QStringList& files, QString* problem)
{
    QSaveFile target(archivePath);
    if (!target.open(QIODevice::WriteOnly))
        return fail(problem, QStringLiteral("cannot write %1: %2").arg(archivePath, target.errorString()));
    QuaZip zip(&target);
    // The save file is committed after the archive is finished, so QuaZip must leave it open.
    zip.setAutoClose(false);
    if (!zip.open(QuaZip::mdCreate))
        return fail(problem, QStringLiteral("cannot write %1: the archive cannot be started").arg(archivePath));

    QSet<QString> stored;
    for (const QString& path : files) {
        const QString name = QFileInfo(path).fileName();
        if (stored.contains(name))
            continue;
        stored.insert(name);
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly)) {
            zip.close();
            return fail(problem, QStringLiteral("cannot read %1: %2").arg(path, source.errorString()));
        }
        QuaZipNewInfo info(name, path);
        info.externalAttr = regularFileMode << 16;
        QuaZipFile entry(&zip);
        bool written = entry.open(QIODevice::WriteOnly, info);
        while (written && !source.atEnd()) {
            const QByteArray chunk = source.read(1 << 20);
            written = !chunk.isEmpty() && entry.write(chunk) == chunk.size();
        }
        entry.close();
        if (!written || entry.getZipError() != ZIP_OK) {
            zip.close();
            return fail(problem, QStringLiteral("cannot write %1 into %2").arg(name, archivePath));
        }
    }
    zip.close();
    if (zip.getZipError() != ZIP_OK)
        return fail(problem, QStringLiteral("cannot write %1: the archive cannot be finished").arg(archivePath));
    if (!target.commit())
        return fail(problem, QStringLiteral("cannot write %1: %2").arg(archivePath, target.errorString()));
    return true;
}

} // namespace FileSystem
