#include "views/desktop/reminderpopup.h"

void openReminderPopup()
{
    // The popup window joins the program with the reminder views; until then the reminder
    // is the sound alone.
}
