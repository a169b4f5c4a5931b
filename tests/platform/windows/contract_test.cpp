// The contract suite against the Win32 backend under Wine, and what the registry holds for
// start-with-Windows.
#include "contract/platform_contract.h"
#include "platform/native.h"
#include "platform/windows/wide.h"
#include "windows_test_support.h"

#include <windows.h>

namespace vantor::contract {
namespace {

class Win32Env : public ContractEnv {
public:
    Platform& platform() override { return *platform_; }
    std::string UniqueProcessName() override {
        return "vantor-contract-" + std::to_string(GetCurrentProcessId()) + ".exe";
    }
    bool StartProcess(const std::string& exeName) override {
        const std::string copy = Child(exeName);
        if (!testing::CopyHelper(copy)) {
            return false;
        }
        processes_.emplace_back(copy, std::vector<std::string>{"wait"});
        return processes_.back().started();
    }

private:
    std::unique_ptr<Platform> platform_ = CreateNativePlatform();
    std::vector<testing::Process> processes_;
};

VANTOR_PLATFORM_CONTRACT(Win32, [] { return std::make_unique<Win32Env>(); });

// The value the system itself reads at log-on: a text value "Vantor" under the Run key of each scope.
TEST(Win32Autostart, WritesATextValueNamedVantorUnderTheRunKeyOfItsScope) {
    std::unique_ptr<Platform> platform = CreateNativePlatform();
    const std::string program = "C:\\Users\\张三\\桌面\\Vantor 工具\\vantor.exe";
    const struct {
        AutostartScope scope;
        HKEY root;
    } scopes[] = {{AutostartScope::Machine, HKEY_LOCAL_MACHINE}, {AutostartScope::User, HKEY_CURRENT_USER}};
    for (const auto& s : scopes) {
        ASSERT_TRUE(platform->WriteAutostart(s.scope, program).ok);
        wchar_t data[512];
        DWORD bytes = sizeof data;
        DWORD type = 0;
        ASSERT_EQ(RegGetValueW(s.root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Vantor",
                               RRF_RT_ANY, &type, data, &bytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(windows_backend::Utf8(data), program);
        EXPECT_TRUE(platform->DeleteAutostart(s.scope).ok);
    }
}

} // namespace
} // namespace vantor::contract
