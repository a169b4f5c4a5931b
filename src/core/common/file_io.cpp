#include "core/common/file_io.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vantor {

namespace fs = std::filesystem;

FileBytes ReadFileBytes(const std::string& path) {
    FileBytes out;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        return out;
    }
    out.exists = true;
    if (fs::is_directory(status)) {
        out.readError = true;
        return out;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out.readError = true;
        return out;
    }
    char buf[4096];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        out.bytes.append(buf, static_cast<size_t>(in.gcount()));
    }
    out.readError = in.bad();
    return out;
}

std::string TempPathFor(const std::string& path) {
    return path + ".tmp";
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temp = TempPathFor(path);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}

} // namespace vantor
