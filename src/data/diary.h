#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The diary: one knowledge article of the category "日志" per day (table fangfa).
namespace Diary {

inline const QString kCategory = QStringLiteral("日志");

struct Entry
{
    bool exists = false;
    QString text;
};

Entry of(const QDate& day);

enum class Saved { Added, Changed };
// Adds the day's entry (titled with the day, e.g. "2009-1-31日志") or changes the one it has.
Saved save(const QDate& day, const QString& text);

} // namespace Diary
