// SPDX-License-Identifier: MIT

#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vorlane {

// A file or stream that cannot be read, decoded, encoded or written. what() is
// a one-line message for the user, in Chinese, as UTF-8.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A few Chinese words for an errno value, e.g. "没有那个文件或目录"; for a value
// without words of its own, "系统错误 N".
std::string DescribeSystemError(int error);

// `name` in Chinese quotation marks for a one-line message, its bytes as they
// are but control characters (C0, DEL and C1), which would break the line or
// drive the terminal, written as escapes: \n, \r, \t, \x1B, \u009B.
std::string Quoted(std::string_view name);

}  // namespace vorlane
