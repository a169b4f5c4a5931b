// The contract suite against the Linux backend: files in a temporary folder, autostart entries in
// temporary XDG folders, processes that are copies of sleep under a name of their own.
#include "contract/platform_contract.h"
#include "linux_test_support.h"
#include "platform/native.h"

#include <sys/stat.h>
#include <unistd.h>

namespace vantor::contract {
namespace {

class LinuxEnv : public ContractEnv {
public:
    LinuxEnv()
        : machine_("VANTOR_XDG_AUTOSTART_DIR", Child("machine autostart")),
          user_("XDG_CONFIG_HOME", Child("user config")) {}
    Platform& platform() override { return *platform_; }
    std::string UniqueProcessName() override { return "vantor-contract-" + std::to_string(getpid()); }
    void MakeProgramFile(const std::string& path) override {
        ContractEnv::MakeProgramFile(path);
        chmod(path.c_str(), 0755);
    }
    bool StartProcess(const std::string& exeName) override {
        const std::string copy = Child(exeName);
        if (!testing::RunCommand({"/bin/cp", "/bin/sleep", copy})) {
            return false;
        }
        // Started through a shell that leaves it behind, as a program the user started would be: not a
        // child of this test, so it is gone for good once ended, with nothing left to reap.
        started_.push_back(exeName);
        return testing::RunCommand({"/bin/sh", "-c", "\"$0\" 60 </dev/null >/dev/null 2>&1 &", copy})
            .has_value();
    }
    ~LinuxEnv() override {
        for (const std::string& name : started_) {
            platform_->EndProcessByName(name);
        }
    }

private:
    testing::ScopedEnv machine_;
    testing::ScopedEnv user_;
    std::unique_ptr<Platform> platform_ = CreateNativePlatform();
    std::vector<std::string> started_;
};

VANTOR_PLATFORM_CONTRACT(Linux, [] { return std::make_unique<LinuxEnv>(); });

} // namespace
} // namespace vantor::contract
