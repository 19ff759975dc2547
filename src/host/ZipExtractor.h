#pragma once

#include <QString>
#include <QStringList>

#include <QtGlobal>

class QIODevice;
class QuaZip;

namespace FileSystem {

/// Extracts the regular files of a zip archive into a folder, and nothing else.
///
/// Archives come from elsewhere and their entry names become file paths, so every entry is
/// looked at before a byte of it is written: only regular files whose name, normalised,
/// stays inside the folder are written. An archive holding a name that is absolute, names a
/// drive, holds a backslash or a control character or climbs out with "..", a symbolic link,
/// a device or other special file, or a name twice, is refused as a whole. The bytes actually
/// inflated are counted (the sizes an archive declares may lie) against a limit for each
/// entry and one for the whole archive, and the number of entries is limited too. Files are
/// created new (never opened through something already there), so nothing is ever written
/// outside the folder. Directory entries are skipped; the folders a file needs are made.
///
/// After a refusal the files written so far stay in the folder, which the caller removes.
class ZipExtractor
{
public:
    /// What one extraction may take.
    struct Limits
    {
        /// Entries in the archive, directory entries included.
        int maximumEntries = 10000;
        /// Bytes one entry may inflate to.
        qint64 maximumEntryBytes = qint64(256) << 20;
        /// Bytes all entries together may inflate to.
        qint64 maximumTotalBytes = qint64(1) << 30;
    };

    /// An extractor with the default limits.
    ZipExtractor();
    /// An extractor with `limits`.
    explicit ZipExtractor(const Limits& limits);

    /// Extracts the archive at `archivePath` into the existing `folder`; false with
    /// errorString() set when the archive cannot be read or is refused.
    bool extract(const QString& archivePath, const QString& folder);
    /// Extracts the archive read from the open, seekable `device`, as the other form.
    bool extract(QIODevice* device, const QString& folder);

    /// The files written by the last extraction, relative to the folder (normalised, "/"
    /// separated), in archive order.
    const QStringList& extractedFiles() const { return m_files; }
    /// Bytes written by the last extraction.
    qint64 extractedBytes() const { return m_totalBytes; }
    /// Why the last extraction failed, as a clause ("the entry \"../a\" leaves the
    /// extraction folder"); empty after a success.
    const QString& errorString() const { return m_error; }

    /// The normalised relative path an entry named `name` is written to: empty components
    /// and "." dropped, "/" separated. Empty, with `*reason` set, when the name is refused;
    /// empty without a reason for a name made of "." and separators only.
    static QString safeRelativePath(const QString& name, QString* reason);

private:
    bool extractFrom(QuaZip& zip, const QString& folder);
    bool extractEntry(QuaZip& zip, const QString& name, const QString& relative, const QString& folder);
    bool fail(const QString& error);

    Limits m_limits;
    QStringList m_files;
    qint64 m_totalBytes = 0;
    QString m_error;
};

} // namespace FileSystem
