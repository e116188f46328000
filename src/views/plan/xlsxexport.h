#pragma once

#include "views/plan/plantable.h"

#include <QList>
#include <QString>

namespace XlsxExport {

// Writes the table as a workbook of one sheet to `path`: the header row, the column widths (in
// characters, for sheet columns 1 to 6), the cells left-aligned, the task names in their state
// colours and the table's sheet runs merged. The workbook is written beside the target first and
// moved into place only when it is complete, so a failure leaves no partial file and an existing
// file intact. False when the file could not be produced.
bool save(const QString& path, const PlanTable& table, const QList<double>& widths);

// The column whose cells are numbers in the sheet (the order numbers).
constexpr int kNumberColumn = 5;

} // namespace XlsxExport
