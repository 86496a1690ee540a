// Runs the built zrkfile program end to end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_drive.h"

namespace {

namespace fs = std::filesystem;
using testing_support::CrLf;
using testing_support::ReadBytes;
using testing_support::TempDrive;
using testing_support::WriteBytes;

using ToolRun = testing_support::ProgramRun;

class ZrkfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* build = std::getenv("SPALTWERK_BUILD_DIR");
        const char* source = std::getenv("SPALTWERK_SOURCE_DIR");
        if (build == nullptr || source == nullptr) GTEST_SKIP() << "run through ctest, which names the build";
        tool_ = fs::path(build) / "zrkfile";
        sample_ = fs::path(source) / "samples" / "ZRKFIELD.INI";
    }

    ToolRun Zrkfile(const std::vector<std::string>& args) const {
        return testing_support::RunProgram(tool_, args, dir.Root());
    }
    std::string Put(const std::string& name, const std::string& bytes) const {
        WriteBytes(dir.Root() / name, bytes);
        return (dir.Root() / name).string();
    }

    TempDrive dir;
    fs::path tool_, sample_;
};

TEST_F(ZrkfileTest, CheckAcceptsTheSample) {
    const std::string sample = ReadBytes(sample_);  // the worked example: 28 lines ending in CR LF
    std::size_t lineEnds = 0;
    for (std::size_t at = sample.find("\r\n"); at != std::string::npos; at = sample.find("\r\n", at + 2)) ++lineEnds;
    EXPECT_EQ(lineEnds, 28u);
    EXPECT_TRUE(sample.ends_with("\r\nMeier\r\n"));
    const ToolRun r = Zrkfile({"check", sample_.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok: 1 datasets, 2 fields, version 2\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(ZrkfileTest, CheckNamesTheLineWhereReadingFailed) {
    struct Case { const char* name; std::string bytes; std::string err; };
    const Case cases[] = {
        {"bad count", CrLf({"Version 2", "x"}), "error: line 2: 'x' is not a valid integer value\n"},
        {"ends after the version", CrLf({"Version 2"}), "error: line 2: '' is not a valid integer value\n"},
        {"bad version", CrLf({"Version 2 beta", "0"}), "error: line 1: '2 beta' is not a valid integer value\n"},
        {"bad tag", CrLf({"Version 2", "1", "0", "A", "\xE4", "F"}),
         "error: line 5: '\xC3\xA4' is not a valid integer value\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Zrkfile({"check", Put("bad.ini", c.bytes)});
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_EQ(r.err, c.err) << c.name;
    }
}

TEST_F(ZrkfileTest, CheckCountsEveryVersionAndWarnsOfWhatItLeavesOut) {
    const std::string v0 = CrLf({"2", "1", "A", "0", "F", "0", "X", "", "", "", "T", "F", "5", "0", "B", "0", "F"});
    ToolRun r = Zrkfile({"check", Put("v0.ini", v0)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok: 2 datasets, 1 fields, version 0\n");

    const std::string repeated = CrLf({"Version 2", "2", "0", "A", "0", "F", "0", "a", "0", "f", "junk"});
    r = Zrkfile({"check", Put("rep.ini", repeated)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ok: 2 datasets, 0 fields, version 2\n");
    EXPECT_EQ(r.err,
              "warning: left out as repeated keys or names: 1 dataset entry, 0 field entries\n"
              "warning: 1 line after the last entry is not read\n");

    r = Zrkfile({"check", Put("rest.ini", CrLf({"Version 2", "0", "junk", "more"}))});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "warning: 2 lines after the last entry are not read\n");
}

TEST_F(ZrkfileTest, DumpShowsATableAlignedOnTheTerminal) {
    ToolRun r = Zrkfile({"dump", sample_.string()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              sample_.string() + ": version 2, 1 dataset entry\n"
              "\n"
              "DataSetName QKUNDEN  Tag 0  FormName FORM1  2 fields\n"
              "  Index  FieldName  Caption     EditMask  DisplayMask  Visible  Readonly  Length  Color  Function  Value\n"
              "      0  KDNR       Kunden-Nr.            #,##0        T        T              8     -1  cfFalse\n"
              "      1  NAME       Name                               T        F             30    255  cfEqual   Meier\n");

    // Single-byte text reaches the terminal as UTF-8; widths count characters, not bytes.
    const std::string file = CrLf({"Version 2", "2", "1", "A", "0", "", "0", "X", "B\xE4" "cker\t", "", "", "T", "F",
                                   "1", "-1", "-1", "", "0", "Z", "7", "G"});
    r = Zrkfile({"dump", Put("text.ini", file)});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("DataSetName A  Tag 0  FormName (none)  1 field\n"
                         "  Index  FieldName  Caption     EditMask  DisplayMask  Visible"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("      0  X          B\xC3\xA4" "cker\\x09" + std::string(25, ' ') + "T"), std::string::npos)
        << r.out;
    EXPECT_LT(r.out.find("DataSetName A "), r.out.find("DataSetName Z "));  // file order
    EXPECT_NE(r.out.find("DataSetName Z  Tag 7  FormName G  0 fields\n"), std::string::npos);
}

TEST_F(ZrkfileTest, UpgradeWritesVersionTwoToAnotherFileOrInPlace) {
    const std::string v1 = CrLf({"Version 1", "2", "1", "a", "0", "f", "9", "x", "Cap", "", "", "TRUE", "no", "5",
                                 "255", "0", "B", "1", ""});
    const std::string expected = CrLf({"Version 2", "2", "0", "B", "1", "", "1", "A", "0", "F", "0", "X", "Cap", "",
                                       "", "T", "F", "5", "255", "-1", ""});
    const std::string in = Put("old.ini", v1);
    const std::string out = (dir.Root() / "new.ini").string();
    ToolRun r = Zrkfile({"upgrade", in, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(out), expected);
    EXPECT_EQ(ReadBytes(in), v1);

    r = Zrkfile({"upgrade", in});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(in), expected);
    EXPECT_FALSE(fs::exists(in + ".tmp"));
    EXPECT_EQ(Zrkfile({"check", in}).out, "ok: 2 datasets, 1 fields, version 2\n");
}

TEST_F(ZrkfileTest, UpgradeWritesNothingWhenTheFileCannotBeRead) {
    const std::string bad = CrLf({"Version 2", "1", "0", "A", "x", "F"});
    const std::string in = Put("bad.ini", bad);
    const std::string out = (dir.Root() / "new.ini").string();
    ToolRun r = Zrkfile({"upgrade", in, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: line 5: 'x' is not a valid integer value\n");
    EXPECT_FALSE(fs::exists(out));
    r = Zrkfile({"upgrade", in});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadBytes(in), bad);

    r = Zrkfile({"upgrade", sample_.string(), (dir.Root() / "no" / "dir" / "x.ini").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error: Cannot create ", 0), 0u) << r.err;
}

TEST_F(ZrkfileTest, MissingFilesAreClearErrors) {
    const std::string missing = (dir.Root() / "none.ini").string();
    for (const char* command : {"check", "dump", "upgrade"}) {
        const ToolRun r = Zrkfile({command, missing});
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, "error: " + missing + ": no such file\n") << command;
    }
    EXPECT_EQ(Zrkfile({"check", dir.Root().string()}).err, "error: " + dir.Root().string() + ": is a directory\n");
    EXPECT_EQ(Zrkfile({"check", "a\\b.ini"}).err, "error: a\\b.ini: file names with backslashes are not supported\n");
}

TEST_F(ZrkfileTest, BadArgumentsExitWithTwoAndHelpWithZero) {
    struct Case { std::vector<std::string> args; int status; std::string out, err; };
    const Case cases[] = {
        {{}, 2, "", "zrkfile: missing command\nTry 'zrkfile --help'.\n"},
        {{"show", "x"}, 2, "", "zrkfile: unknown command 'show'\nTry 'zrkfile --help'.\n"},
        {{"check"}, 2, "", "zrkfile check: missing FILE\nTry 'zrkfile check --help'.\n"},
        {{"check", "a", "b"}, 2, "", "zrkfile check: too many arguments\nTry 'zrkfile check --help'.\n"},
        {{"upgrade", "a", "b", "c"}, 2, "", "zrkfile upgrade: too many arguments\nTry 'zrkfile upgrade --help'.\n"},
        {{"dump", "-x", "a"}, 2, "", "zrkfile dump: unknown option '-x'\nTry 'zrkfile dump --help'.\n"},
        {{"dump", ""}, 2, "", "zrkfile dump: empty file name\nTry 'zrkfile dump --help'.\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Zrkfile(c.args);
        EXPECT_EQ(r.status, c.status) << ::testing::PrintToString(c.args);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"check", "--help"}, {"dump", "x", "--help"}, {"upgrade", "-h"}}) {
        const ToolRun r = Zrkfile(args);
        EXPECT_EQ(r.status, 0) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out.rfind("Usage: zrkfile", 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
    // After "--" a name starting with a dash is a file.
    EXPECT_EQ(Zrkfile({"check", "--", "-x"}).err.rfind("error: -x: no such file", 0), 0u);
}

}  // namespace
