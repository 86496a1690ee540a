// The SQLite connection, prepared statements, and the datasets that read from SQLite.

#include "vcl/dbtables.h"

#include <sqlite3.h>

#include <algorithm>

namespace vcl {

namespace {

// SQLite speaks UTF-8; the package Windows-1252. Plain ASCII, the common case, is copied.
std::string TextFromSQLite(std::string_view utf8) {
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(utf8);
    return Utf8ToWin1252(utf8);
}

[[noreturn]] void RaiseEngineError(int code, const char* message, std::string_view context = {}) {
    std::string text = message != nullptr ? Utf8ToWin1252(message) : std::string(sqlite3_errstr(code));
    if (!context.empty()) text = std::string(context) + ": " + text;
    throw EDBEngineError(code, text);
}

[[noreturn]] void RaiseEngineError(sqlite3* db, int code) { RaiseEngineError(code, sqlite3_errmsg(db)); }

void ReadColumn(sqlite3_stmt* stmt, int column, TFieldValue& value) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            value = static_cast<long long>(sqlite3_column_int64(stmt, column));
            break;
        case SQLITE_FLOAT:
            value = sqlite3_column_double(stmt, column);
            break;
        case SQLITE_TEXT: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            value = TextFromSQLite(std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))));
            break;
        }
        case SQLITE_BLOB: {
            const void* data = sqlite3_column_blob(stmt, column);
            const int bytes = sqlite3_column_bytes(stmt, column);
            value = TBlobData{bytes > 0 ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(bytes))
                                        : std::string()};
            break;
        }
        default:
            value = Null;
            break;
    }
}

// True when nothing but blanks and ';' is left.
bool OnlySeparators(const char* tail) {
    for (; tail != nullptr && *tail != '\0'; ++tail)
        if (*tail != ';' && static_cast<unsigned char>(*tail) > 32) return false;
    return true;
}

struct TStmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }
};
using TStmtPtr = std::unique_ptr<sqlite3_stmt, TStmtFinalizer>;

// Prepares exactly one statement from Windows-1252 text.
TStmtPtr PrepareOne(sqlite3* db, std::string_view sql) {
    const std::string utf8 = Win1252ToUtf8(sql);
    if (utf8.find('\0') != std::string::npos) throw EDatabaseError("The SQL text holds a zero byte");
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, utf8.c_str(), static_cast<int>(utf8.size()) + 1, &raw, &tail);
    TStmtPtr stmt(raw);
    if (rc != SQLITE_OK) RaiseEngineError(db, rc);
    if (stmt == nullptr) throw EDatabaseError("No SQL statement available");
    if (!OnlySeparators(tail)) {
        // Comments alone prepare to nothing; anything else is a second statement.
        sqlite3_stmt* next = nullptr;
        const int nextRc = sqlite3_prepare_v2(db, tail, -1, &next, nullptr);
        const TStmtPtr second(next);
        if (nextRc != SQLITE_OK || second != nullptr)
            throw EDatabaseError("Only one SQL statement can be prepared at a time");
    }
    return stmt;
}

// The rows of a prepared SELECT. The first row is read when the cursor is made, so that
// columns without a declared type can take their field class from its values.
class TSQLiteCursor : public TDataCursor {
public:
    TSQLiteCursor(sqlite3* db, std::string_view sql) : db_(db), stmt_(PrepareOne(db, sql)) {
        const int columns = sqlite3_column_count(stmt_.get());
        if (columns == 0) throw EDatabaseError("The SQL statement returns no rows");
        Step();
        pending_ = !done_;
        FieldDefs.reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i) FieldDefs.push_back(Describe(i));
    }

    bool Fetch(std::span<TFieldValue> row) override {
        if (!pending_) Step();
        pending_ = false;
        if (done_) return false;
        for (std::size_t i = 0; i < row.size(); ++i) ReadColumn(stmt_.get(), static_cast<int>(i), row[i]);
        return true;
    }

private:
    void Step() {
        if (done_) return;
        if (failure_ != SQLITE_OK) RaiseEngineError(failure_, failureMessage_.c_str());
        const int rc = sqlite3_step(stmt_.get());
        if (rc == SQLITE_ROW) return;
        if (rc == SQLITE_DONE) {
            done_ = true;
            sqlite3_reset(stmt_.get());  // lets go of the read lock
            return;
        }
        // Stepping on after an error could start the rows over; every later read fails alike.
        failure_ = rc;
        failureMessage_ = sqlite3_errmsg(db_);
        RaiseEngineError(failure_, failureMessage_.c_str());
    }

    TFieldDef Describe(int column) const {
        const char* declared = sqlite3_column_decltype(stmt_.get(), column);
        TFieldDef def = FieldDefForDeclaredType(declared != nullptr ? declared : "");
        if (def.DataType == ftUnknown) {
            TFieldValue first;
            if (pending_) ReadColumn(stmt_.get(), column, first);
            def = FieldDefForValue(first);
        } else if (def.DataType == ftInteger && IsAutoIncrement(column)) {
            def.DataType = ftAutoInc;
        }
        const char* name = sqlite3_column_name(stmt_.get(), column);
        if (name == nullptr) throw EDatabaseError("Out of memory reading the column names");
        def.Name = TextFromSQLite(name);
        return def;
    }

    bool IsAutoIncrement(int column) const {
        const char* database = sqlite3_column_database_name(stmt_.get(), column);
        const char* table = sqlite3_column_table_name(stmt_.get(), column);
        const char* origin = sqlite3_column_origin_name(stmt_.get(), column);
        if (table == nullptr || origin == nullptr) return false;
        int autoIncrement = 0;
        return sqlite3_table_column_metadata(db_, database, table, origin, nullptr, nullptr, nullptr, nullptr,
                                             &autoIncrement) == SQLITE_OK &&
               autoIncrement != 0;
    }

    sqlite3* db_;
    TStmtPtr stmt_;
    bool pending_ = false;
    bool done_ = false;
    int failure_ = SQLITE_OK;
    std::string failureMessage_;
};

}  // namespace

std::string QuoteIdentifier(std::string_view name) {
    if (name.find('\0') != std::string_view::npos) throw EDatabaseError("A name may not hold a zero byte");
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// ---- TDatabase ------------------------------------------------------------------------------

void TDatabase::TCloser::operator()(sqlite3* db) const noexcept {
    // Waits for statements still alive (a TSQLStatement kept too long) instead of failing.
    sqlite3_close_v2(db);
}

TDatabase::TDatabase(TComponent* owner) : TComponent(owner) {}

TDatabase::TDatabase(TComponent* owner, std::string_view databaseName) : TComponent(owner) { Open(databaseName); }

TDatabase::~TDatabase() {
    // The datasets hear of it first and close while the connection is still there.
    BeforeDestruction();
    handle_.reset();
}

void TDatabase::Open(std::string_view databaseName) {
    Close();
    databaseName_ = std::string(databaseName);
    Open();
}

void TDatabase::Open() {
    if (Connected()) return;
    if (databaseName_.empty()) throw EDatabaseError("No database name to connect to");
    if (databaseName_.find('\0') != std::string::npos) throw EDatabaseError("A database name may not hold a zero byte");
    const std::string path = databaseName_ == ":memory:" ? databaseName_ : MapPath(databaseName_).string();
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, TCloser> db(raw);
    if (rc != SQLITE_OK)
        RaiseEngineError(rc, db != nullptr ? sqlite3_errmsg(db.get()) : nullptr,
                         "Cannot open database '" + databaseName_ + "'");
    sqlite3_extended_result_codes(db.get(), 1);
    handle_ = std::move(db);
}

void TDatabase::Close() {
    // A copy: a dataset's event handlers may change the list.
    const std::vector<TDBDataSet*> dataSets = dataSets_;
    for (TDBDataSet* dataSet : dataSets)
        if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) != dataSets_.end()) dataSet->Close();
    handle_.reset();
}

sqlite3* TDatabase::Handle() {
    Open();
    return handle_.get();
}

void TDatabase::ExecSQL(std::string_view sql) {
    sqlite3* db = Handle();
    const std::string utf8 = Win1252ToUtf8(sql);
    if (utf8.find('\0') != std::string::npos) throw EDatabaseError("The SQL text holds a zero byte");
    char* message = nullptr;
    const int rc = sqlite3_exec(db, utf8.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const std::string text = message != nullptr ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        RaiseEngineError(sqlite3_extended_errcode(db), text.c_str());
    }
}

void TDatabase::StartTransaction() { ExecSQL("BEGIN"); }
void TDatabase::Commit() { ExecSQL("COMMIT"); }
void TDatabase::Rollback() { ExecSQL("ROLLBACK"); }

bool TDatabase::InTransaction() const noexcept { return handle_ != nullptr && sqlite3_get_autocommit(handle_.get()) == 0; }

long long TDatabase::LastInsertRowId() const noexcept {
    return handle_ != nullptr ? sqlite3_last_insert_rowid(handle_.get()) : 0;
}

int TDatabase::RowsAffected() const noexcept { return handle_ != nullptr ? sqlite3_changes(handle_.get()) : 0; }

TDBDataSet* TDatabase::DataSets(int index) const {
    if (index < 0 || index >= DataSetCount())
        throw EListError("Dataset index out of range (" + IntToStr(index) + ")");
    return dataSets_[static_cast<std::size_t>(index)];
}

void TDatabase::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    // Compared as components: the dataset may be past its own destructor's body.
    if (operation == TOperation::opRemove)
        std::erase_if(dataSets_, [component](TDBDataSet* d) { return static_cast<TComponent*>(d) == component; });
}

// ---- TSQLStatement ----------------------------------------------------------------------------

void TSQLStatement::TFinalizer::operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }

TSQLStatement::TSQLStatement(TDatabase& database, std::string_view sql) : db_(database.Handle()) {
    stmt_.reset(PrepareOne(db_, sql).release());
}

TSQLStatement::~TSQLStatement() = default;
TSQLStatement::TSQLStatement(TSQLStatement&& other) noexcept = default;
TSQLStatement& TSQLStatement::operator=(TSQLStatement&& other) noexcept = default;

void TSQLStatement::Check(int result) const {
    if (result != SQLITE_OK) RaiseEngineError(db_, result);
}

void TSQLStatement::BindNull(int index) { Check(sqlite3_bind_null(stmt_.get(), index)); }

void TSQLStatement::BindInteger(int index, long long value) {
    Check(sqlite3_bind_int64(stmt_.get(), index, static_cast<sqlite3_int64>(value)));
}

void TSQLStatement::BindFloat(int index, double value) { Check(sqlite3_bind_double(stmt_.get(), index, value)); }

void TSQLStatement::BindText(int index, std::string_view text) {
    const std::string utf8 = Win1252ToUtf8(text);
    Check(sqlite3_bind_text64(stmt_.get(), index, utf8.data(), utf8.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void TSQLStatement::BindBlob(int index, std::string_view bytes) {
    Check(sqlite3_bind_blob64(stmt_.get(), index, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
}

void TSQLStatement::Bind(int index, const TFieldValue& value) {
    if (const auto* i = std::get_if<long long>(&value))
        BindInteger(index, *i);
    else if (const auto* d = std::get_if<double>(&value))
        BindFloat(index, *d);
    else if (const auto* s = std::get_if<std::string>(&value))
        BindText(index, *s);
    else if (const auto* b = std::get_if<TBlobData>(&value))
        BindBlob(index, b->Bytes);
    else
        BindNull(index);
}

bool TSQLStatement::Step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_.get());
    RaiseEngineError(db_, rc);
}

void TSQLStatement::Reset() { sqlite3_reset(stmt_.get()); }

void TSQLStatement::ExecSQL() {
    while (Step()) {
    }
    Reset();
}

int TSQLStatement::ColumnCount() const noexcept { return sqlite3_column_count(stmt_.get()); }

TFieldValue TSQLStatement::Column(int index) const {
    if (index < 0 || index >= ColumnCount()) throw EListError("Column index out of range (" + IntToStr(index) + ")");
    TFieldValue value;
    ReadColumn(stmt_.get(), index, value);
    return value;
}

// ---- TDBDataSet -------------------------------------------------------------------------------

TDBDataSet::TDBDataSet(TComponent* owner) : TDataSet(owner) {}

TDBDataSet::~TDBDataSet() {
    BeforeDestruction();
    CloseQuietly();
}

void TDBDataSet::SetDatabase(TDatabase* database) {
    if (database == database_) return;
    CheckInactive();
    if (database_ != nullptr) {
        std::erase(database_->dataSets_, this);
        RemoveFreeNotification(database_);
    }
    database_ = database;
    if (database_ != nullptr) {
        database_->dataSets_.push_back(this);
        FreeNotification(database_);
    }
}

std::unique_ptr<TDataCursor> TDBDataSet::OpenCursor() {
    if (database_ == nullptr) throw EDatabaseError(Described("Missing database"));
    return std::make_unique<TSQLiteCursor>(database_->Handle(), SelectSQL());
}

void TDBDataSet::Notification(TComponent* component, TOperation operation) {
    TDataSet::Notification(component, operation);
    if (operation == TOperation::opRemove && component == database_) {
        // The statement goes while the connection is still there.
        CloseQuietly();
        database_ = nullptr;
    }
}

// ---- TQuery, TTable -----------------------------------------------------------------------------

TQuery::TQuery(TComponent* owner) : TDBDataSet(owner) {}

TQuery::~TQuery() { BeforeDestruction(); }

void TQuery::SetSQL(std::string sql) {
    if (sql == sql_) return;
    CheckInactive();
    sql_ = std::move(sql);
}

void TQuery::ExecSQL() {
    if (Database() == nullptr) throw EDatabaseError(Described("Missing database"));
    Database()->ExecSQL(sql_);
}

std::string TQuery::SelectSQL() const { return sql_; }

TTable::TTable(TComponent* owner) : TDBDataSet(owner) {}

TTable::~TTable() { BeforeDestruction(); }

void TTable::SetTableName(std::string tableName) {
    if (tableName == tableName_) return;
    CheckInactive();
    tableName_ = std::move(tableName);
}

std::string TTable::SelectSQL() const {
    if (tableName_.empty()) throw EDatabaseError(Described("Missing table name"));
    return "SELECT * FROM " + QuoteIdentifier(tableName_);
}

}  // namespace vcl
