// UTF-8 inside the program, UTF-16 at every Win32 call: the conversions, and system error texts.
#pragma once

#include <string>
#include <string_view>

namespace vantor::windows_backend {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The system's own description of an error code, without the line end; the number when there is none.
std::string SystemErrorText(unsigned long code);

// "无法<what>：<the system's reason>", the form of every failure this backend reports.
std::string Failure(std::string_view what, unsigned long code);

} // namespace vantor::windows_backend
