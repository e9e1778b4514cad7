// A SQLite database through the SQLite C API: a table per register with stable ASCII
// column names and typed columns (TEXT, INTEGER, REAL), indexes on the ID number, account
// and name columns, and the table column_labels that maps every column to the label the
// screen gives it; table_titles names each table's register. The database is written into
// a temporary file and put in place when complete; a database that was there is never
// opened or changed.
#include "output/table_writer.h"
#include "platform/progress.h"

#include <sqlite3.h>

#include <cerrno>

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
    SqliteWriter(const std::filesystem::path &path, const OutputOptions &options)
        : file_(std::make_unique<OutputFile>(path, options)), progress_(options.progress)
    {
        // The temporary file is empty: SQLite makes it a new database.
        if (sqlite3_open_v2(file_->temporaryPath().string().c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            fail();
        sqlite3_extended_result_codes(db_, 1);
        // Long statements (an index of millions of rows, the commit) stop when cancelled.
        if (progress_)
            sqlite3_progress_handler(db_, 10000, &SqliteWriter::interrupt, this);
        // Written once from start to end into a file nobody else sees: no journal is needed,
        // and the file is flushed to the disk once, before it is put in place.
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
            sqlite3_close_v2(db_);
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
            else if (cell.isNumber && (cell.decimals >= 0 ? cell.decimals : columns_[i].decimals) > 0)
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
        bool indexes = false;
        for (const TableColumn &c : columns_)
            indexes = indexes || c.indexed;
        if (indexes && progress_)
            progress_->begin(u"建立索引…", 0);
        for (const TableColumn &c : columns_)
            if (c.indexed)
                exec("CREATE INDEX " + sqlName(table_ + "_" + c.name) + " ON " + sqlName(table_) + " (" +
                     sqlName(c.name) + ");");
    }

    void finish() override
    {
        if (progress_)
            progress_->begin(u"寫入檔案…", 0);
        exec("COMMIT;");
        if (sqlite3_close(db_) != SQLITE_OK)
            fail();
        db_ = nullptr;
        if (progress_ && progress_->cancelled())
            throw WorkCancelled();  // cancelled before the file was in place: none is
        file_->commit();
    }

    std::vector<std::filesystem::path> files() const override { return {file_->target()}; }

private:
    static int interrupt(void *writer)
    {
        const Progress *progress = static_cast<SqliteWriter *>(writer)->progress_;
        return progress && progress->cancelled() ? 1 : 0;
    }

    // The reason SQLite gives, as the clerk reads it; WorkCancelled when it was interrupted.
    [[noreturn]] void fail()
    {
        if (progress_ && progress_->cancelled())
            throw WorkCancelled();
        if (!db_)
            throw file_->error(ENOMEM);
        const int code = sqlite3_extended_errcode(db_);
        if (const int error = sqlite3_system_errno(db_); error != 0 && (code & 0xFF) != SQLITE_CONSTRAINT)
            throw file_->error(error);
        switch (code & 0xFF) {
        case SQLITE_FULL:
            throw file_->error(ENOSPC);
        case SQLITE_READONLY:
            throw file_->error(EROFS);
        case SQLITE_PERM:
        case SQLITE_AUTH:
            throw file_->error(EACCES);
        case SQLITE_NOMEM:
            throw outputError(file_->target(), u"記憶體不足");
        case SQLITE_IOERR:
            throw file_->error(likelyWriteError(file_->temporaryPath()));
        default:
            throw outputError(file_->target(), u"SQLite：" + fromUtf8(sqlite3_errmsg(db_)));
        }
    }
    void exec(const std::string &sql)
    {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }
    void prepare(const std::string &sql, sqlite3_stmt **statement)
    {
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, statement, nullptr) != SQLITE_OK)
            fail();
    }
    void step(sqlite3_stmt *statement)
    {
        if (sqlite3_step(statement) != SQLITE_DONE)
            fail();
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }

    std::unique_ptr<OutputFile> file_;
    Progress *progress_ = nullptr;
    sqlite3 *db_ = nullptr;
    sqlite3_stmt *insert_ = nullptr;
    std::string table_;
    std::vector<TableColumn> columns_;
    std::string utf8_;
};

}  // namespace

std::unique_ptr<TableWriter> createSqliteWriter(const std::filesystem::path &path,
                                                const OutputOptions &options)
{
    return std::make_unique<SqliteWriter>(path, options);
}

}  // namespace regdisc
