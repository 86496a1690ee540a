// Learning the presentation of a bound dataset when it closes.
#include <gtest/gtest.h>

#include <memory>
#include <span>

#include "binding_fixture.h"

namespace bindingtest {
namespace {

class LearnTest : public BindingTest {
protected:
    LearnTest() { binding->SetDataSet(query); }
    ~LearnTest() override { main->Status = fsOFF; }
};

TEST_F(LearnTest, ClosingInLearnReplacesTheEntryWithTheLiveFields) {
    // An old entry with a colour rule and a display mask on a text field.
    TFelder* old = StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
    for (TFeld& f : old->Fields) {
        f.Color = 255;
        f.Function = cfEqual;
        f.Value = "x";
        f.DisplayMask = "mask";
    }
    main->Status = fsWORK;
    query->Open();
    query->FindField("City")->SetIndex(0);
    query->FindField("Name")->SetDisplayLabel("Kunde");
    query->FindField("Name")->SetDisplayWidth(44);
    query->FindField("Name")->SetEditMask(">LLLL");
    query->FindField("Amount")->SetVisible(false);
    query->FindField("Amount")->SetReadOnly(true);
    query->FindField("Amount")->SetDisplayLabel("");  // back to the field name
    query->FindField("Amount")->SetDisplayWidth(0);    // back to the default width
    static_cast<vcl::TNumericField*>(query->FindField("Amount"))->SetDisplayFormat("#,##0.00");
    static_cast<vcl::TBooleanField*>(query->FindField("Active"))->SetDisplayValues("Ja, wirklich;Nein, nie und nimmer");
    const int defaultAmountWidth = query->FindField("Amount")->DisplayWidth();
    main->Status = fsLEARN;
    query->Close();

    ASSERT_EQ(main->FelderList().size(), 1u);
    TFelder* learnt = main->FindFelder("Form1", "Query1", 0);
    ASSERT_NE(learnt, nullptr);
    std::vector<std::string> names;
    for (const TFeld& f : learnt->Fields) {
        names.push_back(f.FieldName.str());
        EXPECT_EQ(f.Color, -1) << f.FieldName;
        EXPECT_EQ(f.Function, cfFalse) << f.FieldName;
        EXPECT_TRUE(f.Value.empty()) << f.FieldName;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CITY", "ID", "NAME", "AMOUNT", "ACTIVE", "BORN"}));
    int position = 0;
    for (const TFeld& f : learnt->Fields) EXPECT_EQ(f.Index, position++);

    const auto field = [&](std::string_view name) -> const TFeld& {
        for (const TFeld& f : learnt->Fields)
            if (f.FieldName == name) return f;
        throw std::runtime_error("no field");
    };
    EXPECT_EQ(field("NAME").Caption, "Kunde");
    EXPECT_EQ(field("NAME").Length, 44);
    EXPECT_EQ(field("NAME").EditMask, ">LLLL");
    EXPECT_EQ(field("NAME").DisplayMask, "");  // a text field has none, whatever was stored
    EXPECT_TRUE(field("NAME").Visible);
    EXPECT_EQ(field("AMOUNT").Caption, "Amount");
    EXPECT_EQ(field("AMOUNT").Length, defaultAmountWidth);
    EXPECT_FALSE(field("AMOUNT").Visible);
    EXPECT_TRUE(field("AMOUNT").Readonly);
    EXPECT_EQ(field("AMOUNT").DisplayMask, "#,##0.00");
    EXPECT_EQ(field("ACTIVE").DisplayMask, "Ja, wirklich;Nein, n");  // cut to 20
    EXPECT_EQ(binding->CurrentFelder(), nullptr);

    // What was learnt comes back at the next open in fsWORK; the hidden field stays hidden.
    main->Status = fsWORK;
    query->Open();
    EXPECT_EQ(query->Fields(0)->FieldName(), "City");
    EXPECT_FALSE(query->FindField("Amount")->Visible());
    EXPECT_EQ(query->FindField("Name")->DisplayLabel(), "Kunde");
    EXPECT_EQ(binding->CurrentFelder(), learnt);
}

TEST_F(LearnTest, OutsideLearnNothingIsLearntButTheAppliedEntryIsForgotten) {
    TFelder* entry = StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
    for (TFSTATUS status : {fsWORK, fsGO, fsOFF}) {
        SCOPED_TRACE(int(status));
        main->Status = fsWORK;
        query->Open();
        EXPECT_EQ(binding->CurrentFelder(), entry);
        query->FindField("Name")->SetDisplayLabel("changed");
        binding->ColorOn = true;
        main->Status = status;
        query->Close();
        EXPECT_EQ(binding->CurrentFelder(), nullptr);
        EXPECT_FALSE(binding->ColorOn);
        EXPECT_EQ(main->FindFelder("Form1", "Query1", 0), entry);
        EXPECT_EQ(entry->Fields.size(), kAllCustomerFields.size());
        EXPECT_EQ(entry->Fields.front().Caption, "ID");
    }
}

TEST_F(LearnTest, ATableIsLearntAsAQueryIs) {
    binding->SetDataSet(table);
    main->Status = fsLEARN;
    table->Open();
    table->Close();
    TFelder* learnt = main->FindFelder("Form1", "Table1", 0);
    ASSERT_NE(learnt, nullptr);
    EXPECT_EQ(learnt->Fields.size(), kAllCustomerFields.size());
}

TEST_F(LearnTest, TheApplicationsOwnHandlerRunsFirstAndWhatItChangesIsLearnt) {
    query->Close();
    binding->SetDataSet(nullptr);
    query->BeforeClose = [](vcl::TDataSet* ds) { ds->FindField("City")->SetDisplayLabel("Stadt"); };
    binding->SetDataSet(query);
    main->Status = fsLEARN;
    query->Open();
    query->Close();
    TFelder* learnt = main->FindFelder("Form1", "Query1", 0);
    ASSERT_NE(learnt, nullptr);
    EXPECT_EQ(std::next(learnt->Fields.begin(), 2)->Caption, "Stadt");
}

TEST_F(LearnTest, TheAppliedEntryIsForgottenBeforeTheApplicationsOwnHandlerRuns) {
    StoreEntry(*main, "QUERY1", 0, "FORM1", kAllCustomerFields);
    binding->SetDataSet(nullptr);
    bool ran = false;
    TFelder* seen = nullptr;
    query->BeforeClose = [&](vcl::TDataSet*) {
        ran = true;
        seen = binding->CurrentFelder();
    };
    binding->SetDataSet(query);
    main->Status = fsWORK;
    query->Open();
    ASSERT_NE(binding->CurrentFelder(), nullptr);
    query->Close();
    EXPECT_TRUE(ran);
    EXPECT_EQ(seen, nullptr);
}

// The rows of a statement that has no columns at all.
struct NoColumns : vcl::TDataCursor {
    bool Fetch(std::span<vcl::TFieldValue>) override { return false; }
};

// A query without any fields.
class FieldlessQuery : public vcl::TQuery {
public:
    using vcl::TQuery::TQuery;

protected:
    std::unique_ptr<vcl::TDataCursor> OpenCursor() override { return std::make_unique<NoColumns>(); }
};

TEST_F(LearnTest, ADataSetWithoutFieldsIsLearntWithoutSettingsWhichFitAtTheNextOpen) {
    auto* bare = new FieldlessQuery(form);
    bare->SetName("Bare");
    binding->SetDataSet(bare);
    main->Status = fsLEARN;
    bare->Open();
    ASSERT_EQ(bare->FieldCount(), 0);
    bare->Close();
    TFelder* learnt = main->FindFelder("Form1", "Bare", 0);
    ASSERT_NE(learnt, nullptr);
    EXPECT_TRUE(learnt->Fields.empty());

    main->AutoEdit = true;
    main->Status = fsWORK;
    bare->Open();
    EXPECT_TRUE(EditCalls().empty());  // 0 settings found for 0 fields: it fits
    EXPECT_EQ(binding->CurrentFelder(), learnt);
    EXPECT_EQ(main->FelderList().size(), 1u);
    main->Status = fsOFF;
    bare->Close();
}

TEST_F(LearnTest, ALongNameWhoseCutFormIsStoredLeavesThatEntryAlone) {
    TFelder* stored = StoreEntry(*main, std::string(30, 'Q'), 0, "FORM1", {"NAME"});
    query->SetName(std::string(31, 'Q'));
    main->Status = fsLEARN;
    query->Open();
    query->Close();
    ASSERT_EQ(main->FelderList().size(), 1u);
    EXPECT_EQ(main->FelderList().front().get(), stored);
    EXPECT_EQ(stored->Fields.size(), 1u);
}

}  // namespace
}  // namespace bindingtest
