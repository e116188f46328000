// Starts the program in a scratch folder with the sample data, on the sample's own day, and
// saves pictures of the login window and of every window the shots_*.cpp files add, with the
// main frame at 1024×768 and at 1280×800.

#include "shots.h"

#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "shell/module1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {
struct Shot
{
    QString name;
    Shots::Opener open;
};

QList<Shot>& shots()
{
    static QList<Shot> list;
    return list;
}

bool save(QWidget* window, const QString& folder, const QString& name)
{
    if (!window) {
        std::fprintf(stderr, "no window for %s\n", qPrintable(name));
        return false;
    }
    window->raise();
    Shots::settle();
    const QString path = QDir(folder).filePath(name);
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}
} // namespace

int Shots::add(const QString& name, Opener open)
{
    shots().append({name, std::move(open)});
    return int(shots().size());
}

QWidget* Shots::view(const QString& viewName)
{
    auto* frame = Forms::find<MDIfrm>();
    if (frame)
        frame->showView(viewName);
    settle();
    return frame;
}

void Shots::settle()
{
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

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
    Shots::settle();

    bool ok = true;
    QWidget* login = Forms::find(Views::kLogin);
    ok &= save(login, out, QStringLiteral("login.png"));
    login->findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(QStringLiteral("123456"));
    login->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    Shots::settle();

    // The frame paints first; its today view loads in a later turn of the event loop.
    auto* frame = Forms::find<MDIfrm>();
    QElapsedTimer waited;
    waited.start();
    while (frame && !frame->isReady() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (const QSize size : {QSize(1024, 768), QSize(1280, 800)}) {
        frame->resize(size);
        frame->move(0, 0);
        Shots::settle();
        const QString suffix = QStringLiteral("-%1.png").arg(size.width());
        for (const Shot& shot : std::as_const(shots())) {
            Clock::set(QDateTime(QDate(2009, 1, 31), QTime(10, 15, 0)));
            QWidget* window = shot.open();
            ok &= save(window, out, shot.name + suffix);
            if (window && window != frame)
                window->close();
            Shots::settle();
        }
        frame->showView(Views::kToday);
    }

    setMsgBoxResponder({});
    return ok ? 0 : 1;
}
