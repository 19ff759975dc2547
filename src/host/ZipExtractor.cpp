#include <tarvex/host/ZipExtractor.h>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <vector>

namespace FileSystem {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("FileSystem::ZipExtractor", text);
}

// The file type bits of a Unix mode, which zip tools keep in the high half of the external
// attributes; 0 when the archive was made where there are none.
constexpr quint32 typeMask = 0170000;
constexpr quint32 regularType = 0100000;
constexpr quint32 directoryType = 0040000;
constexpr quint32 symbolicLinkType = 0120000;
// The directory bit of the MS-DOS attributes in the low byte.
constexpr quint32 dosDirectory = 0x10;

constexpr qint64 chunkBytes = 64 * 1024;

// An entry name as a message may show it: a hostile name may hold anything.
QString shown(const QString& name)
{
    QString text = name.left(200);
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('?');
    }
    return text;
}

bool isDirectoryEntry(const QuaZipFileInfo64& info)
{
    const quint32 type = (info.externalAttr >> 16) & typeMask;
    return info.name.endsWith(QLatin1Char('/')) || type == directoryType ||
           (type == 0 && (info.externalAttr & dosDirectory));
}

// True when `path` (an existing folder) lies inside `root` or is it, by their real paths.
bool staysInside(const QString& path, const QString& root)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    return !real.isEmpty() && (real == root || real.startsWith(root + QLatin1Char('/')));
}

} // namespace

ZipExtractor::ZipExtractor() = default;

ZipExtractor::ZipExtractor(const Limits& limits) : m_limits(limits)
{
}

QString ZipExtractor::safeRelativePath(const QString& name, QString* reason)
{
    const auto refuse = [&](const QString& why) {
        if (reason)
            *reason = why;
        return QString();
    };
    if (reason)
        reason->clear();
    if (name.isEmpty())
        return refuse(tr("has no name"));
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return refuse(tr("has a control character in its name"));
    }
    // Windows tools take a backslash as a separator, so "..\\a" climbs out there.
    if (name.contains(QLatin1Char('\\')))
        return refuse(tr("has a backslash in its name"));
    if (name.startsWith(QLatin1Char('/')))
        return refuse(tr("has an absolute name"));
    if (name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter())
        return refuse(tr("names a drive"));
    QStringList kept;
    for (const QString& part : name.split(QLatin1Char('/'))) {
        if (part == QLatin1String(".."))
            return refuse(tr("leaves the extraction folder"));
        if (!part.isEmpty() && part != QLatin1String("."))
            kept << part;
    }
    return kept.join(QLatin1Char('/'));
}

bool ZipExtractor::extract(const QString& archivePath, const QString& folder)
{
    QuaZip zip(archivePath);
    return extractFrom(zip, folder);
}

bool ZipExtractor::extract(QIODevice* device, const QString& folder)
{
    QuaZip zip(device);
    return extractFrom(zip, folder);
}

bool ZipExtractor::fail(const QString& error)
{
    m_error = error;
    return false;
}

bool ZipExtractor::extractFrom(QuaZip& zip, const QString& folder)
{
    m_files.clear();
    m_totalBytes = 0;
    m_error.clear();
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty() || !QFileInfo(root).isDir())
        return fail(tr("the extraction folder %1 does not exist").arg(folder));
    if (!zip.open(QuaZip::mdUnzip))
        return fail(tr("it is not a zip archive that can be read"));
    const int declared = zip.getEntriesCount();
    if (declared > m_limits.maximumEntries)
        return fail(tr("it holds %1 entries, more than the %2 accepted").arg(declared).arg(m_limits.maximumEntries));

    QSet<QString> seen;
    int entries = 0;
    bool more = zip.goToFirstFile();
    for (; more; more = zip.goToNextFile()) {
        if (++entries > m_limits.maximumEntries)
            return fail(tr("it holds more than the %1 entries accepted").arg(m_limits.maximumEntries));
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info))
            return fail(tr("entry %1 cannot be read").arg(entries));
        QString reason;
        const QString relative = safeRelativePath(info.name, &reason);
        if (!reason.isEmpty())
            return fail(tr("the entry \"%1\" %2").arg(shown(info.name), reason));
        const quint32 type = (info.externalAttr >> 16) & typeMask;
        if (type == symbolicLinkType)
            return fail(tr("the entry \"%1\" is a symbolic link").arg(shown(info.name)));
        if (isDirectoryEntry(info) || relative.isEmpty())
            continue;
        if (type != 0 && type != regularType)
            return fail(tr("the entry \"%1\" is a device or other special file").arg(shown(info.name)));
        // Two entries of one name would have the second replace what the first wrote.
        if (seen.contains(relative))
            return fail(tr("the entry \"%1\" appears twice").arg(shown(info.name)));
        seen.insert(relative);
        if (info.uncompressedSize > quint64(m_limits.maximumEntryBytes))
            return fail(tr("the entry \"%1\" would inflate to more than %2 bytes")
                            .arg(shown(info.name))
                            .arg(m_limits.maximumEntryBytes));
        if (info.uncompressedSize > quint64(m_limits.maximumTotalBytes - m_totalBytes))
            return fail(tr("the archive would inflate to more than %1 bytes").arg(m_limits.maximumTotalBytes));
        if (!extractEntry(zip, info.name, relative, root))
            return false;
    }
    if (zip.getZipError() != UNZ_OK && zip.getZipError() != UNZ_END_OF_LIST_OF_FILE)
        return fail(tr("its list of entries is damaged"));
    return true;
}

bool ZipExtractor::extractEntry(QuaZip& zip, const QString& name, const QString& relative, const QString& root)
{
    const QString target = root + QLatin1Char('/') + relative;
    const QString parent = QFileInfo(target).path();
    if (!QDir().mkpath(parent) || !staysInside(parent, root))
        return fail(tr("the entry \"%1\" cannot be written").arg(shown(name)));

    QuaZipFile entry(&zip);
    if (!entry.open(QIODevice::ReadOnly))
        return fail(tr("the entry \"%1\" cannot be read (damaged or encrypted)").arg(shown(name)));
    // A new file only: whatever already stands at the name is never written through.
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(tr("the entry \"%1\" cannot be written").arg(shown(name)));
    m_files << relative;

    std::vector<char> buffer(chunkBytes);
    qint64 entryBytes = 0;
    for (;;) {
        const qint64 read = entry.read(buffer.data(), chunkBytes);
        if (read < 0)
            return fail(tr("the entry \"%1\" is damaged").arg(shown(name)));
        if (read == 0)
            break;
        entryBytes += read;
        m_totalBytes += read;
        if (entryBytes > m_limits.maximumEntryBytes)
            return fail(tr("the entry \"%1\" inflates to more than %2 bytes").arg(shown(name)).arg(m_limits.maximumEntryBytes));
        if (m_totalBytes > m_limits.maximumTotalBytes)
            return fail(tr("the archive inflates to more than %1 bytes").arg(m_limits.maximumTotalBytes));
        if (file.write(buffer.data(), read) != read)
            return fail(tr("the entry \"%1\" cannot be written: %2").arg(shown(name), file.errorString()));
    }
    if (!file.flush())
        return fail(tr("the entry \"%1\" cannot be written: %2").arg(shown(name), file.errorString()));
    file.close();
    entry.close();
    if (entry.getZipError() != UNZ_OK)
        return fail(tr("the entry \"%1\" is damaged (its checksum does not match)").arg(shown(name)));
    return true;
}

} // namespace FileSystem
