// Tarvex3D.exe, the stand-in for the 3D solver's executable that the export through the
// solver runs as "Tarvex3D.exe -b -noui -tcl SCRIPT". It runs the script in a safe Tcl
// interpreter (no exec, open, file, socket, source or exit) that knows the five commands the
// export's script uses, and works on the project as the solver does: it opens the archive,
// imports geometry files as solids with ids of its own, saves the archive and ends.
//
// Test hooks, by environment:
//   TARVEX3D_STANDIN_LOG=FILE   appends "pid N", the script between "--- script" and
//                               "--- commands", then each command run, as a Tcl list;
//   TARVEX3D_STANDIN_MODE=hang  never ends;  =crash  aborts;  =exit3  ends with status 3
//                               before running anything;  =nosave  saves nothing.
#include "StandInProject.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <tcl.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace {

/// What the commands share.
struct Session
{
    Session(QFile& log, bool saves) : log(log), saves(saves) {}

    QFile& log;
    const bool saves;
    StandInProject project;
    bool closed = false;
};

void writeLog(QFile& log, const QByteArray& text)
{
    if (log.isOpen()) {
        log.write(text);
        log.flush();
    }
}

int error(Tcl_Interp* interp, const QString& text)
{
    Tcl_SetObjResult(interp, Tcl_NewStringObj(text.toUtf8().constData(), -1));
    return TCL_ERROR;
}

/// The value of "COMMAND SUBCOMMAND OPTION VALUE" in `value`, after logging the command;
/// false with the Tcl error set when the words are not those.
bool readCommand(Session& session, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[], const char* subcommand,
                 const char* option, QString* value)
{
    Tcl_Obj* words = Tcl_NewListObj(objc, objv);
    Tcl_IncrRefCount(words);
    writeLog(session.log, QByteArray(Tcl_GetString(words)) + '\n');
    Tcl_DecrRefCount(words);
    const bool wanted = option ? objc == 4 : objc == 2;
    if (!wanted || qstrcmp(Tcl_GetString(objv[1]), subcommand) != 0 ||
        (option && qstrcmp(Tcl_GetString(objv[2]), option) != 0)) {
        error(interp, QStringLiteral("wrong # args: should be \"%1 %2%3\"")
                          .arg(QString::fromUtf8(Tcl_GetString(objv[0])), QString::fromLatin1(subcommand),
                               option ? QStringLiteral(" %1 VALUE").arg(QString::fromLatin1(option)) : QString()));
        return false;
    }
    if (option)
        *value = QString::fromUtf8(Tcl_GetString(objv[3]));
    return true;
}

int configureCommand(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    QString version;
    if (!readCommand(*static_cast<Session*>(data), interp, objc, objv, "version", "-version", &version))
        return TCL_ERROR;
    return version == QLatin1String("6") ? TCL_OK : error(interp, QStringLiteral("unknown version %1").arg(version));
}

/// One of the project's file commands: `action` runs on the value of "-file".
template <typename Action>
int fileCommand(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[], Action action)
{
    Session& session = *static_cast<Session*>(data);
    QString path, problem;
    if (!readCommand(session, interp, objc, objv, "file", "-file", &path))
        return TCL_ERROR;
    return action(session, path, &problem) ? TCL_OK : error(interp, problem);
}

int openCommand(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return fileCommand(data, interp, objc, objv,
                       [](Session& session, const QString& path, QString* problem) { return session.project.open(path, problem); });
}

int importCommand(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return fileCommand(data, interp, objc, objv,
                       [](Session& session, const QString& path, QString* problem) { return session.project.import(path, problem); });
}

int saveCommand(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    return fileCommand(data, interp, objc, objv, [](Session& session, const QString& path, QString* problem) {
        return !session.saves || session.project.save(path, problem);
    });
}

int closeCommand(ClientData data, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    Session& session = *static_cast<Session*>(data);
    if (!readCommand(session, interp, objc, objv, "exe", nullptr, nullptr))
        return TCL_ERROR;
    session.closed = true;
    // Nothing after the close runs, as the solver ends there.
    Tcl_SetObjResult(interp, Tcl_NewStringObj("closed", -1));
    return TCL_BREAK;
}

/// Acts on the mode of the test hooks; returns only when the run is to go on.
void actOnMode(const QByteArray& mode)
{
    if (mode == "hang") {
        for (;;)
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    if (mode == "crash") {
        // No core file: the crash is the test's, not a fault to look into.
        const rlimit none{0, 0};
        setrlimit(RLIMIT_CORE, &none);
        std::abort();
    }
    if (mode == "exit3")
        std::exit(3);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    err.setCodec("UTF-8");
    const QStringList arguments = application.arguments().mid(1);
    const int tcl = arguments.indexOf(QStringLiteral("-tcl"));
    if (tcl < 0 || tcl + 1 >= arguments.size()) {
        err << "usage: Tarvex3D.exe -b -noui -tcl SCRIPT\n";
        return 2;
    }
    QFile scriptFile(arguments[tcl + 1]);
    if (!scriptFile.open(QIODevice::ReadOnly)) {
        err << "cannot read the script " << scriptFile.fileName() << ": " << scriptFile.errorString() << '\n';
        return 1;
    }
    const QByteArray script = scriptFile.readAll();

    QFile log(qEnvironmentVariable("TARVEX3D_STANDIN_LOG"));
    if (!log.fileName().isEmpty() && !log.open(QIODevice::Append)) {
        err << "cannot write the log " << log.fileName() << '\n';
        return 1;
    }
    writeLog(log, "pid " + QByteArray::number(qint64(getpid())) + "\n--- script\n" + script + "--- commands\n");
    const QByteArray mode = qgetenv("TARVEX3D_STANDIN_MODE");
    actOnMode(mode);
    Session session(log, mode != "nosave");

    Tcl_FindExecutable(argv[0]);
    Tcl_Interp* interp = Tcl_CreateInterp();
    if (Tcl_MakeSafe(interp) != TCL_OK) {
        err << "cannot make the interpreter safe\n";
        return 1;
    }
    Tcl_CreateObjCommand(interp, "quorlin::configure", configureCommand, &session, nullptr);
    Tcl_CreateObjCommand(interp, "quorlin::open", openCommand, &session, nullptr);
    Tcl_CreateObjCommand(interp, "quorlin::import", importCommand, &session, nullptr);
    Tcl_CreateObjCommand(interp, "quorlin::save", saveCommand, &session, nullptr);
    Tcl_CreateObjCommand(interp, "quorlin::close", closeCommand, &session, nullptr);
    const int status = Tcl_EvalEx(interp, script.constData(), script.size(), TCL_EVAL_GLOBAL);
    if (status != TCL_OK && !session.closed) {
        err << "Tcl error: " << QString::fromUtf8(Tcl_GetStringResult(interp)) << '\n';
        Tcl_DeleteInterp(interp);
        return 1;
    }
    Tcl_DeleteInterp(interp);
    return 0;
}
