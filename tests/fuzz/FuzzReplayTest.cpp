// Replays the corpus of one fuzz target (the folder TARVEX_FUZZ_CORPUS: seeds we wrote and
// inputs that once crashed a fuzzer) through the fuzzOne the fuzzer calls. Each file is a test
// of its own, so that a crash names the file that caused it.
#include "fuzz/FuzzTarget.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

// The files of the corpus, relative to its folder, in a stable order.
std::vector<std::string> corpusFiles()
{
    const QDir corpus(QStringLiteral(TARVEX_FUZZ_CORPUS));
    QStringList files;
    QDirIterator it(corpus.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << corpus.relativeFilePath(it.next());
    files.sort();
    std::vector<std::string> result;
    for (const QString& file : files)
        result.push_back(file.toStdString());
    return result;
}

// A test name made of the file's path: letters and digits kept, anything else an underscore,
// with the position appended when two paths come out the same.
std::string testName(const testing::TestParamInfo<std::string>& info)
{
    static std::set<std::string> used;
    std::string name = info.param;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    if (!used.insert(name).second) {
        name += '_' + std::to_string(info.index);
        used.insert(name);
    }
    return name;
}

class FuzzReplay : public testing::TestWithParam<std::string>
{
};

TEST(FuzzCorpus, IsNotEmpty)
{
    EXPECT_FALSE(corpusFiles().empty()) << "no inputs in " << TARVEX_FUZZ_CORPUS;
}

TEST_P(FuzzReplay, RunsWithoutFault)
{
    QFile file(QDir(QStringLiteral(TARVEX_FUZZ_CORPUS)).filePath(QString::fromStdString(GetParam())));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QByteArray bytes = file.readAll();
    // An array of exactly the file's size, as libFuzzer hands over: no zero byte after it.
    const std::vector<uint8_t> data(bytes.begin(), bytes.end());
    fuzzOne(data.data(), data.size());
}

INSTANTIATE_TEST_SUITE_P(Corpus, FuzzReplay, testing::ValuesIn(corpusFiles()), testName);

} // namespace
