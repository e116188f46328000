#pragma once

#include "shell/reminderclock.h"

#include <QSystemTrayIcon>
#include <QWidget>

class QMenu;
class QAction;
class QTimer;

// The program's icon in the notification area while the main frame is closed: it keeps the
// reminder clock running and offers "显示" (the frame comes back) and "关闭" (the program ends).
// The window itself is never shown.
class myicon : public QWidget
{
    Q_OBJECT

public:
    explicit myicon(QWidget* parent = nullptr);
    ~myicon() override;
    void Form_Load();

    // The main frame is closing: the tray takes over, continuing the frame's reminder clock, or,
    // where the desktop has no notification area, the program says so and ends.
    static void frameClosed(const ReminderClock& clock);

    // Rebuilds today's reminder times from the database.
    void ModRenwu();
    const ReminderClock& reminderClock() const { return clock_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void TrayIcon_Activated(QSystemTrayIcon::ActivationReason reason);
    void show_Click();
    void exit_Click();
    void Timer1_Timer();
    void removeIcon();

    QSystemTrayIcon* TrayIcon;
    QMenu* sys;
    QAction* showItem; // "显示"
    QAction* exitItem; // "关闭"
    QTimer* Timer1;
    ReminderClock clock_;
};
