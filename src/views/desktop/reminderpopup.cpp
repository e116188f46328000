#include "views/desktop/reminderpopup.h"

#include "views/desktop/frmts.h"

void openReminderPopup()
{
    Frmts::openNew();
}
