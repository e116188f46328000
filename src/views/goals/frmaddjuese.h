#pragma once

#include "views/goals/themedialog.h"

// "添加行动主题": adds a theme.
class Frmaddjuese : public ThemeDialog
{
    Q_OBJECT

public:
    explicit Frmaddjuese(QWidget* parent = nullptr);
    void Form_Load();

private:
    void Command1_Click();
};
