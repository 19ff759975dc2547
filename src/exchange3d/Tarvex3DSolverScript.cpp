#include <tarvex/exchange3d/Tarvex3DSolverScript.h>

#include <algorithm>

namespace Tarvex3D {

namespace {

bool isControl(QChar c) { return c.category() == QChar::Other_Control; }

} // namespace

QString Tarvex3DSolverScript::text(const QString& archiveName, const QStringList& geometryFiles)
{
    QString script = QStringLiteral("set tarvexFile ") + word(archiveName) + QLatin1Char('\n');
    script += QStringLiteral("quorlin::configure version -version {6}\n");
    script += QStringLiteral("quorlin::open file -file $tarvexFile\n");
    for (const QString& file : geometryFiles)
        script += QStringLiteral("quorlin::import file -file ") + word(file) + QLatin1Char('\n');
    script += QStringLiteral("quorlin::save file -file $tarvexFile\n");
    script += QStringLiteral("quorlin::close exe\n");
    return script;
}

QString Tarvex3DSolverScript::word(const QString& text)
{
    // Names of ours never hold these, but the folder a user picked may: braces would then
    // end the word early, and what follows a newline would run as a command of its own.
    static const QString unsafeInBraces = QStringLiteral("{}\\");
    const bool braceable = std::none_of(text.begin(), text.end(), [](QChar c) {
        return unsafeInBraces.contains(c) || isControl(c);
    });
    if (braceable)
        return QLatin1Char('{') + text + QLatin1Char('}');
    static const QString special = QStringLiteral("{}\\[]$\";# \t");
    QString escaped;
    for (const QChar c : text) {
        if (special.contains(c))
            escaped += QLatin1Char('\\') + QString(c);
        else if (isControl(c))
            escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

} // namespace Tarvex3D
