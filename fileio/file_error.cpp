// SPDX-License-Identifier: MIT

#include "fileio/file_error.h"

#include <cerrno>
#include <cstring>

namespace vorlane {

std::string DescribeSystemError(int error) {
    switch (error) {
        case ENOENT:
            return "没有那个文件或目录";
        case EACCES:
        case EPERM:
            return "权限不够";
        case EISDIR:
            return "是一个目录";
        case ENOTDIR:
            return "路径中有一部分不是目录";
        case ENOSPC:
            return "磁盘空间不足";
        case EDQUOT:
            return "超出磁盘配额";
        case EFBIG:
            return "文件过大";
        case EROFS:
            return "文件系统只读";
        case EPIPE:
            return "管道已关闭";
        case EIO:
            return "输入/输出错误";
        case EBADF:
            return "没有打开";
        case ENAMETOOLONG:
            return "文件名过长";
        case ELOOP:
            return "符号链接层数过多";
        case ENOMEM:
            return "内存不足";
        default:
            return std::strerror(error);
    }
}

}  // namespace vorlane
