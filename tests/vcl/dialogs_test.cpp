#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "vcl/dialogs.h"
#include "vcl/graphics.h"
#include "vcl/sysutils.h"

namespace {

using vcl::TColor;

// Plays the user: answers each run of the dialog from a script and notes what it opened with.
class ColorDialogTest : public ::testing::Test {
protected:
    ColorDialogTest() {
        previous = vcl::SetColorDialogHook([this](TColor current) {
            openedWith.push_back(current);
            std::optional<TColor> answer = answers.at(openedWith.size() - 1);
            return answer;
        });
    }
    ~ColorDialogTest() override { vcl::SetColorDialogHook(previous); }

    vcl::TColorDialogHook previous;
    std::vector<std::optional<TColor>> answers;  // nullopt: the user cancels
    std::vector<TColor> openedWith;
    vcl::TColorDialog dialog{nullptr};
};

TEST_F(ColorDialogTest, PickCancelAndTheLastChoiceIsKept) {
    answers = {vcl::clRed, std::nullopt, vcl::RGB(1, 2, 3)};
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color, vcl::clRed);
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Color, vcl::clRed);  // a cancel keeps the colour
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color, vcl::RGB(1, 2, 3));
    // Each run opens with the colour chosen last.
    EXPECT_EQ(openedWith, (std::vector<TColor>{vcl::clBlack, vcl::clRed, vcl::clRed}));
}

TEST_F(ColorDialogTest, AChoiceThatIsNoColourIsAnError) {
    answers = {-1, vcl::clBtnFace, 0x1000000, vcl::clWhite};
    dialog.Color = vcl::clNavy;
    for (int run = 0; run < 3; ++run) EXPECT_THROW(dialog.Execute(), vcl::EConvertError) << run;
    EXPECT_EQ(dialog.Color, vcl::clNavy);
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color, vcl::clWhite);
}

TEST(ColorDialogHookTest, WithoutAHookEveryRunIsACancel) {
    auto kept = vcl::SetColorDialogHook({});
    vcl::TColorDialog dialog(nullptr);
    dialog.Color = vcl::clTeal;
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Color, vcl::clTeal);
    // Replacing a hook hands back the one before.
    auto mine = [](TColor) { return std::optional<TColor>(vcl::clLime); };
    EXPECT_FALSE(vcl::SetColorDialogHook(mine));
    EXPECT_TRUE(vcl::SetColorDialogHook(kept));
}

TEST(SystemColorTest, SystemColoursAreNegativeAndCarryTheirIndex) {
    const std::pair<TColor, int> cases[] = {{vcl::clWindow, 5},     {vcl::clWindowText, 8}, {vcl::clHighlight, 13},
                                            {vcl::clHighlightText, 14}, {vcl::clBtnFace, 15}, {vcl::clGrayText, 17},
                                            {vcl::clBtnText, 18}};
    for (const auto& [color, index] : cases) {
        EXPECT_LT(color, 0);
        EXPECT_EQ(static_cast<std::uint32_t>(color), 0x80000000u | static_cast<std::uint32_t>(index));
    }
}

}  // namespace
