#pragma once

#include <tarvex/objects/TarvexTerminalGroup.h>

#include <QString>
#include <QtGlobal>

namespace Tarvex {

/// What the entity builders need of a "Terminal" element and of the group it stands in,
/// copied out of the file so that parts keep no part of the parsed document.
class TarvexTerminal
{
public:
    /// A terminal of no name, normal or grid, made in no file, in no group.
    TarvexTerminal() = default;
    /// A terminal with its "Name", "ObjectName", "Normal" text, "NX" and "NY", where it
    /// stood in its file (-1 when it was made in no file) and its "TerminalGroup".
    TarvexTerminal(const QString& name, const QString& objectName, const QString& normal, qint32 nx, qint32 ny,
                   qint64 sourcePosition, const TarvexTerminalGroup& group);

    /// "Name": the terminal name; empty when absent.
    const QString& getName() const { return name; }
    /// "ObjectName": the name of the footprint that carries the terminal; empty when absent.
    const QString& getObjectName() const { return objectName; }
    /// "Normal" as written, e.g. "(0, 0, 1)"; empty when absent.
    const QString& getNormal() const { return normal; }
    /// "NX": the divisions along x; 0 when absent or unreadable.
    qint32 getNX() const { return nx; }
    /// "NY": the divisions along y; 0 when absent or unreadable.
    qint32 getNY() const { return ny; }
    /// Where the element stood in its file: larger further on, -1 when made in no file.
    qint64 getSourcePosition() const { return sourcePosition; }
    /// The group the element stood in.
    const TarvexTerminalGroup& getGroup() const { return group; }

private:
    QString name;
    QString objectName;
    QString normal;
    qint32 nx = 0;
    qint32 ny = 0;
    qint64 sourcePosition = -1;
    TarvexTerminalGroup group;
};

} // namespace Tarvex
