#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/main_spaltwerk.h"
#include "store/settings_file.h"
#include "support/temp_drive.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"

namespace {

using namespace spaltwerk;
using testing_support::CrLf;
using testing_support::ReadBytes;
using testing_support::TempDrive;
using testing_support::WriteBytes;
namespace fs = std::filesystem;

const std::string kExample = CrLf({"Version 2", "1", "2", "QKUNDEN", "0", "FORM1",
                                   "0", "KDNR", "Kunden-Nr.", "", "#,##0", "T", "T", "8", "-1", "-1", "",
                                   "1", "NAME", "Name", "", "", "T", "F", "30", "255", "3", "Meier"});

// Builds settings files line by line.
class FileText {
public:
    FileText& Line(std::string_view line) {
        text_ += line;
        text_ += "\r\n";
        return *this;
    }
    FileText& Lines(std::initializer_list<std::string_view> lines) {
        for (auto l : lines) Line(l);
        return *this;
    }
    FileText& DataSet(int fields, std::string_view name, std::string_view tag = "0", std::string_view form = "F") {
        return Line(std::to_string(fields)).Lines({name, tag, form});
    }
    // A version 2 field; the version 0 and 1 layouts are its first 8 and 9 lines.
    FileText& Field(std::string_view name, int version = 2, std::string_view visible = "T",
                    std::string_view length = "10", std::string_view code = "-1", std::string_view readonly = "F") {
        Lines({"5", name, "Cap", "", "", visible, readonly, length});
        if (version > 0) Line("-1");
        if (version > 1) Lines({code, ""});
        return *this;
    }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

std::vector<std::string> Names(const TMainSpaltwerk& store) {
    std::vector<std::string> names;
    for (const auto& entry : store.FelderList()) names.push_back(entry->DataSetName.str());
    return names;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousHook_ = vcl::SetShowMessageHook([this](const std::string& m) { messages.push_back(m); });
        app.OnException = [this](vcl::TObject*, const std::exception& e) { errors.push_back(e.what()); };
    }
    void TearDown() override {
        store.reset();
        vcl::SetShowMessageHook(std::move(previousHook_));
    }

    fs::path File() const { return drive.Root() / "C/WINDOWS/ZRK/ZRKFIELD.INI"; }
    void Given(const std::string& bytes) { WriteBytes(File(), bytes); }
    // Opens the file and notes the line of a failing read (0 when it succeeds).
    int OpenNotingErrorLine() {
        try {
            store->Open();
        } catch (const ESettingsConvertError& e) {
            return e.LineNo();
        }
        return 0;
    }
    void WriteBack() {
        store->run();
        store->Close();
    }

    TempDrive drive;
    vcl::TApplication app;
    std::unique_ptr<TMainSpaltwerk> store = std::make_unique<TMainSpaltwerk>(nullptr);
    std::vector<std::string> messages;
    std::vector<std::string> errors;

private:
    vcl::TShowMessageHook previousHook_;
};

TEST_F(SettingsFileTest, WorkedExampleReadsAndWritesBackByteForByte) {
    Given(kExample);
    store->Open();
    EXPECT_EQ(store->Status, fsGO);
    ASSERT_EQ(store->FelderList().size(), 1u);
    const TFelder& entry = *store->FelderList().front();
    EXPECT_EQ(entry.DataSetName, "QKUNDEN");
    EXPECT_EQ(entry.FormName, "FORM1");
    ASSERT_EQ(entry.Fields.size(), 2u);
    const TFeld& kdnr = entry.Fields.front();
    EXPECT_EQ(kdnr.Caption, "Kunden-Nr.");
    EXPECT_EQ(kdnr.DisplayMask, "#,##0");
    EXPECT_TRUE(kdnr.Visible);
    EXPECT_TRUE(kdnr.Readonly);
    EXPECT_EQ(kdnr.Length, 8);
    EXPECT_EQ(kdnr.Color, -1);
    EXPECT_EQ(kdnr.Function, cfFalse);
    const TFeld& name = entry.Fields.back();
    EXPECT_EQ(name.Index, 1);
    EXPECT_FALSE(name.Readonly);
    EXPECT_EQ(name.Color, 255);
    EXPECT_EQ(name.Function, cfEqual);
    EXPECT_EQ(name.Value, "Meier");

    for (auto mode : {&TMainSpaltwerk::run, &TMainSpaltwerk::Learn}) {
        (store.get()->*mode)();
        store->Close();
        EXPECT_EQ(store->Status, fsOFF);
        EXPECT_EQ(ReadBytes(File()), kExample);
    }
    EXPECT_TRUE(errors.empty());
    EXPECT_FALSE(fs::exists(File().string() + ".tmp"));
}

TEST_F(SettingsFileTest, ReadingFollowsTheVersionAndTheLineRules) {
    struct Case {
        const char* name;
        std::string file;
        int errorLine;  // 0: no error
        std::function<void(const TMainSpaltwerk&)> check;
    };
    auto noEntries = [](const TMainSpaltwerk& s) { EXPECT_TRUE(s.FelderList().empty()); };
    auto emptyA = [](const TMainSpaltwerk& s) {  // the entry was stored before its field failed
        ASSERT_EQ(s.FelderList().size(), 1u);
        EXPECT_TRUE(s.FelderList().front()->Fields.empty());
    };
    auto firstField = [](const TMainSpaltwerk& s) -> const TFeld& { return s.FelderList().front()->Fields.front(); };
    const Case cases[] = {
        {"empty file", "", 0, noEntries},
        {"one empty line", "\r\n", 1, noEntries},
        {"no datasets", CrLf({"Version 2", "0"}), 0, noEntries},
        {"negative count", CrLf({"Version 2", "-3", "junk"}), 0, noEntries},
        {"only the version line", CrLf({"Version 2"}), 2, noEntries},
        {"version with a word after it", CrLf({"Version 2 beta", "0"}), 1, noEntries},
        {"version without number", CrLf({"Version", "0"}), 1, noEntries},
        {"version anywhere in the line", CrLf({"x Version", "0"}), 1, noEntries},
        {"version 0",
         FileText().Line("3").DataSet(1, "A").Field("X", 0).DataSet(1, "B").Field("Y", 0).DataSet(2, "C")
             .Field("Z", 0).Field("W", 0).str(),
         0,
         [](const TMainSpaltwerk& s) {
             EXPECT_EQ(Names(s), (std::vector<std::string>{"C", "B", "A"}));
             for (const auto& e : s.FelderList())
                 for (const TFeld& f : e->Fields) {
                     EXPECT_EQ(f.Color, -1);
                     EXPECT_EQ(f.Function, cfFalse);
                     EXPECT_TRUE(f.Value.empty());
                     EXPECT_EQ(f.Length, 10);
                 }
         }},
        {"version 1",
         FileText().Lines({"Version 1", "1"}).DataSet(2, "A").Lines({"0", "X", "Cap", "", "", "T", "F", "10", "255"})
             .Field("Y", 1).str(),
         0,
         [&](const TMainSpaltwerk& s) {
             const auto& fields = s.FelderList().front()->Fields;
             ASSERT_EQ(fields.size(), 2u);
             EXPECT_EQ(fields.front().Color, 255);
             EXPECT_EQ(fields.front().Function, cfFalse);
             EXPECT_TRUE(fields.front().Value.empty());
             EXPECT_EQ(fields.back().FieldName, "Y");
             EXPECT_EQ(fields.back().Length, 10);
         }},
        {"Version2 without blank", FileText().Lines({"Version2", "1"}).DataSet(1, "A").Field("X", 2, "T", "7", "3").str(),
         0, [&](const TMainSpaltwerk& s) { EXPECT_EQ(firstField(s).Function, cfEqual); }},
        {"Version 7 reads like 2", FileText().Lines({"Version 7", "1"}).DataSet(1, "A").Field("X", 2, "T", "7", "3").str(),
         0, [&](const TMainSpaltwerk& s) { EXPECT_EQ(firstField(s).Function, cfEqual); }},
        {"Version 12 reads like 2", FileText().Lines({"Version 12", "1"}).DataSet(1, "A").Field("X", 2).str(), 0,
         [&](const TMainSpaltwerk& s) { EXPECT_EQ(firstField(s).FieldName, "X"); }},
        {"length with a trailing blank", FileText().Lines({"Version 2", "1"}).DataSet(1, "A").Field("X", 2, "T", "12 ").str(),
         14, emptyA},
        {"length with a leading blank", FileText().Lines({"Version 2", "1"}).DataSet(1, "A").Field("X", 2, "T", " 12").str(),
         0, [&](const TMainSpaltwerk& s) { EXPECT_EQ(firstField(s).Length, 12); }},
        {"function code x", FileText().Lines({"Version 2", "1"}).DataSet(1, "A").Field("X", 2, "T", "1", "x").str(), 16,
         emptyA},
        {"the same dataset twice",
         FileText().Lines({"Version 2", "2"}).DataSet(1, "A").Field("FIRST").DataSet(2, "a").Field("X").Field("Y").str(), 0,
         [&](const TMainSpaltwerk& s) {
             ASSERT_EQ(s.FelderList().size(), 1u);
             ASSERT_EQ(s.FelderList().front()->Fields.size(), 1u);
             EXPECT_EQ(firstField(s).FieldName, "FIRST");
         }},
        {"the same field twice", FileText().Lines({"Version 2", "1"}).DataSet(3, "A").Field("X").Field("X").Field("Y").str(),
         0,
         [](const TMainSpaltwerk& s) {
             const auto& fields = s.FelderList().front()->Fields;
             ASSERT_EQ(fields.size(), 2u);
             EXPECT_EQ(fields.back().FieldName, "Y");
             EXPECT_EQ(fields.back().Index, 1);
         }},
        {"lower-case names", FileText().Lines({"Version 2", "1"}).DataSet(1, "qk", "0", "form1").Field("kdnr").str(), 0,
         [&](const TMainSpaltwerk& s) {
             EXPECT_NE(s.FindFelder("FORM1", "QK", 0), nullptr);
             EXPECT_EQ(firstField(s).FieldName, "KDNR");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store = std::make_unique<TMainSpaltwerk>(nullptr);
        Given(c.file);
        EXPECT_EQ(OpenNotingErrorLine(), c.errorLine);
        EXPECT_EQ(store->Status, fsGO);
        c.check(*store);
    }
}

TEST_F(SettingsFileTest, FlagsAreTrueExactlyWithACapitalT) {
    struct Case { const char* line; bool value; };
    for (const Case& c : {Case{"T", true}, Case{"t", false}, Case{"TRUE", true}, Case{"NOT", true}, Case{"F", false},
                          Case{"FALSE", false}, Case{"", false}, Case{"xTx", true}}) {
        store = std::make_unique<TMainSpaltwerk>(nullptr);
        Given(FileText().Lines({"Version 2", "1"}).DataSet(1, "A").Field("X", 2, c.line, "10", "-1", c.line).str());
        store->Open();
        const TFeld& field = store->FelderList().front()->Fields.front();
        EXPECT_EQ(field.Visible, c.value) << c.line;
        EXPECT_EQ(field.Readonly, c.value) << c.line;
    }
}

TEST_F(SettingsFileTest, FunctionCodesAreTheOrdinalMinusOne) {
    struct Case { const char* code; TFFUNKTION function; };
    for (const Case& c : {Case{"-1", cfFalse}, Case{"0", cfTrue}, Case{"1", cfLower}, Case{"2", cfLowerEqual},
                          Case{"3", cfEqual}, Case{"4", cfHigher}, Case{"5", cfHigherEqual}, Case{"6", cfNot},
                          Case{"7", cfFalse}, Case{"9", cfFalse}, Case{"-5", cfFalse}, Case{"-2147483648", cfFalse}}) {
        store = std::make_unique<TMainSpaltwerk>(nullptr);
        Given(FileText().Lines({"Version 2", "1"}).DataSet(1, "A").Field("X", 2, "T", "1", c.code).str());
        store->Open();
        EXPECT_EQ(store->FelderList().front()->Fields.front().Function, c.function) << c.code;
    }
    for (int ordinal = 0; ordinal <= 7; ++ordinal)
        EXPECT_EQ(FunctionOfCode(FunctionCode(static_cast<TFFUNKTION>(ordinal))), ordinal);
    EXPECT_EQ(FunctionCode(static_cast<TFFUNKTION>(200)), -1);
}

TEST_F(SettingsFileTest, AnErrorKeepsWhatWasAddedAndDropsTheRecordBeingFilled) {
    // Dataset B's second field has a bad Color line; dataset C's Tag is bad.
    Given(FileText().Lines({"Version 2", "2"}).DataSet(1, "A").Field("X").DataSet(2, "B").Field("Y").Lines(
        {"5", "Z", "Cap", "", "", "T", "F", "10", "red", "-1", ""}).str());
    EXPECT_EQ(OpenNotingErrorLine(), 2 + 4 + 11 + 4 + 11 + 9);
    EXPECT_EQ(Names(*store), (std::vector<std::string>{"B", "A"}));
    ASSERT_EQ(store->FelderList().front()->Fields.size(), 1u);
    EXPECT_EQ(store->FelderList().front()->Fields.front().FieldName, "Y");

    store = std::make_unique<TMainSpaltwerk>(nullptr);
    Given(CrLf({"Version 2", "1", "0", "C", "zero", "F"}));
    EXPECT_THROW(store->Open(), vcl::EConvertError);
    EXPECT_TRUE(store->FelderList().empty());
    EXPECT_EQ(store->Status, fsGO);
}

TEST_F(SettingsFileTest, ReadingStopsWhereTheFileEnds) {
    // Counts far beyond the file are answered at once.
    Given(FileText().Lines({"Version 2", "2147483647"}).DataSet(INT_MAX, "A").Field("X").str());
    const TSettingsReadInfo info = [&] {
        vcl::TTextReader reader(File().string());
        return ReadSettings(reader, *store);
    }();
    EXPECT_EQ(info.Datasets, 1);
    EXPECT_EQ(info.Fields, 1);
    EXPECT_EQ(store->FelderList().front()->Fields.size(), 1u);
}

TEST_F(SettingsFileTest, RecordsPartlyReadEnterAndRecordsOfMissingLinesDoNot) {
    struct Case { const char* name; std::string file; std::vector<std::string> entries; std::size_t fieldsOfHead; };
    const Case cases[] = {
        {"a field cut after its caption", CrLf({"Version 2", "1", "3", "A", "0", "F", "0", "X", "Cap"}), {"A"}, 1},
        {"a field of only its index line", CrLf({"Version 2", "1", "3", "A", "0", "F", "0"}), {"A"}, 1},
        {"a dataset of only its name", CrLf({"Version 2", "1", "3", "A"}), {"A"}, 0},
        {"a dataset of only its count line", FileText().Lines({"Version 2", "2"}).DataSet(1, "A").Field("X").Line("4").str(),
         {"A"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store = std::make_unique<TMainSpaltwerk>(nullptr);
        Given(c.file);
        store->Open();
        EXPECT_EQ(Names(*store), c.entries);
        ASSERT_FALSE(store->FelderList().empty());
        EXPECT_EQ(store->FelderList().front()->Fields.size(), c.fieldsOfHead);
    }
    // What was read is kept; what was missing keeps the record's initial contents.
    const TFeld& cut = [&]() -> const TFeld& {
        store = std::make_unique<TMainSpaltwerk>(nullptr);
        Given(CrLf({"Version 2", "1", "3", "A", "0", "F", "0", "X", "Cap"}));
        store->Open();
        return store->FelderList().front()->Fields.front();
    }();
    EXPECT_EQ(cut.Caption, "Cap");
    EXPECT_TRUE(cut.EditMask.empty());
    EXPECT_EQ(cut.Color, -1);
    EXPECT_EQ(cut.Function, cfFalse);
}

TEST_F(SettingsFileTest, DatasetsComeBackInReverseOrderAndLongTextsCut) {
    const std::string caption40(40, 'c');
    const std::string value25(25, 'v');
    Given(FileText().Lines({"Version 2", "3"}).DataSet(0, "A").DataSet(0, "B").DataSet(1, "C")
              .Lines({"0", "X", caption40, "", "", "T", "F", "5", "-1", "3", value25}).str());
    store->Open();
    EXPECT_EQ(Names(*store), (std::vector<std::string>{"C", "B", "A"}));
    WriteBack();
    const std::string expected = FileText().Lines({"Version 2", "3"}).DataSet(1, "C")
        .Lines({"0", "X", caption40.substr(0, 30), "", "", "T", "F", "5", "-1", "3", value25.substr(0, 20)})
        .DataSet(0, "B").DataSet(0, "A").str();
    EXPECT_EQ(ReadBytes(File()), expected);
}

TEST_F(SettingsFileTest, OpenTwiceAddsOnlyNewKeysAndMemoryWins) {
    Given(FileText().Lines({"Version 2", "1"}).DataSet(1, "A").Field("FROMFILE").str());
    store->Open();
    Given(FileText().Lines({"Version 2", "2"}).DataSet(1, "A").Field("CHANGED").DataSet(0, "B").str());
    store->Open();
    EXPECT_EQ(Names(*store), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(store->FindFelder("F", "A", 0)->Fields.front().FieldName, "FROMFILE");
}

TEST_F(SettingsFileTest, MissingFileIsAMessageNamingTheUpperCasedPath) {
    struct Case { const char* fileName; const char* message; };
    for (const Case& c : {Case{"ZRKFIELD.INI", "C:\\WINDOWS\\ZRK\\ZRKFIELD.INI nicht gefunden !"},
                          Case{"my\xE4.ini", "C:\\WINDOWS\\ZRK\\MY\xE4.INI nicht gefunden !"},
                          Case{"", "C:\\WINDOWS\\ZRK\\ nicht gefunden !"}}) {
        messages.clear();
        store->FileName = c.fileName;
        store->Status = fsWORK;
        store->Open();
        EXPECT_EQ(messages, std::vector<std::string>{c.message});
        EXPECT_EQ(store->Status, fsGO);
        EXPECT_TRUE(fs::is_directory(drive.Root() / "C/WINDOWS/ZRK"));
    }
}

TEST_F(SettingsFileTest, FileNameIsUpperCasedForReadingAndWriting) {
    WriteBytes(drive.Root() / "C/WINDOWS/ZRK/OTHER.INI", kExample);
    store->FileName = "other.ini";
    store->Open();
    EXPECT_EQ(store->FelderList().size(), 1u);
    fs::remove(drive.Root() / "C/WINDOWS/ZRK/OTHER.INI");
    WriteBack();
    EXPECT_EQ(ReadBytes(drive.Root() / "C/WINDOWS/ZRK/OTHER.INI"), kExample);
}

TEST_F(SettingsFileTest, CloseWritesOnlyInLearnAndWork) {
    for (TFSTATUS status : {fsOFF, fsGO}) {
        store->Status = status;
        store->Close();
        EXPECT_EQ(store->Status, status);
        EXPECT_FALSE(fs::exists(File()));
    }
    store->Status = fsWORK;
    store->Close();  // the directory is created on the way
    EXPECT_EQ(store->Status, fsOFF);
    EXPECT_EQ(ReadBytes(File()), CrLf({"Version 2", "0"}));
}

TEST_F(SettingsFileTest, TextsWithLineEndsAreWrittenWithBlanks) {
    TFelder* entry = store->FELDER_ADD([] {
        auto e = std::make_unique<TFelder>();
        e->DataSetName = "A\rB";
        return e;
    }());
    auto field = std::make_unique<TFeld>();
    field->FieldName = "X";
    field->Caption = "two\r\nlines";
    field->Value = "\n";
    field->Function = static_cast<TFFUNKTION>(42);  // a byte outside the enumeration
    store->FELD_ADD(entry, std::move(field));
    store->Status = fsWORK;
    store->Close();
    EXPECT_EQ(ReadBytes(File()), CrLf({"Version 2", "1", "1", "A B", "0", "", "0", "X", "two  lines", "", "", "F", "F",
                                       "0", "-1", "-1", " "}));
}

class SettingsFileWithoutApplicationTest : public ::testing::Test {
protected:
    TempDrive drive;
};

TEST_F(SettingsFileWithoutApplicationTest, OpenAndCloseDoNothing) {
    ASSERT_EQ(vcl::Application, nullptr);
    TMainSpaltwerk store(nullptr);
    WriteBytes(drive.Root() / "C/WINDOWS/ZRK/ZRKFIELD.INI", kExample);
    store.Open();
    EXPECT_EQ(store.Status, fsOFF);
    EXPECT_TRUE(store.FelderList().empty());
    store.Status = fsWORK;
    store.Close();
    EXPECT_EQ(store.Status, fsWORK);
    EXPECT_EQ(ReadBytes(drive.Root() / "C/WINDOWS/ZRK/ZRKFIELD.INI"), kExample);
    store.Status = fsOFF;
}

TEST_F(SettingsFileTest, AFailingWriteRaisesAndLeavesTheOldFile) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Given(kExample);
    store->Open();
    store->FELDER_ADD(std::make_unique<TFelder>());
    fs::create_symlink("/dev/full", File().string() + ".tmp");
    store->run();
    EXPECT_THROW(store->Close(), vcl::EInOutError);
    EXPECT_EQ(store->Status, fsOFF);
    EXPECT_EQ(store->FelderList().size(), 2u);
    EXPECT_EQ(ReadBytes(File()), kExample);
}

TEST_F(SettingsFileTest, AFileWithAnEmptyNameCannotBeWritten) {
    store->FileName = "";
    store->Status = fsWORK;
    EXPECT_THROW(store->Close(), vcl::EInOutError);
    EXPECT_TRUE(fs::is_empty(drive.Root() / "C/WINDOWS/ZRK"));
}

TEST_F(SettingsFileTest, AFileNotReadCompletelyIsKeptBesideBeforeItIsReplaced) {
    const std::string broken = FileText().Lines({"Version 2", "2"}).DataSet(1, "A").Field("X").DataSet(0, "B", "oops").str();
    Given(broken);
    EXPECT_THROW(store->Open(), vcl::EConvertError);
    store->run();
    store->Close();
    EXPECT_EQ(ReadBytes(File().string() + ".bad"), broken);
    EXPECT_EQ(ReadBytes(File()),
              CrLf({"Version 2", "1", "1", "A", "0", "F", "0", "X", "Cap", "", "", "T", "F", "10", "-1", "-1", ""}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("C:\\WINDOWS\\ZRK\\ZRKFIELD.INI.bad"), std::string::npos) << errors[0];

    // Once replaced, the file is the store's own: later writes keep no copy.
    fs::remove(File().string() + ".bad");
    store->Learn();
    store->Status = fsWORK;
    store->Close();
    EXPECT_FALSE(fs::exists(File().string() + ".bad"));
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(SettingsFileTest, AFileReadCompletelyLaterNeedsNoCopy) {
    Given(CrLf({"Version 2", "x"}));
    EXPECT_THROW(store->Open(), vcl::EConvertError);
    Given(kExample);
    store->Open();
    WriteBack();
    EXPECT_FALSE(fs::exists(File().string() + ".bad"));
    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsFileTest, DestroyingTheStoreWritesTheFile) {
    Given(kExample);
    store->Open();
    store->DeleteFelder(store->FelderList().front().get());  // a write now would change the file
    store.reset();  // in fsGO: nothing written
    EXPECT_EQ(ReadBytes(File()), kExample);

    store = std::make_unique<TMainSpaltwerk>(nullptr);
    store->Open();
    store->DeleteFelder(store->FelderList().front().get());
    store->Learn();
    store.reset();
    EXPECT_EQ(ReadBytes(File()), CrLf({"Version 2", "0"}));
}

TEST_F(SettingsFileTest, AWriteErrorWhileDestroyingIsReportedNotThrown) {
    fs::create_directories(File());  // a directory where the file should go
    store->Open();
    store->run();
    EXPECT_NO_THROW(store.reset());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("ZRKFIELD.INI"), std::string::npos) << errors[0];
}

}  // namespace
