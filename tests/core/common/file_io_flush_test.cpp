// The order of the system calls that make a save survive a power cut: the new file's data reaches the
// disk before the rename, and the folder after it. The calls are caught by defining them in this test
// program, which then passes them on to the kernel.
#include "core/common/file_io.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

bool g_recording = false;
std::vector<std::string> g_calls;

std::string PathOfFd(int fd) {
    char buf[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

} // namespace

extern "C" int fsync(int fd) {
    if (g_recording) {
        g_calls.push_back("fsync " + PathOfFd(fd));
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (g_recording) {
        g_calls.push_back(std::string("rename ") + from + " " + to);
    }
    return static_cast<int>(::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace vantor {
namespace {

namespace fs = std::filesystem;

TEST(WriteFileFlushTest, FlushesTheDataBeforeTheRenameAndTheFolderAfterIt) {
    const fs::path dir =
        fs::canonical(fs::temp_directory_path()) / ("vantor_flush_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string path = (dir / "vntask.vnt").string();

    g_calls.clear();
    g_recording = true;
    const bool written = WriteFileAtomically(path, "True;a\r\n");
    g_recording = false;
    fs::remove_all(dir);

    ASSERT_TRUE(written);
    ASSERT_EQ(g_calls.size(), 3u);
    const std::string temp = g_calls[1].substr(7, g_calls[1].find(' ', 7) - 7);
    EXPECT_EQ(g_calls[0], "fsync " + temp);
    EXPECT_EQ(g_calls[1], "rename " + temp + " " + path);
    EXPECT_EQ(g_calls[2], "fsync " + dir.string());
}

} // namespace
} // namespace vantor
#endif
