#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_drive.h"
#include "vcl/sysutils.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadBytes;
using testing_support::TempDrive;
using testing_support::WriteBytes;

class FilesTest : public ::testing::Test {
protected:
    TempDrive drive;
};

TEST_F(FilesTest, MapPathPutsDriveLettersBelowTheRoot) {
    EXPECT_EQ(vcl::MapPath("C:\\WINDOWS\\ZRK\\ZRKFIELD.INI"), drive.Root() / "C" / "WINDOWS/ZRK/ZRKFIELD.INI");
    EXPECT_EQ(vcl::MapPath("d:\\x"), drive.Root() / "D" / "x");
    EXPECT_EQ(vcl::MapPath("C:"), drive.Root() / "C" / "");
    EXPECT_EQ(vcl::MapPath("/tmp/a"), fs::path("/tmp/a"));  // no drive: used as it stands
    EXPECT_EQ(vcl::MapPath("rel\\a"), fs::path("rel/a"));
}

TEST_F(FilesTest, ForceDirectoriesCreatesEveryMissingLevel) {
    EXPECT_FALSE(vcl::DirectoryExists("C:\\A\\B\\C"));
    EXPECT_TRUE(vcl::ForceDirectories("C:\\A\\B\\C"));
    EXPECT_TRUE(vcl::DirectoryExists("C:\\A\\B\\C"));
    EXPECT_TRUE(vcl::ForceDirectories("C:\\A\\B\\C"));  // already there
    WriteBytes(drive.Root() / "C/A/F", "x");
    EXPECT_FALSE(vcl::ForceDirectories("C:\\A\\F\\G"));  // a file stands in the way
    EXPECT_TRUE(vcl::FileExists("C:\\A\\F"));
    EXPECT_FALSE(vcl::FileExists("C:\\A\\B"));  // a directory is no file
    EXPECT_FALSE(vcl::FileExists("C:\\A\\NONE"));
}

TEST_F(FilesTest, ReaderSplitsAtEveryKindOfLineEnd) {
    struct Case { const char* name; std::string bytes; std::vector<std::string> lines; };
    const Case cases[] = {
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"CR", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\n\nb\r\rc", {"a", "", "b", "", "c"}},
        {"no end on the last line", "a\r\nb", {"a", "b"}},
        {"empty lines", "\r\n\r\n", {"", ""}},
        {"empty file", "", {}},
        {"bytes above 127 and NUL", std::string("\xE4\0z\r\n", 5), {std::string("\xE4\0z", 3)}},
    };
    for (const Case& c : cases) {
        WriteBytes(drive.Root() / "C/f.txt", c.bytes);
        vcl::TTextReader reader("C:\\f.txt");
        std::vector<std::string> lines;
        while (!reader.Eof()) lines.push_back(reader.ReadLn());
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(reader.LineNo(), static_cast<int>(c.lines.size())) << c.name;
        EXPECT_EQ(reader.ReadLn(), "") << "past the end: " << c.name;
        EXPECT_EQ(reader.LineNo(), static_cast<int>(c.lines.size()) + 1) << c.name;
    }
}

TEST_F(FilesTest, ReaderOfAMissingFileRaisesAnIoError) {
    EXPECT_THROW(vcl::TTextReader("C:\\none.txt"), vcl::EInOutError);
    fs::create_directories(drive.Root() / "C/dir");
    EXPECT_THROW(vcl::TTextReader("C:\\dir"), vcl::EInOutError);
}

TEST_F(FilesTest, WriterEndsEveryLineWithCrLf) {
    fs::create_directories(drive.Root() / "C");
    for (auto mode : {vcl::TTextWriter::Replace::Directly, vcl::TTextWriter::Replace::Safely}) {
        {
            vcl::TTextWriter writer("C:\\out.txt", mode);
            writer.WriteLn("Version 2");
            writer.WriteLn(-12);
            writer.WriteLn("");
            writer.WriteLn("\xE4");
            writer.Commit();
        }
        EXPECT_EQ(ReadBytes(drive.Root() / "C/out.txt"), "Version 2\r\n-12\r\n\r\n\xE4\r\n");
        EXPECT_FALSE(fs::exists(drive.Root() / "C/out.txt.tmp"));
    }
}

TEST_F(FilesTest, WriterKeepsEveryByteAcrossItsBuffer) {
    fs::create_directories(drive.Root() / "C");
    const std::string huge(3 << 20, 'h');  // longer than the writer collects at once
    std::string expected;
    {
        vcl::TTextWriter writer("C:\\big.txt");
        for (int i = 0; i < 300000; ++i) {  // many short lines cross the buffer's end
            writer.WriteLn(i);
            expected += std::to_string(i) + "\r\n";
        }
        writer.WriteLn(huge);
        writer.Write("no end, ");
        writer.Write("a\r\nb");
        writer.WriteLn(-9223372036854775807LL - 1);
        writer.Commit();
    }
    expected += huge + "\r\nno end, a\r\nb-9223372036854775808\r\n";
    EXPECT_EQ(ReadBytes(drive.Root() / "C/big.txt"), expected);
}

TEST_F(FilesTest, ReaderViewsStayValidWhileTheReaderLives) {
    WriteBytes(drive.Root() / "C/v.txt", "first\r\nsecond\nthird");
    vcl::TTextReader reader("C:\\v.txt");
    const std::string_view first = reader.ReadLnView();
    const std::string second = reader.ReadLn();
    const std::string_view third = reader.ReadLnView();
    EXPECT_EQ(first, "first");
    EXPECT_EQ(second, "second");
    EXPECT_EQ(third, "third");
    EXPECT_TRUE(reader.Eof());
}

TEST_F(FilesTest, SafeWriterLeavesTheOldFileUntilCommit) {
    WriteBytes(drive.Root() / "C/keep.txt", "old\r\n");
    {
        vcl::TTextWriter writer("C:\\keep.txt", vcl::TTextWriter::Replace::Safely);
        writer.WriteLn("new");
        EXPECT_EQ(ReadBytes(drive.Root() / "C/keep.txt"), "old\r\n");
        // Left without Commit, as when an error ends the writing.
    }
    EXPECT_EQ(ReadBytes(drive.Root() / "C/keep.txt"), "old\r\n");
    EXPECT_FALSE(fs::exists(drive.Root() / "C/keep.txt.tmp"));
}

TEST_F(FilesTest, FailingSafeWriteKeepsTheOldFile) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    WriteBytes(drive.Root() / "C/keep.txt", "old\r\n");
    // The temporary file leads to a device on which every write fails.
    fs::create_symlink("/dev/full", drive.Root() / "C/keep.txt.tmp");
    {
        vcl::TTextWriter writer("C:\\keep.txt", vcl::TTextWriter::Replace::Safely);
        writer.WriteLn("new");
        EXPECT_THROW(writer.Commit(), vcl::EInOutError);
    }
    EXPECT_EQ(ReadBytes(drive.Root() / "C/keep.txt"), "old\r\n");
}

TEST_F(FilesTest, SafeWriteOverADirectoryFailsAndLeavesIt) {
    fs::create_directories(drive.Root() / "C/target/inside");
    {
        vcl::TTextWriter writer("C:\\target", vcl::TTextWriter::Replace::Safely);
        writer.WriteLn("new");
        EXPECT_THROW(writer.Commit(), vcl::EInOutError);
    }
    EXPECT_TRUE(fs::is_directory(drive.Root() / "C/target/inside"));
    EXPECT_FALSE(fs::exists(drive.Root() / "C/target.tmp"));
}

TEST_F(FilesTest, WriterIntoAMissingDirectoryRaisesAnIoError) {
    EXPECT_THROW(vcl::TTextWriter("C:\\no\\such\\dir\\f.txt"), vcl::EInOutError);
}

}  // namespace
