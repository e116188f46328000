#pragma once

#include "gui/formdialog.h"

class QLineEdit;
class QPushButton;
class QSlider;

// The time dialog "时间设定": the reminder time of the day task selected in the task list view,
// with the slider, the time box and the minute buttons. Kept on top, placed beside the frame.
class Dlogmtime : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogmtime(QWidget* parent = nullptr);

    // Loads (or brings forward) the shared dialog and shows it; null when there is no day task
    // to set the time of.
    static Dlogmtime* showShared();

    // Reads the selected day task; false when there is none.
    bool Form_Load();

    // The task whose time the dialog sets.
    qint64 taskId() const;

private:
    void Slider1_Change();
    void Slider1_MouseUp();
    void Command3_Click();
    void Command2_Click();
    void OKButton_Click();
    void Command1_Click();

    QSlider* Slider1;
    QLineEdit* Text2;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* OKButton;
    QPushButton* Command1;

    qint64 taskId_ = 0;
};
