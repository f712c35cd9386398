// SPDX-License-Identifier: MIT

#include "fileio/file_error.h"

#include <cerrno>
#include <cstdio>

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
        case ENXIO:
        case ENODEV:
            return "没有那个设备或地址";
        case EBUSY:
        case ETXTBSY:
            return "设备或文件正忙";
        case EAGAIN:
            return "资源暂时不可用";
        case EMFILE:
        case ENFILE:
            return "打开的文件过多";
        case EEXIST:
            return "文件已存在";
        case EINVAL:
            return "参数无效";
        case EOPNOTSUPP:
            return "不支持该操作";
        case EOVERFLOW:
            return "数值超出范围";
        case ESPIPE:
            return "不能定位";
        case ECONNRESET:
            return "连接被重置";
        case ETIMEDOUT:
            return "连接超时";
        case EXDEV:
            return "不能跨文件系统";
        case EINTR:
            return "被信号中断";
        default:
            return "系统错误 " + std::to_string(error);
    }
}

std::string Quoted(std::string_view name) {
    std::string quoted = "“";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        // U+0080..U+009F in UTF-8: C2 80..C2 9F.
        const bool c1 = byte == 0xC2 && i + 1 < name.size() &&
                        static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(name[i + 1]) <= 0x9F;
        char escape[8];
        if (byte == '\n') {
            quoted += "\\n";
        } else if (byte == '\r') {
            quoted += "\\r";
        } else if (byte == '\t') {
            quoted += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else if (c1) {
            std::snprintf(escape, sizeof escape, "\\u%04X",
                          static_cast<unsigned char>(name[++i]) & 0xFFu);
            quoted += escape;
        } else {
            quoted += name[i];
        }
    }
    return quoted + "”";
}

}  // namespace vorlane
