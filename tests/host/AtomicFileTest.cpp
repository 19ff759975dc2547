// Saving that cannot lose a file: writes that fail part way, ids at the reader's limit, and
// the file's mode, owner and links kept. Grouped by fault.
#include "host/AtomicFile.h"
#include "host/EntityEditor.h"
#include "host/EntityFetcher.h"
#include "host/LibraryManager.h"
#include "host/ModelFile.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace EntityModel;

namespace {

// A device in front of a file that passes on the first `limit` bytes and then fails as a full
// disk does: -1 with errno ENOSPC.
class FullAfter : public QIODevice
{
public:
    FullAfter(QIODevice& file, qint64 limit) : m_file(file), m_limit(limit) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = m_limit - m_passed;
        if (room <= 0) {
            errno = ENOSPC;
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 written = m_file.write(data, std::min(size, room));
        if (written > 0)
            m_passed += written;
        return written;
    }

private:
    QIODevice& m_file;
    qint64 m_limit;
    qint64 m_passed = 0;
};

AtomicFile::DeviceFactory fullAfter(qint64 limit)
{
    return [limit](QFileDevice& file) { return std::make_unique<FullAfter>(file, limit); };
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

} // namespace

// --- disk ---

TEST(AtomicFileDisk, AWriteThatFailsPartWayLeavesTheOldBytesAndSaysWhy)
{
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "the old model\n");
    for (qint64 limit : {qint64(0), qint64(1000), qint64(3 * 1024 * 1024)}) {
        AtomicFile file(path, QStringLiteral("the model"));
        file.setDeviceFactory(fullAfter(limit));
        EXPECT_FALSE(file.write(bigContent())) << limit;
        EXPECT_EQ(file.errorString(), "No space left on device while saving " + path + "; the model was left as it was");
        EXPECT_EQ(dir.read("M.json"), "the old model\n") << limit;
        EXPECT_EQ(filesIn(dir.path(".")), QStringList{"M.json"}) << "the temporary file is removed";
    }
}

TEST(AtomicFileDisk, ANewFileThatFailsPartWayIsNotMade)
{
    TestSupport::TempDir dir;
    const QString path = dir.path("new.xml");
    AtomicFile file(path, QStringLiteral("the old file"));
    file.setDeviceFactory(fullAfter(100));
    EXPECT_FALSE(file.write(bigContent()));
    EXPECT_EQ(file.errorString(), "No space left on device while saving " + path + "; no file was made");
    EXPECT_TRUE(filesIn(dir.path(".")).isEmpty());
}

TEST(AtomicFileDisk, AWholeWriteReplacesTheFile)
{
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "old");
    QString error;
    ASSERT_TRUE(AtomicFile::write(path, bigContent(), QStringLiteral("the model"), &error)) << error.toStdString();
    EXPECT_EQ(dir.read("M.json"), bigContent());
    EXPECT_EQ(filesIn(dir.path(".")), QStringList{"M.json"});
    ASSERT_TRUE(AtomicFile::write(path, QByteArray(), QStringLiteral("the model"), &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST(AtomicFileDisk, MissingFoldersAndUnwritableFilesAreNamed)
{
    TestSupport::TempDir dir;
    QString error;
    EXPECT_FALSE(AtomicFile::write(dir.path("no/such/M.json"), "x", QStringLiteral("the model"), &error));
    EXPECT_EQ(error, "The folder " + dir.path("no/such") + " does not exist while saving " + dir.path("no/such/M.json") +
                         "; no file was made");

    const QString folder = dir.path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = dir.write("locked/M.json", "old");
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const bool root = ::geteuid() == 0;
    const bool saved = AtomicFile::write(path, "new", QStringLiteral("the model"), &error);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (root) {
        EXPECT_TRUE(saved) << "root may write in any folder";
    } else {
        EXPECT_FALSE(saved);
        EXPECT_EQ(error, "Permission denied in the folder " + folder + " while saving " + path +
                             "; the model was left as it was");
        EXPECT_EQ(dir.read("locked/M.json"), "old");
    }
}

TEST(AtomicFileDisk, AModelAndALibraryThatCannotBeWrittenSayWhichTheyAre)
{
    TestSupport::TempDir dir;
    const auto model = Model::createDefault();
    QString error;
    EXPECT_FALSE(ModelFile::save(*model, dir.path("gone/M.json"), &error));
    EXPECT_TRUE(error.endsWith("while saving " + dir.path("gone/M.json") + "; no file was made")) << error.toStdString();

    // A folder where the file should be: nothing replaces it.
    ASSERT_TRUE(QDir().mkpath(dir.path("M.library.json")));
    LibraryManager manager;
    EXPECT_FALSE(manager.save(dir.path("M.library.json"), &error));
    EXPECT_TRUE(error.contains(dir.path("M.library.json"))) << error.toStdString();
    EXPECT_TRUE(QFileInfo(dir.path("M.library.json")).isDir());

    const QString store = dir.write("S.library.json", "old store");
    AtomicFile file(store, QStringLiteral("the material library"));
    file.setDeviceFactory(fullAfter(3));
    EXPECT_FALSE(file.write("a longer new store"));
    EXPECT_EQ(file.errorString(),
              "No space left on device while saving " + store + "; the material library was left as it was");
}

// --- ids ---

namespace {

// A saved model whose chassis has the id `id`, the largest of the model.
QByteArray modelWithChassisId(quint64 id)
{
    return QStringLiteral(R"({"format": "tarvex-host-model", "formatVersion": 1, "root": {"id": 1, "type": "Project",
 "attributes": {"Chassis": {"entities": [{"id": %1, "type": "Chassis", "attributes": {}}]}}}})")
        .arg(id)
        .toUtf8();
}

} // namespace

TEST(ModelFileIds, AModelAtTheReadersLimitSavesAndOneIdMoreIsRefusedWithTheOldFileKept)
{
    constexpr quint64 limit = 9000000000000000ull;
    TestSupport::TempDir dir;
    QString error;
    const QString path = dir.write("M.json", modelWithChassisId(limit));
    auto model = ModelFile::load(path, &error);
    ASSERT_TRUE(model) << error.toStdString();
    EXPECT_FALSE(ModelFile::fromJson(modelWithChassisId(limit + 1), &error)) << "the reader's limit";

    // At the limit: saved, and read back.
    ASSERT_TRUE(ModelFile::save(*model, path, &error)) << error.toStdString();
    const QByteArray atLimit = dir.read("M.json");
    ASSERT_TRUE(ModelFile::load(path, &error)) << error.toStdString();

    // The next entity takes the id above the limit: the save is refused and the file kept.
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    ASSERT_TRUE(chassis);
    Entity* board = EntityEditor::createEntity(PCB_t, chassis, Objects_t, nullptr, 0, "Board");
    ASSERT_TRUE(board);
    ASSERT_EQ(board->getId(), limit + 1);
    EXPECT_FALSE(ModelFile::save(*model, path, &error));
    EXPECT_EQ(error, "Cannot write model file " + path +
                         ": it would hold entity id 9000000000000001, above 9000000000000000, the largest id a model "
                         "file can keep; the model was left as it was");
    EXPECT_EQ(dir.read("M.json"), atLimit);
    EXPECT_EQ(filesIn(dir.path(".")), QStringList{"M.json"});

    // A link to such an id is refused too: it would not read back exactly.
    model->deleteEntity(board, QStringLiteral("remove"));
    auto far = std::make_unique<LinkAttribute>(TypeRef("Far"), QVector<quint64>{limit + 7});
    chassis->put(std::move(far));
    EXPECT_FALSE(ModelFile::save(*model, path, &error));
    EXPECT_TRUE(error.contains("entity id 9000000000000007")) << error.toStdString();
    EXPECT_EQ(dir.read("M.json"), atLimit);
}

// --- owners, modes and links ---

TEST(AtomicFileOwners, TheModeIsKept)
{
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QString error;
    ASSERT_TRUE(AtomicFile::write(path, "new", QStringLiteral("the model"), &error)) << error.toStdString();
    EXPECT_EQ(statOf(path).st_mode & 07777, 0640u);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0604), 0);
    ASSERT_TRUE(AtomicFile::write(path, "newer", QStringLiteral("the model"), &error));
    EXPECT_EQ(statOf(path).st_mode & 07777, 0604u);
    EXPECT_EQ(dir.read("M.json"), "newer");
}

TEST(AtomicFileOwners, AUsersFileSavedByRootStaysTheUsers)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "old");
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 12345, 23456), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    const auto model = Model::createDefault();
    QString error;
    ASSERT_TRUE(ModelFile::save(*model, path, &error)) << error.toStdString();
    const struct stat info = statOf(path);
    EXPECT_EQ(info.st_uid, 12345u);
    EXPECT_EQ(info.st_gid, 23456u);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(dir.read("M.json"), ModelFile::toJson(*model));
}

TEST(AtomicFileLinks, ASymbolicLinkIsWrittenThroughAndStaysALink)
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
    ASSERT_TRUE(AtomicFile::write(chain, "through two links", QStringLiteral("the model"), &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(chain).isSymLink());
    EXPECT_EQ(dir.read("real/M.json"), "through two links");
    EXPECT_EQ(statOf(target).st_mode & 07777, 0640u);
    EXPECT_EQ(filesIn(dir.path("real")), QStringList{"M.json"});

    // A failure through the link leaves the file it names as it was, and names the link.
    AtomicFile failing(link, QStringLiteral("the model"));
    failing.setDeviceFactory(fullAfter(2));
    EXPECT_FALSE(failing.write("never whole"));
    EXPECT_EQ(failing.errorString(), "No space left on device while saving " + link + "; the model was left as it was");
    EXPECT_EQ(dir.read("real/M.json"), "through two links");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(filesIn(dir.path("real")), QStringList{"M.json"});

    // A link to a file not yet made makes the file.
    const QString dangling = dir.path("dangling.json");
    ASSERT_EQ(::symlink("real/new.json", QFile::encodeName(dangling).constData()), 0);
    ASSERT_TRUE(AtomicFile::write(dangling, "made", QStringLiteral("the model"), &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(dir.read("real/new.json"), "made");
}

TEST(AtomicFileLinks, EveryHardLinkSeesTheNewContentAndAFailureKeepsTheOld)
{
    TestSupport::TempDir dir;
    const QString path = dir.write("M.json", "the old content, longer than the new");
    const QString other = dir.path("other-name.json");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    const ino_t inode = statOf(path).st_ino;

    QString error;
    ASSERT_TRUE(AtomicFile::write(path, "new", QStringLiteral("the model"), &error)) << error.toStdString();
    EXPECT_EQ(dir.read("other-name.json"), "new");
    EXPECT_EQ(dir.read("M.json"), "new");
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(statOf(path).st_nlink, 2u);
    EXPECT_EQ(filesIn(dir.path(".")), (QStringList{"M.json", "other-name.json"})) << "the copy of the old content goes";

    ASSERT_TRUE(AtomicFile::write(other, bigContent(), QStringLiteral("the model"), &error)) << error.toStdString();
    EXPECT_EQ(dir.read("M.json"), bigContent());

    // Failing part way through the in-place write: the old bytes are put back under both names.
    AtomicFile failing(path, QStringLiteral("the model"));
    failing.setDeviceFactory(fullAfter(4096));
    EXPECT_FALSE(failing.write(QByteArray(6 * 1024 * 1024, 'x')));
    EXPECT_EQ(failing.errorString(), "No space left on device while saving " + path + "; the model was left as it was");
    EXPECT_EQ(dir.read("M.json"), bigContent());
    EXPECT_EQ(dir.read("other-name.json"), bigContent());
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(filesIn(dir.path(".")), (QStringList{"M.json", "other-name.json"}));
}
