#pragma once

#include "data/finance.h"
#include "gui/sheetexport.h"

#include <QDate>

// The finance report as a sheet: a title, the income list with its total, the expense list with
// its total and the balance of the two. Amounts are numbers and days are dates; each total is a
// number beside its label.
namespace CwExport {

SheetExport::Sheet sheet(const QDate& from, const QDate& to, const Finance::ReportSide& income,
                         const Finance::ReportSide& expense);

} // namespace CwExport
