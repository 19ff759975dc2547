#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/ToolProgress.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TarvexTXMXMLDocument.h>

#include <QObject>
#include <QString>

class QIODevice;

namespace Tarvex {

/// Reads the XML form of an interchange model into a document, remembers the format
/// version written in it and brings older documents up to date. Failures give a null
/// document after a fatal error through the progress sink.
class TarvexTXMXMLParser : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// Deepest element nesting accepted. Interchange files are a handful of levels deep.
    static constexpr int maximumElementDepth = InterProcess::XMLDOMReader::maximumElementDepth;
    /// Bytes of memory an import takes at its peak per byte of the file: the DOM (37, see
    /// `XMLDOMReader`) and the objects and entities built from it. Whole imports of generated
    /// files of 10 and 81 MB peaked at 65 and 66 times the file's size.
    static constexpr double memoryPerContentByte = 70.0;
    /// Largest content accepted, in bytes: the largest whose import stays within half of the
    /// machine's memory.
    static qint64 maximumContentSize()
    {
        return InterProcess::XMLDOMReader::maximumContentSize(memoryPerContentByte);
    }

    /// A parser reporting to `progress` (may be null).
    explicit TarvexTXMXMLParser(Tools::ToolProgress* progress, QObject* parent = nullptr);
    /// A parser without a progress sink.
    explicit TarvexTXMXMLParser(QObject* parent = nullptr);
    ~TarvexTXMXMLParser() override;

    /// Reads the file at `path`; a null document, without a message, when it is not a
    /// regular file or cannot be opened.
    TarvexTXMXMLDocument readFile(const QString& path);
    /// Reads the whole of the open `device`; a null document after a fatal error when the
    /// content is not an acceptable XML document.
    TarvexTXMXMLDocument read(QIODevice* device);

    /// The "SchemaVersion" of the last document read, before any update; empty after a
    /// failed read.
    const TXMFileVersion& getLastLoadedFileVersion() const { return m_lastLoadedFileVersion; }

    /// The sink given at construction (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

    /// Reads into `backing`'s tree from now on (`XMLDOMReader::defaultBacking()` until then).
    void setBacking(InterProcess::XMLDOMBacking backing) { m_backing = backing; }

private:
    Tools::ToolProgress* m_progress = nullptr;
    InterProcess::XMLDOMBacking m_backing = InterProcess::XMLDOMReader::defaultBacking();
    TXMFileVersion m_lastLoadedFileVersion;
};

} // namespace Tarvex
