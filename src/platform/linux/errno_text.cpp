// The reason behind a failed system call, in the words the program shows its user.
#include "platform/linux/errno_text.h"

#include <cerrno>

namespace vantor::linux_backend {

std::string ErrnoText(int err) {
    switch (err) {
    case ENOENT:
        return "文件或文件夹不存在";
    case EACCES:
    case EPERM:
        return "没有权限";
    case ENOEXEC:
        return "不是可以运行的程序";
    case ETXTBSY:
        return "文件正在使用中";
    case ENOTDIR:
        return "路径中有一部分不是文件夹";
    case EISDIR:
        return "这是一个文件夹";
    case EEXIST:
        return "已有同名的文件";
    case EROFS:
        return "所在的磁盘只能读取";
    case ENOSPC:
        return "磁盘已满";
    case ENOMEM:
    case EAGAIN:
        return "系统资源不足";
    case ENAMETOOLONG:
        return "路径太长";
    case ELOOP:
        return "路径中的链接太多";
    case EIO:
        return "读写出错";
    default:
        return "系统错误 " + std::to_string(err);
    }
}

} // namespace vantor::linux_backend
