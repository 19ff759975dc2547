#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

class QIODevice;

namespace InterProcess {

/// Reads XML bytes into a DOM document, refusing before the DOM parser sees them what it
/// handles badly: bytes the encoding cannot decode, nesting deeper than a limit (the DOM
/// parser recurses once per level), document type declarations with an internal subset
/// (entity expansion), and content larger than the machine's memory can read.
///
/// Memory: at its peak a read holds the decoded text (two bytes per character) and the DOM
/// built from it, about 37 bytes per byte of content. Measured on generated interchange
/// files of 10, 50 and 100 MB, the peak rose by 36 to 37 times the file's size, the DOM
/// being almost all of it; the file's bytes are let go once decoded.
class XMLDOMReader
{
public:
    /// Deepest element nesting accepted.
    static constexpr int maximumElementDepth = 256;
    /// Bytes of memory a read takes at its peak per byte of content, rounded up.
    static constexpr double memoryPerContentByte = 37.0;
    /// Largest content accepted on any machine, in bytes: the decoded text of more would
    /// outgrow what a string holds.
    static constexpr qint64 contentCeiling = qint64(1000) << 20;

    /// Largest content accepted, in bytes: the largest whose use stays within half of the
    /// machine's physical memory when it takes `memoryPerByte` bytes per byte of content (a
    /// caller that builds more from the document passes its own, larger multiple), and at
    /// most `contentCeiling`.
    static qint64 maximumContentSize(double memoryPerByte = memoryPerContentByte);

    /// Why a read failed: a message and, when the failure has a place, its one-based line
    /// and column (0 otherwise).
    struct Failure
    {
        QString message;
        int line = 0;
        int column = 0;
    };

    /// Parses the rest of the open `device`; a null document with `*failure` filled when
    /// the content is refused (larger than maximumContentSize(memoryPerByte)) or is not
    /// well formed.
    static QDomDocument read(QIODevice* device, Failure* failure, double memoryPerByte = memoryPerContentByte);
    /// Parses `bytes`, as `read` of a device.
    static QDomDocument parse(const QByteArray& bytes, Failure* failure);

private:
    static bool decode(const QByteArray& bytes, QString* text, Failure* failure, double memoryPerByte);
    static QDomDocument parseText(const QString& text, Failure* failure);
};

} // namespace InterProcess
