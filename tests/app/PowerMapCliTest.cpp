#include "host/EntityEditor.h"
#include "host/EntityFetcher.h"
#include "host/ModelFile.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace EntityModel;

namespace {

using TestSupport::CliRun;
using TestSupport::tarvex;

// A saved model with a heat source called "Die".
QString savedModel(const TestSupport::TempDir& dir)
{
    std::unique_ptr<Model> model = Model::createDefault();
    EntityEditor::createEntity(Heat_Source_t, EntityFetcher::getChassis(model->getRoot()), AttributePath(Objects_t),
                               nullptr, 0, "Die");
    return dir.write("model.json", ModelFile::toJson(*model));
}

} // namespace

TEST(PowerMapCli, AppliesAMapPrintsItAndSavesTheModel)
{
    TestSupport::TempDir dir;
    const QString model = savedModel(dir);
    const CliRun run = tarvex({"power-map", TARVEX_SAMPLES "/area-power-map.txt", "--model", model, "--entity", "Die"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "Applied " TARVEX_SAMPLES "/area-power-map.txt to Heat_Source \"Die\":\n"
                       "  area-power-map (1): area map of 6 blocks, total power 4.8 W, leakage at 85 C with area-power-map (2)\n"
                       "  area-power-map (2): area map of 6 blocks, total power 5.05 W, leakage at 85 C with area-power-map (1)\n"
                       "Saved the model to " + model.toStdString() + "\n");
    QString problem;
    const std::unique_ptr<Model> saved = ModelFile::load(model, &problem);
    ASSERT_TRUE(saved) << problem.toStdString();
    EXPECT_TRUE(dir.read("model.json").contains("\"Power_Blocks\""));

    const CliRun grid = tarvex({"power-map", TARVEX_SAMPLES "/grid-power-map.txt", "--model", model, "--entity", "Die"});
    ASSERT_EQ(grid.exitCode, 0) << grid.err.toStdString();
    EXPECT_TRUE(grid.out.contains("  grid-power-map: grid of 3 rows x 4 columns, total power 0.24 W\n")) << grid.out.toStdString();
    EXPECT_FALSE(dir.read("model.json").contains("area-power-map"));
}

TEST(PowerMapCli, ErrorsLeaveTheModelFileAloneAndUsageErrorsSayWhatIsMissing)
{
    TestSupport::TempDir dir;
    const QString model = savedModel(dir);
    const QByteArray saved = dir.read("model.json");
    const QString bad = dir.write("bad.txt", "DIE_AREA 0 0 1 1\nAREA_POWER_MAP\n1\n0 0 1 1\n");
    struct Case
    {
        QStringList arguments;
        int exitCode;
        QString text;
    };
    const Case cases[] = {
        {{"power-map", bad, "--model", model, "--entity", "Die"}, 1, "bad.txt : Missing are power data in power map file."},
        {{"power-map", dir.path("none.txt"), "--model", model, "--entity", "Die"}, 1, "Cannot open file " + dir.path("none.txt") + ": no such file"},
        {{"power-map", TARVEX_SAMPLES "/grid-power-map.txt", "--model", model, "--entity", "Lid"}, 1, "no entity named \"Lid\""},
        {{"power-map", TARVEX_SAMPLES "/grid-power-map.txt", "--model", model}, 2, "power-map needs FILE, --model MODEL.json and --entity NAME"},
        {{"power-map", "--colour"}, 2, "Unknown option 'colour'"},
        {{"power-map", "--help"}, 0, "Usage: tarvex power-map"},
        {{"--help"}, 0, "power-map FILE --model MODEL.json --entity NAME"},
    };
    for (const Case& c : cases) {
        const CliRun run = tarvex(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE((run.out + run.err).contains(c.text)) << c.arguments.join(' ').toStdString() << ":\n"
                                                           << (run.out + run.err).toStdString();
        EXPECT_EQ(dir.read("model.json"), saved);
    }
    EXPECT_TRUE(tarvex({"power-map", bad, "--model", model, "--entity", "Die"}).err.contains("The model file " + model + " was left unchanged."));
}
