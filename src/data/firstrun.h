#pragma once

#include <QDate>

// The sample data of a new database is dated around this day; the first start moves it to the
// day of first use.
namespace FirstRun {
inline const QDate kReferenceDay(2009, 1, 31);

enum class Result { Shifted, AlreadyDone };

// Moves shouzhi.addtime, rjxx.addtime, renwu.today and mubiao.jsdate by (today − reference day)
// days when the marker row still holds 1, and sets it to 2, all in one transaction. Throws
// Db::Error, leaving everything as it was.
Result shiftDates(const QDate& today);
} // namespace FirstRun
