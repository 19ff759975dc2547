#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/ToolProgress.h>
#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TXMJSONFile.h>

#include <QObject>
#include <QString>

class QIODevice;

namespace Tarvex {

/// Reads the JSON form of an interchange model (an import list), remembers the format
/// version written in it and brings older files up to date. Failures give a null file
/// object.
///
/// Memory: at its peak a read holds the file's bytes and Qt's parsed document, about 8
/// bytes per byte of content. Measured on generated import lists of 7, 36, 73 and 151 MB,
/// the peak rose by 7.2 to 7.5 times the file's size.
class TarvexTXMJsonParser : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// Bytes of memory a read takes at its peak per byte of content, rounded up.
    static constexpr double memoryPerContentByte = 8.0;
    /// Largest content accepted on any machine, in bytes: an import list names files, and
    /// one of this size is not a list anyone wrote.
    static constexpr qint64 contentCeiling = qint64(256) << 20;

    /// Largest content accepted, in bytes: the largest whose read stays within half of the
    /// machine's physical memory, and at most `contentCeiling`.
    static qint64 maximumContentSize();

    /// A parser reporting to `progress` (may be null).
    explicit TarvexTXMJsonParser(Tools::ToolProgress* progress, QObject* parent = nullptr);
    /// A parser without a progress sink.
    explicit TarvexTXMJsonParser(QObject* parent = nullptr);
    ~TarvexTXMJsonParser() override;

    /// Reads the file at `path`; a null file object, without a message, when it is not a
    /// regular file or cannot be opened.
    TXMJSONFile readFile(const QString& path);
    /// Reads the whole of the open `device`. Bytes after a complete JSON document are
    /// ignored. A null file object when the device is missing, closed or unreadable (no
    /// message) or after a fatal error when the content is not JSON. A top-level array
    /// gives a file around an empty object.
    TXMJSONFile read(QIODevice* device);

    /// The "Version" of the last file read, before any update; empty after a failed read.
    const TXMFileVersion& getLastLoadedFileVersion() const { return m_lastLoadedFileVersion; }

    /// The sink given at construction (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    void reportTooLarge() const;

    Tools::ToolProgress* m_progress = nullptr;
    TXMFileVersion m_lastLoadedFileVersion;
};

} // namespace Tarvex
