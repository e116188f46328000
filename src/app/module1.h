#pragma once

#include <QString>

// Start-up and the little state the windows share.
namespace Module1 {

// The path of the main database file, mylive.dc in the program's folder (the data layer's own
// Db::path(), under the name the windows know it by).
extern QString& ConnString;
// True from the today view's "桌面显示" until the reminder popup it opens has loaded.
extern bool ShowSelectedTask;

// Starts the program for its folder: refuses a second instance, creates the missing data files
// and shows the login window. Returns false when the program should end at once.
bool Main(const QString& programFolder);

// The path of a file in the program's folder (the folder of ConnString).
QString programFile(const QString& name);

} // namespace Module1
