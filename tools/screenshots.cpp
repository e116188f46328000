// Starts the program in a scratch folder with the sample data, on the sample's own day, and
// saves pictures of the login window, the today view, the add-task dialog and a reminder.

#include "app/clock.h"
#include "app/forms.h"
#include "app/module1.h"
#include "app/prompt.h"
#include "views/desktop/frmts.h"
#include "views/tasks/dlogaddrw.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {
void settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool save(QWidget* window, const QString& folder, const QString& name)
{
    if (!window) {
        std::fprintf(stderr, "no window for %s\n", qPrintable(name));
        return false;
    }
    window->raise();
    settle();
    const QString path = QDir(folder).filePath(name);
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);
    QTemporaryDir folder;

    Clock::set(QDateTime(QDate(2009, 1, 31), QTime(10, 15, 0)));
    setMsgBoxResponder([](const QString&, QMessageBox::StandardButtons buttons) {
        return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
    if (!Module1::Main(folder.path()))
        return 1;
    settle();

    bool ok = true;
    QWidget* login = Forms::find(QStringLiteral("frmlogin"));
    ok &= save(login, out, QStringLiteral("login.png"));
    login->findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral("123456"));
    login->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    settle();

    ok &= save(Forms::find(QStringLiteral("MDIfrm")), out, QStringLiteral("today.png"));
    ok &= save(dlogaddrw::showShared(), out, QStringLiteral("add-task.png"));
    Forms::unload(QStringLiteral("dlogaddrw"));

    // The reminder of the sample's 10:30 task.
    Clock::set(QDateTime(QDate(2009, 1, 31), QTime(10, 30, 0)));
    ok &= save(Frmts::openNew(), out, QStringLiteral("reminder.png"));

    setMsgBoxResponder({});
    return ok ? 0 : 1;
}
