#include "core/common/file_io.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vantor {

namespace fs = std::filesystem;

// A reported size above this is not trusted for one allocation up front; such a file is read in pieces.
constexpr uintmax_t kMaxPresized = uintmax_t{1} << 30;

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
    // Read straight into a buffer of the file's size: growing it piece by piece would copy a large task
    // file several times over and leave the discarded buffers behind in the heap.
    const uintmax_t size = fs::file_size(path, ec);
    out.bytes.resize(!ec && size < kMaxPresized ? static_cast<size_t>(size) : 0);
    in.read(out.bytes.data(), static_cast<std::streamsize>(out.bytes.size()));
    out.bytes.resize(static_cast<size_t>(in.gcount()));
    // A file that grew since its size was taken (or reports none) is read on to its end.
    char buf[4096];
    while (in && (in.read(buf, sizeof buf) || in.gcount() > 0)) {
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
