#include "core/common/encoding.h"

#include "core/common/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace vantor {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool HasNonAscii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
}

bool HasZeroByte(std::string_view bytes) {
    return !bytes.empty() && std::memchr(bytes.data(), 0, bytes.size()) != nullptr;
}

// Which byte order a UTF-16 text without a mark has: the zero high bytes of its plain characters stand
// after the low ones (little-endian) or before them. nullopt when the bytes cannot be UTF-16 at all.
std::optional<bool> Utf16LittleEndian(std::string_view bytes) {
    if (bytes.empty() || bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    size_t evenZeros = 0, oddZeros = 0;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        evenZeros += bytes[i] == '\0' ? 1 : 0;
        oddZeros += bytes[i + 1] == '\0' ? 1 : 0;
    }
    if (evenZeros == oddZeros) {
        return std::nullopt;
    }
    return oddZeros > evenZeros;
}

// Strict: an odd length, a lone surrogate or a zero character is no UTF-16 text.
std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool littleEndian) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto unit = [&](size_t i) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return littleEndian ? (uint32_t{b} << 8 | a) : (uint32_t{a} << 8 | b);
    };
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (size_t i = 0; i < bytes.size(); i += 2) {
        uint32_t cp = unit(i);
        if (cp == 0 || (cp >= 0xDC00 && cp <= 0xDFFF)) {
            return std::nullopt;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 3 >= bytes.size()) {
                return std::nullopt;
            }
            const uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) {
                return std::nullopt;
            }
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

// `utf8` must be valid UTF-8 (every text the program composes is).
std::string Utf8ToUtf16(std::string_view utf8, bool littleEndian) {
    std::string out;
    out.reserve(utf8.size() * 2);
    const auto put = [&](uint32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += littleEndian ? lo : hi;
        out += littleEndian ? hi : lo;
    };
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (size_t k = 1; k < len && i + k < utf8.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

DecodedText Undecodable() {
    return DecodedText{false, {}, std::nullopt};
}

DecodedText DecodeUtf16(std::string_view bytes, bool littleEndian, bool marked) {
    std::optional<std::string> text = Utf16ToUtf8(bytes, littleEndian);
    if (!text) {
        return Undecodable();
    }
    const TextEncoding encoding = littleEndian ? (marked ? TextEncoding::Utf16LeBom : TextEncoding::Utf16Le)
                                               : (marked ? TextEncoding::Utf16BeBom : TextEncoding::Utf16Be);
    return DecodedText{true, std::move(*text), encoding};
}

// The UTF-16 cases, when the bytes are UTF-16; nullopt otherwise.
std::optional<DecodedText> DecodeIfUtf16(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LeMark)) {
        return DecodeUtf16(bytes.substr(2), true, true);
    }
    if (bytes.starts_with(kUtf16BeMark)) {
        return DecodeUtf16(bytes.substr(2), false, true);
    }
    if (!bytes.starts_with(kUtf8Mark) && HasZeroByte(bytes)) {
        const std::optional<bool> littleEndian = Utf16LittleEndian(bytes);
        return littleEndian ? DecodeUtf16(bytes, *littleEndian, false) : Undecodable();
    }
    return std::nullopt;
}

// Line by line, as the module comment says. Lines that are not UTF-8 are handed to the legacy decoder in
// runs (with the plain ASCII lines between them, which read the same in both), since the code page never
// puts a CR or LF byte inside a character; with `decode` false they are only counted.
DecodedText DecodeByLine(std::string_view bytes, bool marked, const LegacyDecoder& legacy, bool decode) {
    if (HasZeroByte(bytes)) {
        return Undecodable();
    }
    DecodedText out;
    bool sawUtf8 = false, sawLegacy = false;
    size_t runStart = 0;
    const auto flushRun = [&](size_t end) {
        const std::string_view run = bytes.substr(runStart, end - runStart);
        if (!HasNonAscii(run)) {
            out.text.append(run);
            return true;
        }
        sawLegacy = true;
        if (!decode) {
            return true;
        }
        std::optional<std::string> text = legacy ? legacy(run) : std::nullopt;
        if (!text || !IsValidUtf8(*text) || HasZeroByte(*text)) {
            return false;
        }
        out.text += *text;
        return true;
    };
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        end = end == std::string_view::npos ? bytes.size() : end;
        size_t next = end;
        if (next < bytes.size()) {
            next += bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n' ? 2 : 1;
        }
        const std::string_view line = bytes.substr(pos, end - pos);
        if (HasNonAscii(line) && IsValidUtf8(line)) {
            if (!flushRun(pos)) {
                return Undecodable();
            }
            out.text.append(bytes.substr(pos, next - pos));
            sawUtf8 = true;
            runStart = next;
        }
        pos = next;
    }
    if (!flushRun(bytes.size())) {
        return Undecodable();
    }
    if (sawLegacy) {
        out.encoding = sawUtf8 || marked ? TextEncoding::Utf8Bom : TextEncoding::Legacy;
    } else if (marked) {
        out.encoding = TextEncoding::Utf8Bom;
    } else if (sawUtf8) {
        out.encoding = TextEncoding::Utf8;
    }
    return out;
}

DecodedText Decode(std::string_view bytes, const LegacyDecoder& legacy, bool decode) {
    if (std::optional<DecodedText> utf16 = DecodeIfUtf16(bytes)) {
        return std::move(*utf16);
    }
    const bool marked = bytes.starts_with(kUtf8Mark);
    if (marked) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    return DecodeByLine(bytes, marked, legacy, decode);
}

// Whether the reader takes every line of these legacy bytes for the legacy code page again: a line whose
// bytes happen to be valid UTF-8 would be read as UTF-8 and come back as other characters.
bool ReadsBackAsLegacy(std::string_view bytes) {
    if (HasZeroByte(bytes)) {
        return false;
    }
    bool ok = true;
    ForEachLine(bytes,
                [&ok](std::string_view line) { ok = ok && !(HasNonAscii(line) && IsValidUtf8(line)); });
    return ok;
}

} // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

DecodedText DecodeFileText(std::string_view bytes, const LegacyDecoder& legacy) {
    return Decode(bytes, legacy, true);
}

DecodedText TakeFileText(std::string&& bytes, const LegacyDecoder& legacy) {
    const std::string_view view(bytes);
    const bool marked = view.starts_with(kUtf8Mark);
    const std::string_view body = view.substr(marked ? kUtf8Mark.size() : 0);
    if (!view.starts_with(kUtf16LeMark) && !view.starts_with(kUtf16BeMark) && !HasZeroByte(body) &&
        IsValidUtf8(body)) {
        DecodedText out;
        out.encoding = marked              ? std::optional(TextEncoding::Utf8Bom)
                       : HasNonAscii(body) ? std::optional(TextEncoding::Utf8)
                                           : std::nullopt;
        out.text = std::move(bytes);
        if (marked) {
            out.text.erase(0, kUtf8Mark.size());
        }
        return out;
    }
    return Decode(view, legacy, true);
}

std::optional<TextEncoding> SniffFileEncoding(std::string_view bytes) {
    return Decode(bytes, {}, false).encoding;
}

std::string EncodeFileText(std::string_view text, std::optional<TextEncoding> encoding,
                           const TextCodec& codec) {
    TextEncoding target = encoding.value_or(codec.forNewFiles);
    const bool leadingMark = text.starts_with(kUtf8Mark);
    if (target == TextEncoding::Legacy) {
        if (!leadingMark && codec.encode) {
            if (std::optional<std::string> bytes = codec.encode(text); bytes && ReadsBackAsLegacy(*bytes)) {
                return std::move(*bytes);
            }
        }
        target = TextEncoding::Utf8Bom;
    }
    switch (target) {
    case TextEncoding::Utf8:
        return leadingMark ? std::string(kUtf8Mark) + std::string(text) : std::string(text);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        const bool littleEndian = target == TextEncoding::Utf16Le;
        std::string bytes = Utf8ToUtf16(text, littleEndian);
        // Without a mark the reader knows UTF-16 by its zero bytes: a text that has none, or too few to
        // tell the byte order, keeps its meaning only with one.
        if (!leadingMark && (bytes.empty() || Utf16LittleEndian(bytes) == littleEndian)) {
            return bytes;
        }
        return std::string(littleEndian ? kUtf16LeMark : kUtf16BeMark) + bytes;
    }
    case TextEncoding::Utf16LeBom:
        return std::string(kUtf16LeMark) + Utf8ToUtf16(text, true);
    case TextEncoding::Utf16BeBom:
        return std::string(kUtf16BeMark) + Utf8ToUtf16(text, false);
    case TextEncoding::Utf8Bom:
    case TextEncoding::Legacy:
        break;
    }
    return std::string(kUtf8Mark) + std::string(text);
}

} // namespace vantor
