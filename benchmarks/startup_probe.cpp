// One measured start, in a fresh process. Modes:
//   minimal        a plain window with a label, a line edit and a button
//   login <folder> what main.cpp does, then the password, the main frame and its today view
//   minimal-frame  a small window whose button opens a plain main window with a 9-button toolbar
// Prints key=value lines: shown_at_ns (CLOCK_MONOTONIC when the first window has been exposed
// and painted, for the parent to subtract its own start time), frame_ms (click -> frame
// exposed and painted; after a login, from the verified password), password_ms (click -> the
// password checked: the deliberate cost of its slow hash), today_ms (the verified password -> the
// today view painted), peak_kib / rss_kib (VmHWM / VmRSS once the last window is shown).
#include "gui/forms.h"
#include "gui/prompt.h"
#include "shell/frmlogin.h"
#include "shell/mdifrm.h"
#include "shell/module1.h"
#include "views/backup/backuprunner.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The given line of /proc/self/status, in KiB.
qint64 statusKib(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Calls `shown` once the widget named `name` has been painted and the window event that caused
// the paint (expose or update request, which paint and flush synchronously) is done.
class ProbeApp : public QApplication
{
public:
    using QApplication::QApplication;

    void watch(const QString& name, std::function<void()> shown)
    {
        name_ = name;
        shown_ = std::move(shown);
        painted_ = nullptr;
        paintedTop_ = nullptr;
    }

    bool notify(QObject* receiver, QEvent* event) override
    {
        const bool paint = event->type() == QEvent::Paint;
        const bool result = QApplication::notify(receiver, event);
        if (!shown_)
            return result;
        if (paint && receiver->isWidgetType()) {
            auto* w = static_cast<QWidget*>(receiver);
            if (w->objectName() == name_ && w->isVisible()) {
                painted_ = w->window()->windowHandle();
                paintedTop_ = w->window();
            }
        } else if (painted_ && (receiver == painted_ || receiver == paintedTop_)) {
            auto done = std::move(shown_);
            shown_ = nullptr;
            done();
        }
        return result;
    }

private:
    QString name_;
    std::function<void()> shown_;
    // The painted widget's window; an expose comes to the window, a later update to its widget.
    QPointer<QWindow> painted_;
    QPointer<QWidget> paintedTop_;
};

void printMemory()
{
    std::printf("peak_kib=%lld\nrss_kib=%lld\n", statusKib("VmHWM:"), statusKib("VmRSS:"));
}

QWidget* minimalWindow()
{
    auto* w = new QWidget;
    w->setObjectName(QStringLiteral("first"));
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->addWidget(new QLabel(QStringLiteral("密码：")));
    auto* edit = new QLineEdit;
    edit->setMinimumWidth(180);
    layout->addWidget(edit);
    auto* button = new QPushButton(QStringLiteral("登录"));
    button->setObjectName(QStringLiteral("button"));
    layout->addWidget(button);
    return w;
}

QMainWindow* minimalFrame()
{
    auto* frame = new QMainWindow;
    frame->setObjectName(QStringLiteral("frame"));
    auto* bar = frame->addToolBar(QStringLiteral("bar"));
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const QIcon icon = frame->style()->standardIcon(QStyle::SP_DirIcon);
    for (int i = 1; i <= 9; ++i)
        bar->addAction(icon, QStringLiteral("按钮%1").arg(i));
    frame->setCentralWidget(new QWidget);
    frame->resize(1200, 800);
    return frame;
}

} // namespace

int main(int argc, char* argv[])
{
    ProbeApp app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    // Names of the first window, the frame its button opens (empty: none) and that button.
    QString first = QStringLiteral("first"), frame;
    QString buttonName = QStringLiteral("button"), password;
    if (mode == QLatin1String("minimal")) {
        minimalWindow()->show();
    } else if (mode == QLatin1String("minimal-frame")) {
        QWidget* w = minimalWindow();
        QObject::connect(w->findChild<QPushButton*>(buttonName), &QPushButton::clicked, w, [w] {
            minimalFrame()->show();
            w->close();
        });
        w->show();
        frame = QStringLiteral("frame");
    } else if (mode == QLatin1String("login") && argc > 2) {
        // The today view asks about earlier open tasks; the answer No leaves the data as it is.
        setMsgBoxResponder([](const QString&, QMessageBox::StandardButtons) { return QMessageBox::No; });
        if (!Module1::Main(QString::fromLocal8Bit(argv[2])))
            return 1;
        first = QStringLiteral("frmlogin");
        frame = QStringLiteral("MDIfrm");
        buttonName = QStringLiteral("Command1");
        password = QStringLiteral("123456");
    } else {
        std::fprintf(stderr, "usage: startup_probe minimal | minimal-frame | login <folder>\n");
        return 2;
    }

    qint64 clickedNs = 0, verifiedNs = 0;
    const auto end = [&] {
        printMemory();
        std::fflush(stdout);
        // The program ends as a person's would: after the work its start began (the daily
        // copy, the check of a file trusted at start), so that the next start finds a clean end.
        auto* wait = new QTimer(&app);
        QObject::connect(wait, &QTimer::timeout, &app, [wait] {
            auto* frame = qobject_cast<MDIfrm*>(Forms::find(QStringLiteral("MDIfrm")));
            if ((frame && !frame->isReady()) || BackupRunner::instance().busy())
                return;
            wait->stop();
            QCoreApplication::quit();
        });
        wait->start(10);
    };
    const auto finish = [&] {
        if (clickedNs && verifiedNs)
            std::printf("password_ms=%.3f\n", (verifiedNs - clickedNs) / 1e6);
        if (clickedNs)
            std::printf("frame_ms=%.3f\n", (nowNs() - (verifiedNs ? verifiedNs : clickedNs)) / 1e6);
        if (!verifiedNs)
            return end();
        app.watch(QStringLiteral("Frmmain"), [&] {
            std::printf("today_ms=%.3f\n", (nowNs() - verifiedNs) / 1e6);
            end();
        });
    };
    app.watch(first, [&] {
        std::printf("shown_at_ns=%lld\n", nowNs());
        if (frame.isEmpty())
            return finish();
        app.watch(frame, finish);
        // Type and click from the event loop, as a person would after the window appeared.
        QTimer::singleShot(0, &app, [&] {
            QWidget* top = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == first)
                    top = w;
            }
            if (auto* edit = top ? top->findChild<QLineEdit*>(QStringLiteral("txtPassword")) : nullptr)
                edit->setText(password);
            auto* button = top ? top->findChild<QPushButton*>(buttonName) : nullptr;
            if (!button) {
                std::fprintf(stderr, "no button %s\n", qPrintable(buttonName));
                return QCoreApplication::exit(3);
            }
            if (auto* login = qobject_cast<frmlogin*>(top))
                QObject::connect(login, &frmlogin::passwordVerified, login, [&] { verifiedNs = nowNs(); });
            clickedNs = nowNs();
            button->click();
        });
    });
    return app.exec();
}
