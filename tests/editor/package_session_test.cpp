// The whole package at work in one process, as an application uses it: the store, a binding
// and a colour component on a form, a grid, and the editor window reached by the hot key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "binding/color_spaltwerk.h"
#include "binding/spaltwerk.h"
#include "editor/editor.h"
#include "editor/editor_window.h"
#include "store/main_spaltwerk.h"
#include "support/temp_drive.h"
#include "vcl/dbgrids.h"
#include "vcl/dbtables.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace {

using spaltwerk::TFeld;
using spaltwerk::TFelder;
using Texts = std::vector<std::string>;

class PackageSession : public ::testing::Test {
protected:
    PackageSession() {
        app.OnException = [this](vcl::TObject*, const std::exception& e) { errors.push_back(e.what()); };
        form->SetName("Form1");
        db->ExecSQL(
            "CREATE TABLE KUNDEN (KDNR INTEGER, NAME VARCHAR(20), ORT VARCHAR(20), UMSATZ CURRENCY);"
            "INSERT INTO KUNDEN VALUES (1, 'Meier', 'K\xC3\xB6ln', 500);"
            "INSERT INTO KUNDEN VALUES (2, 'Schulze', 'Bonn', 50);"
            "INSERT INTO KUNDEN VALUES (3, 'Wagner', 'Essen', 5000)");
        table->SetName("Kunden");
        table->SetDatabase(db);
        table->SetTableName("KUNDEN");
        source->SetDataSet(table);
        grid->SetDataSource(source);
        binding->SetDataSet(table);
        colours->SETDBG(grid);
        colours->SETFST(binding);

        // Learn the layout as the dataset closes, then work with it.
        main->Open();
        main->Learn();
        table->Open();
        table->Close();
        main->run();
        table->Open();
    }

    spaltwerk::TMainSpaltwerkEdtior& PressHotKey() {
        form->PressKey(vcl::VK_F9, {vcl::ssCtrl, vcl::ssAlt, vcl::ssShift});
        spaltwerk::TMainSpaltwerkEdtior* w = main->Editor->Form();
        if (w == nullptr) throw std::runtime_error("the editor did not open");
        return *w;
    }
    TFelder* Entry() const { return main->FindFelder("Form1", "Kunden", 0); }
    Texts Order() const {
        Texts names;
        for (int i = 0; i < table->FieldCount(); ++i) names.push_back(table->Fields(i)->FieldName());
        return names;
    }
    // The brush colour of the UMSATZ cell in each data row after a fresh paint.
    std::vector<vcl::TColor> TurnoverBackgrounds() {
        grid->SetSelectedIndex(0);
        grid->Paint();
        const vcl::TTextGrid screen = grid->PaintedScreen();
        int column = -1;
        for (std::size_t c = 0; c < screen.Rows[0].size(); ++c)
            if (screen.Rows[0][c].Text == "Umsatz") column = static_cast<int>(c);
        std::vector<vcl::TColor> colours;
        for (std::size_t r = 1; r < screen.Rows.size() && column >= 0; ++r)
            colours.push_back(screen.Rows[r][static_cast<std::size_t>(column)].BrushColor);
        return colours;
    }

    testing_support::TempDrive drive;
    vcl::TApplication app;
    vcl::TForm* form = new vcl::TForm(&app);
    spaltwerk::TMainSpaltwerk* main = new spaltwerk::TMainSpaltwerk(form);
    vcl::TDatabase* db = new vcl::TDatabase(form, ":memory:");
    vcl::TTable* table = new vcl::TTable(form);
    vcl::TDataSource* source = new vcl::TDataSource(form);
    vcl::TDBGrid* grid = new vcl::TDBGrid(form);
    spaltwerk::TSpaltwerk* binding = new spaltwerk::TSpaltwerk(form);
    spaltwerk::TColorSpaltwerk* colours = new spaltwerk::TColorSpaltwerk(form);
    Texts errors;
};

TEST_F(PackageSession, TheHotKeyOpensTheEditorWhoseEditsActAtOnceAndSaveReachesGridAndFile) {
    spaltwerk::TMainSpaltwerkEdtior& w = PressHotKey();
    ASSERT_TRUE(w.Visible());
    EXPECT_EQ(w.ComboBox4->Text(), "Form1.Kunden");
    EXPECT_EQ(Texts(w.ListBox1->Items.begin(), w.ListBox1->Items.end()), (Texts{"KDNR", "NAME", "ORT", "UMSATZ"}));

    // Three fields at once: their widths differ, so the Length row shows the marker.
    vcl::User::ClickItem(*w.ListBox1, 0);
    vcl::User::ClickItem(*w.ListBox1, 2, {vcl::ssShift});
    EXPECT_EQ(w.ListBox1->SelCount(), 3);
    EXPECT_EQ(w.Edit14->Text(), "<?>");
    EXPECT_EQ(w.Edit2->Text(), "<?>");
    EXPECT_EQ(w.ComboBox2->Text(), "TRUE");

    vcl::User::ClickItem(*w.ListBox1, 3);  // UMSATZ alone
    vcl::User::TypeText(*w.Edit4, "Umsatz");
    vcl::User::TypeText(*w.Edit14, "9");
    vcl::User::TypeText(*w.Edit12, "255");
    vcl::User::TypeText(*w.ComboBox5, "HIGHER");
    vcl::User::TypeText(*w.Edit17, "100");
    vcl::User::ClickItem(*w.ListBox1, 1);  // NAME
    vcl::User::TypeText(*w.Edit2, "0");
    vcl::User::ClickItem(*w.ListBox1, 2);  // ORT
    vcl::User::TypeText(*w.ComboBox2, "FALSE");
    EXPECT_TRUE(errors.empty()) << errors.front();

    // The live fields changed at once; the store not yet.
    EXPECT_EQ(table->FieldByName("UMSATZ")->DisplayLabel(), "Umsatz");
    EXPECT_EQ(table->FieldByName("UMSATZ")->DisplayWidth(), 9);
    EXPECT_FALSE(table->FieldByName("ORT")->Visible());
    EXPECT_EQ(Order(), (Texts{"NAME", "KDNR", "ORT", "UMSATZ"}));
    EXPECT_EQ(Entry()->Fields.back().Caption.str(), "UMSATZ");
    EXPECT_EQ(TurnoverBackgrounds(), (std::vector<vcl::TColor>{vcl::clWindow, vcl::clWindow, vcl::clWindow}));

    // Save twice: one copy; the next paint uses the new rule.
    vcl::User::Click(*w.Button1);
    vcl::User::Click(*w.Button1);
    ASSERT_EQ(Entry()->Fields.size(), 4u);
    const TFeld& umsatz = Entry()->Fields.back();
    EXPECT_EQ(umsatz.FieldName.str(), "UMSATZ");
    EXPECT_EQ(umsatz.Caption.str(), "Umsatz");
    EXPECT_EQ(umsatz.Color, 255);
    EXPECT_EQ(umsatz.Function, spaltwerk::cfHigher);
    EXPECT_EQ(umsatz.Value.str(), "100");
    EXPECT_EQ(TurnoverBackgrounds(), (std::vector<vcl::TColor>{255, vcl::clWindow, 255}));

    // Close drops what was not saved: a caption typed afterwards is gone at the next opening.
    vcl::User::ClickItem(*w.ListBox1, 0);
    vcl::User::TypeText(*w.Edit4, "Nachname");
    vcl::User::Click(*w.Button2);
    EXPECT_FALSE(w.Visible());
    PressHotKey();
    vcl::User::ClickItem(*w.ListBox1, 0);
    EXPECT_EQ(w.Edit4->Text(), "NAME");

    // Closing the store writes it all to the settings file.
    table->Close();
    main->Close();
    const std::string file = testing_support::ReadBytes(vcl::MapPath(main->FilePath()));
    EXPECT_NE(file.find("UMSATZ\r\nUmsatz\r\n\r\n\r\nT\r\nF\r\n9\r\n255\r\n4\r\n100\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("ORT\r\nORT\r\n\r\n\r\nF\r\n"), std::string::npos) << "ORT saved hidden";
}

}  // namespace
