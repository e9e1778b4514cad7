// A SQLite database through the SQLite C API: a table per register with stable ASCII
// column names and typed columns (TEXT, INTEGER, REAL), indexes on the ID number, account
// and name columns, and the table column_labels that maps every column to the label the
// screen gives it; table_titles names each table's register.
#include "tools/table_writer.h"

#include <sqlite3.h>

namespace regdisc {

namespace {

std::string sqlName(std::string_view identifier)
{
    std::string out = "\"";
    for (char c : identifier) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

class SqliteWriter : public TableWriter {
public:
    explicit SqliteWriter(std::filesystem::path path) : path_(std::move(path))
    {
        std::error_code error;
        std::filesystem::remove(path_, error);
        if (sqlite3_open_v2(path_.string().c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            fail("cannot create");
        // Written once from start to end: no journal is needed until it is complete.
        exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;");
        exec("CREATE TABLE column_labels (table_name TEXT NOT NULL, column_name TEXT NOT NULL, "
             "label TEXT NOT NULL, position INTEGER NOT NULL, PRIMARY KEY (table_name, column_name));"
             "CREATE TABLE table_titles (table_name TEXT PRIMARY KEY, title TEXT NOT NULL);");
    }

    ~SqliteWriter() override
    {
        if (insert_)
            sqlite3_finalize(insert_);
        if (db_)
            sqlite3_close(db_);
    }

    void beginTable(std::string_view name, TextView title, const std::vector<TableColumn> &columns) override
    {
        table_ = std::string(name);
        columns_ = columns;
        std::string create = "CREATE TABLE " + sqlName(table_) + " (";
        std::string insert = "INSERT INTO " + sqlName(table_) + " VALUES (";
        for (size_t i = 0; i < columns.size(); ++i) {
            const TableColumn &c = columns[i];
            if (i > 0) {
                create += ", ";
                insert += ", ";
            }
            const char *type = c.type == CellType::Text ? "TEXT" : (c.decimals > 0 ? "REAL" : "INTEGER");
            create += sqlName(c.name) + " " + type;
            insert += "?";
        }
        exec(create + ");");
        prepare(insert + ");", &insert_);

        sqlite3_stmt *label = nullptr;
        prepare("INSERT INTO column_labels VALUES (?, ?, ?, ?);", &label);
        for (size_t i = 0; i < columns.size(); ++i) {
            const std::string labelText = toUtf8(columns[i].label);
            sqlite3_bind_text(label, 1, table_.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(label, 2, columns[i].name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(label, 3, labelText.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(label, 4, static_cast<int>(i) + 1);
            step(label);
        }
        sqlite3_finalize(label);
        sqlite3_stmt *titleRow = nullptr;
        prepare("INSERT INTO table_titles VALUES (?, ?);", &titleRow);
        const std::string titleText = toUtf8(title);
        sqlite3_bind_text(titleRow, 1, table_.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(titleRow, 2, titleText.c_str(), -1, SQLITE_TRANSIENT);
        step(titleRow);
        sqlite3_finalize(titleRow);
    }

    void writeRow(const std::vector<Cell> &cells) override
    {
        for (size_t i = 0; i < columns_.size(); ++i) {
            const int param = static_cast<int>(i) + 1;
            if (i >= cells.size()) {
                sqlite3_bind_null(insert_, param);
                continue;
            }
            const Cell &cell = cells[i];
            if (!cell.isNumber && cell.text.empty() && columns_[i].type != CellType::Text)
                sqlite3_bind_null(insert_, param);
            else if (cell.isNumber && columns_[i].decimals > 0)
                sqlite3_bind_double(insert_, param, cell.number);
            else if (cell.isNumber)
                sqlite3_bind_int64(insert_, param, cell.whole);
            else {
                utf8_ = toUtf8(cell.text);
                sqlite3_bind_text(insert_, param, utf8_.data(), static_cast<int>(utf8_.size()),
                                  SQLITE_TRANSIENT);
            }
        }
        step(insert_);
    }

    void endTable() override
    {
        sqlite3_finalize(insert_);
        insert_ = nullptr;
        for (const TableColumn &c : columns_)
            if (c.indexed)
                exec("CREATE INDEX " + sqlName(table_ + "_" + c.name) + " ON " + sqlName(table_) + " (" +
                     sqlName(c.name) + ");");
    }

    void finish() override
    {
        exec("COMMIT;");
        if (sqlite3_close(db_) != SQLITE_OK)
            fail("cannot complete");
        db_ = nullptr;
    }

    std::vector<std::filesystem::path> files() const override { return {path_}; }

private:
    [[noreturn]] void fail(const std::string &what)
    {
        throw OutputError(what + " " + path_.string() + (db_ ? std::string(": ") + sqlite3_errmsg(db_) : ""));
    }
    void exec(const std::string &sql)
    {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail("cannot write");
    }
    void prepare(const std::string &sql, sqlite3_stmt **statement)
    {
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, statement, nullptr) != SQLITE_OK)
            fail("cannot write");
    }
    void step(sqlite3_stmt *statement)
    {
        if (sqlite3_step(statement) != SQLITE_DONE)
            fail("cannot write");
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }

    std::filesystem::path path_;
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *insert_ = nullptr;
    std::string table_;
    std::vector<TableColumn> columns_;
    std::string utf8_;
};

}  // namespace

std::unique_ptr<TableWriter> createSqliteWriter(const std::filesystem::path &path)
{
    return std::make_unique<SqliteWriter>(path);
}

}  // namespace regdisc
