#pragma once

#include <QString>

namespace Tarvex {

/// One problem that reading an interchange file or an import list meets, as a check of the
/// file reports it: what it is, where it was found and what it concerns.
struct TarvexFileProblem
{
    /// What kind of problem it is; `kindName` gives the stable word of each.
    enum class Kind
    {
        MissingFile,      ///< a material library, map, layout or list entry that does not exist
        UnreadableFile,   ///< a file that exists but cannot be read or parsed
        UnknownUnit,      ///< a unit the host does not know
        MissingMaterial,  ///< a part or joint whose material the file does not define
        MissingPart,      ///< a heat source whose part the file does not have
        UncontainedPart,  ///< a part that no board or package contains
        OverlappingBalls, ///< two solder balls or bumps that take the same space
        DuplicateName,    ///< a name that several elements of one kind hold
        InvalidValue,     ///< a number, position or outline the import cannot use
        Other             ///< any other warning or error of the import
    };

    /// The word that stands for `kind` in reports ("missing-file", "unknown-unit", ...).
    static QString kindName(Kind kind);

    /// What the problem is.
    Kind kind = Kind::Other;
    /// The file in which it was found.
    QString file;
    /// The element, part or entry it concerns (empty when it concerns the whole file).
    QString subject;
    /// What is wrong, in words.
    QString message;
};

/// True when `a` and `b` report the same thing.
bool operator==(const TarvexFileProblem& a, const TarvexFileProblem& b);

} // namespace Tarvex
