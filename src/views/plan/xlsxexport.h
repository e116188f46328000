#pragma once

#include "gui/sheetexport.h"
#include "views/plan/plantable.h"

#include <QList>
#include <QString>

namespace XlsxExport {

// The table as a sheet: the header row, the column widths (in characters, for sheet columns 1 to
// 6), the cells left-aligned, the task names in their state colours, the table's sheet runs
// merged; days and times as date and time cells, order numbers as numbers when they fit exactly.
SheetExport::Sheet sheet(const PlanTable& table, const QList<double>& widths);

// Writes the sheet as a workbook to `path`, whole or not at all. False when the file could not
// be produced.
bool save(const QString& path, const PlanTable& table, const QList<double>& widths);

// The column whose cells are numbers in the sheet (the order numbers).
constexpr int kNumberColumn = 5;

} // namespace XlsxExport
