#pragma once

#include "gui/appstate.h"

#include <QString>

// Start-up.
namespace Module1 {

// Starts the program for its folder: refuses a second instance, creates the missing data files
// and shows the login window. Returns false when the program should end at once.
bool Main(const QString& programFolder);

} // namespace Module1
