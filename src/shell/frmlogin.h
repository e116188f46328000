#pragma once

#include "gui/formdialog.h"

#include <QTimer>

class QLabel;
class QLineEdit;
class QPushButton;

// The login window. Loading it runs the first-run date shift of the sample data. After three
// wrong passwords in a row the next answer waits (1 s, 2 s, 4 s, ... 30 s); the window stays
// usable and says how long, and the count survives a restart.
class frmlogin : public FormDialog
{
    Q_OBJECT

public:
    void Form_Load();
    explicit frmlogin(QWidget* parent = nullptr);

    // Test seam: the length of one second of waiting, in milliseconds (1000 in the program).
    static void setSecondForTests(int milliseconds);

signals:
    // A right password has been checked; the frame is shown next (the start-up benchmark times
    // the slow hash check and the frame apart).
    void passwordVerified();

private:
    void Command1_Click();
    // Checks the typed password and answers: the frame, or the wrong-password message.
    void check();
    void startWait(int seconds);
    void waitTick();

    QLineEdit* txtPassword;
    QPushButton* Command1;
    QLabel* lblWait;
    QLabel* LabelHint;
    QTimer waitTimer_;
    int remaining_ = 0;       // seconds before a password is answered again
    bool answerOwed_ = false; // "登录" was pressed during the wait
};
