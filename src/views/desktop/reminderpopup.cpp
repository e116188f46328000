#include "views/desktop/reminderpopup.h"

#include "views/desktop/frmts.h"

void openReminderPopup(qint64 taskId)
{
    Frmts::openNew(taskId);
}
