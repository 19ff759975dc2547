#include "Console.h"

#include <QFileInfo>

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

int failure(const QString& problem)
{
    if (!problem.isEmpty())
        err() << "error: " << problem << '\n';
    err().flush();
    return 1;
}

bool readable(const QString& path)
{
    const QFileInfo info(path);
    QString problem;
    if (!info.exists())
        problem = QStringLiteral("no such file");
    else if (info.isDir())
        problem = QStringLiteral("it is a directory");
    else if (!info.isFile())
        problem = QStringLiteral("it is not a regular file"); // a pipe or device may never end
    else if (!info.isReadable())
        problem = QStringLiteral("permission denied");
    else
        return true;
    failure(QStringLiteral("Cannot open file %1: %2").arg(path, problem));
    return false;
}
