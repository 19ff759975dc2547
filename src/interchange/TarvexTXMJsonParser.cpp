#include <tarvex/interchange/TarvexTXMJsonParser.h>

#include <tarvex/interchange/TarvexTXMJSONUpdater.h>

#include <tarvex/host/MachineMemory.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonParseError>

namespace Tarvex {

TarvexTXMJsonParser::TarvexTXMJsonParser(Tools::ToolProgress* progress, QObject* parent)
    : QObject(parent), m_progress(progress)
{
}

TarvexTXMJsonParser::TarvexTXMJsonParser(QObject* parent) : QObject(parent) {}

TarvexTXMJsonParser::~TarvexTXMJsonParser() = default;

qint64 TarvexTXMJsonParser::maximumContentSize()
{
    static const qint64 largest = Tools::MachineMemory::largestInput(memoryPerContentByte, contentCeiling);
    return largest;
}

TXMJSONFile TarvexTXMJsonParser::readFile(const QString& path)
{
    m_lastLoadedFileVersion = TXMFileVersion();
    // Folders, devices and pipes are not files: some of them never end.
    if (!QFileInfo(path).isFile())
        return TXMJSONFile();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TXMJSONFile();
    return read(&file);
}

TXMJSONFile TarvexTXMJsonParser::read(QIODevice* device)
{
    m_lastLoadedFileVersion = TXMFileVersion();
    if (!device || !device->isOpen() || !device->isReadable())
        return TXMJSONFile();

    if (!device->isSequential() && device->size() - device->pos() > maximumContentSize()) {
        reportTooLarge();
        return TXMJSONFile();
    }
    const QByteArray bytes = device->readAll();
    if (bytes.size() > maximumContentSize()) {
        reportTooLarge();
        return TXMJSONFile();
    }
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::GarbageAtEnd) {
        // Bytes after a complete document are not part of it: read the document alone.
        document = QJsonDocument::fromJson(QByteArray::fromRawData(bytes.constData(), error.offset), &error);
    }
    if (error.error != QJsonParseError::NoError) {
        fatalError(tr("Failed to Read : %2").arg(error.errorString()));
        return TXMJSONFile();
    }

    const TXMJSONFile file(document.object());
    m_lastLoadedFileVersion = file.getVersion();
    if (m_lastLoadedFileVersion < TXMFileVersion::current())
        return TarvexTXMJSONUpdater().update(file);
    return file;
}

void TarvexTXMJsonParser::reportTooLarge() const
{
    const qint64 limit = maximumContentSize();
    if (limit >= contentCeiling) {
        fatalError(tr("Failed to Read : %2").arg(tr("the content is larger than %1 MB, the most a list may hold")
                                                       .arg(limit >> 20)));
        return;
    }
    fatalError(tr("Failed to Read : %2")
                   .arg(tr("the content is larger than %1 MB, the most this machine can read: reading takes about %2 "
                           "times the content's size in memory, and may take half of the machine's %3 GB")
                            .arg(limit >> 20)
                            .arg(memoryPerContentByte)
                            .arg(double(Tools::MachineMemory::physicalBytes()) / double(qint64(1) << 30), 0, 'f', 1)));
}

} // namespace Tarvex
