#include "gui/sheetexport.h"

#include "data/csv.h"
#include "data/db.h"
#include "data/money.h"
#include "data/privatefile.h"
#include "gui/prompt.h"
#include "gui/shell.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <optional>

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <xlsxwriter.h>

namespace {

// The text cut to the cell limit in characters (code points, as the spreadsheet counts them).
QString fitted(const QString& text, bool* cut)
{
    *cut = false;
    if (text.size() <= SheetExport::kCellLimit)
        return text;
    int points = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        if (points == SheetExport::kCellLimit - 1) {
            // Only cut when more than one character is left over.
            qsizetype rest = 0;
            for (qsizetype i = at; i < text.size(); ++i)
                rest += text[i].isLowSurrogate() ? 0 : 1;
            if (rest <= 1)
                return text;
            *cut = true;
            return text.left(at) + QStringLiteral("…");
        }
        at += (text[at].isHighSurrogate() && at + 1 < text.size()) ? 2 : 1;
        ++points;
    }
    return text;
}

QByteArray cellName(int row, int column)
{
    QByteArray letters;
    int c = column + 1;
    while (c > 0) {
        letters.prepend(char('A' + (c - 1) % 26));
        c = (c - 1) / 26;
    }
    return letters + QByteArray::number(row + 1);
}

QString dayText(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString timeText(const QTime& t)
{
    return t.isValid() ? t.toString(QStringLiteral("H:mm:ss")) : QString();
}

// The cell as CSV text: amounts as plain decimals with a dot, days as yyyy-mm-dd.
QString csvText(const SheetExport::Cell& c, int* shortened)
{
    switch (c.kind) {
    case SheetExport::Cell::Text:
    case SheetExport::Cell::Integer: {
        bool cut = false;
        const QString t = fitted(c.text, &cut);
        *shortened += cut ? 1 : 0;
        return t;
    }
    case SheetExport::Cell::Amount:
        return Money::format(c.amount);
    case SheetExport::Cell::Day:
        return dayText(c.day);
    case SheetExport::Cell::Time:
        return timeText(c.time);
    case SheetExport::Cell::Empty:
        break;
    }
    return {};
}

class Workbook
{
public:
    explicit Workbook(const QByteArray& file) { book_ = workbook_new(file.constData()); }
    ~Workbook()
    {
        if (book_)
            workbook_close(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;
    lxw_workbook* get() const { return book_; }
    lxw_error close()
    {
        lxw_workbook* book = book_;
        book_ = nullptr;
        return book ? workbook_close(book) : LXW_ERROR_MEMORY_MALLOC_FAILED;
    }

private:
    lxw_workbook* book_ = nullptr;
};

struct Formats
{
    QList<lxw_format*> plain, amount, day, time;
};

lxw_format* makeFormat(lxw_workbook* book, const SheetExport::Style& s, const char* numberFormat)
{
    lxw_format* f = workbook_add_format(book);
    if (!f)
        return nullptr;
    if (s.bold)
        format_set_bold(f);
    if (s.bottomBorder)
        format_set_bottom(f, LXW_BORDER_THIN);
    if (s.fontSize > 0)
        format_set_font_size(f, s.fontSize);
    if (s.colour != 0)
        format_set_font_color(f, lxw_color_t(s.colour));
    if (s.left) {
        format_set_align(f, LXW_ALIGN_LEFT);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    }
    if (numberFormat)
        format_set_num_format(f, numberFormat);
    return f;
}

// Writes the sheet; the exact decimal texts of amount cells are collected by cell name, for
// putting into the file in place of the binary floating-point form the writer prints.
QString writeBook(lxw_workbook* book, const SheetExport::Sheet& sheet, QHash<QByteArray, QByteArray>& exact,
                  int* shortened)
{
    const QByteArray name = sheet.name.left(31).toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(book, name.isEmpty() ? nullptr : name.constData());
    if (!ws)
        return QStringLiteral("无法建立工作表");
    Formats f;
    for (const SheetExport::Style& s : sheet.styles) {
        f.plain << makeFormat(book, s, nullptr);
        f.amount << makeFormat(book, s, "0.00");
        f.day << makeFormat(book, s, "yyyy-mm-dd");
        f.time << makeFormat(book, s, "h:mm:ss");
    }
    lxw_error error = LXW_NO_ERROR;
    auto check = [&error](lxw_error e) {
        if (error == LXW_NO_ERROR)
            error = e;
    };
    for (int c = 0; c < sheet.widths.size(); ++c)
        check(worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), sheet.widths[c], nullptr));

    auto writeCell = [&](int r, int c, const SheetExport::Cell& cell) {
        const int s = (cell.style >= 0 && cell.style < sheet.styles.size()) ? cell.style : 0;
        const lxw_row_t row = lxw_row_t(r);
        const lxw_col_t col = lxw_col_t(c);
        switch (cell.kind) {
        case SheetExport::Cell::Empty:
            if (s != 0)
                check(worksheet_write_blank(ws, row, col, f.plain[s]));
            break;
        case SheetExport::Cell::Text: {
            bool cut = false;
            const QString t = fitted(cell.text, &cut);
            *shortened += cut ? 1 : 0;
            if (!t.isEmpty())
                check(worksheet_write_string(ws, row, col, t.toUtf8().constData(), f.plain[s]));
            else if (s != 0)
                check(worksheet_write_blank(ws, row, col, f.plain[s]));
            break;
        }
        case SheetExport::Cell::Integer:
            check(worksheet_write_number(ws, row, col, cell.text.toDouble(), f.plain[s]));
            break;
        case SheetExport::Cell::Amount: {
            // The nearest double to the exact amount (both integers are exact in a double and the
            // division rounds once); the file gets the exact decimal text below.
            check(worksheet_write_number(ws, row, col, double(cell.amount) / double(Money::kScale), f.amount[s]));
            exact.insert(cellName(r, c), Money::format(cell.amount).toLatin1());
            break;
        }
        case SheetExport::Cell::Day: {
            if (!cell.day.isValid())
                break;
            lxw_datetime d = {cell.day.year(), cell.day.month(), cell.day.day(), 0, 0, 0};
            check(worksheet_write_datetime(ws, row, col, &d, f.day[s]));
            break;
        }
        case SheetExport::Cell::Time: {
            if (!cell.time.isValid())
                break;
            lxw_datetime t = {0, 0, 0, cell.time.hour(), cell.time.minute(), double(cell.time.second())};
            check(worksheet_write_datetime(ws, row, col, &t, f.time[s]));
            break;
        }
        }
    };

    // Merged ranges first (they write their text), then every cell: a merge's first cell is
    // written again with its own kind, the cells it covers are left alone.
    QHash<QPair<int, int>, bool> covered;
    for (const SheetExport::Merge& m : sheet.merges) {
        if (m.lastRow <= m.firstRow || m.firstRow < 0 || m.firstRow >= sheet.rows.size())
            continue;
        const SheetExport::Cell first = sheet.rows[m.firstRow].value(m.column);
        const int s = (first.style >= 0 && first.style < sheet.styles.size()) ? first.style : 0;
        check(worksheet_merge_range(ws, lxw_row_t(m.firstRow), lxw_col_t(m.column), lxw_row_t(m.lastRow),
                                    lxw_col_t(m.column), "", f.plain[s]));
        for (int r = m.firstRow + 1; r <= m.lastRow; ++r)
            covered.insert({r, m.column}, true);
    }
    for (int r = 0; r < sheet.rows.size() && error == LXW_NO_ERROR; ++r) {
        const QList<SheetExport::Cell>& cells = sheet.rows[r];
        for (int c = 0; c < cells.size(); ++c) {
            if (!covered.contains({r, c}))
                writeCell(r, c, cells[c]);
        }
    }
    if (error != LXW_NO_ERROR)
        return QString::fromUtf8(lxw_strerror(error));
    return {};
}

QByteArray readEntry(unzFile zip, bool* ok)
{
    QByteArray data;
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        *ok = false;
        return data;
    }
    char buffer[65536];
    int n = 0;
    while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
        data.append(buffer, n);
    if (n < 0)
        *ok = false;
    if (unzCloseCurrentFile(zip) != UNZ_OK)
        *ok = false;
    return data;
}

// Puts the exact decimal texts into the value of the named cells of the sheet's XML.
QByteArray withExactValues(const QByteArray& xml, const QHash<QByteArray, QByteArray>& exact)
{
    QByteArray out;
    out.reserve(xml.size() + 16);
    qsizetype at = 0;
    static const QByteArray cellStart("<c r=\"");
    while (true) {
        const qsizetype c = xml.indexOf(cellStart, at);
        if (c < 0)
            break;
        const qsizetype refStart = c + cellStart.size();
        const qsizetype refEnd = xml.indexOf('"', refStart);
        if (refEnd < 0)
            break;
        const auto value = exact.constFind(xml.mid(refStart, refEnd - refStart));
        const qsizetype cellEnd = xml.indexOf("</c>", refEnd);
        const qsizetype v = xml.indexOf("<v>", refEnd);
        const qsizetype vEnd = v < 0 ? -1 : xml.indexOf("</v>", v);
        if (value == exact.constEnd() || cellEnd < 0 || v < 0 || vEnd < 0 || v > cellEnd) {
            out.append(xml.constData() + at, refEnd - at);
            at = refEnd;
            continue;
        }
        out.append(xml.constData() + at, v + 3 - at);
        out.append(*value);
        at = vEnd;
    }
    out.append(xml.constData() + at, xml.size() - at);
    return out;
}

// Copies the workbook `from` to `to` with the exact values in its first sheet.
QString rewriteNumbers(const QString& from, const QString& to, const QHash<QByteArray, QByteArray>& exact)
{
    const QString failed = QStringLiteral("无法写入文件");
    unzFile in = unzOpen64(QFile::encodeName(from).constData());
    if (!in)
        return failed;
    zipFile out = zipOpen64(QFile::encodeName(to).constData(), APPEND_STATUS_CREATE);
    if (!out) {
        unzClose(in);
        return failed;
    }
    QFile::setPermissions(to, PrivateFile::kMode);
    bool ok = true;
    for (int r = unzGoToFirstFile(in); r == UNZ_OK && ok; r = unzGoToNextFile(in)) {
        char name[512];
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(in, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) {
            ok = false;
            break;
        }
        QByteArray data = readEntry(in, &ok);
        if (!ok)
            break;
        if (qstrcmp(name, "xl/worksheets/sheet1.xml") == 0)
            data = withExactValues(data, exact);
        zip_fileinfo zi = {};
        zi.tmz_date.tm_year = 1980;
        ok =
            zipOpenNewFileInZip64(out, name, &zi, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0)
                == ZIP_OK
            && zipWriteInFileInZip(out, data.constData(), unsigned(data.size())) == ZIP_OK;
        ok = zipCloseFileInZip(out) == ZIP_OK && ok;
    }
    ok = zipClose(out, nullptr) == ZIP_OK && ok;
    unzClose(in);
    return ok ? QString() : failed;
}

// Throws Db::Error when the file cannot be written.
void writeXlsx(const QString& path, const SheetExport::Sheet& sheet, int* shortened)
{
    PrivateFile::Staged staged(path);
    // The writer's own file, beside the staged one, then copied with exact numbers into it.
    std::optional<PrivateFile::Staged> book;
    try {
        book.emplace(staged.path() + QStringLiteral(".book"));
    } catch (const Db::Error&) {
        throw Db::Error(QStringLiteral("无法建立文件 %1").arg(path));
    }
    QHash<QByteArray, QByteArray> exact;
    {
        Workbook wb(QFile::encodeName(book->path()));
        if (!wb.get())
            throw Db::Error(QStringLiteral("无法建立文件 %1").arg(path));
        const QString failed = writeBook(wb.get(), sheet, exact, shortened);
        if (!failed.isEmpty())
            throw Db::Error(failed);
        const lxw_error closed = wb.close();
        if (closed != LXW_NO_ERROR)
            throw Db::Error(QString::fromUtf8(lxw_strerror(closed)));
    }
    QFile::remove(staged.path());
    if (const QString failed = rewriteNumbers(book->path(), staged.path(), exact); !failed.isEmpty())
        throw Db::Error(failed);
    staged.commit();
}

} // namespace

SheetExport::Cell SheetExport::Cell::ofNumberText(const QString& text, int style)
{
    QStringView digits(text);
    if (digits.startsWith(QLatin1Char('-')))
        digits = digits.mid(1);
    bool number = !digits.isEmpty() && digits.size() <= 15 && (digits.size() == 1 || digits[0] != QLatin1Char('0'));
    for (QChar c : digits)
        number = number && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (number && text != QStringLiteral("-0"))
        return {Integer, text, 0, {}, {}, style};
    return ofText(text, style);
}

QString SheetExport::filter(const QString& excelCaption)
{
    return excelCaption + QStringLiteral(";;CSV (UTF-8) (*.csv)");
}

QString SheetExport::fileFor(const QString& chosen, Format* format)
{
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    *format = Format::Xlsx;
    if (suffix == QLatin1String("csv")) {
        *format = Format::Csv;
        return chosen;
    }
    if (suffix == QLatin1String("xlsx"))
        return chosen;
    if (suffix == QLatin1String("xls"))
        return chosen + QLatin1Char('x');
    return chosen + QStringLiteral(".xlsx");
}

SheetExport::Result SheetExport::write(const QString& path, Format format, const Sheet& sheet)
{
    Result result;
    if (format == Format::Xlsx) {
        try {
            writeXlsx(path, sheet, &result.shortened);
        } catch (const Db::Error& e) {
            result.error = e.text();
        }
        return result;
    }
    QList<QStringList> rows;
    rows.reserve(sheet.rows.size());
    for (const QList<Cell>& cells : sheet.rows) {
        QStringList texts;
        for (const Cell& c : cells)
            texts << csvText(c, &result.shortened);
        rows << texts;
    }
    try {
        Csv::write(path, rows);
    } catch (const Db::Error& e) {
        result.error = e.text();
    }
    return result;
}

void SheetExport::run(QWidget* parent, const QString& excelCaption, const std::function<Sheet()>& sheet,
                      const QString& failureText)
{
    const QString chosen = Shell::saveFileName(parent, filter(excelCaption));
    if (chosen.isEmpty())
        return;
    Format format = Format::Xlsx;
    const QString path = fileFor(chosen, &format);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result result = write(path, format, sheet());
    QApplication::restoreOverrideCursor();
    if (!result.error.isEmpty()) {
        MsgBox(failureText + result.error, QMessageBox::Ok, QMessageBox::Warning);
        return;
    }
    if (result.shortened > 0)
        MsgDone(QStringLiteral("导出成功！有 %1 个单元格的文字超过 %2 个字符，已截短并以“…”结尾。")
                    .arg(result.shortened)
                    .arg(kCellLimit));
    else
        MsgDone(QStringLiteral("导出成功！"));
}
