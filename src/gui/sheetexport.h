#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <functional>

class QWidget;

// Exports of a table to a spreadsheet (.xlsx) or to CSV (UTF-8): amounts as numbers exact to
// the ten-thousandth with a two-decimal format, days and times as date and time cells, whole
// numbers as numbers when they fit exactly, texts cut to what a cell holds. Files are private
// (PrivateFile) and appear only when complete.
namespace SheetExport {

// The most characters a spreadsheet cell holds; longer texts are cut and end with "…".
constexpr int kCellLimit = 32767;

struct Cell
{
    enum Kind { Empty, Text, Amount, Integer, Day, Time };
    Kind kind = Empty;
    QString text;      // Text; Integer as its digits
    qint64 amount = 0; // Amount, in ten-thousandths
    QDate day;
    QTime time;
    int style = 0; // index into Sheet::styles; 0 is the plain style

    static Cell ofText(const QString& text, int style = 0) { return {Text, text, 0, {}, {}, style}; }
    static Cell ofAmount(qint64 amount, int style = 0) { return {Amount, {}, amount, {}, {}, style}; }
    static Cell ofDay(const QDate& day, int style = 0) { return {Day, {}, 0, day, {}, style}; }
    static Cell ofTime(const QTime& time, int style = 0) { return {Time, {}, 0, {}, time, style}; }
    // A whole number written as text ("0012", "12345678901234567") stays text unless it reads
    // back exactly as a number: up to 15 digits, no leading zero, an optional minus sign.
    static Cell ofNumberText(const QString& text, int style = 0);
};

struct Style
{
    bool bold = false;
    bool bottomBorder = false;
    double fontSize = 0; // 0: the default
    quint32 colour = 0;  // 0: the default (black); else 0xRRGGBB
    bool left = false;   // left-aligned, vertically centred
};

// A range of rows of one column shown as one cell; the value is that of its first row.
struct Merge
{
    int column;
    int firstRow;
    int lastRow;
};

struct Sheet
{
    QString name;
    QList<Style> styles{Style{}};
    QList<QList<Cell>> rows;
    QList<double> widths; // in characters, from the first column
    QList<Merge> merges;
};

enum class Format { Xlsx, Csv };

// The file dialog's filter: the spreadsheet caption given, then "CSV (UTF-8) (*.csv)".
QString filter(const QString& excelCaption);
// The name the file is written under and its format: ".csv" names CSV; ".xlsx" stays; ".xls"
// becomes ".xlsx" (the file is a workbook); any other name gets ".xlsx" added.
QString fileFor(const QString& chosen, Format* format);

struct Result
{
    QString error;     // empty on success
    int shortened = 0; // cells cut to the limit
};
Result write(const QString& path, Format format, const Sheet& sheet);

// The export as the user runs it: asks for the file through the save-file seam, writes it, and
// says how it went (the information icon for success, naming the cells cut; the warning icon
// with `failureText` and the reason on failure). Nothing happens when the dialog is cancelled.
void run(QWidget* parent, const QString& excelCaption, const std::function<Sheet()>& sheet, const QString& failureText);

} // namespace SheetExport
