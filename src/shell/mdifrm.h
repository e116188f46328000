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
    // Shows the frame (loading it when needed) and then its first view, the today view.
    static MDIfrm* showFrame();

    // Has the reminder service read today's reminder times again.
    void ModRenwu();
    // Unloads the view in the client area and loads the named one afresh.
    void showView(const QString& viewName);
    // The reminder times the reminder service is watching.
    const ReminderClock& reminderClock() const;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Toolbar1_ButtonClick(int index);
    void Command1_Click();
    void Command2_Click();
    void fillClientArea();

    QToolBar* Toolbar1;
    QToolButton* Command1;
    QToolButton* Command2;
    QToolButton* Command3;
    QToolButton* Command4; // import and export
    QToolButton* Command5; // task sync
    QMdiArea* area_;
    QPointer<QMdiSubWindow> current_;
};
