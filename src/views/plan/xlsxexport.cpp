#include "views/plan/xlsxexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QVector>

#include <xlsxwriter.h>

#include <cstdio>

namespace {

// The workbook under construction; closing it writes the file, and a workbook never closed is
// freed without writing.
class Workbook
{
public:
    explicit Workbook(const QByteArray& file)
    {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_FALSE;
        options.use_zip64 = LXW_FALSE;
        book_ = workbook_new_opt(file.constData(), &options);
    }
    ~Workbook()
    {
        if (book_)
            workbook_close(book_); // only after a failure: the file is removed by the caller
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    lxw_workbook* get() const { return book_; }
    bool close()
    {
        lxw_workbook* book = book_;
        book_ = nullptr;
        return book && workbook_close(book) == LXW_NO_ERROR;
    }

private:
    lxw_workbook* book_ = nullptr;
};

lxw_format* leftFormat(lxw_workbook* book, lxw_color_t colour = LXW_COLOR_BLACK)
{
    lxw_format* f = workbook_add_format(book);
    format_set_align(f, LXW_ALIGN_LEFT);
    format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    if (colour != LXW_COLOR_BLACK)
        format_set_font_color(f, colour);
    return f;
}

bool writeSheet(lxw_workbook* book, const PlanTable& table, const QList<double>& widths)
{
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    if (!sheet)
        return false;
    lxw_format* plain = leftFormat(book);
    lxw_format* done = leftFormat(book, 0x00FF00);
    lxw_format* abandoned = leftFormat(book, 0xFF0000);

    bool ok = true;
    auto check = [&ok](lxw_error e) { ok = ok && e == LXW_NO_ERROR; };
    for (int c = 0; c < widths.size(); ++c)
        check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr));
    for (int c = 0; c < table.headers.size(); ++c)
        check(worksheet_write_string(sheet, 0, lxw_col_t(c), table.headers[c].toUtf8().constData(), plain));

    // Cells inside a merged range other than its top are written by the merge itself.
    const int rows = int(table.rows.size());
    QVector<quint8> covered(qsizetype(rows) * 7, 0);
    for (const PlanRun& run : table.sheetRuns) {
        for (int r = run.first + 1; r <= run.last && r < rows; ++r)
            covered[qsizetype(r) * 7 + run.column] = 1;
    }
    auto formatOf = [&](int row, int column) {
        if (column != PlanGrid::kTaskColumn)
            return plain;
        const int state = table.states.value(row);
        return state == 1 ? done : state == 2 ? abandoned : plain;
    };
    for (int r = 0; r < rows && ok; ++r) {
        const QStringList& cells = table.rows[r];
        for (int c = 1; c <= cells.size(); ++c) {
            if (covered[qsizetype(r) * 7 + c])
                continue;
            const QString& text = cells[c - 1];
            const lxw_row_t sheetRow = lxw_row_t(r + 1);
            const lxw_col_t sheetColumn = lxw_col_t(c - 1);
            bool number = false;
            const double value = c == XlsxExport::kNumberColumn ? text.toDouble(&number) : 0.0;
            if (number)
                check(worksheet_write_number(sheet, sheetRow, sheetColumn, value, plain));
            else if (!text.isEmpty())
                check(worksheet_write_string(sheet, sheetRow, sheetColumn, text.toUtf8().constData(), formatOf(r, c)));
        }
    }
    for (const PlanRun& run : table.sheetRuns) {
        if (!ok)
            break;
        if (run.first < 0 || run.last >= rows || run.last <= run.first)
            continue;
        const QString text = table.rows[run.first].value(run.column - 1);
        check(worksheet_merge_range(sheet, lxw_row_t(run.first + 1), lxw_col_t(run.column - 1), lxw_row_t(run.last + 1),
                                    lxw_col_t(run.column - 1), text.toUtf8().constData(),
                                    formatOf(run.first, run.column)));
    }
    return ok;
}

} // namespace

bool XlsxExport::save(const QString& path, const PlanTable& table, const QList<double>& widths)
{
    if (path.isEmpty())
        return false;
    const QFileInfo target(path);
    if (target.isDir())
        return false;

    // A new file of a unique name in the target's folder, later renamed over the target.
    QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.part").arg(target.fileName())));
    part.setAutoRemove(false);
    if (!part.open())
        return false;
    const QString partName = part.fileName();
    part.close();
    const QFileDevice::Permissions permissions =
        target.exists()
            ? QFile::permissions(path)
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile::setPermissions(partName, permissions);

    bool ok = false;
    {
        Workbook book(QFile::encodeName(partName));
        ok = book.get() && writeSheet(book.get(), table, widths);
        ok = book.close() && ok;
    }
    if (ok)
        ok = std::rename(QFile::encodeName(partName).constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok)
        QFile::remove(partName);
    return ok;
}
