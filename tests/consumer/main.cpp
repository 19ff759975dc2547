// A host's use of the tarvex library: imports an interchange model below the chassis of a
// new host model and says what the import built, by type.
#include <tarvex/host/Entity.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ToolProgress.h>
#include <tarvex/import/TarvexImporter.h>
#include <tarvex/import/TarvexVersion.h>

#include <QCoreApplication>
#include <QTextStream>

#include <map>
#include <memory>
#include <vector>

namespace {

// Passes the import's warnings and errors on to standard error and counts the errors.
class StderrProgress : public Tools::ToolProgress
{
public:
    void reset() override {}
    void setTotalSteps(quint64) override {}
    void setStep(quint64) override {}
    void post(Kind kind, const QString& text) override
    {
        if (kind == Kind::Warning)
            QTextStream(stderr) << "warning: " << text << '\n';
        if (kind == Kind::FatalError) {
            QTextStream(stderr) << "error: " << text << '\n';
            ++errors;
        }
    }

    int errors = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: consumer INTERCHANGE_FILE\n";
        return 2;
    }
    const std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    StderrProgress progress;
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityModel::EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    const std::vector<EntityModel::Entity*> topLevel = importer.importModel(QString::fromLocal8Bit(argv[1]), false);

    std::vector<EntityModel::Entity*> built;
    for (EntityModel::Entity* entity : topLevel) {
        built.push_back(entity);
        entity->getOwnedChildEntities(built, true, true);
    }
    std::map<QString, int> byType;
    for (const EntityModel::Entity* entity : built)
        ++byType[entity->getType().getLabel()];

    QTextStream out(stdout);
    out << "tarvex " << Tarvex::version() << " built " << built.size() << " entities:";
    for (const auto& [type, count] : byType)
        out << ' ' << count << ' ' << type;
    out << '\n';
    return progress.errors == 0 && !topLevel.empty() ? 0 : 1;
}
