#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QTime>
#include <QVariantList>
#include <functional>
#include <optional>
#include <stdexcept>
#include <type_traits>

// The connection to the main database and the rules every data function follows: values are
// always bound, a failed statement throws Error, a change of several statements is one
// transaction, and the user's action catches the error once at its edge (Db::run), where it
// becomes one message with the database's own error text.
namespace Db {

class Error : public std::runtime_error
{
public:
    // `code` is SQLite's extended result code when SQLite gave one, else 0.
    explicit Error(const QString& text, int code = 0) : std::runtime_error(text.toStdString()), text_(text), code_(code)
    {}
    const QString& text() const { return text_; }
    // SQLite's primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...) and the extended one.
    int code() const { return code_ & 0xff; }
    int extendedCode() const { return code_; }

    // Another connection holds the file (SQLITE_BUSY, SQLITE_LOCKED).
    bool busy() const { return code() == 5 || code() == 6; }
    bool readOnly() const { return code() == 8; }
    bool corrupt() const { return code() == 11; }
    bool notADatabase() const { return code() == 26; }

private:
    QString text_;
    int code_ = 0;
};

// The error of a failed statement or open on a connection, with SQLite's result code.
Error errorOf(const QSqlDatabase& db, const QSqlError& error);

// SQLite's own handle of a connection (sqlite3*), for the functions Qt does not offer.
void* handle(const QSqlDatabase& db);

// What a user reads when another program holds the data file.
QString busyText();

// The path of the main database file (mylive.dc in the program's folder). Module1::ConnString
// refers to this same text.
QString& path();

// How a failed action is reported; the application shows a message box, the default logs.
void setErrorReporter(std::function<void(const QString&)> reporter);

// The connection to the main database file, opened on first use. Throws Error when the file
// cannot be opened.
QSqlDatabase main();
// Opens (or reuses) a connection to another SQLite file, such as the magazine database.
QSqlDatabase open(const QString& path);
// Closes every connection this module opened (before a test removes its folder).
void closeAll();

// While one lives, the main connection meets another connection's lock with an error after at
// most `waitMs` instead of the usual five seconds: for work nobody asked for (the reminder
// clock's writes and midnight reads), which is tried again later rather than freezing the window.
class NoWait
{
public:
    explicit NoWait(int waitMs = 0);
    ~NoWait();
    NoWait(const NoWait&) = delete;
    NoWait& operator=(const NoWait&) = delete;
};

// Runs one statement with its values bound in order; throws Error when it fails.
QSqlQuery exec(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
// One statement on the main database; the number of rows it changed.
int execute(const QString& sql, const QVariantList& values = {});
// The first column of the first row of a query on the main database (0 when there is no row).
qint64 count(const QString& sql, const QVariantList& values = {});

// Runs a change of several statements as one transaction on the main database: all of it is
// kept or none, and the error is thrown on. Writes take the lock at the start (BEGIN IMMEDIATE)
// and wait the busy timeout for another program's lock. A transaction inside a transaction joins
// it through a savepoint: its failure undoes its own statements and goes on to the outer one.
void transaction(const std::function<void()>& work);
void transaction(const QSqlDatabase& db, const std::function<void()>& work);

// The edge of a user's action: runs the work and, when it throws Error, reports the error once
// and returns false. Inside another run the error goes on to the outer one, so an action made
// of several steps stops at its first failure and shows one message.
bool run(const std::function<void()>& work);

// A run whose work returns a value: the value, or empty when the error has been reported.
template <class F>
auto get(F&& work) -> std::optional<std::invoke_result_t<F>>
{
    std::optional<std::invoke_result_t<F>> result;
    run([&] { result = work(); });
    return result;
}

// Starts a fresh edge for code called from inside an action that is its own action, such as
// the refills of other windows after a change: its errors are reported there and do not reach
// the action that announced the change.
class FreshEdge
{
public:
    FreshEdge();
    ~FreshEdge();
    FreshEdge(const FreshEdge&) = delete;
    FreshEdge& operator=(const FreshEdge&) = delete;

private:
    int saved_;
};

// One row of a query, read by column name.
class Row
{
public:
    explicit Row(const QSqlQuery& query) : query_(query), record_(query.record()) {}

    QVariant value(const char* column) const;
    QString text(const char* column) const { return value(column).toString(); }
    qint64 id(const char* column = "id") const { return value(column).toLongLong(); }
    int integer(const char* column) const { return value(column).toInt(); }
    QDate day(const char* column) const;
    QTime time(const char* column) const;

private:
    const QSqlQuery& query_;
    QSqlRecord record_;
};

// Every row of a query on the main database, each made into a T by `from`.
template <class T>
QList<T> rows(const QString& sql, const QVariantList& values, T (*from)(const Row&))
{
    QSqlQuery q = exec(main(), sql, values);
    QList<T> list;
    const Row row(q);
    while (q.next())
        list.append(from(row));
    return list;
}

// The first row of a query, or empty.
template <class T>
std::optional<T> first(const QString& sql, const QVariantList& values, T (*from)(const Row&))
{
    QSqlQuery q = exec(main(), sql, values);
    if (!q.next())
        return std::nullopt;
    return from(Row(q));
}

// One page of a list: the rows from `offset`, at most `limit` of them, and how many the whole
// list has.
template <class T>
struct Page
{
    QList<T> rows;
    int offset = 0; // of the first row shown; moved back when the list has grown shorter
    int total = 0;
};

// A page of "SELECT columns fromWhere ORDER BY orderBy", counted and cut in SQL. An offset past
// the end shows the last page.
template <class T>
Page<T> page(const QString& columns, const QString& fromWhere, const QString& orderBy, const QVariantList& values,
             int offset, int limit, T (*from)(const Row&))
{
    Page<T> p;
    p.total = int(count(QStringLiteral("SELECT count(*) ") + fromWhere, values));
    p.offset = std::max(0, offset);
    if (p.offset >= p.total && p.total > 0)
        p.offset = (p.total - 1) / limit * limit;
    QVariantList pageValues = values;
    pageValues << limit << p.offset;
    p.rows = rows<T>(QStringLiteral("SELECT %1 %2 ORDER BY %3 LIMIT ? OFFSET ?").arg(columns, fromWhere, orderBy),
                     pageValues, from);
    return p;
}

// A text to store: never NULL, an empty text stays an empty text.
QVariant text(const QString& value);

// Stored forms: days 'YYYY-MM-DD', times of day 'HH:MM:SS'. A null date or time is SQL NULL.
QVariant dayValue(const QDate& day);
QVariant timeValue(const QTime& time);
QDate dayFrom(const QVariant& value);
QTime timeFrom(const QVariant& value);

} // namespace Db
