// The backend of the system the program was built for (Linux or Win32), chosen by the build.
#pragma once

#include "platform/platform.h"

#include <memory>
#include <string_view>

namespace vantor {

std::unique_ptr<Platform> CreateNativePlatform();

// For a command line answer (--help, --version, a wrong option, a dry run's lines): a windowed program on
// Windows starts without standard output and error, so those not redirected by the caller are joined to
// the console of the command that started it. Nothing to do where a program always has them (Linux).
void UseCallersConsole();

enum class TextStream { Out, Error };

// Every line the program prints goes through here, in UTF-8. A console (Windows) gets the text through
// its wide-character call, so every character shows whatever its code page; a file or a pipe gets the
// UTF-8 bytes (with CR LF line ends on Windows, as text files there have them). Written at once.
void WriteText(TextStream stream, std::string_view utf8);

} // namespace vantor
