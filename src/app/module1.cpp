#include "app/module1.h"

#include "app/appinfo.h"
#include "app/forms.h"
#include "app/frmlogin.h"
#include "app/prompt.h"
#include "app/resources.h"
#include "app/singleinstance.h"
#include "data/db.h"
#include "data/store.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

QString& Module1::ConnString = Db::path();
bool Module1::ShowSelectedTask = false;

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
}

} // namespace

bool Module1::Main(const QString& programFolder)
{
    setUpApplication();

    const QString folder = QDir(programFolder).absolutePath();
    if (!Forms::anyAlive())
        SingleInstance::releaseAll(); // windows of an earlier run in this process are all gone
    if (!SingleInstance::acquire(folder)) {
        std::fprintf(stderr, "vantorel: already running for %s\n", qPrintable(folder));
        MsgBox(QStringLiteral("程序已经在运行"));
        return false;
    }

    Db::closeAll();
    ConnString = QDir(folder).filePath(AppInfo::kMainDatabase);
    ShowSelectedTask = false;

    // A file that cannot be used safely is reported once and the program ends without writing.
    const QString error = Store::ensureMainDatabase(ConnString);
    if (!error.isEmpty()) {
        MsgBox(error);
        Db::closeAll();
        SingleInstance::releaseAll();
        return false;
    }
    // The magazine and the sound are not needed to plan a day: a failure here is met, with its
    // own message, by the view that uses them.
    Store::ensureMagazineDatabase(programFile(AppInfo::kMagazineDatabase));
    Store::ensureReminderSound(programFile(AppInfo::kReminderSound));

    Forms::instance<frmlogin>()->show();
    return true;
}

QString Module1::programFile(const QString& name)
{
    return QFileInfo(ConnString).absoluteDir().filePath(name);
}
