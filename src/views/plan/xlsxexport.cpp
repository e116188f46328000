#include "views/plan/xlsxexport.h"

namespace {
using SheetExport::Cell;

enum Style { Plain = 0, Done, Abandoned };
} // namespace

SheetExport::Sheet XlsxExport::sheet(const PlanTable& table, const QList<double>& widths)
{
    SheetExport::Sheet s;
    SheetExport::Style plain;
    plain.left = true;
    SheetExport::Style done = plain;
    done.colour = 0x00FF00;
    SheetExport::Style abandoned = plain;
    abandoned.colour = 0xFF0000;
    s.styles = {plain, done, abandoned};
    s.widths = widths;
    QList<Cell> header;
    for (const QString& h : table.headers)
        header << Cell::ofText(h);
    s.rows.reserve(table.rows.size() + 1);
    s.rows << header;
    for (int r = 0; r < table.rows.size(); ++r) {
        const QStringList& texts = table.rows[r];
        QList<Cell> cells;
        cells.reserve(texts.size());
        for (int c = 1; c <= texts.size(); ++c) {
            const QString& text = texts[c - 1];
            if (c == kNumberColumn) {
                cells << Cell::ofNumberText(text);
                continue;
            }
            if (table.dayColumns.contains(c)) {
                const QDate d = QDate::fromString(text, QStringLiteral("yyyy-M-d"));
                if (d.isValid()) {
                    cells << Cell::ofDay(d);
                    continue;
                }
            }
            if (table.timeColumns.contains(c)) {
                const QTime t = QTime::fromString(text, QStringLiteral("H:mm:ss"));
                if (t.isValid()) {
                    cells << Cell::ofTime(t);
                    continue;
                }
            }
            int style = Plain;
            if (c == PlanGrid::kTaskColumn) {
                const int state = table.states.value(r);
                style = state == 1 ? Done : state == 2 ? Abandoned : Plain;
            }
            cells << (text.isEmpty() ? Cell{} : Cell::ofText(text, style));
        }
        s.rows << cells;
    }
    for (const PlanRun& run : table.sheetRuns)
        s.merges << SheetExport::Merge{run.column - 1, run.first + 1, run.last + 1};
    return s;
}

bool XlsxExport::save(const QString& path, const PlanTable& table, const QList<double>& widths)
{
    if (path.isEmpty())
        return false;
    return SheetExport::write(path, SheetExport::Format::Xlsx, sheet(table, widths)).error.isEmpty();
}
