#pragma once

#include <QString>
#include <QTemporaryDir>

namespace FileSystem {

/// A new, private folder (in the system's temporary folder, or in a folder given) that
/// removes itself, with all it holds, when it goes out of scope: whichever way an operation
/// ends (a failure, a refusal, an exception), nothing it unpacked or staged is left behind.
class TemporaryFolder
{
public:
    /// Makes the folder in `parent` (the system's temporary folder when empty), named
    /// `prefix`, this process's number and a random part; first removes the folders of that
    /// prefix there that runs which no longer run left behind.
    explicit TemporaryFolder(const QString& prefix, const QString& parent = QString());
    /// Removes the folder and everything in it.
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    /// True when the folder was made.
    bool isValid() const { return m_dir.isValid(); }
    /// Why the folder could not be made.
    QString errorString() const { return m_dir.errorString(); }
    /// The folder's absolute path (empty when it was not made).
    QString path() const { return m_dir.isValid() ? m_dir.path() : QString(); }
    /// The absolute path of `relative` inside the folder.
    QString filePath(const QString& relative) const { return m_dir.filePath(relative); }

private:
    QTemporaryDir m_dir;
};

} // namespace FileSystem
