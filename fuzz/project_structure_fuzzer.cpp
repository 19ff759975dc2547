// Feeds arbitrary bytes to the 3D project import as the "Project.xml" of an archive that also
// holds two geometry files, and walks whatever structure it reads into a model. Nothing may
// crash or hang; a failed import says why and leaves the model as it was; a successful one
// made its group; either way no temporary folder is left behind.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/exchange3d/Tarvex3DImporter.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include "support/ZipArchive.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

const QByteArray box = "tarvex-cad 1\nbox\n  at 0 0 0\n  low 0.001 0.002 0.003\n  high 0.011 0.004 0.023\nend\n";
const QByteArray prism = "tarvex-cad 1\nprism\n  at 0.02 0 0\n  base 0 height 0.001\n  point 0 0\n  point 0.004 0\n"
                         "  point 0 0.003\nend\n";

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    // The archive and the import's temporary folders live in a folder of this process, so that
    // a folder left behind is seen.
    static const QTemporaryDir folder;
    check(folder.isValid(), "no temporary folder");
    static const bool redirected = qputenv("TMPDIR", folder.filePath(QStringLiteral("tmp")).toUtf8()) &&
                                   QDir().mkpath(folder.filePath(QStringLiteral("tmp")));
    check(redirected, "the temporary folder cannot be redirected");
    const QString archive = folder.filePath(QStringLiteral("project.zip"));
    QFile::remove(archive);
    check(TestSupport::writeZip(archive, {{"Project.xml", input.bytes()}, {"Block_1_a.geom", box}, {"Block_2.geom", prism}}),
          "the archive cannot be written");

    const std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    const QByteArray before = EntityModel::ModelFile::toJson(*model);
    Tarvex3D::Tarvex3DImporter importer(nullptr);
    const bool imported = importer.importModel(EntityModel::EntityFetcher::getChassis(model->getRoot()),
                                               archive.toStdString());
    check(imported == importer.importError().empty(), "a failure without a reason, or a reason after success");
    if (imported)
        check(importer.getImportedGroup() != nullptr && importer.getImportedGroup()->getName() == "project",
              "no group named after the archive");
    else
        check(EntityModel::ModelFile::toJson(*model) == before, "a failed import changed the model");
    check(QDir(folder.filePath(QStringLiteral("tmp"))).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                               QDir::NoDotAndDotDot),
          "a temporary folder was left behind");
    return 0;
}
