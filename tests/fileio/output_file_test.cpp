// SPDX-License-Identifier: MIT

#include "fileio/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>

#include "fileio/file_error.h"
#include "tests/fileio/temporary_folder.h"

namespace vorlane {
namespace {

using testing::ReadFile;
using testing::TemporaryFolder;
using testing::WriteFile;

// Until Commit, the folder shows nothing new, not even a hidden file: the new
// file has no name that a signal could leave behind.
TEST(OutputFile, AddsNothingToTheFolderBeforeCommit) {
    TemporaryFolder folder;
    WriteFile(folder / "old", "old\n");
    for (const char* name : {"new", "old"}) {
        {
            OutputFile output(folder / name);
            EXPECT_TRUE(output.isTemporary());
            output.Write("x");
            EXPECT_EQ(folder.Listing(), "old\n") << name;
        }
        EXPECT_EQ(folder.Listing(), "old\n") << name << ": no commit, no trace";
        EXPECT_EQ(ReadFile(folder / "old"), "old\n");
    }
    {
        OutputFile output(folder / "new");
        output.Write("new\n");
        output.Commit();
    }
    EXPECT_EQ(folder.Listing(), "new\nold\n");
    EXPECT_EQ(ReadFile(folder / "new"), "new\n");
}

TEST(OutputFile, ReplacesAFileKeepingItsModeAndExtendedAttributes) {
    TemporaryFolder folder;
    const std::string path = folder / "list";
    WriteFile(path, "old\n");
    chmod(path.c_str(), 0640);
    const bool xattrs = setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0;
    {
        OutputFile output(path);
        output.Write("new\n");
        EXPECT_EQ(ReadFile(path), "old\n");
        output.Commit();
        EXPECT_EQ(output.notKept(), "");
    }
    EXPECT_EQ(ReadFile(path), "new\n");
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(getxattr(path.c_str(), "user.note", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    EXPECT_EQ(folder.Listing(), "list\n");
}

// As a shell's redirection does: the link stays and the file it names is written.
TEST(OutputFile, WritesTheFileASymbolicLinkNames) {
    TemporaryFolder folder;
    std::filesystem::create_symlink("target", folder / "dangling");
    std::filesystem::create_directory(folder.path() / "sub");
    std::filesystem::create_symlink("sub/../sub/deep", folder / "relative");
    WriteFile(folder / "existing", "old");
    std::filesystem::create_symlink("existing", folder / "link");
    for (const auto& [link, target] :
         {std::pair{"dangling", "target"}, std::pair{"relative", "sub/deep"},
          std::pair{"link", "existing"}}) {
        OutputFile output(folder / link);
        output.Write(link);
        output.Commit();
        EXPECT_TRUE(std::filesystem::is_symlink(folder / link)) << link;
        EXPECT_EQ(ReadFile(folder / target), link);
    }
}

TEST(OutputFile, RejectsALoopOfLinksAndAFolder) {
    TemporaryFolder folder;
    std::filesystem::create_symlink("two", folder / "one");
    std::filesystem::create_symlink("one", folder / "two");
    std::filesystem::create_directory(folder.path() / "sub");
    for (const char* name : {"one", "sub", "missing/out"}) {
        EXPECT_THROW(OutputFile output(folder / name), FileError) << name;
    }
    EXPECT_EQ(folder.Listing(), "one\nsub\ntwo\n");
}

// A device is written directly: nothing is renamed onto it. The devices are
// the test's own nodes, so that a fault that replaces them replaces nothing
// of the machine's.
TEST(OutputFile, WritesDevicesDirectly) {
    testing::TemporaryFolder folder;
    const std::string null = folder / "null";
    const std::string full = folder / "full";
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
        GTEST_SKIP() << "no right to make device nodes";
    }
    {
        OutputFile output(null);
        EXPECT_FALSE(output.isTemporary());
        output.Write("x");
        output.Commit();
    }
    struct stat status {};
    ASSERT_EQ(stat(null.c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    OutputFile fullOutput(full);
    EXPECT_FALSE(fullOutput.isTemporary());
    EXPECT_THROW(fullOutput.Write("x"), FileError);
}

}  // namespace
}  // namespace vorlane
