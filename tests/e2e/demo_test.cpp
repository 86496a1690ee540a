// Runs the sample application as its users do: separate processes on one data root.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_drive.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ProgramRun;
using testing_support::ReadBytes;
using testing_support::TempDrive;
using testing_support::WriteBytes;

// 24-bit background colours as the grid rendering writes them.
const std::string kRedBackground = "\x1b[48;2;255;0;0m";
const std::string kYellowBackground = "\x1b[48;2;255;255;0m";

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        demo_ = testing_support::BuiltProgram("spaltwerk-demo");
        zrkfile_ = testing_support::BuiltProgram("zrkfile");
        if (demo_.empty()) GTEST_SKIP() << "run through ctest, which names the build";
        fs::create_directories(scratch_);
    }

    // The stored settings as zrkfile lists them, in a fixed order: every read and write of
    // the file reverses the order of the dataset entries, which means nothing.
    std::multiset<std::string> StoredSettings() const {
        const ProgramRun dump = testing_support::RunProgram(zrkfile_, {"dump", SettingsFile().string()}, scratch_);
        std::multiset<std::string> lines;
        std::istringstream in(dump.out);
        for (std::string line; std::getline(in, line);) lines.insert(line);
        return lines;
    }

    ProgramRun Demo(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--root", (root_.Root() / "data").string()});
        return testing_support::RunProgram(demo_, args, scratch_);
    }
    fs::path SettingsFile() const { return root_.Root() / "data" / "drives" / "C" / "WINDOWS" / "ZRK" / "KUNDEN.INI"; }

    TempDrive root_;
    fs::path scratch_ = root_.Root() / "scratch";
    fs::path demo_, zrkfile_;
};

// The lines of the painted customers grid (up to the orders grid).
std::string CustomersGrid(const std::string& out) {
    const auto from = out.rfind("-- Kunden");
    const auto to = out.find("-- Auftr", from);
    return out.substr(from, to - from);
}

TEST_F(DemoTest, ALayoutLearntAndEditedInOneRunIsAppliedInTheNext) {
    const ProgramRun tour = Demo({"--plain"});
    ASSERT_EQ(tour.status, 0) << tour.err;
    EXPECT_NE(tour.out.find("== 5. The next run"), std::string::npos);
    EXPECT_NE(tour.out.find("Tabulon"), std::string::npos) << "the editor window is shown";
    EXPECT_NE(tour.out.find("<?>"), std::string::npos) << "two fields selected at once";
    EXPECT_NE(tour.out.find("Feld\xC3\xBC" "berschrift \xC2\xB7 "), std::string::npos) << "German hints in UTF-8";
    EXPECT_NE(tour.out.find("Schlie\xC3\x9F" "en"), std::string::npos);
    ASSERT_TRUE(fs::exists(SettingsFile()));

    const ProgramRun check = testing_support::RunProgram(zrkfile_, {"check", SettingsFile().string()}, scratch_);
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.out, "ok: 2 datasets, 16 fields, version 2\n");

    const ProgramRun show = Demo({"--color", "show"});
    ASSERT_EQ(show.status, 0) << show.err;
    const std::string customers = CustomersGrid(show.out);
    EXPECT_NE(customers.find("Kundenname"), std::string::npos);
    EXPECT_NE(customers.find("Umsatz \xE2\x82\xAC"), std::string::npos) << "the euro sign in UTF-8";
    EXPECT_EQ(customers.find("VORNAME"), std::string::npos) << "the hidden column stays hidden";
    EXPECT_LT(customers.find("ORT"), customers.find("Kundenname")) << "the city was moved to position 1";
    EXPECT_NE(customers.find(kRedBackground), std::string::npos) << "turnover over 20.000 is red";
    EXPECT_NE(show.out.find(kYellowBackground), std::string::npos) << "overdue deliveries are yellow";
    EXPECT_NE(show.out.find("bezahlt"), std::string::npos);
}

TEST_F(DemoTest, PlainOutputHasNoEscapes) {
    const ProgramRun show = Demo({"show"});  // standard output is a file: plain text
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(show.out.find('\x1b'), std::string::npos);
    EXPECT_NE(show.out.find("Kunden"), std::string::npos);
}

TEST_F(DemoTest, SetChangesOneRowAndItSurvivesTheNextRun) {
    ASSERT_EQ(Demo({"show"}).status, 0);
    const ProgramRun set = Demo({"set", "QKunden", "NAME", "Caption", "Familienname"});
    ASSERT_EQ(set.status, 0) << set.err;
    const ProgramRun hide = Demo({"set", "TAuftraege", "menge", "Visible", "FALSE"});
    ASSERT_EQ(hide.status, 0) << hide.err;
    const ProgramRun show = Demo({"show"});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_NE(CustomersGrid(show.out).find("Familienname"), std::string::npos);
    EXPECT_EQ(show.out.find("MENGE"), std::string::npos);
}

TEST_F(DemoTest, SetRefusesWhatTheEditorRefuses) {
    ASSERT_EQ(Demo({"show"}).status, 0);
    const std::multiset<std::string> before = StoredSettings();
    struct Case { std::vector<std::string> args; int status; const char* says; };
    const Case cases[] = {
        {{"set", "QKunden", "NAME", "Length", "abc"}, 1, "not a valid integer"},
        {{"set", "QKunden", "NOSUCH", "Caption", "x"}, 1, "NOSUCH"},
        {{"set", "Lieferanten", "NAME", "Caption", "x"}, 2, "no dataset"},
        {{"set", "QKunden", "NAME", "Colour", "1"}, 1, "no row"},
        {{"set", "QKunden", "NAME"}, 2, "DATASET FIELD ROW VALUE"},
    };
    for (const Case& c : cases) {
        const ProgramRun r = Demo(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[2] << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(StoredSettings(), before) << "nothing refused reaches the file";
}

TEST_F(DemoTest, ADamagedSettingsFileIsReportedAndKept) {
    const std::string damaged = "Version 2\r\n1\r\n2\r\nQKUNDEN\r\nnull\r\n";
    WriteBytes(SettingsFile(), damaged);
    const ProgramRun show = Demo({"show"});
    EXPECT_EQ(show.status, 1);
    EXPECT_NE(show.err.find("damaged"), std::string::npos) << show.err;
    EXPECT_NE(show.err.find("line 5"), std::string::npos) << show.err;
    EXPECT_EQ(ReadBytes(SettingsFile()), damaged);
}

TEST_F(DemoTest, ResetRemovesTheDatabaseAndTheSettings) {
    ASSERT_EQ(Demo({"show"}).status, 0);
    ASSERT_TRUE(fs::exists(SettingsFile()));
    const ProgramRun reset = Demo({"reset"});
    EXPECT_EQ(reset.status, 0) << reset.err;
    EXPECT_FALSE(fs::exists(SettingsFile()));
    EXPECT_FALSE(fs::exists(root_.Root() / "data" / "kunden.db"));
}

TEST_F(DemoTest, HelpAndBadArguments) {
    const ProgramRun help = testing_support::RunProgram(demo_, {"--help"}, scratch_);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: spaltwerk-demo"), std::string::npos);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"dance"}, {"--frobnicate"}, {"--root"}}) {
        const ProgramRun r = testing_support::RunProgram(demo_, args, scratch_);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_NE(r.err.find("--help"), std::string::npos);
    }
}

}  // namespace
