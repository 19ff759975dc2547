#pragma once

#include <QString>
#include <QStringList>

namespace FileSystem {

/// Writes zip archives of files, each stored under its bare file name.
class ZipArchiveWriter
{
public:
    /// Writes the archive `archivePath` holding the files of `files` in list order, each under
    /// its file name (no folders) as a regular file. A file named twice, or two files of one
    /// name, are stored once (the first). The archive is written beside its final place and
    /// renamed over it, so a failed write leaves what was there before. False, with the
    /// reason in `problem`, when a file cannot be read or the archive cannot be written.
    static bool write(const QString& archivePath, const QStringList& files, QString* problem);
    /// The names `write` stores for `files`: their file names, each once, in list order.
    static QStringList entryNames(const QStringList& files);
};

} // namespace FileSystem
