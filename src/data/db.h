#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QTime>
#include <QVariantList>
#include <functional>
#include <optional>
#include <stdexcept>

// The connection to the main database and the few rules every data function follows:
// values are always bound, a change of several statements is one transaction, and a failed
// statement reaches the user as one message with the database's own error text.
namespace Db {

class Error : public std::runtime_error
{
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// How a failed statement is reported; the application shows a message box, the default logs.
void setErrorReporter(std::function<void(const QString&)> reporter);

// The connection to the database file named by Module1::ConnString, opened on first use.
// Throws Error when the file cannot be opened.
QSqlDatabase main();
// Opens (or reuses) a connection to another SQLite file, such as the magazine database.
QSqlDatabase open(const QString& path);
// Closes every connection this module opened (before a test removes its folder).
void closeAll();

// Runs one statement with its values bound in order; throws Error when it fails.
QSqlQuery exec(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});

// Runs a read or a single statement; on Error reports it and returns false.
bool run(const std::function<void()>& work);
// One statement on the main database, reported and false on Error.
bool execute(const QString& sql, const QVariantList& values = {});
// The first column of the first row of a query on the main database as a whole number (0 for
// no row); empty on Error, which has been reported.
std::optional<int> count(const QString& sql, const QVariantList& values = {});

// Runs a change of several statements as one transaction on the main database: all of it is
// kept or none. On Error it rolls back, reports and returns false.
bool transaction(const std::function<void()>& work);
bool transaction(const QSqlDatabase& db, const std::function<void()>& work);

// A text to store: never NULL, an empty text stays an empty text.
QVariant text(const QString& value);

// Stored forms: days 'YYYY-MM-DD', times of day 'HH:MM:SS'. A null date or time is SQL NULL.
QVariant dayValue(const QDate& day);
QVariant timeValue(const QTime& time);
QDate dayFrom(const QVariant& value);
QTime timeFrom(const QVariant& value);

} // namespace Db
