// Pictures of the task sync window, set up for a server with a list chosen and a last result.

#include "shots.h"

#include "data/db.h"
#include "data/syncstate.h"
#include "gui/forms.h"
#include "views/sync/dlogsync.h"

namespace {
const int sync = Shots::add(QStringLiteral("sync"), [] {
    Db::run([] {
        SyncState::Account a;
        a.server = QStringLiteral("https://cloud.example.org/remote.php/dav");
        a.user = QStringLiteral("zhangsan");
        a.calendar = QStringLiteral("https://cloud.example.org/remote.php/dav/calendars/zhangsan/vantorel/");
        a.calendarName = QStringLiteral("Vantorel");
        a.autoSync = true;
        SyncState::saveAccount(a);
        SyncState::setLastResult({QStringLiteral("2009-1-31 10:12:05"), true, QStringLiteral("上传 3，下载 12")});
    });
    return static_cast<QWidget*>(Forms::show<DlogSync>());
});
} // namespace
