#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace TestSupport {

/// A temporary folder for one test, removed when the test ends.
class TempDir
{
public:
    TempDir();
    /// Absolute path of `name` inside the folder.
    QString path(const QString& name) const;
    /// Writes `bytes` to `name` and returns its absolute path.
    QString write(const QString& name, const QByteArray& bytes) const;
    /// The bytes of `name`, or an empty array.
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};

/// Every file and folder below `root` (links not followed), relative to it, sorted: what a
/// test compares to show that nothing was left or written where it should not be.
QStringList everythingBelow(const QString& root);

} // namespace TestSupport
