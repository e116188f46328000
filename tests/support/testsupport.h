#pragma once

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QVariantList>
#include <functional>

class QAbstractButton;
class QMenu;
class QTimer;
class QTreeWidget;

namespace TestSupport {

inline const QString kSamplePassword = QStringLiteral("123456");

// One run of the program in a fresh folder of its own: a fixed clock, message boxes recorded
// and answered, and the web pages, sounds and saved files the program would hand out, all
// captured. Everything is closed and restored when the run goes out of scope.
class ProgramRun
{
public:
    explicit ProgramRun(const QDateTime& now = QDateTime(QDate(2009, 1, 31), QTime(8, 0, 0)));
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    QString folder() const { return dir_.path(); }
    QString file(const QString& name) const;

    // Module1::Main for this folder.
    bool start();
    // Starts (when needed), types the password into the login window and presses "登录".
    // True when the main frame is then shown.
    bool login(const QString& password = kSamplePassword);
    // Waits until the frame shows its first view and its start-up work has run.
    bool frameReady();

    // Moves the fixed clock.
    void setNow(const QDateTime& now);

    // Message boxes shown so far, in order; answers are taken from the queue, then the box's
    // default (OK, else Yes).
    QStringList messages;
    QList<QMessageBox::StandardButtons> messageButtons;
    void answerNext(QMessageBox::StandardButton answer) { answers_.append(answer); }

    QList<QUrl> openedUrls;
    QStringList playedSounds;
    QStringList saveFilters;
    QString savePath; // what the save-file dialog answers; empty = cancelled
    QStringList openFilters;
    QString openPath; // what the open-file dialog answers; empty = cancelled

    // Direct reads and writes of this run's database, for preparing cases and checking results.
    QSqlQuery query(const QString& sql, const QVariantList& values = {}) const;
    QVariant scalar(const QString& sql, const QVariantList& values = {}) const;
    void exec(const QString& sql, const QVariantList& values = {}) const;

private:
    QTemporaryDir dir_;
    QList<QMessageBox::StandardButton> answers_;
};

// Closes and deletes every top-level window and releases the database connections.
void closeEverything();

// A widget of the given class and objectName anywhere in the program's windows, or null.
template <class T = QWidget>
T* find(const QString& objectName)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == objectName) {
            if (T* t = qobject_cast<T*>(top))
                return t;
        }
        if (T* t = top->findChild<T*>(objectName))
            return t;
    }
    return nullptr;
}

// A control of the given name inside the named window, or null.
template <class T = QWidget>
T* control(const QString& window, const QString& name)
{
    QWidget* w = find<QWidget>(window);
    return w ? w->findChild<T*>(name) : nullptr;
}

// Whether the named window exists and is shown.
bool shown(const QString& window);

// The helpers that act return false after recording the failure, so that the calling test
// stops there: QVERIFY(click(button)).
[[nodiscard]] bool click(QAbstractButton* button);
// Clicks the row (selecting it) as a mouse would; double=true double-clicks.
[[nodiscard]] bool clickRow(QTreeWidget* list, int row, int column = 1, bool doubleClick = false);
// Opens a pop-up menu with `open` (e.g. a right click) and picks the item with the given
// objectName from the menu that appears, whether the menu is shown with exec() or popup().
// Returns false when no such item was offered.
bool chooseMenuItem(const std::function<void()>& open, const QString& itemName);
// A right click over the row of a report list (-1: below the last row) that picks the item of the
// pop-up menu it opens; false when no such item was offered.
bool chooseRowMenuItem(QTreeWidget* list, int row, const QString& itemName);
// The menu's title, then each item as "objectName:text", in their order.
QStringList menuItems(const QMenu* menu);
// The one-second timer of the program's reminder service.
QTimer* reminderTimer();
// Delivers one tick of the timer now.
[[nodiscard]] bool tick(QTimer* timer);
// Lets posted events (deferred deletes, queued calls) run.
void settle();

} // namespace TestSupport
