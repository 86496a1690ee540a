// Showing the settings of the selected fields in the ten rows.
#include <gtest/gtest.h>

#include "editor/editor_fixture.h"

namespace editor_test {
namespace {

using namespace spaltwerk;

class DisplayTest : public EditorFixture {
protected:
    DisplayTest() { Editor().EDIT(query, entry); }
    TFeld& Rec(int item) { return const_cast<TFeld&>(Work(kFieldNames[static_cast<std::size_t>(item)])); }
};

TEST_F(DisplayTest, OneFieldShowsEveryValue) {
    TFeld& f = Rec(kKdnr);
    f.Index = 4;
    f.Caption = "Nummer";
    f.EditMask = "000;0;_";
    f.DisplayMask = "#,##0";
    f.Visible = false;
    f.Readonly = true;
    f.Length = 8;
    f.Color = 255;
    f.Function = cfHigherEqual;
    f.Value = "100";
    Select({kKdnr});
    EXPECT_EQ(Rows(), (Texts{"4", "Nummer", "000;0;_", "#,##0", "FALSE", "TRUE", "8", "255", "HIGHEREQUAL", "100"}));

    // Every condition by its name; a value outside the known ones shows "FALSE".
    const std::vector<std::pair<int, std::string>> functions = {
        {cfFalse, "FALSE"}, {cfTrue, "TRUE"}, {cfLower, "LOWER"}, {cfLowerEqual, "LOWEREQUAL"},
        {cfEqual, "EQUAL"}, {cfHigher, "HIGHER"}, {cfHigherEqual, "HIGHEREQUAL"}, {cfNot, "NOT"}, {8, "FALSE"},
        {200, "FALSE"}};
    for (const auto& [function, shown] : functions) {
        f.Function = static_cast<TFFUNKTION>(function);
        Select({kKdnr});
        EXPECT_EQ(Rows()[8], shown) << function;
    }
}

TEST_F(DisplayTest, ANewFieldShowsNoColourAsMinusOne) {
    Select({kNotiz});
    EXPECT_EQ(Rows(), (Texts{"5", "NOTIZ", "", "", "TRUE", "FALSE", "10", "-1", "FALSE", ""}));
}

TEST_F(DisplayTest, NothingSelectedEmptiesEveryRow) {
    Select({kKdnr, kAktiv});
    SelectNothing();
    EXPECT_EQ(W().ListBox1->SelCount(), 0);
    EXPECT_EQ(Rows(), Texts(10, ""));
}

// The captions of the selected fields, in list order, and what the Caption row shows.
struct CaptionCase {
    std::vector<std::string> captions;
    std::string shown;
};

TEST_F(DisplayTest, TheMixedValueMarkerFollowsTheSelectionInListOrder) {
    const CaptionCase cases[] = {
        {{""}, ""},
        {{"A"}, "A"},
        {{"A", "A"}, "A"},
        {{"", "A"}, "A"},    // an empty row takes the next field's value
        {{"A", ""}, "<?>"},  // a later empty caption differs
        {{"A", "B"}, "<?>"},
        {{"A", "B", "A"}, "<?>"},  // once marked, stays marked
        {{"", "", "B", "B"}, "B"},
    };
    for (const CaptionCase& c : cases) {
        for (std::size_t i = 0; i < c.captions.size(); ++i) Rec(static_cast<int>(i)).Caption = c.captions[i];
        vcl::User::ClickItem(*W().ListBox1, 0);
        if (c.captions.size() > 1)
            vcl::User::ClickItem(*W().ListBox1, static_cast<int>(c.captions.size()) - 1, {vcl::ssShift});
        EXPECT_EQ(Rows()[1], c.shown) << ::testing::PrintToString(c.captions);
    }
}

TEST_F(DisplayTest, OnlyTheRowsWhoseValuesDifferAreMarked) {
    TFeld& a = Rec(kName);
    TFeld& b = Rec(kNotiz);
    for (TFeld* f : {&a, &b}) {
        f->Index = 3;
        f->Caption = "gleich";
        f->Length = 20;
        f->Color = 12;
    }
    Select({kName, kNotiz});
    EXPECT_EQ(Rows(), (Texts{"3", "gleich", "", "", "TRUE", "FALSE", "20", "12", "FALSE", ""}));

    b.Length = 21;
    Select({kName, kNotiz});
    EXPECT_EQ(Rows(), (Texts{"3", "gleich", "", "", "TRUE", "FALSE", "<?>", "12", "FALSE", ""}));
}

TEST_F(DisplayTest, ItemsWithoutFieldOrWorkingRecordAddNothing) {
    Requery("SELECT NAME, KDNR FROM KUNDEN");  // the list still names six fields
    W().WorkFields.pop_front();                 // and NAME has no working record any more
    Rec(kKdnr).Caption = "Nummer";
    Select({kName, kKdnr, kGeburt});
    EXPECT_EQ(Rows()[1], "Nummer");
    EXPECT_EQ(Rows()[0], "1");
}

TEST_F(DisplayTest, FillingTheRowsDoesNotCountAsEditing) {
    Select({kKdnr, kUmsatz, kAktiv});
    EXPECT_EQ(Rows()[0], "<?>");
    // The rows were filled with other fields' values: nothing of that reached the fields.
    EXPECT_EQ(FieldOrder(*query), kFieldNames);
    EXPECT_EQ(Live("UMSATZ").DisplayLabel(), "UMSATZ");
    EXPECT_EQ(Work("AKTIV").Caption, "AKTIV");
    EXPECT_FALSE(W().Busy);
}

}  // namespace
}  // namespace editor_test
