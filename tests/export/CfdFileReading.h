#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

/// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Terminal-definition files read back with Qt's DOM, as the thermal tools read them.
namespace CfdFile {

/// The document element of `bytes`, which must be well formed and begin with it.
inline QDomElement readBack(const QByteArray& bytes)
{
    static QDomDocument document; // keeps the elements handed out alive
    QString error;
    EXPECT_TRUE(document.setContent(bytes, &error)) << error.toStdString();
    EXPECT_TRUE(bytes.startsWith("<CFD_TERMINAL_DEFINITION Version=\"2019.0\">")) << bytes.left(60).toStdString();
    return document.documentElement();
}

/// "NAME=VALUE" of each attribute of `names` in `element`, in that order ("-" when absent).
inline QString fields(const QDomElement& element, const QStringList& names)
{
    QStringList out;
    for (const QString& name : names)
        out << name + QLatin1Char('=') + element.attribute(name, QStringLiteral("-"));
    return out.join(QLatin1Char(' '));
}

/// The `attribute` of every `tag` child of `parent`, in order.
inline QStringList children(const QDomElement& parent, const QString& tag, const QString& attribute)
{
    QStringList values;
    for (QDomElement e = parent.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag))
        values << e.attribute(attribute);
    return values;
}

/// The "Terminal" called `name`.
inline QDomElement terminal(const QDomElement& root, const QString& name)
{
    for (QDomElement t = root.firstChildElement("Terminal"); !t.isNull(); t = t.nextSiblingElement("Terminal")) {
        if (t.attribute("name") == name)
            return t;
    }
    ADD_FAILURE() << "no terminal " << name.toStdString();
    return QDomElement();
}

/// The outline of `terminal`: its type, four nodes (a fifth must be absent) and pin grid.
inline QString outline(const QDomElement& terminal)
{
    return fields(terminal.firstChildElement("Outline"), {"Type", "Node1", "Node2", "Node3", "Node4", "Node5", "NX", "NY"});
}

/// Every pin of `terminal` with all its attributes.
inline QStringList pins(const QDomElement& terminal)
{
    QStringList out;
    const QDomElement set = terminal.firstChildElement("TerminalPinSet");
    for (QDomElement pin = set.firstChildElement("Pin"); !pin.isNull(); pin = pin.nextSiblingElement("Pin")) {
        out << fields(pin, {"PinName", "PinID", "x", "y", "z", "A", "ConvectionHeatTransfer", "ConductionHeatTransfer",
                            "RadiationHeatTransfer", "TotalHeatTransfer", "Rth", "htc", "Tsurf", "Tamb"});
    }
    return out;
}

/// The totals and average temperatures of `terminal`.
inline QString totals(const QDomElement& terminal)
{
    return fields(terminal.firstChildElement("HeatTransfer"), {"Convective", "Conduction", "Radiation", "Total"}) +
           QLatin1Char(' ') + fields(terminal.firstChildElement("AverageTemperature"), {"Tsurf", "Tamb"});
}

} // namespace CfdFile
