#pragma once

#include "shell/reminderclock.h"

#include <QMainWindow>
#include <QPointer>

class QMdiArea;
class QMdiSubWindow;
class QTimer;
class QToolBar;
class QToolButton;

// The main frame: the view bar, one view at a time in the client area, and the reminder clock.
class MDIfrm : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIfrm(QWidget* parent = nullptr);
    void Form_Load();
    // Shows the frame (loading it when needed) and then its first view, the today view.
    static MDIfrm* showFrame();

    // Rebuilds today's reminder times from the database.
    void ModRenwu();
    // Unloads the view in the client area and loads the named one afresh.
    void showView(const QString& viewName);
    // The reminder times the clock is watching (for the views that report them).
    const ReminderClock& reminderClock() const { return clock_; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Toolbar1_ButtonClick(int index);
    void Command1_Click();
    void Command2_Click();
    void Timer1_Timer();
    void fillClientArea();

    QToolBar* Toolbar1;
    QToolButton* Command1;
    QToolButton* Command2;
    QToolButton* Command3;
    QToolButton* Command4; // import and export
    QToolButton* Command5; // task sync
    QTimer* Timer1;
    QMdiArea* area_;
    QPointer<QMdiSubWindow> current_;
    ReminderClock clock_;
};
