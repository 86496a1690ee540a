// A whole editing session as a user has it, from the store's opening to its file.
#include <gtest/gtest.h>

#include <sstream>

#include "editor/editor_fixture.h"
#include "vcl/dialogs.h"

namespace editor_test {
namespace {

using namespace spaltwerk;

Texts FileLines(const std::string& bytes) {
    Texts lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    EXPECT_EQ(start, bytes.size()) << "every line ends in CR LF";
    return lines;
}

TEST_F(EditorFixture, AWholeSession) {
    Texts messages;
    const auto previous = vcl::SetShowMessageHook([&](const std::string& m) { messages.push_back(m); });
    main->Open();  // no file yet: only a message
    main->run();
    ASSERT_EQ(main->Status, fsWORK);
    EXPECT_EQ(messages.size(), 1u);

    main->Editor->EDIT(query, entry);
    ASSERT_TRUE(W().Visible());
    // KDNR, then with Shift through GEBURT: three fields.
    vcl::User::ClickItem(*W().ListBox1, kKdnr);
    vcl::User::ClickItem(*W().ListBox1, kGeburt, {vcl::ssShift});
    EXPECT_EQ(W().ListBox1->SelCount(), 3);
    EXPECT_EQ(Rows(), (Texts{"<?>", "<?>", "", "", "TRUE", "FALSE", "<?>", "-1", "FALSE", ""}));

    const Texts selected = {"KDNR", "UMSATZ", "GEBURT"};
    vcl::User::TypeText(*W().Edit4, "Wert");
    for (const std::string& name : selected) EXPECT_EQ(Live(name).DisplayLabel(), "Wert");
    vcl::User::TypeText(*W().Edit14, "12");
    for (const std::string& name : selected) EXPECT_EQ(Live(name).DisplayWidth(), 12);
    vcl::User::TypeText(*W().Edit2, "0");
    EXPECT_EQ(FieldOrder(*query), (Texts{"GEBURT", "UMSATZ", "KDNR", "NAME", "AKTIV", "NOTIZ"}));
    vcl::User::TypeText(*W().ComboBox2, "FALSE");
    for (const std::string& name : selected) EXPECT_FALSE(Live(name).Visible());
    EXPECT_TRUE(Live("NAME").Visible());
    vcl::User::TypeText(*W().Edit12, "255");
    vcl::User::TypeText(*W().ComboBox5, "LOWER");
    vcl::User::TypeText(*W().Edit17, "100");
    EXPECT_TRUE(errors.empty());

    vcl::User::Click(*W().Button1);  // "Save"
    ASSERT_EQ(StoredNames(*entry), (Texts{"GEBURT", "UMSATZ", "KDNR", "NAME", "AKTIV", "NOTIZ"}));
    const TFeld& kdnr = *std::next(entry->Fields.begin(), 2);
    EXPECT_EQ(kdnr.Index, 2);
    EXPECT_EQ(kdnr.Caption, "Wert");
    EXPECT_FALSE(kdnr.Visible);
    EXPECT_EQ(kdnr.Length, 12);
    EXPECT_EQ(kdnr.Color, 255);
    EXPECT_EQ(kdnr.Function, cfLower);
    EXPECT_EQ(kdnr.Value, "100");
    EXPECT_EQ(std::next(entry->Fields.begin(), 3)->Color, -1);  // NAME was not selected

    // A change after "Save", then "Close": the next opening does not know it.
    vcl::User::TypeText(*W().Edit17, "999");
    vcl::User::Click(*W().Button2);
    EXPECT_FALSE(W().Visible());
    main->Editor->EDIT(query, entry);
    EXPECT_EQ(Work("KDNR").Value, "100");
    EXPECT_EQ(ItemsOf(W().ListBox1->Items), (Texts{"GEBURT", "UMSATZ", "KDNR", "NAME", "AKTIV", "NOTIZ"}));

    main->Close();
    EXPECT_EQ(main->Status, fsOFF);
    const Texts lines = FileLines(testing_support::ReadBytes(drive.Root() / "C/WINDOWS/ZRK/ZRKFIELD.INI"));
    ASSERT_EQ(lines.size(), 2u + 4 + (4 + 6 * 11));  // two entries: the table's empty, the query's with six fields
    // Entries head first: the table's entry was added last.
    EXPECT_EQ((Texts(lines.begin(), lines.begin() + 6)), (Texts{"Version 2", "2", "0", "TABLE1", "0", "FORM1"}));
    const std::size_t query = 6;
    EXPECT_EQ((Texts(lines.begin() + query, lines.begin() + query + 4)), (Texts{"6", "QUERY1", "0", "FORM1"}));
    const std::size_t kdnrLines = query + 4 + 2 * 11;
    EXPECT_EQ((Texts(lines.begin() + kdnrLines, lines.begin() + kdnrLines + 11)),
              (Texts{"2", "KDNR", "Wert", "", "", "F", "F", "12", "255", "1", "100"}));
    vcl::SetShowMessageHook(previous);
}

}  // namespace
}  // namespace editor_test
