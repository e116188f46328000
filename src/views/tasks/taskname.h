#pragma once

#include <QString>

// The rule every window that names a task applies (the task dialogs and the reminder popup):
// a task has a name that is not only blanks.
namespace TaskName {
inline const QString kMissing = QStringLiteral("请输入任务名称！");
inline bool missing(const QString& name)
{
    return name.trimmed().isEmpty();
}
} // namespace TaskName
