#include "CommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <malloc.h>
#include <memory>

namespace {

// Text in pictures needs the fonts of a GUI application; the other commands run without one.
bool drawsPictures(int argc, char* argv[])
{
    return argc > 1 && (std::strcmp(argv[1], "render") == 0 || std::strcmp(argv[1], "report") == 0);
}

QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns that it has no runtime folder, which drawing never needs.
void quietRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        previousHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    // An import allocates and frees millions of small objects; without fast bins glibc never
    // stops to merge them back, which was a fifth of the time of a large import.
    mallopt(M_MXFAST, 0);
    const bool pictures = drawsPictures(argc, argv);
    // Without a platform chosen, pictures are drawn off screen, so that no display is needed.
    if (pictures && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        previousHandler = qInstallMessageHandler(quietRuntimeFolderWarning);
    }
    const std::unique_ptr<QCoreApplication> application =
        pictures ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvex"));
    return runCommandLine(QCoreApplication::arguments());
}
