// The contract every backend keeps with its callers, run against the fake, Linux and Win32 backends: each
// backend's test program gives the suite an environment that makes files and processes the way its
// system does.
#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace vantor::contract {

// A UTF-8 path as the file system library's path, whatever the system's own encoding of names.
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& path);

class ContractEnv {
public:
    // Makes a fresh folder whose name holds blanks and Chinese characters; removed with the environment.
    ContractEnv();
    virtual ~ContractEnv();
    ContractEnv(const ContractEnv&) = delete;
    ContractEnv& operator=(const ContractEnv&) = delete;

    virtual Platform& platform() = 0;
    // An executable file name for this system that no other program uses ("name" or "name.exe").
    virtual std::string UniqueProcessName() = 0;
    // Starts a process running an executable file of that name, which stays until it is ended.
    virtual bool StartProcess(const std::string& exeName) = 0;
    // Makes a program file (with a name from UniqueProcessName) as the system's users make one: the
    // Linux one gets its execute bit, the fake is told of it.
    virtual void MakeProgramFile(const std::string& path);

    const std::string& folder() const { return folder_; }
    std::string Child(const std::string& name) const;

private:
    std::string folder_;
};

using ContractEnvFactory = std::function<std::unique_ptr<ContractEnv>()>;

class PlatformContract : public ::testing::TestWithParam<ContractEnvFactory> {
protected:
    void SetUp() override { env = GetParam()(); }
    std::unique_ptr<ContractEnv> env;
};

} // namespace vantor::contract

// Runs the contract suite against the backend the factory's environments are made for.
#define VANTOR_PLATFORM_CONTRACT(Backend, factory)                                                           \
    INSTANTIATE_TEST_SUITE_P(Backend, PlatformContract,                                                      \
                             ::testing::Values(vantor::contract::ContractEnvFactory(factory)))
