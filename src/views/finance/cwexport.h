#pragma once

#include "data/finance.h"

#include <QDate>
#include <QString>

// The finance report as a spreadsheet (.xlsx): the income list, its total, the expense list, its
// total and the balance of the two.
namespace CwExport {

// Writes the file; an empty text on success, else what went wrong.
QString write(const QString& path, const QDate& from, const QDate& to, const Finance::ReportSide& income,
              const Finance::ReportSide& expense);

} // namespace CwExport
