#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Comma-separated values (RFC 4180): rows of text fields, a field quoted when it holds the
// separator, a quote or a line break, quotes inside doubled, rows ended by CR LF. Files are
// UTF-8 with a byte-order mark, so that spreadsheet programs read Chinese text right.
namespace Csv {

// One field as written: quoted only when it must be.
QString field(const QString& text, QChar separator = QLatin1Char(','));
// One row with its CR LF.
QString row(const QStringList& fields, QChar separator = QLatin1Char(','));
// The whole file: the byte-order mark, then every row as UTF-8.
QByteArray encode(const QList<QStringList>& rows, QChar separator = QLatin1Char(','));

// Writes the rows to `path` as a private file (see PrivateFile); throws Db::Error when it cannot.
void write(const QString& path, const QList<QStringList>& rows);

// A row read back with the line of the file it starts on (1 for the first).
struct Row
{
    int line = 0;
    QStringList fields;
};

struct Parsed
{
    QList<Row> rows;
    int errorLine = 0; // 0: no error; else the line of a quoted field left open
};

// Reads text (already decoded, without a byte-order mark) into rows. Quoted fields may hold
// separators, doubled quotes and line breaks; CR LF, LF and CR end rows; empty lines are skipped.
Parsed parse(QStringView text, QChar separator = QLatin1Char(','));

} // namespace Csv
