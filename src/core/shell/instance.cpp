#include "core/shell/instance.h"

#include <cstdint>
#include <cstdio>

namespace vantor {

std::string InstanceChannelName(std::string_view programFolder) {
    // FNV-1a: a stable hash (std::hash may differ between builds, and both copies must agree).
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : programFolder) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("vantor-") + hex;
}

} // namespace vantor
