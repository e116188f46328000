#include "shell/module1.h"

#include "data/backup.h"
#include "data/db.h"
#include "data/store.h"
#include "gui/appinfo.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "shell/frmlogin.h"
#include "shell/reminderservice.h"
#include "shell/resources.h"
#include "shell/shellaccess.h"
#include "shell/singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <unistd.h>

namespace {

// What every run of the program needs once per process: Chinese standard buttons, a font that
// draws simplified Chinese glyphs, the window icon and database errors shown as messages.
void setUpApplication()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    initResources();
    ShellAccess::install();

    // The desktop knows the program as "vantorel": its menu entry, its icon and the window class
    // that groups its windows in the task switcher.
    QApplication::setApplicationName(QStringLiteral("vantorel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vantorel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;

    QFont font = QApplication::font();
    QStringList families = font.families();
    families.removeAll(QStringLiteral("Noto Sans CJK SC"));
    families.prepend(QStringLiteral("Noto Sans CJK SC"));
    font.setFamilies(families);
    if (font.pointSizeF() < 10)
        font.setPointSizeF(10);
    QApplication::setFont(font);

    Db::setErrorReporter([](const QString& text) { MsgBox(text); });
    // A clean end: the connections close and the file's state is recorded, so the next start
    // need not read the whole file again.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { Db::closeAll(); });
}

// A damaged database with a good copy in backup/: the message offers the newest good copy. Yes
// puts it in place (the damaged file stays beside under another name) and start-up goes on with
// it: true. No ends the program, the message having been read: false. Throws Db::Error with what
// start-up should say and end with.
bool restoreBackup(const Db::Error& damaged)
{
    const QString path = Module1::ConnString;
    const QString copy = Backup::newestIntact(Backup::folderFor(path), Clock::today());
    if (copy.isEmpty())
        throw damaged;
    const auto copies = Backup::list(Backup::folderFor(path));
    QString day;
    for (const Backup::Copy& c : copies) {
        if (c.path == copy)
            day = c.written.toString(QStringLiteral("yyyy-M-d H:mm:ss"));
    }
    const QString question =
        damaged.text()
        + QStringLiteral(
              "\n\n备份文件夹中有完好的备份（%1）。要用它恢复数据吗？\n损坏的文件会改名保留在原处，不会删除。")
              .arg(day);
    if (MsgBox(question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    Db::closeAll();
    QString kept;
    try {
        kept = Backup::replaceDamaged(copy, path, Clock::now());
    } catch (const Db::Error& e) {
        throw Db::Error(QStringLiteral("无法用备份恢复数据：\n%1").arg(e.text()), e.extendedCode());
    }
    MsgDone(QStringLiteral("数据已用 %1 的备份恢复。\n损坏的文件已改名保留为：%2")
                .arg(day, QDir::toNativeSeparators(kept)));
    Store::ensureMainDatabase(path);
    return true;
}

// What makes a data folder unusable, said so that the user knows what to do; empty when usable.
QString folderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    const QString shown = QDir::toNativeSeparators(folder);
    if (!info.exists())
        return QStringLiteral("数据文件夹不存在：%1\n请建立这个文件夹，或用 --data-dir 指定另一个文件夹，再启动程序。")
            .arg(shown);
    if (!info.isDir())
        return QStringLiteral(
                   "数据文件夹的位置上是一个文件，不是文件夹：%1\n请把这个文件移开，或用 --data-dir 指定另一个文件夹，再启动程序。")
            .arg(shown);
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return QStringLiteral(
                   "无法写入数据文件夹：%1\n请让当前用户可以写入这个文件夹，或用 --data-dir 指定另一个文件夹，再启动程序。")
            .arg(shown);
    return {};
}

} // namespace

bool Module1::Main(const QString& programFolder)
{
    setUpApplication();

    const QString folder = QDir(programFolder).absolutePath();
    if (!Forms::anyAlive())
        SingleInstance::releaseAll(); // windows of an earlier run in this process are all gone
    if (const QString unusable = folderProblem(folder); !unusable.isEmpty()) {
        std::fprintf(stderr, "vantorel: cannot use the data folder %s\n", qPrintable(folder));
        MsgBox(unusable);
        return false;
    }
    try {
        if (!SingleInstance::claim(folder)) {
            std::fprintf(stderr, "vantorel: already running for %s\n", qPrintable(folder));
            MsgBox(QStringLiteral("程序已经在运行"));
            return false;
        }
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "vantorel: cannot lock the data folder %s\n", qPrintable(folder));
        MsgBox(
            QStringLiteral(
                "无法在数据文件夹中建立锁文件：%1（%2）\n请检查这个文件夹的权限，或用 --data-dir 指定另一个文件夹，再启动程序。")
                .arg(QDir::toNativeSeparators(folder), e.text()));
        return false;
    }

    ReminderService::instance().stop(); // a run before this one in the process
    Db::closeAll();
    ConnString = QDir(folder).filePath(AppInfo::kMainDatabase);
    ShowSelectedTask = false;
    // Only now, with the folder ours: what interrupted copies and restores left behind goes.
    Backup::removeLeftovers(ConnString);

    // A file that cannot be used safely is reported once and the program ends without writing.
    bool usable = true;
    try {
        try {
            Store::ensureMainDatabase(ConnString, [] {
                return !Backup::newestIntact(Backup::folderFor(ConnString), Clock::today()).isEmpty();
            });
        } catch (const Store::Refused& e) {
            if (!e.replaceable())
                throw;
            usable = restoreBackup(e);
        }
    } catch (const Db::Error& e) {
        MsgBox(e.text());
        usable = false;
    }
    if (!usable) {
        Db::closeAll();
        SingleInstance::releaseAll();
        return false;
    }
    // The magazine and the sound are not needed to plan a day: a failure here is met, with its
    // own message, by the view that uses them.
    try {
        Store::ensureMagazineDatabase(programFile(AppInfo::kMagazineDatabase));
    } catch (const Db::Error&) {}
    try {
        Store::ensureReminderSound(programFile(AppInfo::kReminderSound));
    } catch (const Db::Error&) {}

    Forms::instance<frmlogin>()->show();
    return true;
}
