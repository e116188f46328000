#pragma once

#include "app/formdialog.h"

class QLineEdit;
class QPushButton;

// The login window. Loading it runs the first-run date shift of the sample data.
class frmlogin : public FormDialog
{
    Q_OBJECT

public:
    void Form_Load();
    explicit frmlogin(QWidget* parent = nullptr);

private:
    void Command1_Click();

    QLineEdit* txtPassword;
    QPushButton* Command1;
    class QLabel* LabelHint;
};
