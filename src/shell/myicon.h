#pragma once

#include <QSystemTrayIcon>
#include <QWidget>

class QMenu;
class QAction;

// The program's icon in the notification area while the main frame is closed (the reminder
// service goes on meanwhile). It offers "显示" (the frame comes back) and "关闭" (the program
// ends). The window itself is never shown.
class myicon : public QWidget
{
    Q_OBJECT

public:
    explicit myicon(QWidget* parent = nullptr);
    ~myicon() override;
    void Form_Load();

    // The main frame is closing: the tray icon stands for the program, or, where the desktop has
    // no notification area, the program says so and ends.
    static void frameClosed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void TrayIcon_Activated(QSystemTrayIcon::ActivationReason reason);
    void show_Click();
    void exit_Click();
    void removeIcon();

    QSystemTrayIcon* TrayIcon;
    QMenu* sys;
    QAction* showItem; // "显示"
    QAction* exitItem; // "关闭"
};
