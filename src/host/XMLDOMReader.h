#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

class QIODevice;

namespace InterProcess {

/// Reads XML bytes into a DOM document, refusing before the DOM parser sees them what it
/// handles badly: bytes the encoding cannot decode, nesting deeper than a limit (the DOM
/// parser recurses once per level), document type declarations with an internal subset
/// (entity expansion), and content too large for a string.
class XMLDOMReader
{
public:
    /// Deepest element nesting accepted.
    static constexpr int maximumElementDepth = 256;
    /// Largest content accepted, in bytes; the text and the DOM take many times as much.
    static constexpr qint64 maximumContentSize = qint64(256) * 1024 * 1024;

    /// Why a read failed: a message and, when the failure has a place, its one-based line
    /// and column (0 otherwise).
    struct Failure
    {
        QString message;
        int line = 0;
        int column = 0;
    };

    /// Parses the rest of the open `device`; a null document with `*failure` filled when
    /// the content is refused or is not well formed.
    static QDomDocument read(QIODevice* device, Failure* failure);
    /// Parses `bytes`, as `read` of a device.
    static QDomDocument parse(const QByteArray& bytes, Failure* failure);
};

} // namespace InterProcess
