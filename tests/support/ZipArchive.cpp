#include "support/ZipArchive.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <zlib.h>

namespace TestSupport {

namespace {

// The bytes deflated without the zlib header and checksum, as a zip entry holds them.
QByteArray rawDeflate(const QByteArray& bytes)
{
    const QByteArray zlib = qCompress(bytes); // 4 bytes of size, 2 of header, ..., 4 of checksum
    return zlib.mid(6, zlib.size() - 10);
}

} // namespace

bool writeZip(const QString& path, const std::vector<ZipEntry>& entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const ZipEntry& entry : entries) {
        QuaZipNewInfo info(entry.name);
        info.externalAttr = entry.mode << 16;
        QuaZipFile file(&zip);
        bool written = false;
        if (entry.declaredSize < 0) {
            written = file.open(QIODevice::WriteOnly, info) && file.write(entry.bytes) == entry.bytes.size();
        } else {
            info.uncompressedSize = ulong(entry.declaredSize);
            const QByteArray deflated = rawDeflate(entry.bytes);
            const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(entry.bytes.constData()),
                                              uInt(entry.bytes.size())));
            written = file.open(QIODevice::WriteOnly, info, nullptr, crc, Z_DEFLATED, Z_DEFAULT_COMPRESSION, true) &&
                      file.write(deflated) == deflated.size();
        }
        file.close();
        if (!written || file.getZipError() != ZIP_OK)
            return false;
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

} // namespace TestSupport
