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
/// Either tree: a Qt element converts to a node.
inline std::string tree(const InterProcess::XMLDOMNode& element, const QString& indent = QString())
{
    if (element.isNull())
        return indent.toStdString() + "(no element)\n";
    QStringList attributes;
    for (const QString& name : element.getAttributeNames())
        attributes << name + "=\"" + element.getAttribute(name) + '"';
    std::string text = (indent + element.getTagName() + ' ' + attributes.join(' ')).toStdString();
    const QList<InterProcess::XMLDOMNode> children = element.getChildElements();
    if (children.isEmpty())
        return text + " " + element.getText().trimmed().toStdString() + "\n";
    text += "\n";
    for (const InterProcess::XMLDOMNode& child : children)
        text += tree(child, indent + "  ");
    return text;
}

} // namespace InterchangeTest
