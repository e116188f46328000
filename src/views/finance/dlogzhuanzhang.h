#pragma once

#include "gui/formdialog.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Moves money from one account to another and lists this month's transfers.
class Dlogzhuanzhang : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogzhuanzhang(QWidget* parent = nullptr);
    void Form_Load();

private:
    void fillAccounts();
    void ZzList();
    void Command1_Click();

    QComboBox* Combo1;
    QComboBox* Combo2;
    QLineEdit* Text1;
    QPushButton* Command1;
    QGroupBox* Frame1;
    QTreeWidget* ListView1;
};
