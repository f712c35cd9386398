// SPDX-License-Identifier: MIT

#pragma once

#include <stdexcept>
#include <string>

namespace vorlane {

// A file or stream that cannot be read, decoded, encoded or written. what() is
// a one-line message for the user, in Chinese, as UTF-8.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A few Chinese words for an errno value, e.g. "没有那个文件或目录".
std::string DescribeSystemError(int error);

}  // namespace vorlane
