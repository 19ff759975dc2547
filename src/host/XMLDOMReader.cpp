#include <tarvex/host/XMLDOMReader.h>

#include <tarvex/host/MachineMemory.h>

#include "XMLDOMPlainScan.h"
#include "XMLDOMTree.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QRegularExpression>
#include <QTextCodec>

#include <atomic>
#include <cstring>

namespace InterProcess {

namespace {

/// Why a document is refused before the DOM parser sees it.
enum class Refusal { None, TooDeep, EntityDeclarations, InternalSubset };

/// A refusal and the offset, in the decoded text, of the markup that caused it.
struct ScanResult
{
    Refusal refusal = Refusal::None;
    int offset = 0;
};

bool bytesStartWith(const QByteArray& bytes, const char* pattern, int size)
{
    return bytes.size() >= size && std::memcmp(bytes.constData(), pattern, size_t(size)) == 0;
}

/// The codec the XML rules choose for `bytes`: a byte-order mark, else the zero-padded "<"
/// of UTF-16 or UTF-32, else the encoding named by the XML declaration, else UTF-8. Unknown
/// encoding names fall back to UTF-8 as the DOM parser itself does.
QTextCodec* codecForXml(const QByteArray& bytes)
{
    QTextCodec* const utf8 = QTextCodec::codecForMib(106);
    if (QTextCodec* codec = QTextCodec::codecForUtfText(bytes, nullptr))
        return codec;
    const char* padded = nullptr;
    if (bytesStartWith(bytes, "<\0\0\0", 4))
        padded = "UTF-32LE";
    else if (bytesStartWith(bytes, "\0\0\0<", 4))
        padded = "UTF-32BE";
    else if (bytesStartWith(bytes, "<\0", 2))
        padded = "UTF-16LE";
    else if (bytesStartWith(bytes, "\0<", 2))
        padded = "UTF-16BE";
    if (padded) {
        QTextCodec* const codec = QTextCodec::codecForName(padded);
        return codec ? codec : utf8;
    }

    if (!bytes.startsWith("<?xml"))
        return utf8;
    const QByteArray head = QByteArray::fromRawData(bytes.constData(), qMin(bytes.size(), 1024));
    const int end = head.indexOf("?>");
    if (end < 0)
        return utf8;
    static const QRegularExpression encodingPattern(QStringLiteral("\\sencoding\\s*=\\s*([\"'])([^\"']*)\\1"));
    const QRegularExpressionMatch match = encodingPattern.match(QString::fromLatin1(head.constData(), end));
    if (!match.hasMatch())
        return utf8;
    QTextCodec* const declared = QTextCodec::codecForName(match.captured(2).toLatin1());
    return declared ? declared : utf8;
}

/// A single linear pass over the markup of a decoded document that finds what the DOM
/// parser cannot take safely: it recurses once per element level and once per group of a
/// DTD content model, and expands internal entities without bound. The pass follows the
/// lexical rules of XML (quoted attribute values, comments, CDATA, processing
/// instructions) so that it counts exactly on every well-formed prefix; past the first
/// malformed construct the DOM parser stops anyway.
class MarkupScanner
{
public:
    explicit MarkupScanner(const QString& text) : m_text(text), m_data(text.constData()), m_size(text.size()) {}

    ScanResult scan(int maximumDepth) const
    {
        int depth = 0;
        int position = 0;
        while (position < m_size) {
            const int open = m_text.indexOf(QLatin1Char('<'), position);
            if (open < 0 || open + 1 >= m_size)
                break;
            const QChar next = m_data[open + 1];
            if (next == QLatin1Char('/')) {
                if (depth > 0)
                    --depth;
                position = skipPast(QLatin1String(">"), open + 2);
            } else if (next == QLatin1Char('?')) {
                position = skipPast(QLatin1String("?>"), open + 2);
            } else if (next == QLatin1Char('!')) {
                if (isAt(open, QLatin1String("<!--"))) {
                    position = skipPast(QLatin1String("-->"), open + 4);
                } else if (isAt(open, QLatin1String("<![CDATA["))) {
                    position = skipPast(QLatin1String("]]>"), open + 9);
                } else if (isAt(open, QLatin1String("<!DOCTYPE"))) {
                    const Refusal refusal = scanDoctype(open + 9, &position);
                    if (refusal != Refusal::None)
                        return {refusal, open};
                } else {
                    position = skipPast(QLatin1String(">"), open + 2);
                }
            } else {
                bool selfClosing = false;
                position = skipStartTag(open + 1, &selfClosing);
                if (!selfClosing && ++depth > maximumDepth)
                    return {Refusal::TooDeep, open};
            }
        }
        return {};
    }

private:
    bool isAt(int position, QLatin1String literal) const
    {
        return m_text.midRef(position, literal.size()) == literal;
    }

    /// The offset just after the next `literal` from `from`, or the end of the text.
    int skipPast(QLatin1String literal, int from) const
    {
        const int found = m_text.indexOf(literal, from);
        return found < 0 ? m_size : found + literal.size();
    }

    /// The offset after the ">" closing a start tag; a ">" inside a quoted attribute value
    /// does not close it.
    int skipStartTag(int from, bool* selfClosing) const
    {
        QChar quote;
        bool slash = false;
        for (int i = from; i < m_size; ++i) {
            const QChar c = m_data[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                continue;
            }
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
                slash = false;
            } else if (c == QLatin1Char('>')) {
                *selfClosing = slash;
                return i + 1;
            } else {
                slash = c == QLatin1Char('/');
            }
        }
        return m_size;
    }

    /// Steps over a document type declaration; any internal subset is refused.
    Refusal scanDoctype(int from, int* next) const
    {
        QChar quote;
        for (int i = from; i < m_size; ++i) {
            const QChar c = m_data[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                continue;
            }
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('[')) {
                const int subsetEnd = m_text.indexOf(QLatin1String("]>"), i);
                const int entity = m_text.indexOf(QLatin1String("<!ENTITY"), i);
                const bool declaresEntities = entity >= 0 && (subsetEnd < 0 || entity < subsetEnd);
                return declaresEntities ? Refusal::EntityDeclarations : Refusal::InternalSubset;
            } else if (c == QLatin1Char('>')) {
                *next = i + 1;
                return Refusal::None;
            }
        }
        *next = m_size;
        return Refusal::None;
    }

    const QString& m_text;
    const QChar* m_data;
    int m_size;
};

/// One-based line and column of `offset` in `text`.
void lineAndColumn(const QString& text, int offset, int* line, int* column)
{
    *line = 1;
    *column = 1;
    const QChar* data = text.constData();
    for (int i = 0; i < offset && i < text.size(); ++i) {
        if (data[i] == QLatin1Char('\n')) {
            ++*line;
            *column = 1;
        } else {
            ++*column;
        }
    }
}

QString tooLargeMessage(double memoryPerByte)
{
    const qint64 limit = XMLDOMReader::maximumContentSize(memoryPerByte);
    if (limit >= XMLDOMReader::contentCeiling)
        return QCoreApplication::translate("InterProcess::XMLDOMReader",
                                           "the content is larger than %1 MB, the most a document may hold")
            .arg(limit >> 20);
    return QCoreApplication::translate("InterProcess::XMLDOMReader",
                                       "the content is larger than %1 MB, the most this machine can read: reading "
                                       "takes about %2 times the content's size in memory, and may take half of "
                                       "the machine's %3 GB")
        .arg(limit >> 20)
        .arg(memoryPerByte)
        .arg(double(Tools::MachineMemory::physicalBytes()) / double(qint64(1) << 30), 0, 'f', 1);
}

QDomDocument fail(XMLDOMReader::Failure* failure, const QString& message, const QString& text = QString(),
                  int offset = -1)
{
    if (failure) {
        failure->message = message;
        failure->line = 0;
        failure->column = 0;
        if (offset >= 0)
            lineAndColumn(text, offset, &failure->line, &failure->column);
    }
    return QDomDocument();
}

} // namespace

qint64 XMLDOMReader::maximumContentSize(double memoryPerByte)
{
    return Tools::MachineMemory::largestInput(memoryPerByte, contentCeiling);
}

namespace {

std::atomic<XMLDOMBacking> chosenBacking{XMLDOMBacking::Pugixml};

} // namespace

XMLDOMBacking XMLDOMReader::defaultBacking()
{
    return chosenBacking.load();
}

void XMLDOMReader::setDefaultBacking(XMLDOMBacking backing)
{
    chosenBacking.store(backing);
}

XMLDOMDocument XMLDOMReader::readDocument(QIODevice* device, Failure* failure, double memoryPerByte,
                                          XMLDOMBacking backing)
{
    if (!device || !device->isOpen() || !device->isReadable()) {
        fail(failure, QCoreApplication::translate("InterProcess::XMLDOMReader", "the device cannot be read"));
        return XMLDOMDocument();
    }
    if (!device->isSequential() && device->size() - device->pos() > maximumContentSize(memoryPerByte)) {
        fail(failure, tooLargeMessage(memoryPerByte));
        return XMLDOMDocument();
    }
    return fromBytes(device->readAll(), failure, memoryPerByte, backing);
}

XMLDOMDocument XMLDOMReader::parseDocument(const QByteArray& bytes, Failure* failure, XMLDOMBacking backing)
{
    return fromBytes(bytes, failure, memoryPerContentByte, backing);
}

QDomDocument XMLDOMReader::read(QIODevice* device, Failure* failure, double memoryPerByte)
{
    return readDocument(device, failure, memoryPerByte, XMLDOMBacking::Qt).document();
}

QDomDocument XMLDOMReader::parse(const QByteArray& bytes, Failure* failure)
{
    return parseDocument(bytes, failure, XMLDOMBacking::Qt).document();
}

XMLDOMDocument XMLDOMReader::fromBytes(QByteArray bytes, Failure* failure, double memoryPerByte,
                                       XMLDOMBacking backing)
{
    if (backing == XMLDOMBacking::Pugixml && bytes.size() <= maximumContentSize(memoryPerByte) &&
        XMLDOMPlainScan::isPlain(bytes, maximumElementDepth)) {
        // Text and attribute values exactly as written, as Qt's DOM keeps them: no line-end
        // or blank normalisation.
        const unsigned options =
            pugi::parse_cdata | pugi::parse_escapes | pugi::parse_comments | pugi::parse_pi | pugi::parse_declaration;
        const auto tree = std::make_shared<XMLDOMTree>();
        const pugi::xml_parse_result result = tree->parse(std::move(bytes), options);
        if (result)
            return XMLDOMDocument(tree);
        // The bytes were parsed in place and are gone. A plain document is well formed, so
        // only a lack of memory fails here, and Qt's DOM, which takes far more, could not
        // read it either.
        fail(failure, QCoreApplication::translate("InterProcess::XMLDOMReader", "the content could not be read (%1)")
                          .arg(QString::fromLatin1(result.description())));
        return XMLDOMDocument();
    }
    QString text;
    if (!decode(bytes, &text, failure, memoryPerByte))
        return XMLDOMDocument();
    // The bytes are let go once decoded, so that they do not add to the DOM's peak.
    bytes = QByteArray();
    const QDomDocument dom = parseText(text, failure);
    return dom.isNull() ? XMLDOMDocument() : XMLDOMDocument(dom);
}

bool XMLDOMReader::decode(const QByteArray& bytes, QString* text, Failure* failure, double memoryPerByte)
{
    if (bytes.size() > maximumContentSize(memoryPerByte)) {
        fail(failure, tooLargeMessage(memoryPerByte));
        return false;
    }
    // The guard and the DOM parser must see the same characters, so the text is decoded
    // once here and the DOM parser is given the decoded text. Bytes the encoding cannot
    // decode make the document not well formed; reading on with replacement characters
    // would silently change names and values.
    QTextCodec* const codec = codecForXml(bytes);
    QTextCodec::ConverterState state;
    *text = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0) {
        const int bad = text->indexOf(QChar(QChar::ReplacementCharacter));
        fail(failure,
             QCoreApplication::translate("InterProcess::XMLDOMReader", "the content is not valid %1 text")
                 .arg(QString::fromLatin1(codec->name())),
             *text, bad < 0 ? text->size() : bad);
        return false;
    }
    return true;
}

QDomDocument XMLDOMReader::parseText(const QString& text, Failure* failure)
{
    const ScanResult scan = MarkupScanner(text).scan(maximumElementDepth);
    switch (scan.refusal) {
    case Refusal::None:
        break;
    case Refusal::TooDeep:
        return fail(failure,
                    QCoreApplication::translate("InterProcess::XMLDOMReader", "elements are nested deeper than %1 levels")
                        .arg(maximumElementDepth),
                    text, scan.offset);
    case Refusal::EntityDeclarations:
        return fail(failure,
                    QCoreApplication::translate("InterProcess::XMLDOMReader",
                                                "the document type declaration declares entities, which are not accepted"),
                    text, scan.offset);
    case Refusal::InternalSubset:
        return fail(failure,
                    QCoreApplication::translate("InterProcess::XMLDOMReader",
                                                "the document type declaration has an internal subset, which is not accepted"),
                    text, scan.offset);
    }

    QDomDocument dom;
    QString message;
    int line = 0;
    int column = 0;
    if (!dom.setContent(text, &message, &line, &column)) {
        if (failure)
            *failure = Failure{message, line, column};
        return QDomDocument();
    }
    return dom;
}

} // namespace InterProcess
