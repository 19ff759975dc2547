// Saved models: what they keep and refuse, and saving that cannot lose a file - writes that
// fail part way, ids at the reader's limit, and the file's mode, owner and links kept.
#include <tarvex/host/AtomicFile.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/ModelFile.h>
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

using namespace EntityModel;

namespace {

// A device in front of a file that passes on the first `limit` bytes and then fails as a full
// disk does: -1 with errno ENOSPC.
class FullAfter : public QIODevice
{
public:
    FullAfter(QIODevice& file, qint64 limit) : m_file(file), m_left(limit) { open(WriteOnly | Unbuffered); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        errno = ENOSPC;
        const qint64 written = m_left > 0 ? m_file.write(data, std::min(size, m_left)) : -1;
        m_left -= std::max<qint64>(written, 0);
        return written;
    }

private:
    QIODevice& m_file;
    qint64 m_left;
};

// Writes `bytes` to `path` through a disk that is full after `limit` bytes; the message, or
// "" when the write went through.
QString writeUntilFull(const QString& path, const QByteArray& bytes, qint64 limit)
{
    AtomicFile file(path, QStringLiteral("the model"));
    file.setDeviceFactory([limit](QFileDevice& f) { return std::make_unique<FullAfter>(f, limit); });
    return file.write(bytes) ? QString() : file.errorString();
}

bool save(const QString& path, const QByteArray& bytes, QString* error)
{
    return AtomicFile::write(path, bytes, QStringLiteral("the model"), error);
}

// Several megabytes, so that the write is made of many pieces.
QByteArray bigContent() { return QByteArray(5 * 1024 * 1024 + 17, 'n'); }

QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System); }

struct stat statOf(const QString& path)
{
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

const QString fullDisk = QStringLiteral("No space left on device while saving ");

// Quotes, a backslash, control characters and letters beyond ASCII all need care in JSON.
const QString partName = QStringLiteral("U1 \"quoted\" \\ tab\there\nµ\x01");

std::unique_ptr<Model> richModel()
{
    auto model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* board = EntityEditor::createEntity(PCB_t, chassis, Objects_t, nullptr, 0, "Board");
    Entity* part = EntityEditor::createEntity(Component_t, board, Components_t, nullptr, 0, partName);
    EntityEditor::setSIValue(board, Thickness_t, 0.0016);
    EntityEditor::setConvertValueToUnits(board, Thickness_t, Length_t, mm_t);
    EntityEditor::setSIValue(part, X_Location_t, 1.0 / 3.0);
    EntityEditor::setValue(part, AttributePath("Pins"), 64);
    EntityEditor::setValue(part, AttributePath("Hidden"), false);
    EntityEditor::setValue(part, Board_Side_t, Top_t);
    EntityEditor::setValue(part, AttributePath("Display/Colour"), "red");
    EntityEditor::setSIDoubleListValue(board, AttributePath("Layer_Thicknesses"), {3.5e-5, 1.5e-3, 3.5e-5});
    EntityEditor::setSIPointsCurve(board, AttributePath("Conductivity_Curve"), {{300, 0.3}, {400, 0.35}});
    EntityEditor::setLinks(part, AttributePath("Material"), {board});
    return model;
}

} // namespace

TEST(AtomicFileDisk, AWriteThatFailsPartWayOrCannotBeMadeLeavesTheOldBytesOrNoFileAndSaysWhy)
{
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "the old model\n");
    for (qint64 limit : {qint64(0), qint64(3 * 1024 * 1024)}) {
        EXPECT_EQ(writeUntilFull(path, bigContent(), limit), fullDisk + path + "; the model was left as it was");
        EXPECT_EQ(dir.read("M.json"), "the old model\n") << limit;
    }
    EXPECT_EQ(writeUntilFull(dir.path("new.xml"), bigContent(), 100), fullDisk + dir.path("new.xml") + "; no file was made");

    QString error;
    ASSERT_TRUE(save(path, bigContent(), &error)) << error.toStdString();
    EXPECT_EQ(dir.read("M.json"), bigContent());
    EXPECT_EQ(filesIn(dir.path(".")), QStringList{"M.json"}) << "no temporary file is left, and no new file made";

    // Missing folders, unwritable folders and folders in the way are named.
    EXPECT_FALSE(save(dir.path("no/such/M.json"), "x", &error));
    EXPECT_EQ(error, "The folder " + dir.path("no/such") + " does not exist while saving " + dir.path("no/such/M.json") +
                         "; no file was made");

    // A folder where the library should be: nothing replaces it.
    ASSERT_TRUE(QDir().mkpath(dir.path("M.library.json")));
    EXPECT_FALSE(LibraryManager().save(dir.path("M.library.json"), &error));
    EXPECT_EQ(error, "Cannot write model file " + dir.path("M.library.json") + ": it is not a regular file");

    const QString folder = dir.path("locked");
    const QString locked = dir.write("locked/M.json", "old");
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const bool saved = save(locked, "new", &error);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() == 0)
        return; // root may write in any folder
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, "Permission denied in the folder " + folder + " while saving " + locked + "; the model was left as it was");
    EXPECT_EQ(dir.read("locked/M.json"), "old");
}

// A saved model whose chassis has the id `id`, the largest of the model.
static QByteArray modelWithChassisId(quint64 id)
{
    return QStringLiteral(R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"id": 1, "type": "Project",
 "attributes": {"Chassis": {"entities": [{"id": %1, "type": "Chassis", "attributes": {}}]}}}})")
        .arg(id)
        .toUtf8();
}

TEST(ModelFileIds, AModelAtTheReadersLimitSavesAndOneIdMoreIsRefusedWithTheOldFileKept)
{
    constexpr quint64 limit = 9000000000000000ull;
    TestSupport::TempDir dir;
    QString error;
    const QString path = dir.write("M.json", modelWithChassisId(limit));
    auto model = ModelFile::load(path, &error);
    ASSERT_TRUE(model) << error.toStdString();
    EXPECT_FALSE(ModelFile::fromJson(modelWithChassisId(limit + 1), &error)) << "the reader's limit";
    EXPECT_TRUE(error.endsWith("entity id 9000000000000001 is above 9000000000000000, the largest id a model file can keep"))
        << error.toStdString();
    ASSERT_TRUE(ModelFile::save(*model, path, &error)) << error.toStdString();
    const QByteArray atLimit = dir.read("M.json");

    // The next entity takes the id above the limit: the save is refused and the file kept.
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* board = EntityEditor::createEntity(PCB_t, chassis, Objects_t, nullptr, 0, "Board");
    ASSERT_EQ(board->getId(), limit + 1);
    EXPECT_FALSE(ModelFile::save(*model, path, &error));
    EXPECT_EQ(error, "Cannot write model file " + path +
                         ": it would hold entity id 9000000000000001, above 9000000000000000, the largest id a model "
                         "file can keep; the model was left as it was");
    EXPECT_EQ(dir.read("M.json"), atLimit);

    // A link to such an id is refused too: it would not read back exactly.
    model->deleteEntity(board, QStringLiteral("remove"));
    chassis->put(std::make_unique<LinkAttribute>(TypeRef("Far"), QVector<quint64>{limit + 7}));
    EXPECT_FALSE(ModelFile::save(*model, path, &error));
    EXPECT_TRUE(error.contains("entity id 9000000000000007")) << error.toStdString();
    EXPECT_EQ(dir.read("M.json"), atLimit);
    EXPECT_EQ(filesIn(dir.path(".")), QStringList{"M.json"});
}

TEST(AtomicFileOwners, AUsersFileSavedByRootStaysTheUsersWithItsMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "old");
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 12345, 23456), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0604), 0);
    const auto model = Model::createDefault();
    QString error;
    ASSERT_TRUE(ModelFile::save(*model, path, &error)) << error.toStdString();
    const struct stat info = statOf(path);
    EXPECT_EQ(info.st_uid, 12345u);
    EXPECT_EQ(info.st_gid, 23456u);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_EQ(dir.read("M.json"), ModelFile::toJson(*model));
}

TEST(AtomicFileLinks, SymbolicLinksAreWrittenThroughAndHardLinksShareTheContent)
{
    TestSupport::TempDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path("real")));
    const QString target = dir.write("real/M.json", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QString link = dir.path("link.json");
    ASSERT_EQ(::symlink("real/M.json", QFile::encodeName(link).constData()), 0); // relative, as people make them
    const QString chain = dir.path("chain.json");
    ASSERT_TRUE(QFile::link(link, chain));

    QString error;
    ASSERT_TRUE(save(chain, "through two links", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink() && QFileInfo(chain).isSymLink());
    EXPECT_EQ(dir.read("real/M.json"), "through two links");
    EXPECT_EQ(statOf(target).st_mode & 07777, 0640u);
    EXPECT_EQ(filesIn(dir.path("real")), QStringList{"M.json"});

    // A link to a file not yet made makes the file.
    const QString dangling = dir.path("dangling.json");
    ASSERT_EQ(::symlink("real/new.json", QFile::encodeName(dangling).constData()), 0);
    ASSERT_TRUE(save(dangling, "made", &error)) << error.toStdString();
    EXPECT_EQ(dir.read("real/new.json"), "made");

    // Every hard link sees the new content; a failure part way through the in-place write puts
    // the old bytes back under both names.
    const QString path = dir.write("real/old.json", "the old content, longer than the new");
    const QString other = dir.path("real/other-name.json");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    const ino_t inode = statOf(path).st_ino;
    const QStringList names{"M.json", "new.json", "old.json", "other-name.json"};
    ASSERT_TRUE(save(other, "new", &error)) << error.toStdString();
    EXPECT_EQ(dir.read("real/old.json"), "new");
    EXPECT_EQ(filesIn(dir.path("real")), names) << "the copy of the old content goes";
    EXPECT_EQ(writeUntilFull(path, bigContent(), 4096), fullDisk + path + "; the model was left as it was");
    EXPECT_EQ(dir.read("real/old.json"), "new");
    EXPECT_EQ(dir.read("real/other-name.json"), "new");
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(filesIn(dir.path("real")), names);
}

TEST(ModelFile, SavedModelLoadsBackToTheSameBytesAndOneTooLargeForABufferIsRefused)
{
    const auto model = richModel();
    const QByteArray first = ModelFile::toJson(*model);
    QString error;
    const auto loaded = ModelFile::fromJson(first, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    EXPECT_EQ(ModelFile::toJson(*loaded), first);

    // Byte-equal output could hide a value read back as another kind and written alike.
    std::vector<Entity*> all;
    EntityFetcher::getChassis(loaded->getRoot())->getOwnedChildEntities(all, true, true);
    ASSERT_EQ(all.size(), 2u);
    Entity* board = all[0];
    Entity* part = all[1];
    EXPECT_EQ(part->getName(), partName);
    EXPECT_EQ(getStandardDoubleValue(part, X_Location_t, 0), 1.0 / 3.0); // exact, not rounded
    EXPECT_NEAR(getDoubleValue(board, Thickness_t, Length_t, mm_t, 0), 1.6, 1e-12);
    EXPECT_EQ(getIntValue(part, AttributePath("Pins"), 0), 64);
    EXPECT_FALSE(getBoolValue(part, AttributePath("Hidden"), true));
    EXPECT_TRUE(hasAttributeSetTo(part, Board_Side_t, Top_t));
    EXPECT_EQ(getLinkedEntity(part, AttributePath("Material")), board);

    // New entities of the loaded model never take an id already saved.
    Entity* fresh = EntityEditor::createEntity(Component_t, board, Components_t);
    EXPECT_GT(fresh->getId(), part->getId());

    // A model whose text passes the buffer limit is refused and the old file kept.
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "old");
    const qint64 size = first.size();
    ASSERT_TRUE(ModelFile::save(*model, path, &error, "the model", size)) << error.toStdString();
    EXPECT_EQ(dir.read("M.json"), first);
    ASSERT_TRUE(dir.write("M.json", "old") == path);
    EXPECT_FALSE(ModelFile::save(*model, path, &error, "the model", size - 1));
    EXPECT_EQ(error, QString("Cannot write model file %1: the model is too large to save: its text would pass %2 "
                             "bytes, the most one buffer in memory holds; the model was left as it was")
                         .arg(path)
                         .arg(size - 1));
    EXPECT_EQ(dir.read("M.json"), "old");
}

TEST(ModelFile, EachEntityStartsALineIndentedByItsDepthAndNumbersAreShortest)
{
    const auto model = richModel();
    Entity* board = EntityFetcher::getChassis(model->getRoot())->getOwnedChildEntitiesOfType(PCB_t).at(0);
    EntityEditor::setSIValue(board, X_Location_t, 1e-19);
    EntityEditor::setSIValue(board, Y_Location_t, -2.5e5);
    EntityEditor::setSIValue(board, Z_Location_t, 0.1 + 0.2);
    const QByteArray text = ModelFile::toJson(*model);
    const QList<QByteArray> lines = text.split('\n');
    // The head, then project, chassis, solution control, board and part, and the final newline.
    ASSERT_EQ(lines.size(), 7) << text.toStdString();
    EXPECT_EQ(lines[0], R"({"format":"tarvex-host-model","formatVersion":1,"root":)");
    EXPECT_TRUE(lines[1].startsWith(R"({"attributes":{"Chassis":{"entities":[)")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(R"( {"attributes":{"Objects":{"entities":[)")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith(R"(  {"attributes":{"Components":{"entities":[)")) << lines[3].toStdString();
    EXPECT_TRUE(lines[4].startsWith(R"(   {"attributes":{"Board_Side":{"choice":"Top"})")) << lines[4].toStdString();
    EXPECT_TRUE(lines[5].startsWith(R"( {"attributes":{},"id":)")) << lines[5].toStdString();
    EXPECT_TRUE(lines[6].isEmpty());
    for (const char* written : {R"("X_Location":1e-19)", R"("Y_Location":-250000)", R"("Z_Location":0.30000000000000004)",
                                R"("Thickness":{"si":0.0016,"unit":"mm"})", R"("X_Location":0.3333333333333333)",
                                R"("Pins":{"int":"64"})", R"("Layer_Thicknesses":{"list":[3.5e-05,0.0015,3.5e-05]})",
                                R"("Conductivity_Curve":{"curve":[[300,0.3],[400,0.35]]})"})
        EXPECT_TRUE(text.contains(written)) << written;
}

TEST(ModelFile, BrokenFilesAreRefusedWithAReasonAndReadOnlyFilesKept)
{
    // A saved project whose root holds `attributes`.
    const auto project = [](const char* attributes) {
        return QByteArray(R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"id": 1, "type": "Project", )") +
               "\"attributes\": {" + attributes + "}}}";
    };
    const std::pair<QByteArray, const char*> cases[] = {
        {"{\"format\": \"tarvex-host-model\", ", "not JSON"},
        {"{\"format\": \"something else\", \"formatVersion\": 1}", "not a saved model"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 9, \"root\": {}}", "format version 9"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1.5, \"type\": \"Project\"}}",
         "positive whole \"id\""},
        {project(R"("A": {"entities": [{"id": 1, "type": "Chassis", "attributes": {}}]})"), "id 1 appears twice"},
        // Ids far beyond a model's size are kept apart from the dense ones, and found twice as well.
        {project(R"("A": {"entities": [{"id": 8000000000000000, "type": "Chassis", "attributes": {}},
                                       {"id": 8000000000000000, "type": "Chassis", "attributes": {}}]})"),
         "id 8000000000000000 appears twice"},
        {project(R"("A": {"mystery": 1})"), "root/Project/A: unreadable attribute"},
        // Link ids no entity may have: zero (or negative, or not a number), fractional, past the id limit.
        {project(R"("L": {"links": [0]})"), "root/Project/L: a link needs positive whole ids"},
        {project(R"("L": {"links": [2, 1.5]})"), "a link needs positive whole ids"},
        {project(R"("L": {"links": [90009000000000999999]})"), "a link needs positive whole ids"},
        {project(R"("L": {"links": ["2"]})"), "root/Project/L: a link needs positive whole ids"},
        {"[1, 2]", "not a saved model"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1.5, \"root\": {}}", "format version 0"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1}", "root: an entity needs a positive whole"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\"}}",
         "root/Project: \"attributes\" must be an object"},
        {project(R"("A": {"attributes": 5})"), "root/Project/A: \"attributes\" must be an object"},
        {project(R"("A": null)"), "root/Project/A: unreadable attribute"},
        {project(R"("A": [1])"), "root/Project/A: unreadable attribute"},
        {project(R"("A": {})"), "root/Project/A: unreadable attribute"},
        {project(R"("A": {"int": 5})"), "root/Project/A: unreadable attribute"},
        {project(R"("A": {"int": "five"})"), "root/Project/A: unreadable attribute"},
        {project(R"("A": {"si": "1", "unit": "mm"})"), "root/Project/A: unreadable attribute"},
        {project(R"("A": {"si": 1, "unit": "mm", "choice": "x"})"), "root/Project/A: unreadable attribute"},
        {project(R"("A": {"unit": "mm"})"), "root/Project/A: unreadable attribute"},
        {project(R"("A": {"entities": [5]})"), "root/Project/A: an entity needs a positive whole"},
        {project(R"("A": {"entities": [{"id": 2, "type": "Chassis", "attributes": {"B": {"list": 1}}}]})"),
         "root/Project/A/Chassis/B: unreadable attribute"},
        // Attributes before the id and type, as written: the place still names the type.
        {R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"attributes": {"A": {"entities": [
           {"attributes": {"B": {"mystery": 1}}, "id": 2, "type": "Chassis"}]}}, "id": 1, "type": "Project"}})",
         "root/Project/A/Chassis/B: unreadable attribute"},
        // An entity's own fault is told before one inside it, as reading from the top finds it.
        {R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"attributes": {"A": {"mystery": 1}},
           "id": 0, "type": "Project"}})",
         "root: an entity needs a positive whole"},
        // A key written twice: which value was meant is not known, so the file is refused.
        {project(R"("A": 1, "A": 2)"), "root/Project: \"A\" appears twice"},
        {project(R"("A": {"attributes": {"B": 1, "B": 1}})"), "root/Project/A: \"B\" appears twice"},
        {project(R"("A": {"attributes": {"C": 1, "B": 1, "C": 2}})"), "root/Project/A: \"C\" appears twice"},
        {project(R"("A": {"si": 1, "si": 2})"), "root/Project/A: \"si\" appears twice"},
        {R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"id": 1, "id": 1, "type": "Project",
           "attributes": {}}})",
         "root: \"id\" appears twice"},
        {R"({"format": "tarvex-host-model", "format": "tarvex-host-model", "formatVersion": 1,
           "root": {"id": 1, "type": "Project", "attributes": {}}})",
         "\"format\" appears twice"},
        {project(R"("A": 1.8e308)"), "not JSON (Number too big to be stored in double at offset 109)"},
        {project(R"("A": -1e400)"), "not JSON (Number too big to be stored in double at offset 109)"},
        // The parser's own words and where it stopped.
        {"{\"format\": 1 2}", "not JSON (Missing a comma or '}' after an object member at offset 13)"},
        {QByteArray("{}\0{}", 5), "not JSON (The document root must not be followed by other values at offset 2)"},
        // Bytes that are not UTF-8: a stray one, an overlong form, a surrogate, past U+10FFFF, cut short.
        {"{\"format\": \"ab\xff\"}", "not JSON (Invalid encoding in string at offset 14)"},
        {project("\"A\": \"\xc0\xaf\""), "Invalid encoding in string"},
        {project("\"A\": \"\xed\xa0\x80\""), "Invalid encoding in string"},
        {project("\"A\": \"\xf4\x90\x80\x80\""), "Invalid encoding in string"},
        {project("\"A\": \"\xe2\x82\""), "Invalid encoding in string"},
        {"{\"format\": 1 2, \"x\": \"\xff\"}", "not JSON (Missing a comma or '}' after an object member at offset 13)"},
    };
    for (const auto& [json, reason] : cases) {
        QString error;
        EXPECT_FALSE(ModelFile::fromJson(json, &error)) << json.constData();
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason))) << json.constData() << " gave: " << error.toStdString();
    }

    // Cut anywhere, a saved model is not JSON.
    const QByteArray whole = ModelFile::toJson(*richModel());
    for (int length = 0; length < whole.size() - 1; length += 37) {
        QString error;
        EXPECT_FALSE(ModelFile::fromJson(whole.left(length), &error)) << length;
        EXPECT_TRUE(error.startsWith("not JSON (")) << length << ": " << error.toStdString();
    }

    // Through files, problems are reported by name.
    TestSupport::TempDir dir;
    QString error;
    EXPECT_FALSE(ModelFile::load(dir.path("nothing.json"), &error));
    EXPECT_TRUE(error.contains("nothing.json"));
    const QString garbage = dir.write("garbage.json", QByteArray("\x00\xff\xfe binary", 10));
    EXPECT_FALSE(ModelFile::load(garbage, &error));
    EXPECT_TRUE(error.contains("garbage.json") && error.contains("not JSON"));
    // A file past the limit is refused unread (a sparse file: no disk is used).
    QFile huge(dir.path("huge.json"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(2) * 1024 * 1024 * 1024 + 1));
    huge.close();
    EXPECT_FALSE(ModelFile::load(huge.fileName(), &error));
    EXPECT_TRUE(error.endsWith("huge.json: it is 2147483649 bytes, more than the 2147483648 a model file may hold"))
        << error.toStdString();

    // A file marked read-only stays as it is, even for root, who could write it.
    const QString path = dir.write("model.json", "old");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_FALSE(ModelFile::save(*Model::createDefault(), path, &error));
    EXPECT_EQ(error, "Cannot write model file " + path + ": the file is read-only");
    EXPECT_EQ(dir.read("model.json"), "old");
}

// A saved project holding `depth` nested lists, the file then `depth + 4` deep.
static QByteArray nestedLists(int depth)
{
    return R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"id": 1, "type": "Project", "attributes": {)"
           R"("A": {"list": )" +
           QByteArray(depth, '[') + QByteArray(depth, ']') + "}}}}";
}

TEST(ModelFile, HandEditedFilesReadInAnyKeyOrderAndNestingStopsAt1024Levels)
{
    // Keys in another order than written, blanks anywhere: the same model, saved the same.
    const QByteArray edited = R"(
    { "root": { "type": "Project", "id": 1, "attributes": {
        "Chassis": { "entities": [ { "id": 4, "type": "Chassis", "attributes": {
            "T": { "unit": "mm", "si": 0.0016 }, "Z": -0, "Half": 5e-1, "Big": 12345678901234567890,
            "Tiny": -1e-400, "Zero": 0e-30,
            "Curve": { "curve": [ [1, 2], [3] ] }, "Near": { "links": [1, 4.0] } } } ] } } },
      "formatVersion": 1, "format": "tarvex-host-model" }
    )";
    const QByteArray written = "{\"format\":\"tarvex-host-model\",\"formatVersion\":1,\"root\":\n"
                               "{\"attributes\":{\"Chassis\":{\"entities\":[\n"
                               " {\"attributes\":{\"Big\":12345678901234567168,\"Curve\":{\"curve\":[[1,2],[3,0]]},"
                               "\"Half\":0.5,\"Near\":{\"links\":[1,4]},\"T\":{\"si\":0.0016,\"unit\":\"mm\"},\"Tiny\":-0,\"Z\":-0,"
                               "\"Zero\":0},"
                               "\"id\":4,\"type\":\"Chassis\"}]}},\"id\":1,\"type\":\"Project\"}}\n";
    QString error;
    const auto model = ModelFile::fromJson(edited, &error);
    ASSERT_TRUE(model) << error.toStdString();
    EXPECT_EQ(ModelFile::toJson(*model).toStdString(), written.toStdString());
    const auto again = ModelFile::fromJson(written, &error);
    ASSERT_TRUE(again) << error.toStdString();
    EXPECT_EQ(ModelFile::toJson(*again), written);
    EXPECT_TRUE(std::signbit(getStandardDoubleValue(EntityFetcher::getChassis(again->getRoot()), AttributePath("Z"), 1)));

    // A byte-order mark before the text, as editors on Windows write it, is passed over;
    // offsets still count it.
    const auto withMark = ModelFile::fromJson("\xEF\xBB\xBF" + written, &error);
    ASSERT_TRUE(withMark) << error.toStdString();
    EXPECT_EQ(ModelFile::toJson(*withMark), written);
    EXPECT_FALSE(ModelFile::fromJson("\xEF\xBB\xBF]", &error));
    EXPECT_TRUE(error.endsWith("at offset 3)")) << error.toStdString();

    // 1024 levels are read; one more is refused, however deep the file goes on.
    EXPECT_TRUE(ModelFile::fromJson(nestedLists(1020), &error)) << error.toStdString();
    for (int depth : {1021, 100000}) {
        EXPECT_FALSE(ModelFile::fromJson(nestedLists(depth), &error));
        EXPECT_TRUE(error.startsWith("not JSON (Nested deeper than 1024 levels at offset ")) << error.toStdString();
    }
}

TEST(ModelFile, AModelNestedDeeperThanTheReaderTakesIsNotSavedAndTheDeepestThatReadsBackIs)
{
    // A value below `composites` composites of the chassis: its text nests 2 levels per composite.
    const auto nestedModel = [](int composites) {
        auto model = Model::createDefault();
        QStringList steps;
        for (int i = 0; i < composites; ++i)
            steps << QStringLiteral("G");
        steps << QStringLiteral("X");
        EntityEditor::setSIValue(EntityFetcher::getChassis(model->getRoot()), AttributePath(steps.join('/')), 1.0);
        return model;
    };
    TestSupport::TempDir dir;
    const QString path = dir.path("M.json");
    QString error;
    ASSERT_TRUE(ModelFile::save(*nestedModel(508), path, &error)) << error.toStdString();
    const QByteArray deepest = dir.read("M.json");
    ASSERT_TRUE(ModelFile::load(path, &error)) << error.toStdString();

    EXPECT_FALSE(ModelFile::save(*nestedModel(509), path, &error));
    EXPECT_EQ(error, "Cannot write model file " + path +
                         ": its text would nest 1026 levels deep, more than the 1024 a model file is read back with "
                         "(entities nested too deeply in one another); the model was left as it was");
    EXPECT_EQ(dir.read("M.json"), deepest);
}

// A model whose saved text is several times the writer's buffer, so that a refusal found at
// its end comes after much of it was written.
static std::unique_ptr<Model> largeModel()
{
    auto model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* board = EntityEditor::createEntity(PCB_t, chassis, Objects_t, nullptr, 0, "Board");
    for (int i = 0; i < 6000; ++i) {
        Entity* part = EntityEditor::createEntity(Component_t, board, Components_t, nullptr, 0, QString("U%1").arg(i));
        EntityEditor::setSIDoubleListValue(part, AttributePath("Layer_Thicknesses"), {1e-5 * i, 2e-5, 3e-5, 4e-5});
    }
    return model;
}

TEST(ModelFile, ARefusalFoundPartWayThroughTheWriteLeavesTheOldFileUnderEveryName)
{
    auto model = largeModel();
    const QByteArray text = ModelFile::toJson(*model);
    ASSERT_GT(text.size(), 750 * 1024);
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "old");
    const QString other = dir.path("other.json");
    QString error;
    for (const bool linked : {false, true}) {
        if (linked) {
            ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
        }
        const QStringList files = linked ? QStringList{"M.json", "other.json"} : QStringList{"M.json"};
        EXPECT_FALSE(ModelFile::save(*model, path, &error, "the model", text.size() - 1));
        EXPECT_TRUE(error.contains("too large to save")) << error.toStdString();
        EXPECT_EQ(dir.read("M.json"), "old");
        EXPECT_EQ(filesIn(dir.path(".")), files);

        // The last entity takes an id above what the reader takes.
        Entity* board = EntityFetcher::getChassis(model->getRoot())->getOwnedChildEntitiesOfType(PCB_t).at(0);
        board->put(std::make_unique<LinkAttribute>(TypeRef("Far"), QVector<quint64>{9000000000000005ull}));
        EXPECT_FALSE(ModelFile::save(*model, path, &error));
        EXPECT_TRUE(error.endsWith("entity id 9000000000000005, above 9000000000000000, the largest id a model file "
                                   "can keep; the model was left as it was"))
            << error.toStdString();
        EXPECT_EQ(dir.read("M.json"), "old");
        EXPECT_EQ(filesIn(dir.path(".")), files);
        board->take("Far");

        ASSERT_TRUE(ModelFile::save(*model, path, &error)) << error.toStdString();
        EXPECT_EQ(dir.read("M.json"), text);
        if (linked) {
            EXPECT_EQ(dir.read("other.json"), text);
        }
        dir.write("M.json", "old");
    }
}

// Labels are written from a store of their quoted forms: labels past its size, labels that
// need escapes, and the same text from separate strings must each come out as themselves.
// Numbers that come back often are written from the text they were given before and read
// from the value their text was read as: each must still be written in its own shortest form
// and read back to its own bits after others took its place, and values or texts alike but
// for a sign or a last bit or digit must not be taken for each other.
TEST(ModelFile, EveryNumberIsWrittenShortestAndReadBackExactlyHoweverOftenItComesBack)
{
    std::vector<double> distinct = {0.0, -0.0, 8e-05, 0.1 + 0.2, 0.3, std::nextafter(0.3, 1.0), 5e-324,
                                    -5e-324, 1.7976931348623157e308, -2.2250738585072014e-308, 1e21, 123456789.0};
    // A thousand more, far more than are remembered at once.
    for (int i = 0; i < 1000; ++i)
        distinct.push_back(std::ldexp(double(i * 7919 % 1009) + 0.25, i % 60 - 30) * (i % 3 ? 1 : -1));
    QVector<double> values;
    for (int round = 0; round < 3; ++round) {
        for (size_t i = 0; i < distinct.size(); ++i) {
            values << distinct[i] << distinct[(i * 31 + size_t(round)) % distinct.size()];
        }
    }
    QByteArray expected = R"("Samples":{"list":[)";
    for (int i = 0; i < values.size(); ++i) {
        char text[32];
        const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), values[i]);
        expected += (i ? "," : "") + QByteArray(text, int(end.ptr - text));
    }
    expected += "]}";

    auto model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    chassis->put(std::make_unique<DoubleListAttribute>(TypeRef("Samples"), values));
    const QByteArray text = ModelFile::toJson(*model);
    EXPECT_TRUE(text.contains(expected));
    QString error;
    const auto loaded = ModelFile::fromJson(text, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    const auto* read = dynamic_cast<const DoubleListAttribute*>(
        EntityFetcher::getChassis(loaded->getRoot())->child(QStringLiteral("Samples")));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->getValues().size(), values.size());
    for (int i = 0; i < values.size(); ++i)
        ASSERT_EQ(std::signbit(read->getValues()[i]), std::signbit(values[i])) << i;
    EXPECT_EQ(read->getValues(), values);
}

TEST(ModelFile, EveryLabelIsWrittenAsItselfHoweverManyThereAreAndWhateverTheyHold)
{
    struct Case
    {
        QString label;
        QByteArray written; // its quoted form in the text
    };
    const Case cases[] = {
        {QStringLiteral("quote\"d"), R"("quote\"d")"},
        {QStringLiteral("back\\slash"), R"("back\\slash")"},
        {QStringLiteral("tab\tand\x01"), R"("tab\u0009and\u0001")"},
        {QStringLiteral("µ-metre"), "\"\xC2\xB5-metre\""},
        {QString::fromUtf8("face \xF0\x9F\x98\x80 and \"end\""), "\"face \xF0\x9F\x98\x80 and \\\"end\\\"\""},
        {QStringLiteral("\x1f"), R"("\u001f")"},
    };
    auto model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    // Three thousand labels, each made apart from the others: more than the store keeps.
    for (int i = 0; i < 3000; ++i)
        chassis->put(std::make_unique<ValueAttribute>(TypeRef(QStringLiteral("L%1").arg(i)), double(i)));
    Entity* board = EntityEditor::createEntity(PCB_t, chassis, Objects_t);
    for (const Case& c : cases) {
        const TypeRef label(c.label + QStringLiteral("!"));
        board->put(std::make_unique<ValueAttribute>(label, 2.5, TypeRef(c.label)));
        board->put(std::make_unique<ChoiceAttribute>(TypeRef(QStringLiteral("Choice ") + c.label), TypeRef(c.label)));
    }

    const QByteArray text = ModelFile::toJson(*model);
    for (const Case& c : cases) {
        const QByteArray key = c.written.chopped(1) + "!\":";
        EXPECT_TRUE(text.contains(key + R"({"si":2.5,"unit":)" + c.written + "}")) << key.toStdString();
        EXPECT_TRUE(text.contains(R"({"choice":)" + c.written + "}")) << c.written.toStdString();
    }
    QString error;
    const auto loaded = ModelFile::fromJson(text, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    Entity* chassisRead = EntityFetcher::getChassis(loaded->getRoot());
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(getStandardDoubleValue(chassisRead, TypeRef(QStringLiteral("L%1").arg(i)), -1), i) << i;
    Entity* boardRead = chassisRead->getOwnedChildEntitiesOfType(PCB_t).at(0);
    for (const Case& c : cases) {
        const TypeRef label(c.label + QStringLiteral("!"));
        const auto* value = dynamic_cast<const ValueAttribute*>(boardRead->child(label.getLabel()));
        ASSERT_TRUE(value) << c.written.toStdString();
        EXPECT_EQ(value->getUnit().getLabel(), c.label);
        EXPECT_TRUE(hasAttributeSetTo(boardRead, TypeRef(QStringLiteral("Choice ") + c.label), TypeRef(c.label)));
    }
    EXPECT_EQ(ModelFile::toJson(*loaded), text);
}

// Keys of one entity are found by guessing the key that followed the previous one last time:
// a wrong guess (keys in another order, labels differing only in case or length, a label
// that is another's start) must still give each attribute its own label and value, and a
// key repeated within one entity must still be refused.
TEST(ModelFile, KeysReadAsThemselvesWhateverOrderTheyCameInBefore)
{
    struct Case
    {
        const char* name;
        std::vector<QStringList> entities; // the keys of each entity, in the order written
        const char* refusal;                // empty when the text loads
    };
    const QStringList bump = {"Bottom", "Definition", "Height", "Name", "Top"};
    const Case cases[] = {
        {"same keys in the same order", {bump, bump, bump}, ""},
        {"the order turned round", {bump, {"Top", "Name", "Height", "Definition", "Bottom"}, bump}, ""},
        {"one key left out, then back", {bump, {"Bottom", "Height", "Name", "Top"}, bump}, ""},
        {"labels differing only in case", {{"Name", "name"}, {"name", "Name"}, {"NAME", "Name", "name"}}, ""},
        {"labels that start others", {{"W", "Wi", "Width"}, {"Wi", "W", "Width", "Width_2"}, {"Width_2", "W"}}, ""},
        {"same length, last byte differs", {{"X_Low", "X_Lox"}, {"X_Lox", "X_Low"}}, ""},
        {"an empty label", {{"", "A"}, {"A", ""}}, ""},
        // After the same key, a label of 7 to 17 bytes and then one a middle byte apart
        // from it: about where labels stop being compared word by word.
        {"7 to 17 bytes, a middle byte apart",
         {{"P", "Abc_efg"}, {"P", "Abc-efg"}, {"P", "Abcdefgh"}, {"P", "Abcdefgx"}, {"P", "Abcd_fghi"},
          {"P", "Abcd-fghi"}, {"P", "Abcdefgh_jklmnop"}, {"P", "Abcdefgh-jklmnop"}, {"P", "Abcdefgh_jklmnopq"},
          {"P", "Abcdefgh-jklmnopq"}, {"P", "Abcdefgh_jklmnopq"}},
         ""},
        {"labels beyond ASCII", {{"µ", "Ωmega", "z"}, {"z", "µ", "Ωmega"}}, ""},
        {"a key repeated where the guess was right", {{"A", "B"}, {"A", "B", "B"}}, "\"B\" appears twice"},
        {"a key repeated after a wrong guess", {{"A", "B"}, {"B", "A", "B"}}, "\"B\" appears twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each entity's attribute holds a number that says which entity and key it is.
        QByteArray items;
        for (size_t e = 0; e < c.entities.size(); ++e) {
            QByteArray attributes;
            for (int k = 0; k < c.entities[e].size(); ++k)
                attributes += (k ? ",\"" : "\"") + c.entities[e][k].toUtf8() + "\":" + QByteArray::number(int(e) * 100 + k);
            items += (e ? "," : "") + QByteArray("{\"attributes\":{") + attributes + "},\"id\":" +
                     QByteArray::number(int(e) + 2) + ",\"type\":\"Item\"}";
        }
        const QByteArray text = R"({"format":"tarvex-host-model","formatVersion":1,"root":{"attributes":{"Items":)"
                                R"({"entities":[)" + items + R"(]}},"id":1,"type":"Project"}})";
        QString error;
        const auto loaded = ModelFile::fromJson(text, &error);
        if (*c.refusal) {
            EXPECT_FALSE(loaded);
            EXPECT_TRUE(error.contains(QLatin1String(c.refusal))) << error.toStdString();
            continue;
        }
        ASSERT_TRUE(loaded) << error.toStdString();
        const auto* list = dynamic_cast<const EntityListAttribute*>(loaded->getRoot()->child(QStringLiteral("Items")));
        ASSERT_TRUE(list);
        ASSERT_EQ(list->count(), int(c.entities.size()));
        for (int e = 0; e < list->count(); ++e) {
            const QStringList& keys = c.entities[size_t(e)];
            const std::vector<Attribute*> children = list->at(e)->children();
            ASSERT_EQ(int(children.size()), keys.size()) << e;
            QStringList sorted = keys;
            std::sort(sorted.begin(), sorted.end());
            for (int k = 0; k < keys.size(); ++k) {
                EXPECT_EQ(children[size_t(k)]->getType().getLabel(), sorted[k]) << e;
                const auto* value = dynamic_cast<const ValueAttribute*>(list->at(e)->child(keys[k]));
                ASSERT_TRUE(value) << e << ' ' << keys[k].toStdString();
                EXPECT_EQ(value->getValue().toDouble(), e * 100 + k) << e << ' ' << keys[k].toStdString();
            }
        }
        // Written back, read again, written again: the same bytes.
        const QByteArray saved = ModelFile::toJson(*loaded);
        const auto again = ModelFile::fromJson(saved, &error);
        ASSERT_TRUE(again) << error.toStdString();
        EXPECT_EQ(ModelFile::toJson(*again), saved);
    }
}

// A model file is read whole however its size falls about the size from which it is read
// into memory asked for in large pages: every byte, the last included, and nothing more.
TEST(ModelFile, FilesAboutTheLargePageSizeLoadWhole)
{
    const auto model = richModel();
    const QByteArray text = ModelFile::toJson(*model);
    constexpr qint64 LargePage = qint64(2) * 1024 * 1024;
    TestSupport::TempDir dir;
    for (const qint64 size : {LargePage - 1, LargePage, LargePage + 1, LargePage + 4097, 3 * LargePage + 5}) {
        SCOPED_TRACE(size);
        // Spaces before the text, so that a file read short loses the text's end.
        const QString path = dir.write("M.json", QByteArray(int(size - text.size()), ' ') + text);
        ASSERT_EQ(QFileInfo(path).size(), size);
        QString error;
        const auto loaded = ModelFile::load(path, &error);
        ASSERT_TRUE(loaded) << error.toStdString();
        EXPECT_EQ(ModelFile::toJson(*loaded), text);
        // One byte past the text that is not JSON is refused, at its own offset.
        dir.write("M.json", QByteArray(int(size - text.size() - 1), ' ') + text + 'x');
        EXPECT_FALSE(ModelFile::load(path, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("at offset %1").arg(size - 1))) << error.toStdString();
    }
}
