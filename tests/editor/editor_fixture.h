// An application with a form "Form1" holding the settings store, an in-memory database with
// a table of six kinds of column, and a query and a table on it; helpers to drive the
// editor window as a user does.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/editor_window.h"
#include "store/main_spaltwerk.h"
#include "support/temp_drive.h"
#include "vcl/dbtables.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace editor_test {

using Texts = std::vector<std::string>;
using spaltwerk::TFeld;
using spaltwerk::TFelder;
using spaltwerk::TMainSpaltwerkEdtior;

// The fields of KUNDEN in their order at opening.
inline const Texts kFieldNames = {"NAME", "KDNR", "UMSATZ", "GEBURT", "AKTIV", "NOTIZ"};
enum : int { kName, kKdnr, kUmsatz, kGeburt, kAktiv, kNotiz };

inline Texts ItemsOf(const vcl::TStrings& items) { return Texts(items.begin(), items.end()); }

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() {
        app.OnException = [this](vcl::TObject*, const std::exception& e) { errors.push_back(e.what()); };
        form1->SetName("Form1");
        main->SetName("Main");
        db->ExecSQL(
            "CREATE TABLE KUNDEN (NAME VARCHAR(40), KDNR INTEGER, UMSATZ CURRENCY, GEBURT DATE, AKTIV BOOLEAN,"
            " NOTIZ MEMO);"
            "INSERT INTO KUNDEN VALUES ('Meier', 1, 1250.5, '1970-03-01', 1, 'gut');"
            "INSERT INTO KUNDEN VALUES ('Schulze', 2, 80, '1981-11-23', 0, NULL)");
        query->SetName("Query1");
        query->SetDatabase(db);
        query->SetSQL("SELECT * FROM KUNDEN");
        query->Open();
        table->SetName("Table1");
        table->SetDatabase(db);
        table->SetTableName("KUNDEN");
        table->Open();
        entry = AddEntry("Form1", "Query1", 0);
        tableEntry = AddEntry("Form1", "Table1", 0);
    }

    // A new entry in the store, without fields.
    TFelder* AddEntry(const std::string& form, const std::string& dataSet, int tag) {
        auto felder = std::make_unique<TFelder>();
        felder->FormName = form;
        felder->DataSetName = dataSet;
        felder->Tag = tag;
        return main->FELDER_ADD(std::move(felder));
    }

    // A stored field setting, appended as it is (letter case kept).
    static TFeld& Store(TFelder& felder, const std::string& name, const std::string& caption) {
        TFeld& field = felder.Fields.emplace_back();
        field.Index = static_cast<int>(felder.Fields.size()) - 1;
        field.FieldName = name;
        field.Caption = caption;
        field.Visible = true;
        field.Length = 10;
        return field;
    }

    spaltwerk::TEditor& Editor() { return *main->Editor; }
    TMainSpaltwerkEdtior& W() { return *main->Editor->Form(); }

    // Clicks the first item plainly, each further one with Ctrl.
    void Select(std::initializer_list<int> items) {
        bool first = true;
        for (int i : items) {
            vcl::User::ClickItem(*W().ListBox1, i, first ? vcl::TShiftState{} : vcl::TShiftState{vcl::ssCtrl});
            first = false;
        }
    }
    // Deselects everything with a Ctrl click on each selected item.
    void SelectNothing() {
        for (int i = 0; i < W().ListBox1->Items.Count(); ++i)
            if (W().ListBox1->Selected(i)) vcl::User::ClickItem(*W().ListBox1, i, {vcl::ssCtrl});
    }

    // The texts of the ten rows, Index to Value.
    Texts Rows() {
        TMainSpaltwerkEdtior& w = W();
        return {w.Edit2->Text(),  w.Edit4->Text(),  w.Edit6->Text(),  w.Edit8->Text(),     w.ComboBox2->Text(),
                w.ComboBox3->Text(), w.Edit14->Text(), w.Edit12->Text(), w.ComboBox5->Text(), w.Edit17->Text()};
    }

    const TFeld& Work(const std::string& name) {
        const TFeld* record = W().WorkRecord(name);
        if (record == nullptr) throw std::runtime_error("no working record " + name);
        return *record;
    }
    Texts WorkNames() {
        Texts names;
        for (const TFeld& f : W().WorkFields) names.push_back(f.FieldName.str());
        return names;
    }
    std::vector<int> WorkIndexes() {
        std::vector<int> indexes;
        for (const TFeld& f : W().WorkFields) indexes.push_back(f.Index);
        return indexes;
    }
    static Texts StoredNames(const TFelder& felder) {
        Texts names;
        for (const TFeld& f : felder.Fields) names.push_back(f.FieldName.str());
        return names;
    }
    static Texts FieldOrder(const vcl::TDataSet& dataset) {
        Texts names;
        for (int i = 0; i < dataset.FieldCount(); ++i) names.push_back(dataset.Fields(i)->FieldName());
        return names;
    }
    vcl::TField& Live(const std::string& name) { return *query->FieldByName(name); }

    // Replaces the query's statement (the dataset's fields change with it).
    void Requery(const std::string& sql) {
        query->Close();
        query->SetSQL(sql);
        query->Open();
    }

    testing_support::TempDrive drive;
    vcl::TApplication app;
    vcl::TForm* form1 = new vcl::TForm(&app);
    spaltwerk::TMainSpaltwerk* main = new spaltwerk::TMainSpaltwerk(form1);
    vcl::TDatabase* db = new vcl::TDatabase(form1, ":memory:");
    vcl::TQuery* query = new vcl::TQuery(form1);
    vcl::TTable* table = new vcl::TTable(form1);
    TFelder* entry = nullptr;
    TFelder* tableEntry = nullptr;
    Texts errors;  // messages that reached Application->HandleException
};

}  // namespace editor_test
