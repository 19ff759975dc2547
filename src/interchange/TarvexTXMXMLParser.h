#pragma once

#include "host/ProgressBaseObject.h"
#include "host/ToolProgress.h"
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
    /// Deepest element nesting accepted. Interchange files are a handful of levels deep;
    /// the DOM parser recurses once per level, so deeper input is refused before parsing.
    static constexpr int maximumElementDepth = 256;
    /// Largest content accepted, in bytes; the text and the DOM take many times as much.
    static constexpr qint64 maximumContentSize = qint64(256) * 1024 * 1024;

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
    void reportReadFailure(const QString& message, int line, int column) const;
    void reportTooLarge() const;

    Tools::ToolProgress* m_progress = nullptr;
    TXMFileVersion m_lastLoadedFileVersion;
};

} // namespace Tarvex
