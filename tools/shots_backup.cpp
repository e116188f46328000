// Pictures of the backup dialog, with a few copies of earlier days in its list.

#include "shots.h"

#include "data/backup.h"
#include "data/db.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "views/backup/backuprunner.h"
#include "views/backup/dlogbackup.h"

#include <QThread>

namespace {
const int backup = Shots::add(QStringLiteral("backup"), [] {
    // Let the automatic copy of the login finish before adding the earlier ones.
    while (BackupRunner::instance().busy()) {
        QThread::msleep(10);
        Shots::settle();
    }
    const QString folder = Backup::folderFor(Db::path());
    const QDateTime now = Clock::now();
    for (int days : {1, 2, 5, 9, 30}) {
        const QDateTime when = now.addDays(-days).addSecs(-days * 1234);
        if (!Backup::hasCopyOf(folder, when.date()))
            Backup::makeCopy(Db::path(), folder, when);
    }
    return static_cast<QWidget*>(Forms::show<Dlogbackup>());
});
} // namespace
