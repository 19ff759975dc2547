#include "Console.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

QString commandHelp(const QCommandLineParser& parser, const QString& command)
{
    return parser.helpText().replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                                     QStringLiteral("Usage: tarvex ") + command);
}

int usageError(const QCommandLineParser& parser, const QString& command, const QString& problem)
{
    err() << "tarvex: " << problem << "\n\n" << commandHelp(parser, command);
    err().flush();
    return 2;
}

int failure(const QString& problem)
{
    if (!problem.isEmpty())
        err() << "error: " << problem << '\n';
    err().flush();
    return 1;
}

QString unreadable(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("it is a directory");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file"); // a pipe or device may never end
    if (!info.isReadable())
        return QStringLiteral("permission denied");
    return QString();
}
