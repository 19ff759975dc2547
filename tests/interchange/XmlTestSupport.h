#pragma once

#include <tarvex/interchange/TarvexTXMXMLParser.h>

#include "support/RecordingProgress.h"

#include <QBuffer>
#include <QFile>
#include <QDomDocument>

#include <gtest/gtest.h>

#include <string>

namespace InterchangeTest {

/// Makes `path` a file of `size` bytes without using the disk (a sparse file).
inline QString sparseFile(const QString& path, qint64 size)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(size)) << path.toStdString();
    return path;
}

/// The start of the message for content above `limit`, before the reason (the machine's
/// memory, or the most one document may hold).
inline QString tooLargeStart(qint64 limit)
{
    return QStringLiteral("Failed to Read : the content is larger than %1 MB, the most ").arg(limit >> 20);
}

/// What reading bytes through the parser gave.
struct XmlOutcome
{
    Tarvex::TarvexTXMXMLDocument document;
    Tarvex::TXMFileVersion lastLoaded;
    std::string messages; // every message, fatal errors marked, one a line
};

inline XmlOutcome readBytes(const QByteArray& bytes)
{
    Tools::RecordingProgress progress;
    Tarvex::TarvexTXMXMLParser parser(&progress);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    XmlOutcome outcome;
    outcome.document = parser.read(&buffer);
    outcome.lastLoaded = parser.getLastLoadedFileVersion();
    const QStringList fatal = progress.texts(Tools::ToolProgress::Kind::FatalError);
    EXPECT_EQ(size_t(fatal.size()), progress.entries().size()) << "messages that are not fatal errors";
    for (const QString& text : fatal)
        outcome.messages += (outcome.messages.empty() ? "fatal: " : "\nfatal: ") + text.toStdString();
    return outcome;
}

/// `xml` parsed, which the test expects to be well formed.
inline QDomDocument parse(const QString& xml)
{
    QDomDocument document;
    QString message;
    EXPECT_TRUE(document.setContent(xml, &message)) << message.toStdString();
    return document;
}

/// An element tree in a form that compares as the trees do: tags, attributes in name order,
/// child elements in order, one per line, and the trimmed text of elements without children.
inline std::string tree(const QDomElement& element, const QString& indent = QString())
{
    if (element.isNull())
        return indent.toStdString() + "(no element)\n";
    QStringList attributes;
    const QDomNamedNodeMap map = element.attributes();
    for (int index = 0; index < map.count(); ++index)
        attributes << map.item(index).toAttr().name() + "=\"" + map.item(index).toAttr().value() + '"';
    attributes.sort();
    std::string text = (indent + element.tagName() + ' ' + attributes.join(' ')).toStdString();
    if (element.firstChildElement().isNull())
        return text + " " + element.text().trimmed().toStdString() + "\n";
    text += "\n";
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        text += tree(child, indent + "  ");
    return text;
}

} // namespace InterchangeTest
