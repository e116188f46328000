#pragma once

#include "views/goals/themedialog.h"

// "修改行动主题": edits the theme selected in the execution view.
class Dlogmodjs : public ThemeDialog
{
    Q_OBJECT

public:
    explicit Dlogmodjs(QWidget* parent = nullptr);
    // False (the dialog does not open) when there is no theme to edit.
    bool Form_Load();
    qint64 themeId() const { return themeId_; }

private:
    void Command1_Click();

    qint64 themeId_ = 0;
};
