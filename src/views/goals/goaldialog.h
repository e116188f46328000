#pragma once

#include "gui/formdialog.h"

class QComboBox;
class QDateEdit;
class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The form the add-goal and edit-goal dialogs share: name, description, target day, theme and
// the save button. Each dialog adds the rest of its rows to `form` before `finish()`.
class GoalDialog : public FormDialog
{
    Q_OBJECT

protected:
    GoalDialog(const QString& caption, const QString& dayLabel, const QString& saveText, QWidget* parent);
    // Lays out the buttons under the form.
    void finish();
    // The name typed, or false after saying "请输入目标名称！".
    bool nameGiven();
    // Adds the themes to Cbo1, each carrying its id.
    void appendThemes();

    QLineEdit* Text1;
    QPlainTextEdit* Rtb1;
    QDateEdit* DTP1;
    QComboBox* Cbo1;
    QPushButton* Command1;
    QGridLayout* form;
    int nextRow = 0;
};
