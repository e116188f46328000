#include "views/finance/cwexport.h"

#include "data/money.h"
#include "gui/gui.h"

#include <QFile>
#include <xlsxwriter.h>

namespace {

using SheetExport::Cell;

enum Style { Plain = 0, Title, Header, Total };

// One side of the report: a heading row, the records and the total line, then a blank row.
void addSide(SheetExport::Sheet& sheet, const QString& kindWord, const Finance::ReportSide& side)
{
    sheet.rows.append({Cell::ofText(kindWord + QStringLiteral("类型"), Header),
                       Cell::ofText(kindWord + QStringLiteral("金额"), Header),
                       Cell::ofText(kindWord + QStringLiteral("原因"), Header),
                       Cell::ofText(kindWord + QStringLiteral("日期"), Header)});
    for (const Finance::Record& r : side.rows)
        sheet.rows.append(
            {Cell::ofText(r.category), Cell::ofAmount(r.amount), Cell::ofText(r.reason), Cell::ofDay(r.day)});
    sheet.rows.append({Cell::ofText(kindWord + QStringLiteral("合计："), Total), Cell::ofAmount(side.total, Total)});
    sheet.rows.append(QList<Cell>());
}

} // namespace

SheetExport::Sheet CwExport::sheet(const QDate& from, const QDate& to, const Finance::ReportSide& income,
                                   const Finance::ReportSide& expense)
{
    SheetExport::Sheet s;
    s.name = QStringLiteral("收支统计");
    SheetExport::Style title;
    title.bold = true;
    title.fontSize = 14;
    SheetExport::Style header;
    header.bold = true;
    header.bottomBorder = true;
    SheetExport::Style total;
    total.bold = true;
    s.styles = {SheetExport::Style{}, title, header, total};
    s.widths = {16, 14, 30, 12};
    s.rows.append({Cell::ofText(QStringLiteral("收支统计：%1 至 %2").arg(Gui::day(from), Gui::day(to)), Title)});
    s.rows.append(QList<Cell>());
    addSide(s, QStringLiteral("收入"), income);
    addSide(s, QStringLiteral("支出"), expense);
    s.rows.append(
        {Cell::ofText(QStringLiteral("收支总计："), Total), Cell::ofAmount(income.total - expense.total, Total)});
    return s;
}
