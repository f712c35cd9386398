// SPDX-License-Identifier: MIT

#include "batch/batch_help.h"

namespace vorlane {
namespace {

// The help of both commands, in three parts: the list of commands in the
// middle is also the program's own.
constexpr std::string_view kUsage = R"(用法：
  vorlane dedupe [文件] [-o 输出文件] [--encoding 编码]
  vorlane join [文件] [-s 分隔符] [-o 输出文件] [--encoding 编码]

)";

constexpr std::string_view kCommandList =
    R"(  dedupe  去除重复行：按顺序保留在此前保留的行中尚未出现的行（与前面某行相同，
          或是其中的一部分，都算已出现），并去掉空行；在标准错误上报告
          原总数、处理后数和清出重复数。
  join    把所有行用分隔符连成一行。
)";

constexpr std::string_view kDetails = R"(
  省略文件或写“-”时读取标准输入；结果写到标准输出。

选项：
  -o, --output 输出文件   把结果写入该文件；全部写完才替换原文件，
                          所以输出文件可以就是输入文件；替换后的文件保留
                          原文件的权限、所有者、组和扩展属性（无法保留的
                          会提示）。输出文件若就是标准输出或标准错误打开的
                          文件，就通过它写出；不是普通文件的照原样写入
  -s, --separator 分隔符  join 用的分隔符，按输入的原样使用，不能为空，
                          默认为“,”
      --encoding 编码     输入和输出的编码，如 GB18030、GBK、BIG5、SHIFT_JIS；
                          默认为 UTF-8，其中无效的字节原样保留；
                          带 BOM 的 UTF-8、UTF-16 和 UTF-32 会自动识别并照样写回
  -h, --help              显示本帮助

  保留的每一行都按输入中的原字节写出；只有换行、分隔符和 BOM 由本程序按输入的
  编码写出。CR LF、单独的 LF 和单独的 CR 都算一个换行。输出的换行沿用输入中
  第一个换行的写法（没有换行时用 LF）；输入以换行结尾时，输出也以换行结尾。

  退出状态：0 完成；1 读写错误或数据错误（包括无法写出统计）；2 用法错误。

示例：
  vorlane dedupe 名单.txt -o 名单.txt
  vorlane dedupe --encoding GB18030 旧名单.txt > 新名单.txt
  cut -f1 表格.tsv | vorlane join -s "、"
)";

}  // namespace

std::string_view BatchCommandList() { return kCommandList; }

std::string BatchHelp() {
    return std::string(kUsage) + std::string(kCommandList) + std::string(kDetails);
}

}  // namespace vorlane
