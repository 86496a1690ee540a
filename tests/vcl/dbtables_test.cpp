// Datasets on SQLite: connection, tables and queries, fields from declared types, the
// cursor, the Windows-1252 edge, errors and lifetimes.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "support/temp_drive.h"
#include "vcl/db.h"
#include "vcl/db_support.h"
#include "vcl/dbtables.h"
#include "vcl/forms.h"

namespace {

using namespace vcl;

// Each test runs on a ":memory:" database and on a file under the temporary drive root.
class SQLiteTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            ASSERT_TRUE(ForceDirectories("C:\\DATA"));
            db = std::make_unique<TDatabase>(nullptr, "C:\\DATA\\TEST.DB");
        } else {
            db = std::make_unique<TDatabase>(nullptr, ":memory:");
        }
    }

    // A table "nums" with n rows: n = 1..count, sq = n*n, label 'row n'.
    void MakeNumbers(int count) {
        db->ExecSQL("CREATE TABLE nums(n INTEGER, sq INTEGER, label VARCHAR(12))");
        db->StartTransaction();
        TSQLStatement insert(*db, "INSERT INTO nums VALUES (?, ?, ?)");
        for (int i = 1; i <= count; ++i) {
            insert.BindInteger(1, i);
            insert.BindInteger(2, static_cast<long long>(i) * i);
            insert.BindText(3, "row " + std::to_string(i));
            insert.ExecSQL();
        }
        db->Commit();
    }

    std::unique_ptr<TTable> Table(const std::string& name) {
        auto t = std::make_unique<TTable>(nullptr);
        t->SetDatabase(db.get());
        t->SetTableName(name);
        return t;
    }

    std::unique_ptr<TQuery> Query(const std::string& sql) {
        auto q = std::make_unique<TQuery>(nullptr);
        q->SetDatabase(db.get());
        q->SetSQL(sql);
        return q;
    }

    testing_support::TempDrive root;
    std::unique_ptr<TDatabase> db;
};

INSTANTIATE_TEST_SUITE_P(Databases, SQLiteTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

TEST_P(SQLiteTest, FileDatabaseLivesUnderTheDriveRoot) {
    MakeNumbers(1);
    EXPECT_EQ(std::filesystem::exists(root.Root() / "C" / "DATA" / "TEST.DB"), GetParam());
    EXPECT_EQ(db->DatabaseName(), GetParam() ? "C:\\DATA\\TEST.DB" : ":memory:");
}

TEST_P(SQLiteTest, EventsInOrderWithFieldsPresentBeforeClose) {
    MakeNumbers(3);
    auto t = Table("nums");
    std::vector<std::string> log;
    dbtest::RecordEvents(*t, log);
    std::string seenInBeforeClose;
    t->BeforeClose = [&](TDataSet* d) {
        log.push_back("BeforeClose fields=" + std::to_string(d->FieldCount()));
        seenInBeforeClose = d->FindField("LABEL")->AsString();
    };
    t->Open();
    EXPECT_EQ(dbtest::FieldOrder(*t), "n,sq,label");
    t->Close();
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeOpen inactive fields=0", "AfterOpen active fields=3",
                                              "BeforeClose fields=3", "AfterClose inactive fields=0"}));
    EXPECT_EQ(seenInBeforeClose, "row 1");
}

TEST_P(SQLiteTest, CursorMovesAcrossFetchedRows) {
    MakeNumbers(120);
    auto t = Table("nums");
    EXPECT_THROW(t->Next(), EDatabaseError);  // closed
    EXPECT_EQ(t->RecNo(), 0);
    t->Open();
    TField* n = t->FieldByName("n");
    EXPECT_TRUE(t->Bof());
    EXPECT_FALSE(t->Eof());
    EXPECT_EQ(t->RecNo(), 1);
    for (int i = 0; i < 60; ++i) t->Next();
    EXPECT_EQ(n->AsInteger(), 61);
    EXPECT_FALSE(t->Bof());
    for (int i = 0; i < 10; ++i) t->Prior();
    EXPECT_EQ(n->AsInteger(), 51);
    EXPECT_EQ(t->MoveBy(-100), -50);
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->RecNo(), 1);
    t->Prior();
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->RecNo(), 1);
    t->SetRecNo(100);
    EXPECT_EQ(t->FieldByName("sq")->AsInteger(), 10000);
    EXPECT_FALSE(t->Eof());
    EXPECT_EQ(t->MoveBy(50), 20);
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(t->RecNo(), 120);
    t->Next();
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(n->AsInteger(), 120);
    t->First();
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(n->AsString(), "1");
    EXPECT_EQ(t->RecordCount(), 120);
    EXPECT_EQ(t->RecNo(), 1);  // counting does not move
    t->SetRecNo(0);
    EXPECT_TRUE(t->Bof());
    EXPECT_EQ(t->RecNo(), 1);
    t->Last();
    EXPECT_TRUE(t->Eof());
    EXPECT_EQ(n->AsInteger(), 120);
}

TEST_P(SQLiteTest, EmptyResultIsEofAndBof) {
    MakeNumbers(0);
    auto t = Table("nums");
    t->Open();
    EXPECT_TRUE(t->Eof());
    EXPECT_TRUE(t->Bof());
    EXPECT_TRUE(t->IsEmpty());
    EXPECT_EQ(t->RecNo(), 0);
    t->Next();
    t->Last();
    EXPECT_TRUE(t->Eof() && t->Bof());
    EXPECT_TRUE(t->Fields(0)->IsNull());
    EXPECT_EQ(t->RecordCount(), 0);
}

// Counts its calls, so a test can see how many rows SQLite has produced; fails on the row
// whose value equals failAt.
struct Ticker {
    int calls = 0;
    long long failAt = -1;

    void Install(sqlite3* db) {
        sqlite3_create_function_v2(db, "tick", 1, SQLITE_UTF8, this, &Ticker::Call, nullptr, nullptr, nullptr);
    }
    static void Call(sqlite3_context* ctx, int, sqlite3_value** args) {
        auto* self = static_cast<Ticker*>(sqlite3_user_data(ctx));
        ++self->calls;
        const long long v = sqlite3_value_int64(args[0]);
        if (v == self->failAt) {
            sqlite3_result_error(ctx, "tick broke", -1);
            return;
        }
        sqlite3_result_int64(ctx, v);
    }
};

TEST_P(SQLiteTest, RowsAreReadAsTheCursorMovesAndKept) {
    MakeNumbers(5000);
    Ticker ticker;
    ticker.Install(db->Handle());
    auto q = Query("SELECT tick(n) AS n FROM nums");
    q->Open();
    EXPECT_EQ(ticker.calls, 1);  // opening reads the first row only
    for (int pass = 0; pass < 3; ++pass) {  // a grid showing rows 1..50 again and again
        q->First();
        for (int i = 1; i < 50; ++i) q->Next();
        EXPECT_EQ(q->Fields(0)->AsInteger(), 50);
    }
    EXPECT_EQ(ticker.calls, 50);
    EXPECT_EQ(q->RecordCount(), 5000);
    EXPECT_EQ(ticker.calls, 5000);
}

TEST_P(SQLiteTest, ReadErrorIsReportedAndNotTakenForTheEnd) {
    MakeNumbers(10);
    Ticker ticker;
    ticker.failAt = 4;
    ticker.Install(db->Handle());
    auto q = Query("SELECT tick(n) AS n FROM nums");
    q->Open();
    q->MoveBy(2);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            q->Next();
            FAIL() << "no error";
        } catch (const EDBEngineError& e) {
            EXPECT_STREQ(e.what(), "tick broke");
        }
        EXPECT_EQ(q->RecNo(), 3);
        EXPECT_FALSE(q->Eof());
    }
    EXPECT_THROW(q->RecordCount(), EDBEngineError);
    q->Prior();
    EXPECT_EQ(q->Fields(0)->AsInteger(), 2);
}

TEST_P(SQLiteTest, TableNameIsQuotedSoItCannotInject) {
    MakeNumbers(2);
    db->ExecSQL("CREATE TABLE \"we\"\"ird\"(x TEXT); INSERT INTO \"we\"\"ird\" VALUES ('found')");
    auto t = Table("we\"ird");
    t->Open();
    EXPECT_EQ(t->FieldByName("x")->AsString(), "found");
    t->Close();
    for (const char* evil : {"nums\"; DROP TABLE nums; --", "nums\" WHERE 0 --", "\""}) {
        t->SetTableName(evil);
        try {
            t->Open();
            FAIL() << "opened " << evil;
        } catch (const EDBEngineError& e) {
            EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos) << e.what();
        }
        EXPECT_FALSE(t->Active());
    }
    t->SetTableName(std::string("nums\0x", 6));
    EXPECT_THROW(t->Open(), EDatabaseError);
    auto nums = Table("nums");
    nums->Open();
    EXPECT_EQ(nums->RecordCount(), 2);
}

TEST_P(SQLiteTest, Windows1252TextBecomesUtf8InSQLiteAndBack) {
    // "Größe", "Bücher" and "Bär €" in Windows-1252.
    const std::string column = "Gr\xF6\xDF" "e", table = "B\xFC" "cher", value = "B\xE4r \x80";
    db->ExecSQL("CREATE TABLE " + QuoteIdentifier(table) + "(" + QuoteIdentifier(column) + " TEXT)");
    TSQLStatement insert(*db, "INSERT INTO " + QuoteIdentifier(table) + " VALUES (?)");
    insert.BindText(1, value);
    insert.ExecSQL();
    db->ExecSQL("INSERT INTO " + QuoteIdentifier(table) + " VALUES ('" + value + "')");

    TSQLStatement raw(*db, "SELECT hex(" + QuoteIdentifier(column) + ") FROM " + QuoteIdentifier(table));
    for (int row = 0; row < 2; ++row) {
        ASSERT_TRUE(raw.Step());
        EXPECT_EQ(std::get<std::string>(raw.Column(0)), "42C3A47220E282AC");  // UTF-8 in the file
    }
    auto t = Table(table);
    t->Open();
    ASSERT_NE(t->FindField("GR\xF6\xDF" "E"), nullptr);  // only a to z change case
    EXPECT_EQ(t->Fields(0)->FieldName(), column);
    EXPECT_EQ(t->Fields(0)->AsString(), value);
    t->Next();
    EXPECT_EQ(t->Fields(0)->AsString(), value);
}

TEST_P(SQLiteTest, ErrorsCarrySQLiteMessage) {
    MakeNumbers(1);
    db->ExecSQL("CREATE TABLE u(k INTEGER UNIQUE)");
    struct Case {
        std::function<void()> action;
        const char* message;
        int code;
    };
    const Case cases[] = {
        {[&] { db->ExecSQL("SELEC 1"); }, "near \"SELEC\": syntax error", SQLITE_ERROR},
        {[&] { Query("SELECT * FROM nope")->Open(); }, "no such table: nope", SQLITE_ERROR},
        {[&] { Table("nope")->Open(); }, "no such table: nope", SQLITE_ERROR},
        {[&] { db->ExecSQL("INSERT INTO u VALUES (1); INSERT INTO u VALUES (1)"); },
         "UNIQUE constraint failed: u.k", SQLITE_CONSTRAINT_UNIQUE},
        {[&] { db->Commit(); }, "cannot commit - no transaction is active", SQLITE_ERROR},
    };
    for (const Case& c : cases) {
        try {
            c.action();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EDBEngineError& e) {
            EXPECT_STREQ(e.what(), c.message);
            EXPECT_EQ(e.ErrorCode(), c.code) << c.message;
        }
    }
}

TEST_P(SQLiteTest, QueryMustBeOneStatementThatReturnsRows) {
    MakeNumbers(1);
    struct Case {
        const char* sql;
        const char* message;
    };
    const Case cases[] = {
        {"INSERT INTO nums VALUES (9, 81, 'x')", "The SQL statement returns no rows"},
        {"SELECT 1; DELETE FROM nums", "Only one SQL statement can be prepared at a time"},
        {"  ", "No SQL statement available"},
    };
    for (const Case& c : cases) {
        auto q = Query(c.sql);
        try {
            q->Open();
            ADD_FAILURE() << "opened " << c.sql;
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_FALSE(q->Active());
    }
    auto q = Query("SELECT count(*) AS c FROM nums; -- a comment\n");
    q->Open();
    EXPECT_EQ(q->Fields(0)->AsInteger(), 1);  // nothing above ran
}

TEST_P(SQLiteTest, TypeMappingFromDeclaredTypes) {
    struct Case {
        const char* declared;
        const char* className;
        TFieldType type;
        int size;
        int width;
    };
    const Case cases[] = {
        {"INTEGER PRIMARY KEY AUTOINCREMENT", "TAutoIncField", ftAutoInc, 0, 11},
        {"VARCHAR(30)", "TStringField", ftString, 30, 30},
        {"CHAR(2)", "TStringField", ftString, 2, 2},
        {"NVARCHAR(12)", "TStringField", ftString, 12, 12},
        {"TEXT", "TStringField", ftString, 255, 255},
        {"MEMO", "TMemoField", ftMemo, 0, 10},
        {"CLOB", "TMemoField", ftMemo, 0, 10},
        {"INTEGER", "TIntegerField", ftInteger, 0, 11},
        {"INT", "TIntegerField", ftInteger, 0, 11},
        {"BIGINT", "TIntegerField", ftInteger, 0, 11},
        {"SMALLINT", "TSmallintField", ftSmallint, 0, 6},
        {"WORD", "TWordField", ftWord, 0, 5},
        {"REAL", "TFloatField", ftFloat, 0, 10},
        {"FLOAT", "TFloatField", ftFloat, 0, 10},
        {"DOUBLE", "TFloatField", ftFloat, 0, 10},
        {"CURRENCY", "TCurrencyField", ftCurrency, 0, 10},
        {"MONEY", "TCurrencyField", ftCurrency, 0, 10},
        {"DECIMAL(8,2)", "TBCDField", ftBCD, 2, 10},
        {"NUMERIC", "TBCDField", ftBCD, 0, 20},
        {"BOOLEAN", "TBooleanField", ftBoolean, 0, 5},
        {"bool", "TBooleanField", ftBoolean, 0, 5},
        {"DATETIME", "TDateTimeField", ftDateTime, 0, 19},
        {"TIMESTAMP", "TDateTimeField", ftDateTime, 0, 19},
        {"DATE", "TDateField", ftDate, 0, 10},
        {"TIME", "TTimeField", ftTime, 0, 8},
        {"BLOB", "TBlobField", ftBlob, 0, 10},
        {"", "TStringField", ftString, 255, 255},  // no declared type, no row to judge by
    };
    std::string create = "CREATE TABLE kinds(";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        create += (i ? ", c" : "c") + std::to_string(i) + " " + cases[i].declared;
    db->ExecSQL(create + ")");
    db->ExecSQL("CREATE TABLE plainkey(id INTEGER PRIMARY KEY, v INT)");
    auto t = Table("kinds");
    t->Open();
    ASSERT_EQ(t->FieldCount(), static_cast<int>(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        TField* f = t->Fields(static_cast<int>(i));
        SCOPED_TRACE(c.declared);
        EXPECT_STREQ(f->ClassName(), c.className);
        EXPECT_EQ(f->DataType(), c.type);
        EXPECT_EQ(f->Size(), c.size);
        EXPECT_EQ(f->DisplayWidth(), c.width);
    }
    auto plain = Table("plainkey");
    plain->Open();
    EXPECT_STREQ(plain->Fields(0)->ClassName(), "TIntegerField");  // a rowid alias is not AUTOINCREMENT
    auto aliased = Query("SELECT c0 AS k FROM kinds");
    aliased->Open();
    EXPECT_NE(dynamic_cast<TAutoIncField*>(aliased->Fields(0)), nullptr);
}

TEST_P(SQLiteTest, ExpressionColumnsTakeTheirKindFromTheFirstRow) {
    auto q = Query("SELECT 1 AS i, 2.5 AS r, 'x' AS t, x'00ff' AS b, NULL AS n, 1 AS i, 2 AS I");
    q->Open();
    EXPECT_EQ(dbtest::FieldOrder(*q), "i,r,t,b,n,i_1,I_2");
    const char* classes[] = {"TIntegerField", "TFloatField", "TStringField", "TBlobField", "TStringField"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(q->Fields(i)->ClassName(), classes[i]) << i;
    EXPECT_EQ(std::get<TBlobData>(q->Fields(3)->Value()).Bytes, std::string("\0\xFF", 2));
    EXPECT_EQ(q->Fields(6)->AsInteger(), 2);
    auto none = Query("SELECT 1 AS i WHERE 0");
    none->Open();
    EXPECT_STREQ(none->Fields(0)->ClassName(), "TStringField");
}

TEST_P(SQLiteTest, StoredDatesAndBooleansReadAsTheirKinds) {
    db->ExecSQL(
        "CREATE TABLE ev(d DATE, t TIME, dt DATETIME, b BOOLEAN, p DECIMAL(6,2));"
        "INSERT INTO ev VALUES ('2023-12-24', '18:30:00', '2023-12-24 18:30:00.500', 'T', 12.5);"
        "INSERT INTO ev VALUES (45284.5, 0.25, 45284.75, 0, '7');"
        "INSERT INTO ev VALUES (NULL, NULL, NULL, 'false', NULL);");
    auto t = Table("ev");
    t->Open();
    const std::vector<std::vector<std::string>> expected = {
        {"2023-12-24", "18:30:00", "2023-12-24 18:30:00.500", "True", "12.5"},
        {"2023-12-24", "06:00:00", "2023-12-24 18:00:00", "False", "7"},
        {"", "", "", "False", ""},
    };
    for (const auto& row : expected) {
        for (int i = 0; i < 5; ++i) EXPECT_EQ(t->Fields(i)->AsString(), row[static_cast<std::size_t>(i)]) << i;
        t->Next();
    }
    t->First();
    EXPECT_DOUBLE_EQ(t->FieldByName("dt")->AsDateTime(), EncodeDate(2023, 12, 24) + EncodeTime(18, 30, 0, 500));
    EXPECT_TRUE(t->FieldByName("b")->AsBoolean());
    EXPECT_DOUBLE_EQ(t->FieldByName("p")->AsFloat(), 12.5);
}

TEST_P(SQLiteTest, BulkInsertInATransaction) {
    db->ExecSQL("CREATE TABLE bulk(id INTEGER PRIMARY KEY AUTOINCREMENT, v REAL, s TEXT, b BLOB)");
    db->StartTransaction();
    EXPECT_TRUE(db->InTransaction());
    TSQLStatement insert(*db, "INSERT INTO bulk(v, s, b) VALUES (?, ?, ?)");
    for (int i = 0; i < 500; ++i) {
        insert.Bind(1, TFieldValue(i * 0.5));
        insert.Bind(2, i % 2 ? TFieldValue("odd") : TFieldValue(Null));
        insert.Bind(3, TFieldValue(TBlobData{std::string(1, static_cast<char>(i))}));
        insert.ExecSQL();
    }
    EXPECT_EQ(db->LastInsertRowId(), 500);
    db->Commit();
    EXPECT_FALSE(db->InTransaction());
    db->StartTransaction();
    db->ExecSQL("DELETE FROM bulk");
    EXPECT_EQ(db->RowsAffected(), 500);
    db->Rollback();
    auto t = Table("bulk");
    t->Open();
    EXPECT_EQ(t->RecordCount(), 500);
    t->SetRecNo(4);
    EXPECT_EQ(t->FieldByName("v")->AsString(), "1.5");
    EXPECT_EQ(t->FieldByName("s")->AsString(), "odd");
    EXPECT_EQ(t->FieldByName("b")->AsString(), std::string(1, '\3'));
    EXPECT_THROW(insert.BindInteger(4, 1), EDBEngineError);  // no fourth parameter

    TSQLStatement again(*db, "INSERT INTO bulk(id) VALUES (?)");
    again.BindInteger(1, 7);
    try {
        again.ExecSQL();
        FAIL() << "inserted a second row 7";
    } catch (const EDBEngineError& e) {
        EXPECT_STREQ(e.what(), "UNIQUE constraint failed: bulk.id");
        EXPECT_EQ(e.ErrorCode(), SQLITE_CONSTRAINT_PRIMARYKEY);
    }
    again.BindInteger(1, 501);  // the statement is usable again after the error
    again.ExecSQL();
    EXPECT_EQ(db->LastInsertRowId(), 501);
}

TEST_P(SQLiteTest, PropertiesThatNeedAClosedDataset) {
    MakeNumbers(1);
    auto q = Query("SELECT * FROM nums");
    q->Open();
    EXPECT_THROW(q->SetSQL("SELECT 1"), EDatabaseError);
    q->SetSQL("SELECT * FROM nums");  // no change: no error
    EXPECT_THROW(q->SetDatabase(nullptr), EDatabaseError);
    auto t = Table("nums");
    t->Open();
    EXPECT_THROW(t->SetTableName("other"), EDatabaseError);
    EXPECT_EQ(db->DataSetCount(), 2);
}

TEST_P(SQLiteTest, BeforeOpenMaySetWhatIsOpened) {
    MakeNumbers(4);
    TQuery q(nullptr);
    q.BeforeOpen = [this](TDataSet* d) {
        auto* query = dynamic_cast<TQuery*>(d);
        query->SetDatabase(db.get());
        query->SetSQL("SELECT max(n) AS top FROM nums");
    };
    q.Open();
    EXPECT_EQ(q.FieldByName("TOP")->AsInteger(), 4);
}

TEST_P(SQLiteTest, ClosingTheDatabaseClosesItsDatasetsWithEvents) {
    MakeNumbers(3);
    auto t = Table("nums");
    std::vector<std::string> log;
    dbtest::RecordEvents(*t, log);
    t->Open();
    db->Close();
    EXPECT_FALSE(db->Connected());
    EXPECT_FALSE(t->Active());
    EXPECT_EQ(log.back(), "AfterClose inactive fields=0");
    if (GetParam()) {  // the file keeps its rows; opening the dataset connects again
        t->Open();
        EXPECT_TRUE(db->Connected());
        EXPECT_EQ(t->RecordCount(), 3);
    }
}

TEST_P(SQLiteTest, DatasetDestroyedBeforeItsDatabase) {
    MakeNumbers(3);
    auto t = Table("nums");
    t->Open();
    t->Next();
    t.reset();
    EXPECT_EQ(db->DataSetCount(), 0);
    db->ExecSQL("DROP TABLE nums");  // no statement left holding the table
}

TEST_P(SQLiteTest, DatabaseDestroyedBeforeItsDataset) {
    MakeNumbers(3);
    auto t = Table("nums");
    int events = 0;
    t->BeforeClose = [&](TDataSet*) { ++events; };
    t->AfterClose = [&](TDataSet*) { ++events; };
    t->Open();
    db.reset();
    EXPECT_FALSE(t->Active());
    EXPECT_EQ(t->Database(), nullptr);
    EXPECT_EQ(events, 0);
    try {
        t->Open();
        FAIL() << "opened without a database";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Missing database");
    }
}

TEST_P(SQLiteTest, OwnerDestroysDatabaseAndDatasetsInEitherOrder) {
    MakeNumbers(3);
    for (bool databaseFirst : {true, false}) {
        auto form = std::make_unique<TForm>(nullptr);
        TDatabase* own = databaseFirst ? new TDatabase(form.get(), db->DatabaseName()) : nullptr;
        auto* q = new TQuery(form.get());
        if (!databaseFirst) own = new TDatabase(form.get(), db->DatabaseName());
        if (!GetParam()) own->ExecSQL("CREATE TABLE nums(n INTEGER)");
        q->SetDatabase(own);
        q->SetSQL("SELECT * FROM nums");
        q->Open();
        form.reset();  // last created first
    }
}

TEST(SQLiteConnectionTest, OpenErrorsNameTheDatabase) {
    testing_support::TempDrive root;
    try {
        TDatabase db(nullptr, "C:\\MISSING\\DIR\\X.DB");
        FAIL() << "opened";
    } catch (const EDBEngineError& e) {
        EXPECT_STREQ(e.what(), "Cannot open database 'C:\\MISSING\\DIR\\X.DB': unable to open database file");
        EXPECT_EQ(e.ErrorCode(), SQLITE_CANTOPEN);
    }
    TDatabase unnamed(nullptr);
    EXPECT_THROW(unnamed.ExecSQL("SELECT 1"), EDatabaseError);
    EXPECT_FALSE(unnamed.Connected());
}

TEST(SQLiteConnectionTest, StatementOutlivingItsDatabaseIsFreedSafely) {
    auto db = std::make_unique<TDatabase>(nullptr, ":memory:");
    TSQLStatement statement(*db, "SELECT 1");
    TSQLStatement moved(std::move(statement));
    db.reset();
}

TEST(SQLiteConnectionTest, QuoteIdentifierDoublesQuotes) {
    EXPECT_EQ(QuoteIdentifier("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(QuoteIdentifier(""), "\"\"");
    EXPECT_THROW(QuoteIdentifier(std::string("a\0b", 3)), EDatabaseError);
}

}  // namespace
