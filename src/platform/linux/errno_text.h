// The reason behind a failed system call, in the words the program shows its user.
#pragma once

#include <string>

namespace vantor::linux_backend {

// "文件或文件夹不存在" for ENOENT, "没有权限" for EACCES, ...; the number for a rare one.
std::string ErrnoText(int err);

} // namespace vantor::linux_backend
