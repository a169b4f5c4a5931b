#include "core/common/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

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
#endif

} // namespace
} // namespace vantor
