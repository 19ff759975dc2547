#pragma once

#include <QByteArray>
#include <QString>
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

} // namespace TestSupport
