#pragma once

#include <QHash>
#include <QString>

namespace Tarvex3D {

/// The names given out during one export of a 3D project: every entity, material and geometry
/// file gets a name no other holds, made of characters the project, its file names and the
/// solver's scripts all take.
class Tarvex3DNameRegistry
{
public:
    /// `name` with every blank, ".", "/", "\", "{", "}", ":" and control character turned
    /// into "_": the one form used for object names, file names and script words alike.
    static QString safeName(const QString& name);

    /// The safe form of `name` when no name given out so far holds it; otherwise that form
    /// followed by "_" and the first count that gives a name not yet given out. Every name
    /// returned is registered, so that an entity literally called "N_1" never shares its
    /// name with the second "N".
    QString uniqueName(const QString& name);
    /// Forgets every name given out.
    void clear() { m_uses.clear(); }

private:
    // Safe name to the number of times it was asked for (the next count to try).
    QHash<QString, int> m_uses;
};

} // namespace Tarvex3D
