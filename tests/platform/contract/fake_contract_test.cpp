// The contract suite against the fake backend: the fake behaves as the real ones do where tests rely on it.
#include "platform/fake/fake_platform.h"
#include "platform_contract.h"

#include <set>

namespace vantor::contract {
namespace {

class FakeEnv : public ContractEnv {
public:
    FakeEnv() {
        fake_.SetWritableFolders({folder()});
        fake_.SetPerUserFolder(Child("config/vantor"));
    }
    Platform& platform() override { return fake_; }
    std::string UniqueProcessName() override { return "contract-tool.exe"; }
    bool StartProcess(const std::string& exeName) override {
        running_.insert(exeName);
        fake_.SetRunningProcesses(running_);
        return true;
    }
    void MakeProgramFile(const std::string& path) override {
        ContractEnv::MakeProgramFile(path);
        files_.insert(path);
        fake_.SetOrdinaryFiles(files_);
    }

private:
    FakePlatform fake_;
    std::set<std::string> running_;
    std::set<std::string> files_;
};

VANTOR_PLATFORM_CONTRACT(Fake, [] { return std::make_unique<FakeEnv>(); });

} // namespace
} // namespace vantor::contract
