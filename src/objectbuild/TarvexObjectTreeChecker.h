#pragma once

#include <tarvex/objectbuild/TarvexFileProblem.h>
#include <tarvex/objects/TarvexObject.h>

#include <QString>

#include <memory>
#include <vector>

namespace Tarvex {

/// Finds in the object tree of one interchange file what the import accepts without a word
/// but builds wrongly: parts whose footprint lies outside every board and package (the
/// import puts them on the nearest board all the same), solder balls or bumps that take the
/// same space, and names that several Geoms, balls or bumps hold (their entities are found
/// by name, so the later one takes the earlier's).
class TarvexObjectTreeChecker
{
public:
    /// Gap below which two joints count as touching rather than overlapping (metres).
    static constexpr double overlapTolerance = 1e-9;

    /// A checker of the tree built from `file`, which the problems name.
    explicit TarvexObjectTreeChecker(const QString& file);

    /// The problems of the tree whose top-level nodes are `objects`: top-level parts outside
    /// every board (packages, when the file has a board) or outside every board and package
    /// (other parts), in tree order; then overlapping joints in tree order, then names held more
    /// than once in the order they first appear.
    std::vector<TarvexFileProblem> check(const std::vector<std::unique_ptr<TarvexObject>>& objects) const;

private:
    QString m_file;
};

} // namespace Tarvex
