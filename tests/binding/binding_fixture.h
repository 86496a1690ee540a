// A form with a store, a SQLite table of customers, a query and a table on it, and a
// binding; the store's editor replaced by one that records what it is asked.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "binding/spaltwerk.h"
#include "editor/editor.h"
#include "store/main_spaltwerk.h"
#include "store/records.h"
#include "support/temp_drive.h"
#include "vcl/db.h"
#include "vcl/dbtables.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"

namespace bindingtest {

using namespace spaltwerk;

// One call the bindings made on the editor controller.
struct EditorCall {
    std::string Op;  // "EDIT", "EDITT", "OUT" or "OUTT"
    vcl::TDataSet* DataSet = nullptr;
    TFelder* Entry = nullptr;
    friend bool operator==(const EditorCall&, const EditorCall&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const EditorCall& c) {
    return os << c.Op << "(" << static_cast<const void*>(c.DataSet) << ", " << static_cast<const void*>(c.Entry)
              << ")";
}

class RecordingEditor : public TEditor {
public:
    using TEditor::TEditor;
    std::vector<EditorCall> Calls;

    void EDIT(vcl::TQuery* query, TFelder* felder) override { Calls.push_back({"EDIT", query, felder}); }
    void EDITT(vcl::TTable* table, TFelder* felder) override { Calls.push_back({"EDITT", table, felder}); }
    void OUT(vcl::TQuery* query) override { Calls.push_back({"OUT", query, nullptr}); }
    void OUTT(vcl::TTable* table) override { Calls.push_back({"OUTT", table, nullptr}); }
};

// Puts a recording editor in the store's place and returns it (owned by the store).
inline RecordingEditor* InstallRecordingEditor(TMainSpaltwerk* store) {
    delete store->Editor;
    auto* editor = new RecordingEditor(store);
    store->Editor = editor;
    return editor;
}

// Columns of every kind the binding treats differently, in mixed-case names.
inline void CreateCustomers(vcl::TDatabase& db) {
    db.ExecSQL(
        "CREATE TABLE Kunden(Id INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(30), City VARCHAR(20), "
        "Amount REAL, Active BOOLEAN, Born DATE);"
        "INSERT INTO Kunden(Name, City, Amount, Active, Born) VALUES "
        "('Meier', 'Berlin', 10.5, 1, '1970-01-02'), ('Schulz', 'Essen', 20, 0, '1980-03-04'), "
        "('Abel', 'Bonn', 30.25, 1, '1990-05-06')");
}

inline std::unique_ptr<TFelder> Entry(std::string_view dataSet, int tag, std::string_view form) {
    auto entry = std::make_unique<TFelder>();
    entry->DataSetName = dataSet;
    entry->Tag = tag;
    entry->FormName = form;
    return entry;
}

// A stored field setting, shown, with its caption equal to its name.
inline std::unique_ptr<TFeld> Feld(std::string_view name, int length = 10) {
    auto feld = std::make_unique<TFeld>();
    feld->FieldName = name;
    feld->Caption = name;
    feld->Visible = true;
    feld->Length = length;
    return feld;
}

// Stores an entry naming the given fields in this order.
inline TFelder* StoreEntry(TMainSpaltwerk& store, std::string_view dataSet, int tag, std::string_view form,
                           const std::vector<std::string>& fields) {
    TFelder* entry = store.FELDER_ADD(Entry(dataSet, tag, form));
    for (const std::string& name : fields) store.FELD_ADD(entry, Feld(name));
    return entry;
}

inline const std::vector<std::string> kAllCustomerFields = {"ID", "NAME", "CITY", "AMOUNT", "ACTIVE", "BORN"};

// The application, a form "Form1" holding the store, the database, a query "Query1" over
// the customers, a table "Table1" on the same rows, and a binding (no dataset yet).
class BindingTest : public ::testing::Test {
protected:
    BindingTest() {
        previousHook = vcl::SetShowMessageHook([this](const std::string& m) { messages.push_back(m); });
        form = new vcl::TForm(&app);
        form->SetName("Form1");
        main = new TMainSpaltwerk(form);
        editor = InstallRecordingEditor(main);
        db = new vcl::TDatabase(form, ":memory:");
        CreateCustomers(*db);
        query = new vcl::TQuery(form);
        query->SetName("Query1");
        query->SetDatabase(db);
        query->SetSQL("SELECT * FROM Kunden");
        table = new vcl::TTable(form);
        table->SetName("Table1");
        table->SetDatabase(db);
        table->SetTableName("Kunden");
        binding = new TSpaltwerk(form);
    }
    ~BindingTest() override { vcl::SetShowMessageHook(previousHook); }

    // The editor calls that opened the editor window (EDIT and EDITT).
    std::vector<EditorCall> EditCalls() const {
        std::vector<EditorCall> edits;
        for (const EditorCall& c : editor->Calls)
            if (c.Op == "EDIT" || c.Op == "EDITT") edits.push_back(c);
        return edits;
    }

    testing_support::TempDrive drive;  // the store writes its file here when it goes
    vcl::TShowMessageHook previousHook;
    std::vector<std::string> messages;
    vcl::TApplication app;
    vcl::TForm* form = nullptr;
    TMainSpaltwerk* main = nullptr;
    RecordingEditor* editor = nullptr;
    vcl::TDatabase* db = nullptr;
    vcl::TQuery* query = nullptr;
    vcl::TTable* table = nullptr;
    TSpaltwerk* binding = nullptr;
};

const vcl::TShiftState kHotShift{vcl::ssShift, vcl::ssAlt, vcl::ssCtrl};

}  // namespace bindingtest
