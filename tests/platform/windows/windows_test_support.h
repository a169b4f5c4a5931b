// Helpers for the Win32 backend's tests under Wine: temporary folders with Chinese names, and the helper
// program (test_helper.cpp) copied and started under names of the test's choosing.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace vantor::testing {

// A fresh folder "<temp>\vantor 测试 <n>" (blanks and Chinese characters on purpose), removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; } // UTF-8, without a final separator
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// Copies the helper program to `path` (UTF-8) and returns whether that worked.
bool CopyHelper(const std::string& path);

// A started program, ended when the object goes if it still runs.
class Process {
public:
    // Starts `exe` (UTF-8 path) with the arguments, each quoted.
    Process(const std::string& exe, const std::vector<std::string>& args);
    ~Process();
    Process(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool started() const { return handle_ != nullptr; }
    int64_t pid() const;
    bool Running() const;
    // Waits up to `timeout` for the program to end; true when it did. `exitCode` gets its exit code.
    bool WaitExit(std::chrono::milliseconds timeout, unsigned long* exitCode = nullptr) const;

private:
    void* handle_ = nullptr;
};

// Polls `check` every 20 ms until it holds or `timeout` passes.
template <typename F> bool WaitFor(F check, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!check()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace vantor::testing
