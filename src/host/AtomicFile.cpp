#include <tarvex/host/AtomicFile.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace EntityModel {

namespace {

// Written in pieces so that a device that stops part way is noticed at the piece it stopped.
constexpr qint64 ChunkBytes = qint64(1) << 20;

// The file a chain of symbolic links ends at (the path itself when it is no link); a link
// whose file does not exist yet names the file to make.
QString resolveLinks(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

QString folderOf(const QString& file) { return QDir::toNativeSeparators(QFileInfo(file).absolutePath()); }

// Keeps the mode, owner and group of the file described by `old` on the open file `fd`. The
// owner first: changing it clears set-id bits, which the mode then restores. A process that
// may not give the file away (not root) still tries the group alone (allowed for a group it
// is in), and otherwise keeps its own: that is "where the process may set them".
bool keepOwnerAndMode(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && (errno != EPERM || ::fchown(fd, uid_t(-1), old.st_gid) != 0) &&
        errno != EPERM)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// fsync, where the file system can: one that cannot sync (EINVAL) has nothing to report.
bool syncToDisk(int fd) { return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP; }

// A producer of the bytes of `bytes`, which must outlive it.
AtomicFile::Producer bytesProducer(const QByteArray& bytes)
{
    return [&bytes](const AtomicFile::Sink& sink) { return sink(bytes.constData(), bytes.size()); };
}

// After a rename the folder's entry is synced too, so that the new name survives a power
// loss. Best effort: the file's bytes are already safe and the rename has happened.
void syncFolder(const QString& file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(QString path, QString what) : m_path(std::move(path)), m_what(std::move(what)) {}

bool AtomicFile::write(const QString& path, const QByteArray& bytes, const QString& what, QString* error)
{
    AtomicFile file(path, what);
    if (file.write(bytes))
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool AtomicFile::write(const QByteArray& bytes)
{
    return write(bytesProducer(bytes));
}

bool AtomicFile::write(const Producer& produce)
{
    m_error.clear();
    m_deviceError.clear();
    m_cancelled = false;
    const QString target = resolveLinks(m_path);
    struct stat old {};
    m_existed = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    if (m_existed && !S_ISREG(old.st_mode))
        return fail(0, Stage::CheckFile, target, QStringLiteral("It is not a regular file"));
    // QSaveFile would refuse such a file too, but without errno; asked here, the system says
    // why (no permission, a read-only file system).
    if (m_existed && ::access(QFile::encodeName(target).constData(), W_OK) != 0)
        return fail(errno, Stage::CheckFile, target, {});
    try {
        return m_existed && old.st_nlink > 1 ? writeInPlace(target, produce) : writeAside(target, produce);
    } catch (const std::bad_alloc&) {
        return fail(ENOMEM, Stage::Write, target, {});
    }
}

bool AtomicFile::putAll(QIODevice& device, const char* data, qint64 size)
{
    while (size > 0) {
        errno = 0;
        const qint64 written = device.write(data, std::min(size, ChunkBytes));
        if (written <= 0) {
            m_writeErrno = errno;
            m_deviceError = device.errorString();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool AtomicFile::writeAll(QFileDevice& file, const Producer& produce, bool throughFactory, qint64* written)
{
    std::unique_ptr<QIODevice> wrapper = throughFactory && m_factory ? m_factory(file) : nullptr;
    QIODevice& device = wrapper ? *wrapper : static_cast<QIODevice&>(file);
    bool failed = false;
    qint64 total = 0;
    const Sink sink = [this, &device, &failed, &total](const char* data, qint64 size) {
        failed = failed || !putAll(device, data, size);
        total += failed ? 0 : size;
        return !failed;
    };
    bool produced = false;
    try {
        produced = produce(sink);
    } catch (const std::bad_alloc&) {
        // Caught here, so that a file written in place still gets its old bytes back.
        failed = true;
        m_writeErrno = ENOMEM;
        m_deviceError.clear();
    }
    if (written)
        *written = total;
    if (failed) {
        errno = m_writeErrno;
        return false;
    }
    if (!produced) {
        m_cancelled = true;
        errno = 0;
        return false;
    }
    errno = 0;
    if (file.flush() && syncToDisk(file.handle()))
        return true;
    const int error = errno;
    m_deviceError = file.errorString();
    errno = error;
    return false;
}

bool AtomicFile::writeAside(const QString& target, const Producer& produce)
{
    QSaveFile file(target);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(errno, Stage::CreateTemporary, target, file.errorString());
    if (m_existed) {
        struct stat old {};
        if (::stat(QFile::encodeName(target).constData(), &old) != 0 || !keepOwnerAndMode(file.handle(), old)) {
            const int error = errno;
            file.cancelWriting();
            file.commit(); // removes the temporary file
            return fail(error, Stage::Write, target, {});
        }
    }
    if (!writeAll(file, produce, true)) {
        const int error = errno;
        file.cancelWriting();
        file.commit(); // removes the temporary file
        return m_cancelled ? cancelled() : fail(error, Stage::Write, target, m_deviceError);
    }
    errno = 0;
    if (!file.commit())
        return fail(errno, Stage::Commit, target, file.errorString());
    syncFolder(target);
    return true;
}

// A file with more than one hard link cannot be replaced by a rename: the new file would
// have this name only, and the other names would keep the old content. So it is written in
// place, which a rename would have spared us: while it is written, a reader may see part of
// the new content, and a crash in the middle leaves a mixture. The guard is a copy of the
// old content taken first beside the file ("NAME.tarvex-old-XXXXXX", synced to disk): a full
// disk stops us there, before the file is touched; a failure while writing in place (or a
// producer that gives up) puts the old bytes back from memory (they fit: their blocks are
// still the file's) and removes the copy; and after a crash, or when even putting them back
// fails, the copy is left and the message names it. The price is room for one more copy of
// the old file while saving.
bool AtomicFile::writeInPlace(const QString& target, const Producer& produce)
{
    QFile file(target);
    errno = 0;
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return fail(errno, Stage::OpenInPlace, target, file.errorString());
    errno = 0;
    const QByteArray old = file.readAll();
    if (old.size() != file.size())
        return fail(errno, Stage::OpenInPlace, target, file.errorString());

    const QFileInfo info(target);
    QTemporaryFile backup(info.absolutePath() + QLatin1Char('/') + info.fileName() +
                          QStringLiteral(".tarvex-old-XXXXXX"));
    errno = 0;
    if (!backup.open())
        return fail(errno, Stage::CreateTemporary, target, backup.errorString());
    if (!writeAll(backup, bytesProducer(old), false))
        return fail(errno, Stage::Write, target, m_deviceError);

    qint64 written = 0;
    if (file.seek(0) && writeAll(file, produce, true, &written) && file.resize(written) && syncToDisk(file.handle()))
        return true; // the copy goes with `backup`
    const bool gaveUp = m_cancelled;
    const int error = errno;
    const QString text = m_deviceError.isEmpty() ? file.errorString() : m_deviceError;
    if (file.seek(0) && writeAll(file, bytesProducer(old), false) && file.resize(old.size()) &&
        syncToDisk(file.handle()))
        return gaveUp ? cancelled() : fail(error, Stage::Write, target, text);
    backup.setAutoRemove(false);
    return fail(gaveUp ? errno : error, Stage::Write, target, text,
                QStringLiteral("%1 may be damaged: its old content is kept in %2")
                    .arg(m_what, QDir::toNativeSeparators(backup.fileName())));
}

bool AtomicFile::cancelled()
{
    m_error.clear();
    m_cancelled = true;
    return false;
}

bool AtomicFile::fail(int error, Stage stage, const QString& target, const QString& fallback, const QString& outcome)
{
    QString cause;
    switch (error) {
    case ENOSPC:
        cause = QStringLiteral("No space left on device");
        break;
    case EDQUOT:
        cause = QStringLiteral("The disk quota is used up");
        break;
    case EFBIG:
        cause = QStringLiteral("The file would be larger than the file system allows");
        break;
    case EROFS:
        cause = QStringLiteral("The file system is read-only");
        break;
    case EIO:
        cause = QStringLiteral("The disk reported an input/output error");
        break;
    case ENOMEM:
        cause = QStringLiteral("There is not enough memory");
        break;
    case EACCES:
    case EPERM:
        // Saving makes a file in the folder; writing in place or checking needs the file itself.
        cause = stage == Stage::CheckFile || stage == Stage::OpenInPlace
                    ? QStringLiteral("Permission denied to write %1").arg(QDir::toNativeSeparators(target))
                    : QStringLiteral("Permission denied in the folder %1").arg(folderOf(target));
        break;
    case ENOENT:
        cause = QStringLiteral("The folder %1 does not exist").arg(folderOf(target));
        break;
    case ENOTDIR:
        cause = QStringLiteral("A part of the folder %1 is not a folder").arg(folderOf(target));
        break;
    case ENAMETOOLONG:
        cause = QStringLiteral("The file name is too long");
        break;
    case ELOOP:
        cause = QStringLiteral("Too many symbolic links");
        break;
    case 0:
        cause = fallback.isEmpty() ? QStringLiteral("The file could not be written") : fallback;
        break;
    default:
        cause = QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    const QString result = !outcome.isEmpty() ? outcome
                           : m_existed       ? QStringLiteral("%1 was left as it was").arg(m_what)
                                             : QStringLiteral("no file was made");
    m_error = QStringLiteral("%1 while saving %2; %3").arg(cause, QDir::toNativeSeparators(m_path), result);
    return false;
}

} // namespace EntityModel
