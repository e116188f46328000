#include "shell/shellaccess.h"

#include "gui/appinfo.h"
#include "gui/appstate.h"
#include "gui/forms.h"
#include "gui/frameaccess.h"
#include "gui/shell.h"
#include "shell/frmlogin.h"
#include "shell/mdifrm.h"
#include "shell/reminderservice.h"
#include "views/desktop/frmmissed.h"
#include "views/desktop/reminderpopup.h"

namespace {
class Access final : public FrameAccess
{
public:
    void showFrame() override
    {
        if (MDIfrm* frame = MDIfrm::showFrame())
            frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
    }
    void closeFrame() override
    {
        if (MDIfrm* frame = Forms::find<MDIfrm>())
            frame->close();
    }
    void showLogin() override { Forms::show<frmlogin>(); }
};
} // namespace

void ShellAccess::install()
{
    static Access access;
    FrameAccess::install(&access);

    // What the clock finds due pops up, each with its own task, stacked, with one sound;
    // what passed unseen goes to the missed list.
    ReminderService& service = ReminderService::instance();
    QObject::connect(&service, &ReminderService::due, &service, [](const QList<Reminders::Due>& due) {
        for (const Reminders::Due& d : due)
            openReminderPopup(d.taskId);
        Shell::playSound(Module1::programFile(AppInfo::kReminderSound));
    });
    QObject::connect(&service, &ReminderService::missed, &service,
                     [](const QList<Reminders::Due>& missed) { FrmMissed::add(missed); });
}
