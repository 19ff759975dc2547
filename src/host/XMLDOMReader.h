#pragma once

#include <tarvex/host/XMLDOMDocument.h>

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
/// A document may be read into either tree (`XMLDOMBacking`). On pugixml a plain document
/// (see `XMLDOMPlainScan`) is parsed straight from its bytes; any other document, and any
/// that pugixml refuses, is read with Qt's DOM as before, so that values, refusals and
/// messages stay the same whichever tree is asked for.
///
/// Memory: on Qt's DOM a read holds at its peak the decoded text (two bytes per character)
/// and the DOM built from it, about 37 bytes per byte of content. Measured on generated
/// interchange files of 10, 50 and 100 MB, the peak rose by 36 to 37 times the file's size,
/// the DOM being almost all of it; the file's bytes are let go once decoded. On pugixml the
/// peak is the bytes, which pugixml parses in place, and its nodes, about 4 bytes per byte
/// (10 and 100 MB). The size limits assume Qt's DOM, which may read any document: the same files
/// are refused whichever tree is asked for.
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

    /// The tree readers build unless told otherwise: pugixml, unless a host chose Qt's.
    static XMLDOMBacking defaultBacking();
    /// Chooses the tree readers made from now on build by default, for the whole process.
    static void setDefaultBacking(XMLDOMBacking backing);

    /// Parses the rest of the open `device` into a document on `backing`; a null document
    /// with `*failure` filled when the content is refused (larger than
    /// maximumContentSize(memoryPerByte)) or is not well formed.
    static XMLDOMDocument readDocument(QIODevice* device, Failure* failure,
                                       double memoryPerByte = memoryPerContentByte,
                                       XMLDOMBacking backing = defaultBacking());
    /// Parses `bytes`, as `readDocument` of a device.
    static XMLDOMDocument parseDocument(const QByteArray& bytes, Failure* failure,
                                        XMLDOMBacking backing = defaultBacking());
    /// `readDocument` on Qt's DOM, for readers that walk Qt's tree themselves.
    static QDomDocument read(QIODevice* device, Failure* failure, double memoryPerByte = memoryPerContentByte);
    /// Parses `bytes`, as `read` of a device.
    static QDomDocument parse(const QByteArray& bytes, Failure* failure);

private:
    static XMLDOMDocument fromBytes(QByteArray bytes, Failure* failure, double memoryPerByte, XMLDOMBacking backing);
    static bool decode(const QByteArray& bytes, QString* text, Failure* failure, double memoryPerByte);
    static QDomDocument parseText(const QString& text, Failure* failure);
};

} // namespace InterProcess
