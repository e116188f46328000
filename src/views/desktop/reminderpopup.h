#pragma once

// Opens a new, independent reminder popup for the task whose reminder time has come.
void openReminderPopup();
