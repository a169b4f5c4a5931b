#include "core/common/file_io.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
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
    // C stdio rather than a file stream: the first file stream of a process sets up the C++ library's
    // locale machinery, which brings half a megabyte of its code into memory at start-up to read one file.
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        out.readError = true;
        return out;
    }
    // Read straight into a buffer of the file's size: growing it piece by piece would copy a large task
    // file several times over and leave the discarded buffers behind in the heap.
    const uintmax_t size = fs::file_size(path, ec);
    out.bytes.resize(!ec && size < kMaxPresized ? static_cast<size_t>(size) : 0);
    out.bytes.resize(std::fread(out.bytes.data(), 1, out.bytes.size(), in));
    // A file that grew since its size was taken (or reports none) is read on to its end.
    char buf[4096];
    for (size_t n = 0; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) {
        out.bytes.append(buf, n);
    }
    out.readError = std::ferror(in) != 0;
    std::fclose(in);
    return out;
}

std::string TempPathFor(const std::string& path) {
    return path + ".tmp";
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temp = TempPathFor(path);
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    // fclose flushes what is still buffered: it can fail too, and then the file is incomplete.
    if (std::fclose(out) != 0 || !written) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
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
