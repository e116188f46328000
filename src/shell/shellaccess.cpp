#include "shell/shellaccess.h"

#include "gui/forms.h"
#include "gui/frameaccess.h"
#include "shell/frmlogin.h"
#include "shell/mdifrm.h"

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
}
