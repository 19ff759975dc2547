#pragma once

#include <tarvex/objectbuild/TarvexFileProblem.h>
#include <tarvex/objects/TarvexObject.h>

#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QIODevice;

namespace Tarvex {

/// Reads an interchange file or an import list the way an import does, without building
/// any entity, and lists every problem the import would meet: files that are missing or
/// cannot be read (the file itself, list entries, material libraries, power maps, material
/// layouts), unknown units, missing materials, and what `TarvexObjectTreeChecker` finds in
/// the object tree of each interchange file. Each file is checked once, however often the
/// lists name it.
class TarvexFileChecker
{
public:
    TarvexFileChecker();
    ~TarvexFileChecker();
    TarvexFileChecker(const TarvexFileChecker&) = delete;
    TarvexFileChecker& operator=(const TarvexFileChecker&) = delete;

    /// The problems of the file at `path` and of every file it leads to, in the order the
    /// import meets them.
    std::vector<TarvexFileProblem> check(const QString& path);

private:
    void checkFile(const QString& path);
    void checkList(const QString& path, QIODevice& device);
    void checkModel(const QString& path);
    void checkReferencedFiles(const QString& path, const std::vector<std::unique_ptr<TarvexObject>>& objects);
    void add(TarvexFileProblem::Kind kind, const QString& file, const QString& subject, const QString& message);

    std::vector<TarvexFileProblem> m_problems;
    // Lists being read, outermost first, to tell a list that names itself.
    QStringList m_openLists;
    // Files already checked, by canonical path.
    QSet<QString> m_checked;
};

} // namespace Tarvex
