#pragma once

#include <QWidget>

// The reminder popup "任务提示": a small window that slides up at the bottom right of the screen
// with one task, to save its edits, mark it done or close. Every popup is a new, independent
// window, so several can be open at once.
class Frmts : public QWidget
{
    Q_OBJECT

public:
    explicit Frmts(QWidget* parent = nullptr);

    // Creates a new popup, which chooses its task as it loads, and shows it.
    static Frmts* openNew();

    // The task shown (0 when none matched).
    qint64 taskId() const;
};
