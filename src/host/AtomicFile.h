#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QFileDevice;
class QIODevice;

namespace EntityModel {

/// Writes a whole file or nothing. The bytes go to a temporary file beside the target; every
/// write, the flush, the sync to disk and the rename are checked, and on any failure the
/// temporary file is removed and the old file is left byte-identical. The file's mode is kept,
/// and its owner and group where the process may set them (as root it may, so a user's file
/// saved by root stays the user's). A symbolic link is written through: the file it names
/// gets the new bytes and the link stays a link. A file with more than one hard link is
/// written in place (see write()), so that every name of it sees the new content.
///
/// Messages name the cause in plain words, the file, and what became of it, e.g. "No space
/// left on device while saving M.json; the model was left as it was".
class AtomicFile
{
public:
    /// The device the bytes are written through, given the file they must reach (the
    /// temporary file, or the file itself when written in place). The default writes straight
    /// to it; a test may return a device that fails part way. A device that fails sets errno
    /// to the cause, as the system would.
    using DeviceFactory = std::function<std::unique_ptr<QIODevice>(QFileDevice& file)>;
    /// Where a producer sends its bytes: each call writes them through at once; false when
    /// the write failed, and then the producer should stop.
    using Sink = std::function<bool(const char* data, qint64 size)>;
    /// Writes the whole content to the sink it is given, piece by piece; false to give up
    /// (or when the sink failed), and then nothing is saved.
    using Producer = std::function<bool(const Sink& sink)>;

    /// `path` is the file as the user named it (messages use it as it is); `what` is what it
    /// holds, as a message says it ("the model", "the material library").
    explicit AtomicFile(QString path, QString what = QStringLiteral("the file"));

    /// Replaces the default device (for tests).
    void setDeviceFactory(DeviceFactory factory) { m_factory = std::move(factory); }

    /// Makes the file hold exactly `bytes`; false with errorString() set when it could not,
    /// and then the file is as it was before.
    bool write(const QByteArray& bytes);
    /// Makes the file hold exactly what `produce` writes, without the whole text in memory at
    /// once. False when it could not, and then the file is as it was before: errorString() says
    /// why, or is empty when `produce` gave up by itself.
    bool write(const Producer& produce);
    /// Why the last write() failed, naming the file and saying that it was left as it was.
    const QString& errorString() const { return m_error; }

    /// One call of write(); false with `*error` set on failure.
    static bool write(const QString& path, const QByteArray& bytes, const QString& what, QString* error);

private:
    enum class Stage { CheckFile, CreateTemporary, Write, Commit, OpenInPlace };

    bool writeAside(const QString& target, const Producer& produce);
    bool writeInPlace(const QString& target, const Producer& produce);
    bool writeAll(QFileDevice& file, const Producer& produce, bool throughFactory, qint64* written = nullptr);
    bool putAll(QIODevice& device, const char* data, qint64 size);
    bool cancelled();
    bool fail(int error, Stage stage, const QString& target, const QString& fallback, const QString& outcome = {});

    QString m_path;
    QString m_what;
    DeviceFactory m_factory;
    bool m_existed = false;
    bool m_cancelled = false; // the producer gave up, no write failed
    QString m_error;
    QString m_deviceError; // what the device that failed said
    int m_writeErrno = 0;  // errno of the write that failed
};

} // namespace EntityModel
