#pragma once

#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

// Small input files the command-line tests write, and the checks they share.
namespace CliFiles {

/// Runs the tool with `arguments` and expects it to succeed, saying why when it does not.
inline void ok(const QStringList& arguments)
{
    const TestSupport::CliRun run = TestSupport::tarvex(arguments);
    ASSERT_EQ(run.exitCode, 0) << arguments.join(' ').toStdString() << "\n" << run.err.toStdString();
}

/// An interchange file with one 1 x 1 x 1 mm block called `name` at `x` mm.
inline QByteArray blockFile(const QString& name, int x = 0)
{
    return QStringLiteral("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><UNITSet><Length Unit=\"mm\"/></UNITSet>"
                          "<GEOMSet><Geom ObjectName=\"%1\" Name=\"%1\" Type=\"Block\" dz=\"1\">"
                          "<node x=\"%2\" y=\"0\" z=\"0\"/><node x=\"%3\" y=\"0\" z=\"0\"/>"
                          "<node x=\"%3\" y=\"1\" z=\"0\"/><node x=\"%2\" y=\"1\" z=\"0\"/></Geom>"
                          "</GEOMSet></TARVEX_INTERCHANGE_MODEL>")
        .arg(name, QString::number(x), QString::number(x + 1))
        .toUtf8();
}

/// An interchange file that builds nothing.
inline QByteArray emptyBoard() { return "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"/>"; }

/// A saved model whose project holds `attributes` (the JSON members of its attribute object).
inline QByteArray savedModel(const QByteArray& attributes)
{
    return R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"id": 1, "type": "Project", "attributes": {)" +
           attributes + "}}}";
}

/// A saved model with a chassis whose list `list` holds the entity `entity` (JSON of one entity).
inline QByteArray chassisHolding(const QByteArray& list, const QByteArray& entity)
{
    return savedModel(R"("Chassis": {"entities": [{"id": 2, "type": "Chassis", "attributes": {")" + list +
                      R"(": {"entities": [)" + entity +
                      R"(]}}}]}, "Solution_Control": {"entities": [{"id": 4, "type": "Solution_Control", "attributes": {}}]})");
}

/// The model saved by an import of the built-in sample board into `dir`/`name`.
inline QString importedSample(const TestSupport::TempDir& dir, const QString& name = QStringLiteral("model.json"))
{
    const QString model = dir.path(name);
    return TestSupport::tarvex({"import", "--model", model}).exitCode == 0 ? model : QString();
}

/// Passes when `run` ended with status 1 and an error naming `message`, without "Finished";
/// a failure shows the status and what the run wrote to stderr.
inline ::testing::AssertionResult failedWith(const TestSupport::CliRun& run, const QString& message)
{
    if (run.exitCode == 1 && run.err.contains("error: ") && run.err.contains(message) && !run.err.contains("Finished"))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "status " << run.exitCode << ", stderr:\n" << run.err.toStdString();
}

} // namespace CliFiles
