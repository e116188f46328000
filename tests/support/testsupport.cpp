#include "testsupport.h"

#include "data/db.h"
#include "data/passwords.h"
#include "gui/clock.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "shell/mdifrm.h"
#include "shell/module1.h"
#include "shell/reminderservice.h"
#include "shell/singleinstance.h"
#include "views/sync/syncservice.h"

#include <QAbstractButton>
#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace TestSupport {

ProgramRun::ProgramRun(const QDateTime& now)
{
    closeEverything();
    // Hundreds of logins per test program: cheap hashes (they still check like real ones).
    Passwords::useLowCostForTests(true);
    Clock::set(now);
    setMsgBoxResponder([this](const QString& text, QMessageBox::StandardButtons buttons) {
        messages.append(text);
        messageButtons.append(buttons);
        if (!answers_.isEmpty())
            return answers_.takeFirst();
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
    });
    Shell::setOpenUrlHook([this](const QUrl& url) { openedUrls.append(url); });
    Shell::setPlaySoundHook([this](const QString& f) { playedSounds.append(f); });
    Shell::setOpenFileNameHook([this](const QString& filter) {
        openFilters.append(filter);
        return openPath;
    });
    Shell::setSaveFileNameHook([this](const QString& filter) {
        saveFilters.append(filter);
        return savePath;
    });
}

ProgramRun::~ProgramRun()
{
    closeEverything();
    SingleInstance::releaseAll(); // before the folder holding the lock goes
    setMsgBoxResponder({});
    Shell::setOpenUrlHook({});
    Shell::setPlaySoundHook({});
    Shell::setSaveFileNameHook({});
    Shell::setOpenFileNameHook({});
    Clock::useSystem();
}

QString ProgramRun::file(const QString& name) const
{
    return dir_.filePath(name);
}

bool ProgramRun::start()
{
    return Module1::Main(folder());
}

bool ProgramRun::login(const QString& password)
{
    if (!find<QWidget>(QStringLiteral("frmlogin")) && !start())
        return false;
    auto* box = control<QLineEdit>(QStringLiteral("frmlogin"), QStringLiteral("txtPassword"));
    auto* button = control<QPushButton>(QStringLiteral("frmlogin"), QStringLiteral("Command1"));
    if (!box || !button)
        return false;
    box->setText(password);
    if (!click(button))
        return false;
    settle();
    return frameReady();
}

bool ProgramRun::frameReady()
{
    // The frame paints first; its today view and the reminders follow in later turns.
    auto* frame = find<MDIfrm>(QStringLiteral("MDIfrm"));
    return frame && QTest::qWaitFor([frame] { return frame->isReady(); }, 5000) && shown(QStringLiteral("MDIfrm"));
}

void ProgramRun::setNow(const QDateTime& now)
{
    Clock::set(now);
}

QSqlQuery ProgramRun::query(const QString& sql, const QVariantList& values) const
{
    const QSqlDatabase db = Db::open(file(QStringLiteral("mylive.dc")));
    return Db::exec(db, sql, values);
}

QVariant ProgramRun::scalar(const QString& sql, const QVariantList& values) const
{
    QSqlQuery q = query(sql, values);
    return q.next() ? q.value(0) : QVariant();
}

void ProgramRun::exec(const QString& sql, const QVariantList& values) const
{
    query(sql, values);
}

void closeEverything()
{
    for (int round = 0; round < 3; ++round) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            w->close();
            w->deleteLater();
        }
        settle();
    }
    // The task sync's timers and requests belong to the run that started them.
    SyncService::reset();
    Db::closeAll();
}

bool shown(const QString& window)
{
    QWidget* w = find<QWidget>(window);
    return w && w->isVisible();
}

// QVERIFY2 for helpers that return whether they succeeded.
#define CHECK(condition, message)                                                                                      \
    do {                                                                                                               \
        if (!QTest::qVerify(static_cast<bool>(condition), #condition, message, __FILE__, __LINE__))                    \
            return false;                                                                                              \
    } while (false)

bool click(QAbstractButton* button)
{
    CHECK(button, "button not found");
    CHECK(button->isEnabled(), qPrintable(button->objectName() + QStringLiteral(" is disabled")));
    button->click();
    return true;
}

bool clickRow(QTreeWidget* list, int row, int column, bool doubleClick)
{
    CHECK(list, "list not found");
    QTreeWidgetItem* item = list->topLevelItem(row);
    CHECK(item, "row not found");
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    const int x = list->header()->sectionViewportPosition(column) + 4;
    const QPoint pos(std::max(x, 1), at.y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pos);
    if (doubleClick)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, pos);
    return true;
}

bool chooseMenuItem(const std::function<void()>& open, const QString& itemName)
{
    bool chosen = false;
    // A menu shown with exec() blocks `open`; the check below runs inside its event loop.
    auto pick = [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* menu = qobject_cast<QMenu*>(w);
            if (!menu || !menu->isVisible())
                continue;
            for (QAction* a : menu->actions()) {
                if (a->objectName() == itemName && a->isEnabled()) {
                    menu->close();
                    a->trigger();
                    chosen = true;
                    return true;
                }
            }
            menu->close();
        }
        return false;
    };
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (pick())
            poll.stop();
    });
    poll.start();
    open();
    if (!chosen)
        pick(); // a menu shown with popup() is open now
    poll.stop();
    settle();
    return chosen;
}

bool chooseRowMenuItem(QTreeWidget* list, int row, const QString& itemName)
{
    if (!list)
        return false;
    QTreeWidgetItem* item = row < 0 ? nullptr : list->topLevelItem(row);
    const QPoint pos = item ? list->visualItemRect(item).center() : QPoint(20, list->viewport()->height() - 5);
    return chooseMenuItem(
        [&] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, pos, list->viewport()->mapToGlobal(pos));
            QApplication::sendEvent(list->viewport(), &event);
        },
        itemName);
}

QStringList menuItems(const QMenu* menu)
{
    if (!menu)
        return {};
    QStringList items{menu->title()};
    for (const QAction* a : menu->actions()) {
        if (!a->isSeparator())
            items << a->objectName() + u':' + a->text();
    }
    return items;
}

QTimer* reminderTimer()
{
    return ReminderService::instance().timer();
}

bool tick(QTimer* timer)
{
    CHECK(timer, "timer not found");
    QMetaObject::invokeMethod(timer, "timeout");
    settle();
    return true;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace TestSupport
