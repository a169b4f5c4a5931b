#include "core/common/file_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <string>
#include <thread>

#if defined(__linux__)
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vantor {
namespace {

namespace fs = std::filesystem;

class ReadFileBytesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vantor_file_io_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / "data.bin").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    std::string path_;
};

TEST_F(ReadFileBytesTest, ReadsEveryByteOfALargeFile) {
    std::string bytes;
    for (int i = 0; i < 300'000; ++i) {
        bytes += static_cast<char>(i * 7 % 256); // NUL, CR, LF and bytes above 0x7F included
    }
    std::ofstream(path_, std::ios::binary) << bytes;
    const FileBytes file = ReadFileBytes(path_);
    EXPECT_TRUE(file.exists);
    EXPECT_FALSE(file.readError);
    EXPECT_EQ(file.bytes, bytes);
}

TEST_F(ReadFileBytesTest, EmptyMissingAndFolder) {
    std::ofstream(path_, std::ios::binary).flush();
    EXPECT_TRUE(ReadFileBytes(path_).exists);
    EXPECT_EQ(ReadFileBytes(path_).bytes, "");

    const FileBytes missing = ReadFileBytes((dir_ / "missing").string());
    EXPECT_FALSE(missing.exists);
    EXPECT_FALSE(missing.readError);

    const FileBytes folder = ReadFileBytes(dir_.string());
    EXPECT_TRUE(folder.exists);
    EXPECT_TRUE(folder.readError);
}

#if defined(__linux__)
// Files of the kernel report a size of 0 and still have contents: they are read to their end all the same.
TEST(ReadFileBytesKernelTest, ReadsAFileThatReportsNoSize) {
    ASSERT_EQ(fs::file_size("/proc/self/status"), 0u);
    const FileBytes file = ReadFileBytes("/proc/self/status");
    EXPECT_FALSE(file.readError);
    EXPECT_NE(file.bytes.find("VmRSS:"), std::string::npos);
}

struct SpecialCase {
    const char* name;
    std::function<void(const std::string&)> make;
    ReadFailure failure;
};

class ReadSpecialFileTest : public ReadFileBytesTest, public ::testing::WithParamInterface<SpecialCase> {};

// Only regular files of a sane size are read: a pipe would wait for a writer forever, a device or a huge
// file would fill the memory. Each is an existing file that cannot be read, reported at once.
TEST_P(ReadSpecialFileTest, IsReportedAsUnreadableAtOnce) {
    GetParam().make(path_);
    std::promise<FileBytes> done;
    std::future<FileBytes> result = done.get_future();
    std::thread reader([&] { done.set_value(ReadFileBytes(path_)); });
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Let a reader stuck on the pipe go, so the test ends.
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            ::close(fd);
        }
        ADD_FAILURE() << "reading did not return";
    }
    reader.join();
    const FileBytes file = result.get();
    EXPECT_TRUE(file.exists);
    EXPECT_TRUE(file.readError);
    EXPECT_EQ(file.failure, GetParam().failure);
    EXPECT_TRUE(file.bytes.empty());
    EXPECT_FALSE(ReadFailureText(file.failure).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReadSpecialFileTest,
    ::testing::Values(
        SpecialCase{"Folder", [](const std::string& p) { fs::create_directory(p); }, ReadFailure::NotAFile},
        SpecialCase{"Pipe", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
                    ReadFailure::NotAFile},
        SpecialCase{"LinkToAnEndlessDevice", [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
                    ReadFailure::NotAFile},
        SpecialCase{"FileAboveTheLimit",
                    [](const std::string& p) {
                        std::ofstream(p, std::ios::binary).flush();
                        fs::resize_file(p, kMaxFileBytes + 1);
                    },
                    ReadFailure::TooLarge}),
    [](const auto& info) { return std::string(info.param.name); });

class WriteFileTest : public ReadFileBytesTest {
protected:
    void Write(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Runs `f` in a child process as an unprivileged user when the tests run as root, to whom permissions
// mean nothing; its result is whether f returned true.
bool AsUnprivileged(const std::function<bool()>& f) {
    if (::geteuid() != 0) {
        return f();
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(2);
        }
        ::_exit(f() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(WriteFileTest, ReplacesTheFileAndLeavesNoTemporaryBehind) {
    Write(path_, "old");
    ASSERT_TRUE(WriteFileAtomically(path_, "new contents"));
    EXPECT_EQ(ReadFileBytes(path_).bytes, "new contents");
    EXPECT_EQ(Names(), std::vector<std::string>{"data.bin"});
}

// A file reached through a link is written at its target: the link stays, and the file keeps its mode
// and its owner.
TEST_F(WriteFileTest, WritesALinkedFileAtItsTargetKeepingModeAndOwner) {
    fs::create_directory(dir_ / "real");
    const std::string target = (dir_ / "real" / "target.bin").string();
    Write(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    }
    fs::create_symlink("real/target.bin", path_);

    ASSERT_TRUE(WriteFileAtomically(path_, "new"));
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(ReadFileBytes(target).bytes, "new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    if (root) {
        struct stat st {};
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
}

// A link planted under a temporary name (the fixed "data.bin.tmp" of earlier versions) is never written
// through: each save creates a fresh file of its own.
TEST_F(WriteFileTest, NeverWritesThroughALinkAtATemporaryName) {
    const std::string victim = (dir_ / "victim").string();
    Write(victim, "victim");
    fs::create_symlink(victim, path_ + ".tmp");
    ASSERT_TRUE(WriteFileAtomically(path_, "new"));
    EXPECT_EQ(ReadFileBytes(victim).bytes, "victim");
    EXPECT_EQ(ReadFileBytes(path_).bytes, "new");
    EXPECT_FALSE(fs::is_symlink(path_));
    EXPECT_EQ(Names(), (std::vector<std::string>{"data.bin", "data.bin.tmp", "victim"}));
}

// A write that fails half-way (here: the file-size limit, as a full disk would) leaves the old file.
TEST_F(WriteFileTest, AFailedWriteKeepsTheOldFile) {
    Write(path_, "old");
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    WriteFailure why = WriteFailure::None;
    const bool written = WriteFileAtomically(path_, std::string(10000, 'x'), &why);
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(why, WriteFailure::DiskFull);
    EXPECT_EQ(ReadFileBytes(path_).bytes, "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"data.bin"});
}

// A folder that allows no new file does not stop a save when the file itself may be written: it is
// written in place, and a write that fails half-way puts the old contents back.
TEST_F(WriteFileTest, WritesInPlaceWhenTheFolderIsReadOnly) {
    Write(path_, "old contents");
    fs::permissions(path_, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                               ~fs::perms::others_exec);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::string path = path_;
    EXPECT_TRUE(AsUnprivileged([&] { return WriteFileAtomically(path, "new"); }));
    EXPECT_EQ(ReadFileBytes(path_).bytes, "new");
    EXPECT_TRUE(AsUnprivileged([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit small{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &small);
        return !WriteFileAtomically(path, std::string(10000, 'x')) && ReadFileBytes(path).bytes == "new";
    }));
    EXPECT_EQ(ReadFileBytes(path_).bytes, "new");
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(Names(), std::vector<std::string>{"data.bin"});
}

// Replacing through the folder would ignore the file's own permissions: a file marked read-only (even
// to the administrator, who may write anything) or that this user may not write is left alone.
TEST_F(WriteFileTest, RefusesAFileMarkedReadOnlyAndSaysWhy) {
    Write(path_, "old");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    WriteFailure why = WriteFailure::None;
    EXPECT_FALSE(WriteFileAtomically(path_, "new", &why));
    EXPECT_EQ(why, WriteFailure::ReadOnlyFile);
    EXPECT_EQ(WriteFailureText(why), "文件设为只读");

    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                               fs::perms::others_read);
    fs::permissions(dir_, fs::perms::all);
    const std::string path = path_;
    EXPECT_TRUE(AsUnprivileged([&] {
        WriteFailure failure = WriteFailure::None;
        return !WriteFileAtomically(path, "new", &failure) && failure == WriteFailure::NoPermission;
    }));
    EXPECT_EQ(ReadFileBytes(path_).bytes, "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"data.bin"});
}

// Temporary files of killed saves are removed at the next start; those of a writer still running, of
// one that may be at work on another computer (changed in the last minute) and other files stay.
TEST_F(WriteFileTest, RemovesOnlyTheTemporaryFilesOfWritersGone) {
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const std::string dead = "data.bin." + std::to_string(gone) + "-0123456789ab.tmp";
    const std::string live = "data.bin." + std::to_string(::getpid()) + "-0123456789ab.tmp";
    const std::string young = "data.bin." + std::to_string(gone) + "-ba9876543210.tmp";
    const std::string earlier = "data.bin.0123456789abcdef.tmp"; // the form without a process id
    const std::vector<std::string> others = {"data.bin", "data.bin.tmp", "data.bin.x-1.tmp",
                                             "other.bin.1-1.tmp"};
    for (const std::string& name : {dead, live, young, earlier}) {
        Write((dir_ / name).string(), "part");
    }
    for (const std::string& name : others) {
        Write((dir_ / name).string(), "keep");
    }
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const std::string& name : {dead, live, earlier, others[1], others[2], others[3]}) {
        fs::last_write_time(dir_ / name, old);
    }
    RemoveLeftoverTempFiles(path_);
    std::vector<std::string> expected = {live, young};
    expected.insert(expected.end(), others.begin(), others.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);
}
#endif

} // namespace
} // namespace vantor
