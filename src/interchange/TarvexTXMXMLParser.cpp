#include <tarvex/interchange/TarvexTXMXMLParser.h>

#include <tarvex/interchange/TarvexTXMXMLUpdater.h>

#include <tarvex/host/XMLDOMReader.h>

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace Tarvex {


TarvexTXMXMLParser::TarvexTXMXMLParser(Tools::ToolProgress* progress, QObject* parent)
    : QObject(parent), m_progress(progress)
{
}

TarvexTXMXMLParser::TarvexTXMXMLParser(QObject* parent) : QObject(parent) {}

TarvexTXMXMLParser::~TarvexTXMXMLParser() = default;

TarvexTXMXMLDocument TarvexTXMXMLParser::readFile(const QString& path)
{
    m_lastLoadedFileVersion = TXMFileVersion();
    // Folders, devices and pipes are not files: some of them never end.
    if (!QFileInfo(path).isFile())
        return TarvexTXMXMLDocument();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TarvexTXMXMLDocument();
    return read(&file);
}

TarvexTXMXMLDocument TarvexTXMXMLParser::read(QIODevice* device)
{
    m_lastLoadedFileVersion = TXMFileVersion();
    if (!device || !device->isOpen() || !device->isReadable())
        return TarvexTXMXMLDocument();

    InterProcess::XMLDOMReader::Failure failure;
    const InterProcess::XMLDOMDocument dom =
        InterProcess::XMLDOMReader::readDocument(device, &failure, memoryPerContentByte, m_backing);
    if (dom.isNull()) {
        // All values in one pass, so that a "%" in the parser's message stays text.
        if (failure.line > 0)
            fatalError(tr("Failed to Read : %2\nLine %3, Column %4")
                           .arg(failure.message, QString::number(failure.line), QString::number(failure.column)));
        else
            fatalError(tr("Failed to Read : %2").arg(failure.message));
        return TarvexTXMXMLDocument();
    }

    const TarvexTXMXMLDocument document(dom);
    m_lastLoadedFileVersion = document.getSchemaVersion();
    TarvexTXMXMLUpdater updater;
    if (updater.needsUpdate(m_lastLoadedFileVersion))
        return updater.update(document);
    return document;
}

} // namespace Tarvex
