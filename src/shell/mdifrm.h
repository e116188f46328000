#pragma once

#include "shell/reminderclock.h"

#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QToolBar;
class QToolButton;

// The main frame: the view bar and one view at a time in the client area. It only shows and
// hides; the reminder service keeps time for it.
class MDIfrm : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIfrm(QWidget* parent = nullptr);
    void Form_Load();
    // Shows the frame (loading it when needed). Once it is painted, the reminders start and its
    // first view, the today view, loads; once that is painted, the frame is ready.
    static MDIfrm* showFrame();
    bool isReady() const { return ready_; }

    // Has the reminder service read today's reminder times again.
    void ModRenwu();
    // Unloads the view in the client area and loads the named one afresh.
    void showView(const QString& viewName);
    // The reminder times the reminder service is watching.
    const ReminderClock& reminderClock() const;

signals:
    // The first view is on the screen: work the user did not ask for may start.
    void ready();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Toolbar1_ButtonClick(int index);
    void Command1_Click();
    void Command2_Click();
    void fillClientArea();
    void startWork();

    QToolBar* Toolbar1;
    QToolButton* Command1;
    QToolButton* Command2;
    QToolButton* Command3;
    QToolButton* Command4; // import and export
    QToolButton* Command5; // task sync
    QMdiArea* area_;
    QPointer<QMdiSubWindow> current_;
    bool ready_ = false;
};
