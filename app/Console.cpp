#include "Console.h"

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
