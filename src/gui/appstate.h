#pragma once

#include <QString>

// The little state the windows share, under the names they know it by. Start-up (the shell)
// sets it; views read it.
namespace Module1 {

// The path of the main database file, mylive.dc in the program's folder (the data layer's own
// Db::path(), under the name the windows know it by).
extern QString& ConnString;
// True from the today view's "桌面显示" until the reminder popup it opens has loaded.
extern bool ShowSelectedTask;

// The path of a file in the program's folder (the folder of ConnString).
QString programFile(const QString& name);

} // namespace Module1
