#pragma once

#include "gui/windowdrag.h"

#include <QPoint>
#include <QWidget>

class ClickableImage;
class QAction;
class QMenu;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

// The reminder popup "任务提示": a small window that slides up at the bottom right of the screen
// with one task, to save its edits, mark it done, be reminded again later, or close. Every popup is a new, independent
// window, so several can be open at once.
class Frmts : public QWidget
{
    Q_OBJECT

public:
    explicit Frmts(QWidget* parent = nullptr);

    // Creates a new popup, which chooses its task as it loads (or shows the given task), and
    // shows it.
    static Frmts* openNew(qint64 taskId = 0);

    // The task shown (0 when none matched).
    qint64 taskId() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placeBelowScreen();
    void chooseTask();
    void showTask(qint64 id);
    // The task id the actions work on, after checking that it still exists; 0 (and a message
    // shown) when there is nothing to work on.
    qint64 actionTaskId();
    // Where the window's top rests once the slide is over.
    int restingTop() const;
    // Moves the popup sideways when its resting place lies under the open desktop bar.
    void avoidDesktopBar();

    void Image1_Click();
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void snoozeFor(int minutes);
    void Timer1_Timer();

    QLineEdit* Text1;
    QLineEdit* Text2;
    QPlainTextEdit* RichTextBox1;
    ClickableImage* Image1;
    ClickableImage* Image2;
    ClickableImage* Image3;
    ClickableImage* Image4;
    QMenu* shaohou;
    QAction* min5;
    QAction* min10;
    QAction* min30;
    QAction* hour1;
    QTimer* Timer1;

    // Dragged by its body.
    WindowDrag drag_{this};
    // The place of the popup in the stack of open popups, 0 at the bottom.
    int slot_ = 0;
};
