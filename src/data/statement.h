#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Bank statements as banks and money programs export them: OFX (1.x SGML and 2.x XML), QIF and
// CSV. Reading gives the entries with exact amounts (ten-thousandths of a yuan, see Money), or
// one error naming the line where the file stops making sense.
namespace Statement {

struct Entry
{
    int line = 0; // where the entry starts in the file
    QDate day;
    qint64 amount = 0; // signed: above zero money in, below zero money out
    QString payee;
    QString memo;
    QString fitid; // OFX's transaction id; empty for QIF and CSV
};

struct Parsed
{
    QList<Entry> entries;
    QString accountNumber; // OFX's ACCTID
    QString error;         // empty when the file was read; else the message, naming the line
};

enum class Format { Ofx, Qif, Csv };
enum class Encoding { Auto, Utf8, Gb18030 };

// The text of the file: a UTF-8 byte-order mark is dropped; Auto reads UTF-8 when the bytes are
// valid UTF-8, else GB18030 (which includes GBK), as Chinese banks write.
QString decode(const QByteArray& bytes, Encoding encoding = Encoding::Auto);
// OFX when the text has an OFX header or element, QIF when it starts with a "!Type" line (or
// the file is named so), else CSV.
Format detect(const QString& text, const QString& fileName = {});

// An amount as banks write it, with `decimal` the decimal separator ('.' or ','): "1,234.56" or
// "1.234,56", "-12.30", "(12.30)" and "12.30-" (both negative), "+5", "¥12". Empty when it is no
// amount or has more than four decimal places.
std::optional<qint64> parseAmount(const QString& text, QChar decimal = QLatin1Char('.'));

Parsed parseOfx(const QString& text);
// `decimal` as for parseAmount.
Parsed parseQif(const QString& text, QChar decimal = QLatin1Char('.'));

// Which CSV column holds what (-1: none). Amount is one signed column, or debit (money out) and
// credit (money in) columns.
struct CsvMapping
{
    int day = -1;
    int amount = -1;
    int debit = -1;
    int credit = -1;
    int payee = -1;
    int memo = -1;
    QString dayFormat = QStringLiteral("yyyy-M-d");
    QChar decimal = QLatin1Char('.');
    bool header = true; // the first row names the columns

    QString toText() const;
    static CsvMapping fromText(const QString& text);
    bool operator==(const CsvMapping&) const = default;
};

// The day formats offered for CSV files.
QStringList dayFormats();
// A mapping guessed from the names in a header row (日期, 金额, 支出, 收入, 对方, 摘要, 备注, and
// their English names), with the day format guessed from the first data row.
CsvMapping guessMapping(const QStringList& header, const QStringList& firstRow = {});
// The rows of a CSV text (for showing its columns); empty when a quoted field is left open (the
// parse of the file says where).
QList<QStringList> csvRows(const QString& text);
Parsed parseCsv(const QString& text, const CsvMapping& mapping);

// Reads a whole statement file in its format.
Parsed parse(const QString& text, Format format, const CsvMapping& mapping = {});

} // namespace Statement
