#pragma once

#include "host/ProgressBaseObject.h"
#include "host/ToolProgress.h"
#include "interchange/TXMFileVersion.h"
#include "interchange/TXMJSONFile.h"

#include <QObject>
#include <QString>

class QIODevice;

namespace Tarvex {

/// Reads the JSON form of an interchange model (an import list), remembers the format
/// version written in it and brings older files up to date. Failures give a null file
/// object.
class TarvexTXMJsonParser : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// Largest content accepted, in bytes.
    static constexpr qint64 maximumContentSize = qint64(256) * 1024 * 1024;

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
