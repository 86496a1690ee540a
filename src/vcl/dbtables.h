// SQLite beneath the datasets: the connection, prepared statements, queries and tables.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/db.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vcl {

// An error SQLite reported: its message (as Windows-1252 text) and its result code.
class EDBEngineError : public EDatabaseError {
public:
    EDBEngineError(int errorCode, const std::string& message) : EDatabaseError(message), errorCode_(errorCode) {}
    // SQLite's extended result code (SQLITE_CONSTRAINT_UNIQUE, ...).
    int ErrorCode() const noexcept { return errorCode_; }

private:
    int errorCode_;
};

// SQL text for a name as an identifier: in double quotes, each '"' doubled, so that no
// name can end the identifier early. EDatabaseError for a name holding a zero byte.
std::string QuoteIdentifier(std::string_view name);

class TDBDataSet;

// A SQLite connection. DatabaseName is a file path (a Windows path is mapped to the drive
// root as the file routines do; the file is made when missing) or ":memory:". Whatever
// needs the connection while it is closed opens it by DatabaseName. SQL text and names
// are Windows-1252; errors raise EDBEngineError with SQLite's message.
class TDatabase : public TComponent {
public:
    explicit TDatabase(TComponent* owner);
    // Opens databaseName at once.
    TDatabase(TComponent* owner, std::string_view databaseName);
    // The datasets on it close without events and forget it.
    ~TDatabase() override;

    // Closes the current connection first (see Close), then opens this one.
    void Open(std::string_view databaseName);
    void Open();
    // Closes the datasets on this database (with their events), then the connection.
    void Close();
    bool Connected() const noexcept { return handle_ != nullptr; }
    const std::string& DatabaseName() const noexcept { return databaseName_; }

    // Runs statements that return no rows; several may be separated by ';'.
    void ExecSQL(std::string_view sql);
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const noexcept;
    long long LastInsertRowId() const noexcept;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int RowsAffected() const noexcept;

    // The datasets whose Database is this one.
    int DataSetCount() const noexcept { return static_cast<int>(dataSets_.size()); }
    TDBDataSet* DataSets(int index) const;

    // The connection, opened if need be.
    sqlite3* Handle();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDBDataSet;
    struct TCloser {
        void operator()(sqlite3* db) const noexcept;
    };

    std::unique_ptr<sqlite3, TCloser> handle_;
    std::string databaseName_;
    std::vector<TDBDataSet*> dataSets_;
};

// One prepared SQL statement with bound values, for running the same statement many times
// (bulk inserts). Parameters count from 1 ("?" or "?NNN", ":name" in order of appearance).
// A statement must not outlive its database's connection; if it does, it is still freed
// safely.
class TSQLStatement {
public:
    // Prepares one statement; EDatabaseError for empty text or more than one statement.
    TSQLStatement(TDatabase& database, std::string_view sql);
    ~TSQLStatement();
    TSQLStatement(TSQLStatement&& other) noexcept;
    TSQLStatement& operator=(TSQLStatement&& other) noexcept;
    TSQLStatement(const TSQLStatement&) = delete;
    TSQLStatement& operator=(const TSQLStatement&) = delete;

    void BindNull(int index);
    void BindInteger(int index, long long value);
    void BindFloat(int index, double value);
    // Windows-1252 text.
    void BindText(int index, std::string_view text);
    void BindBlob(int index, std::string_view bytes);
    void Bind(int index, const TFieldValue& value);

    // Runs the statement up to its next row: true while there is one.
    bool Step();
    // Back to the start, keeping the bound values.
    void Reset();
    // Runs the statement to its end and resets it, ready for the next values.
    void ExecSQL();

    int ColumnCount() const noexcept;
    // A column of the current row.
    TFieldValue Column(int index) const;

private:
    struct TFinalizer {
        void operator()(sqlite3_stmt* stmt) const noexcept;
    };
    void Check(int result) const;

    sqlite3* db_ = nullptr;
    std::unique_ptr<sqlite3_stmt, TFinalizer> stmt_;
};

// A dataset that reads its rows from a SQLite database. The statement stays active while
// rows remain to be read (it holds SQLite's read lock until then); rows changed meanwhile
// may or may not show until the dataset is opened again.
class TDBDataSet : public TDataSet {
public:
    explicit TDBDataSet(TComponent* owner);
    ~TDBDataSet() override;

    TDatabase* Database() const noexcept { return database_; }
    // Only while closed (EDatabaseError otherwise).
    void SetDatabase(TDatabase* database);

protected:
    // The SELECT that yields the rows (Windows-1252).
    virtual std::string SelectSQL() const = 0;
    std::unique_ptr<TDataCursor> OpenCursor() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TDatabase* database_ = nullptr;
};

// The rows of one SQL statement that returns rows (SELECT, or one with RETURNING).
class TQuery : public TDBDataSet {
public:
    explicit TQuery(TComponent* owner);
    ~TQuery() override;

    const std::string& SQL() const noexcept { return sql_; }
    // Only while closed (EDatabaseError otherwise).
    void SetSQL(std::string sql);
    // Runs SQL as statements that return no rows.
    void ExecSQL();

protected:
    std::string SelectSQL() const override;

private:
    std::string sql_;
};

// All rows and columns of one table or view, opened as SELECT * FROM "TableName".
class TTable : public TDBDataSet {
public:
    explicit TTable(TComponent* owner);
    ~TTable() override;

    const std::string& TableName() const noexcept { return tableName_; }
    // Only while closed (EDatabaseError otherwise).
    void SetTableName(std::string tableName);

protected:
    std::string SelectSQL() const override;

private:
    std::string tableName_;
};

}  // namespace vcl
