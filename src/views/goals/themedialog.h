#pragma once

#include "gui/formdialog.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The form of the add-theme and edit-theme dialogs: the name, the description and the save
// button.
class ThemeDialog : public FormDialog
{
    Q_OBJECT

public:
    ThemeDialog(const QString& caption, const QString& saveText, QWidget* parent = nullptr);

protected:
    // The name typed, or empty after saying "请输入角色名称！".
    bool nameGiven();

    QLineEdit* Text1;
    QPlainTextEdit* Rtb1;
    QPushButton* Command1;
};
