#include "platform_contract.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <fstream>
#include <thread>

namespace vantor::contract {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

ContractEnv::ContractEnv() {
    static std::atomic<int> counter{0};
    const std::string name = "vantor 契约 " +
                             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                             "-" + std::to_string(counter++);
    const fs::path folder = fs::temp_directory_path() / PathOf(name);
    fs::create_directories(folder);
    folder_ = Utf8Of(folder);
}

ContractEnv::~ContractEnv() {
    std::error_code ignored;
    fs::remove_all(PathOf(folder_), ignored);
}

void ContractEnv::MakeProgramFile(const std::string& path) {
    std::ofstream(PathOf(path)) << "";
}

std::string ContractEnv::Child(const std::string& name) const {
    return Utf8Of(PathOf(folder_) / PathOf(name));
}

namespace {

template <typename F> bool WaitFor(F check) {
    for (int i = 0; i < 250; ++i) {
        if (check()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return check();
}

} // namespace

TEST_P(PlatformContract, FreeProgramFileIsAProgramNotInUseMissingOnesAndFoldersAreNoFiles) {
    Platform& p = env->platform();
    EXPECT_FALSE(p.IsOrdinaryFile(env->Child(env->UniqueProcessName())));
    EXPECT_FALSE(p.IsOrdinaryFile(env->folder()));

    const std::string program = env->Child(env->UniqueProcessName());
    env->MakeProgramFile(program);
    EXPECT_TRUE(p.IsOrdinaryFile(program));
    EXPECT_TRUE(p.IsProgramFile(program));
    EXPECT_FALSE(p.IsProgramInUse(program));
}

TEST_P(PlatformContract, FolderForFilesIsWritableOrTheUsersOwn) {
    Platform& p = env->platform();
    EXPECT_TRUE(p.IsFolderWritable(env->folder()));
    EXPECT_FALSE(p.IsFolderWritable(env->Child("missing")));
    // Named, not made: the program makes it when it chooses it.
    const std::string user = p.PerUserFolder();
    ASSERT_FALSE(user.empty());
    const fs::path path = PathOf(user);
    EXPECT_TRUE(path.is_absolute()) << user;
    std::string name = Utf8Of(path.filename());
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(name, "vantor") << user;
}

TEST_P(PlatformContract, AutostartEntryKeepsTheBarePathUntilDeleted) {
    Platform& p = env->platform();
    const std::string program = env->Child("Vantor 定时.exe");
    for (AutostartScope scope : {AutostartScope::Machine, AutostartScope::User}) {
        const ActionResult written = p.WriteAutostart(scope, program);
        ASSERT_TRUE(written.ok) << written.error;
        EXPECT_EQ(p.ReadAutostart(scope), program);
        EXPECT_TRUE(p.DeleteAutostart(scope).ok);
        EXPECT_EQ(p.ReadAutostart(scope), "");
        const ActionResult again = p.DeleteAutostart(scope);
        EXPECT_TRUE(again.ok) << "deleting a missing entry: " << again.error;
    }
}

TEST_P(PlatformContract, ProcessRunsUntilEndedByItsName) {
    Platform& p = env->platform();
    const std::string name = env->UniqueProcessName();
    EXPECT_FALSE(p.IsProcessRunning(name));
    ASSERT_TRUE(env->StartProcess(name));
    ASSERT_TRUE(WaitFor([&] { return p.IsProcessRunning(name); })) << name << " was not seen running";
    const std::vector<ProcessInfo> list = p.ListProcesses();
    EXPECT_TRUE(
        std::any_of(list.begin(), list.end(), [&](const ProcessInfo& i) { return i.exeName == name; }));

    p.EndProcessByName(name);
    EXPECT_TRUE(WaitFor([&] { return !p.IsProcessRunning(name); })) << name << " still runs";
}

} // namespace vantor::contract
