#include <tarvex/host/TemporaryFolder.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace FileSystem {

namespace {

// True when no process of this number runs on this machine.
bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

// A run killed before it could remove its folder (an interrupt, a crash) leaves it behind;
// the folder names its process, so the next run removes the folders of processes that are
// gone. Only folders of this user, whose owner process is gone, are touched.
void removeLeftBehind(const QString& prefix, const QString& parent)
{
    const QRegularExpression ours(QStringLiteral("^%1-(\\d+)-").arg(QRegularExpression::escape(prefix)));
    const QDir temporary(parent);
    const QFileInfoList entries =
        temporary.entryInfoList({prefix + QStringLiteral("-*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        const QRegularExpressionMatch match = ours.match(entry.fileName());
        if (!match.hasMatch() || entry.isSymLink() || entry.ownerId() != ::getuid())
            continue;
        if (processGone(match.captured(1).toLongLong()))
            QDir(entry.absoluteFilePath()).removeRecursively();
    }
}

QString templateFor(const QString& prefix, const QString& parent)
{
    const QString folder = parent.isEmpty() ? QDir::tempPath() : parent;
    removeLeftBehind(prefix, folder);
    return QDir(folder).filePath(prefix + QLatin1Char('-') + QString::number(QCoreApplication::applicationPid()) +
                                 QStringLiteral("-XXXXXX"));
}

} // namespace

TemporaryFolder::TemporaryFolder(const QString& prefix, const QString& parent) : m_dir(templateFor(prefix, parent))
{
}

// Removal walks the folder without following symbolic links, so a link that something put
// there is removed, not what it names.
TemporaryFolder::~TemporaryFolder() = default;

} // namespace FileSystem
