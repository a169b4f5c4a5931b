#include "core/shell/data_folder.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct FolderCase {
    const char* name;
    const char* programFolder;
    bool writable;
    bool installed;
    const char* perUser;
    const char* chosen;
    bool perUserChosen;
};

class ChooseDataFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ChooseDataFolderTest, KeepsFilesBesideAPortableProgramOnly) {
    const FolderCase& c = GetParam();
    const DataFolderChoice choice =
        ChooseDataFolder(DataFolderFacts{c.programFolder, c.writable, c.installed, c.perUser});
    EXPECT_EQ(choice.folder, c.chosen);
    EXPECT_EQ(choice.perUser, c.perUserChosen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseDataFolderTest,
    ::testing::Values(
        FolderCase{"WritableFolderIsPortable", "/home/u/vantor/", true, false, "/home/u/.config/vantor",
                   "/home/u/vantor/", false},
        FolderCase{"ReadOnlyFolderUsesTheUsersFolder", "/usr/bin/", false, false, "/home/u/.config/vantor",
                   "/home/u/.config/vantor/", true},
        // Root may write to /usr/bin: the installed menu entry beside it still says "installed".
        FolderCase{"InstalledProgramUsesTheUsersFolderEvenWhenWritable", "/usr/bin/", true, true,
                   "/root/.config/vantor", "/root/.config/vantor/", true},
        FolderCase{"WindowsPerUserFolderGetsItsSeparator", "C:/Program Files/Vantor/", false, false,
                   "C:/Users/u/AppData/Roaming/Vantor", "C:/Users/u/AppData/Roaming/Vantor/", true},
        FolderCase{"NoPerUserFolderKeepsTheProgramFolder", "/usr/bin/", false, false, "", "/usr/bin/", false},
        FolderCase{"UnknownProgramFolderIsNeverPortable", "", true, false, "/home/u/.config/vantor",
                   "/home/u/.config/vantor/", true},
        FolderCase{"ProgramFolderGetsItsSeparator", "/home/u/vantor", true, false, "", "/home/u/vantor/",
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InstalledEntryPathTest, LooksBesideTheBinFolder) {
    EXPECT_EQ(InstalledEntryPath("/usr/bin/"), "/usr/bin/../share/applications/org.vantor.Vantor.desktop");
    EXPECT_EQ(InstalledEntryPath("/tmp/p/bin"), "/tmp/p/bin/../share/applications/org.vantor.Vantor.desktop");
}

} // namespace
} // namespace vantor
