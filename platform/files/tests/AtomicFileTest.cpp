// Outputs that replace their target only when complete: a full disk, a
// killed writer and targets that must not be replaced leave it as it was.
#include "platform/files/AtomicFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using qtmv::files::AtomicFile;
using qtmv::files::Existing;
using qtmv::files::OutputError;
namespace fs = std::filesystem;

namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("atomic_file_test_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static void put(const std::string& file, const std::string& text) { std::ofstream(file) << text; }
    static std::string get(const std::string& file)
    {
        std::ifstream in(file);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Names in the folder, sorted.
    std::vector<std::string> entries() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    int parts() const
    {
        int n = 0;
        for (const auto& name : entries())
            n += name.ends_with(".part");
        return n;
    }
    // The reason a new output to target is refused; empty when it is not.
    static std::string refusal(const std::string& target)
    {
        try {
            AtomicFile f(target);
            return {};
        } catch (const OutputError& e) {
            return e.what();
        }
    }

    fs::path dir_;
};

} // namespace

TEST_F(AtomicFileTest, TheTargetChangesOnlyAtCommit)
{
    const std::string target = path("a.pdf");
    put(target, "old");
    ::chmod(target.c_str(), 0640);
    {
        AtomicFile f(target);
        f.write("new");
        EXPECT_EQ(get(target), "old");
        EXPECT_EQ(get(f.partPath()), "new");
        f.commit();
    }
    EXPECT_EQ(get(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(entries(), std::vector<std::string>{"a.pdf"});

    // Abandoned, and committed with nothing written: the old file stays.
    {
        AtomicFile f(target);
        f.write("half");
    }
    AtomicFile empty(target);
    EXPECT_THROW(empty.commit(), OutputError);
    EXPECT_EQ(get(target), "new");
    EXPECT_EQ(entries(), std::vector<std::string>{"a.pdf"});

    // A new file only: refused when the target exists, at the start or by the
    // time of the rename.
    EXPECT_THROW(AtomicFile(target, Existing::Refuse), OutputError);
    const std::string fresh = path("b.mdb");
    AtomicFile late(fresh, Existing::Refuse);
    late.write("copy");
    put(fresh, "someone else's");
    EXPECT_THROW(late.commit(), OutputError);
    EXPECT_EQ(get(fresh), "someone else's");
    EXPECT_EQ(parts(), 0);
}

TEST_F(AtomicFileTest, RefusesWhatItMustNotReplace)
{
    EXPECT_EQ(refusal("/dev/full"), "不是一般檔案，不會覆蓋");
    fs::create_directories(path("folder.xlsx"));
    EXPECT_EQ(refusal(path("folder.xlsx")), "不是一般檔案，不會覆蓋");
    // No write permission at all: refused even for root, whom the system
    // would let write it.
    const std::string readOnly = path("kept.xlsx");
    put(readOnly, "kept");
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_EQ(refusal(readOnly), "檔案是唯讀的，不會覆蓋");
    EXPECT_EQ(get(readOnly), "kept");
    EXPECT_EQ(parts(), 0);

    // Through a symbolic link the file it names is replaced, the link stays.
    const std::string real = path("real.pdf"), link = path("link.pdf");
    put(real, "old");
    fs::create_symlink(real, link);
    AtomicFile f(link);
    f.write("new");
    f.commit();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(get(real), "new");
}

// Writes past 16 KiB fail with EFBIG in this child, as they fail on a full
// disk: the write is reported with the system's reason and nothing replaces
// the old file.
TEST_F(AtomicFileTest, AFailedWriteKeepsTheOldFile)
{
    const std::string target = path("big.pdf");
    put(target, "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            AtomicFile f(target);
            f.write(std::string(100 * 1024, 'x'));
            f.commit();
        } catch (const OutputError& e) {
            const bool told = std::string(e.what()) == "寫入失敗（File too large）";
            if (!told)
                std::fprintf(stderr, "reason: %s\n", e.what());
            ::_exit(told ? 3 : 4);
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "0: no error, 4: another reason (see the child's output)";
    EXPECT_EQ(get(target), "old");
    EXPECT_EQ(parts(), 0);
}

// A writer killed half-way leaves the old file and its part; the next output
// to the folder removes that part, never one a live writer holds.
TEST_F(AtomicFileTest, AKilledWriterLeavesTheOldFileAndTheNextOutputTidiesUp)
{
    const std::string target = path("order.pdf");
    put(target, "old");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFile f(target);
        f.write(std::string(4096, 'x'));
        (void)!::write(ready[1], "w", 1);
        for (;;)
            ::pause();
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(get(target), "old");
    ASSERT_EQ(parts(), 1);
    put(path("x.part"), "not ours");

    AtomicFile next(path("other.xlsx"));
    EXPECT_EQ(parts(), 2); // next's own and the foreign one
    AtomicFile third(path("third.png"));
    EXPECT_TRUE(fs::exists(next.partPath()));
    next.write("n");
    third.write("t");
    AtomicFile::commitAll({&next, &third});
    EXPECT_EQ(entries(), (std::vector<std::string>{"order.pdf", "other.xlsx", "third.png", "x.part"}));
}
