#include "views/finance/cwexport.h"

#include "gui/gui.h"
#include "data/money.h"

#include <QFile>
#include <xlsxwriter.h>

namespace {

struct Formats
{
    lxw_format* title;
    lxw_format* header;
    lxw_format* amount;
    lxw_format* total;
};

// One side of the report: a heading row, the records and the total line. Returns the next row.
lxw_row_t writeSide(lxw_worksheet* sheet, const Formats& f, lxw_row_t row, const QString& kindWord,
                    const Finance::ReportSide& side)
{
    const QStringList headers{kindWord + QStringLiteral("类型"), kindWord + QStringLiteral("金额"),
                              kindWord + QStringLiteral("原因"), kindWord + QStringLiteral("日期")};
    for (int c = 0; c < headers.size(); ++c)
        worksheet_write_string(sheet, row, lxw_col_t(c), headers[c].toUtf8().constData(), f.header);
    ++row;
    for (const Finance::Record& r : side.rows) {
        worksheet_write_string(sheet, row, 0, r.leixing.toUtf8().constData(), nullptr);
        // Amounts go out as the exact decimal text: a spreadsheet number would pass through
        // binary floating point.
        worksheet_write_string(sheet, row, 1, Money::format(r.moneys).toUtf8().constData(), f.amount);
        worksheet_write_string(sheet, row, 2, r.yuanyin.toUtf8().constData(), nullptr);
        worksheet_write_string(sheet, row, 3, Gui::day(r.addtime).toUtf8().constData(), nullptr);
        ++row;
    }
    const QString total = kindWord + QStringLiteral("合计：") + Money::format(side.total) + QStringLiteral("元");
    worksheet_write_string(sheet, row, 0, total.toUtf8().constData(), f.total);
    return row + 2;
}

} // namespace

QString CwExport::write(const QString& path, const QDate& from, const QDate& to, const Finance::ReportSide& income,
                        const Finance::ReportSide& expense)
{
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* book = workbook_new(file.constData());
    if (!book)
        return QStringLiteral("无法建立文件 %1").arg(path);
    lxw_worksheet* sheet = workbook_add_worksheet(book, QStringLiteral("收支统计").toUtf8().constData());

    Formats f{};
    f.title = workbook_add_format(book);
    format_set_bold(f.title);
    format_set_font_size(f.title, 14);
    f.header = workbook_add_format(book);
    format_set_bold(f.header);
    format_set_bottom(f.header, LXW_BORDER_THIN);
    f.amount = workbook_add_format(book);
    format_set_align(f.amount, LXW_ALIGN_RIGHT);
    f.total = workbook_add_format(book);
    format_set_bold(f.total);

    worksheet_set_column(sheet, 0, 0, 16, nullptr);
    worksheet_set_column(sheet, 1, 1, 14, nullptr);
    worksheet_set_column(sheet, 2, 2, 30, nullptr);
    worksheet_set_column(sheet, 3, 3, 12, nullptr);

    const QString title = QStringLiteral("收支统计：%1 至 %2").arg(Gui::day(from), Gui::day(to));
    worksheet_write_string(sheet, 0, 0, title.toUtf8().constData(), f.title);
    lxw_row_t row = 2;
    row = writeSide(sheet, f, row, QStringLiteral("收入"), income);
    row = writeSide(sheet, f, row, QStringLiteral("支出"), expense);
    const QString balance =
        QStringLiteral("收支总计：") + Money::format(income.total - expense.total) + QStringLiteral("元");
    worksheet_write_string(sheet, row, 0, balance.toUtf8().constData(), f.total);

    const lxw_error result = workbook_close(book);
    if (result != LXW_NO_ERROR)
        return QString::fromUtf8(lxw_strerror(result));
    return {};
}
