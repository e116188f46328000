#pragma once

#include <QtGlobal>

// Opens a new, independent reminder popup for the task whose reminder time has come, or for the
// given task (a snooze that has come due).
void openReminderPopup(qint64 taskId = 0);
