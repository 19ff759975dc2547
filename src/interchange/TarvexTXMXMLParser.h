#pragma once

#include "host/ProgressBaseObject.h"
#include "host/ToolProgress.h"
#include "host/XMLDOMReader.h"
#include "interchange/TXMFileVersion.h"
#include "interchange/TarvexTXMXMLDocument.h"

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
    /// Largest content accepted, in bytes: what the machine's memory can read (see
    /// `XMLDOMReader`).
    static qint64 maximumContentSize() { return InterProcess::XMLDOMReader::maximumContentSize(); }

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

private:
    Tools::ToolProgress* m_progress = nullptr;
    TXMFileVersion m_lastLoadedFileVersion;
};

} // namespace Tarvex
