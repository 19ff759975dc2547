#pragma once

#include <QByteArray>
#include <QString>

#include <QtGlobal>

#include <vector>

namespace TestSupport {

/// One entry of an archive a test makes, hostile ones included.
struct ZipEntry
{
    /// The name exactly as the archive stores it.
    QString name;
    /// The bytes the entry inflates to (for a symbolic link, the target).
    QByteArray bytes;
    /// The Unix mode kept in the high half of the external attributes (type and
    /// permissions); 0 stores none, as archives made on MS-DOS do.
    quint32 mode = 0100644;
    /// The inflated size the archive declares; -1 for the true size. Any other value is a
    /// lie, written by storing the deflated bytes raw.
    qint64 declaredSize = -1;
};

/// The Unix mode of a symbolic link.
constexpr quint32 symbolicLinkMode = 0120777;
/// The Unix mode of a character device.
constexpr quint32 characterDeviceMode = 0020644;

/// Writes a zip archive of `entries`, in order, to `path`; false when it cannot be written.
bool writeZip(const QString& path, const std::vector<ZipEntry>& entries);

} // namespace TestSupport
