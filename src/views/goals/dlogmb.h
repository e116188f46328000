#pragma once

#include "views/goals/goaldialog.h"

class QLabel;
class QRadioButton;

// "添加目标": adds a goal to a theme, preselecting the theme selected in the execution view.
class Dlogmb : public GoalDialog
{
    Q_OBJECT

public:
    explicit Dlogmb(QWidget* parent = nullptr);
    void Form_Load();

private:
    void Command1_Click();

    QRadioButton* Option1_1; // "开始执行"
    QRadioButton* Option1_0; // "暂不执行"
    QLabel* Label6;
};
