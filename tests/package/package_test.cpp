// Registration on the palette, the palette pictures, and the palette program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "package/pictures.h"
#include "package/register.h"
#include "support/temp_drive.h"
#include "vcl/classes.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// ---- Registration -------------------------------------------------------------------

class RegisterTest : public ::testing::Test {
protected:
    RegisterTest() { vcl::ClearPalette(); }
    ~RegisterTest() override { vcl::ClearPalette(); }
};

TEST_F(RegisterTest, ThreeComponentsOnThePageZrkInOrderWithTheirProperties) {
    spaltwerk::Register();
    spaltwerk::Register();  // again: nothing doubles
    const auto& pages = vcl::PalettePages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Name, "ZRK");
    const auto& classes = pages[0].Classes;
    ASSERT_EQ(classes.size(), 3u);
    EXPECT_EQ(classes[0].ClassName, "TMainSpaltwerk");
    EXPECT_EQ(classes[0].PublishedProperties, (Texts{"AutoEdit", "FileName", "AutoLearn"}));
    EXPECT_EQ(classes[1].ClassName, "TSpaltwerk");
    EXPECT_EQ(classes[1].PublishedProperties, Texts{"DataSet"});
    EXPECT_EQ(classes[2].ClassName, "TColorSpaltwerk");
    EXPECT_EQ(classes[2].PublishedProperties, (Texts{"TDBGrid", "TSpaltwerk"}));
    for (const auto& info : classes) EXPECT_NE(spaltwerk::PalettePicture(info.ClassName), nullptr) << info.ClassName;
}

// ---- Pictures -----------------------------------------------------------------------

TEST(PicturesTest, EachComponentHasItsOwnSixteenColourPicture) {
    const std::array<const char*, 3> names = {"TMAINSPALTWERK", "TSPALTWERK", "TCOLORSPALTWERK"};
    std::set<std::vector<std::uint8_t>> distinct;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const vcl::TBitmap* picture = spaltwerk::PalettePicture(name);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Width, 16);
        EXPECT_EQ(picture->Height, 16);
        EXPECT_EQ(picture->Palette, vcl::kStandardPalette);
        ASSERT_EQ(picture->Pixels.size(), 256u);
        const std::set<std::uint8_t> colours(picture->Pixels.begin(), picture->Pixels.end());
        EXPECT_GE(colours.size(), 3u);  // a picture, not a blank square
        EXPECT_LT(*colours.rbegin(), 16);
        distinct.insert(picture->Pixels);
    }
    EXPECT_EQ(distinct.size(), names.size());
    EXPECT_EQ(distinct.count(spaltwerk::ColorButtonGlyph().Pixels), 0u);
}

TEST(PicturesTest, NamesAreTakenInCapitals) {
    EXPECT_EQ(spaltwerk::PalettePicture("TSpaltwerk"), spaltwerk::PalettePicture("TSPALTWERK"));
    EXPECT_EQ(spaltwerk::PalettePicture("TEditor"), nullptr);
    EXPECT_EQ(spaltwerk::PalettePicture(""), nullptr);
    EXPECT_EQ(spaltwerk::PalettePicture("TSPALTWERK "), nullptr);
}

TEST(PicturesTest, PicturesAreDrawnFromRowsOfPaletteDigits) {
    const std::array<std::string_view, 2> rows = {"0.9F", "ABCD"};
    const vcl::TBitmap picture = spaltwerk::PictureFromRows(rows);
    EXPECT_EQ(picture.Width, 4);
    EXPECT_EQ(picture.Height, 2);
    EXPECT_EQ(picture.Pixels, (std::vector<std::uint8_t>{0, 8, 9, 15, 10, 11, 12, 13}));

    const std::array<std::string_view, 2> uneven = {"000", "00"};
    EXPECT_THROW(spaltwerk::PictureFromRows(uneven), std::invalid_argument);
    const std::array<std::string_view, 1> bad = {"0g"};
    EXPECT_THROW(spaltwerk::PictureFromRows(bad), std::invalid_argument);
}

TEST(PicturesTest, APictureSavesAsAFourBitBitmap) {
    testing_support::TempDrive drive;
    const fs::path file = drive.Root() / "TSPALTWERK.bmp";
    spaltwerk::PalettePicture("TSPALTWERK")->SaveToFile(file.string());
    const std::string bytes = testing_support::ReadBytes(file);
    ASSERT_EQ(bytes.size(), 14u + 40 + 16 * 4 + 16 * 8);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[18]), 16);  // width
    EXPECT_EQ(static_cast<unsigned char>(bytes[22]), 16);  // height
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 4);   // bits per pixel
}

// ---- The palette program ------------------------------------------------------------

struct ToolRun {
    int status;
    std::string out, err;
};

class PaletteProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* build = std::getenv("SPALTWERK_BUILD_DIR");
        if (build == nullptr) GTEST_SKIP() << "run through ctest, which names the build";
        tool_ = fs::path(build) / "palette";
    }

    static std::string Quoted(const std::string& arg) {
        std::string q = "'";
        for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }

    ToolRun Palette(const Texts& args) const {
        std::string command = Quoted(tool_.string());
        for (const auto& a : args) command += " " + Quoted(a);
        const fs::path out = drive.Root() / "stdout", err = drive.Root() / "stderr";
        command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testing_support::ReadBytes(out),
                testing_support::ReadBytes(err)};
    }

    testing_support::TempDrive drive;
    fs::path tool_;
};

TEST_F(PaletteProgramTest, ListsThePageWithItsClassesAndProperties) {
    const ToolRun run = Palette({});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Page ZRK\n"
              "  TMainSpaltwerk: AutoEdit, FileName, AutoLearn\n"
              "  TSpaltwerk: DataSet\n"
              "  TColorSpaltwerk: TDBGrid, TSpaltwerk\n");
}

TEST_F(PaletteProgramTest, WritesThePicturesIntoTheFolderItMakes) {
    const fs::path dir = drive.Root() / "bilder" / "palette";
    const ToolRun run = Palette({"--write", dir.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* name : {"TMAINSPALTWERK", "TSPALTWERK", "TCOLORSPALTWERK"}) {
        const std::string bytes = testing_support::ReadBytes(dir / (std::string(name) + ".bmp"));
        EXPECT_EQ(bytes.substr(0, 2), "BM") << name;
        EXPECT_NE(run.out.find(name), std::string::npos);
    }
}

TEST_F(PaletteProgramTest, HelpAndBadArguments) {
    const ToolRun help = Palette({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: palette"), std::string::npos);
    for (const Texts& args : {Texts{"--write"}, Texts{"--bunt"}, Texts{"--write", ""}}) {
        const ToolRun run = Palette(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("Usage: palette"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
    // A folder that cannot be made: a file stands in its place.
    testing_support::WriteBytes(drive.Root() / "datei", "x");
    const ToolRun blocked = Palette({"--write", (drive.Root() / "datei" / "sub").string()});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("cannot make"), std::string::npos);
}

}  // namespace
