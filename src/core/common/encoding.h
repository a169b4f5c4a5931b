// The encodings of the program's text files: any of them read as UTF-8 text, and a text written back in
// the encoding its file had, so that a file another program reads stays readable to it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// Appends one code point to a UTF-8 text.
void AppendUtf8(std::string& out, uint32_t cp);

// Converts legacy bytes (the Chinese Windows code page) to UTF-8; nullopt when they cannot be decoded.
using LegacyDecoder = std::function<std::optional<std::string>(std::string_view)>;
// Converts UTF-8 text to the legacy code page; nullopt when the code page cannot hold every character.
using LegacyEncoder = std::function<std::optional<std::string>(std::string_view)>;

enum class TextEncoding {
    Utf8,       // without a byte-order mark
    Utf8Bom,    // with one
    Legacy,     // the Chinese Windows code page (GBK)
    Utf16Le,    // what Windows' editors call "Unicode", here without a byte-order mark
    Utf16LeBom, // and with one
    Utf16Be,
    Utf16BeBom,
};

// A file's bytes as text.
struct DecodedText {
    // False when some of the text is in no encoding the program knows (text is then empty): such a file
    // cannot be read, and writing over it would lose what it holds.
    bool ok = true;
    std::string text; // UTF-8, line ends as they were
    // The encoding to write the file back in: its own; UTF-8 with a byte-order mark when its lines mixed
    // UTF-8 and the legacy code page. nullopt when the bytes say nothing (empty, or plain ASCII).
    std::optional<TextEncoding> encoding;
};

// Reads a file's bytes. A UTF-16 byte-order mark, or (without one) zero bytes as plain text in UTF-16 has
// every other byte zero, means UTF-16. Otherwise a UTF-8 byte-order mark is dropped and each line is
// decoded on its own: UTF-8 when it is valid UTF-8, else the legacy code page (`legacy`), so a file that
// another program appended to in its own encoding keeps every line. Zero bytes are never text.
DecodedText DecodeFileText(std::string_view bytes, const LegacyDecoder& legacy);

// DecodeFileText for bytes the caller is done with: text that is already UTF-8 (the usual case) keeps
// their buffer instead of being copied, so a large file is not held twice.
DecodedText TakeFileText(std::string&& bytes, const LegacyDecoder& legacy);

// The encoding DecodeFileText would find, without decoding anything (lines that are not UTF-8 are taken
// for the legacy code page): what a rewrite of the file keeps.
std::optional<TextEncoding> SniffFileEncoding(std::string_view bytes);

// How the program writes its files: the legacy code page both ways, and the encoding of a new file.
struct TextCodec {
    TextCodec() = default;
    // A reader's decoder alone: new files in UTF-8, the legacy code page never written.
    TextCodec(LegacyDecoder d) : decode(std::move(d)) {} // NOLINT(google-explicit-constructor)
    LegacyDecoder decode;
    LegacyEncoder encode;
    TextEncoding forNewFiles = TextEncoding::Utf8;
};

// The bytes of a UTF-8 text in `encoding` (nullopt: the codec's one for new files). A text that the
// legacy code page cannot hold, or whose lines would read back as UTF-8, goes in UTF-8 with a
// byte-order mark; a text that itself begins with U+FEFF gets a mark in front, as the reader drops one.
std::string EncodeFileText(std::string_view text, std::optional<TextEncoding> encoding,
                           const TextCodec& codec);

} // namespace vantor
