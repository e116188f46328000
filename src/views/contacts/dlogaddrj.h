#pragma once

#include "gui/formdialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Adds a contact ("添加人际关系联系人").
class Dlogaddrj : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogaddrj(QWidget* parent = nullptr);

    // Places the dialog and fills the category choices.
    void Form_Load();

private:
    void Command1_Click();

    QLineEdit* Text2;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    QLineEdit* Text8;
    QLineEdit* Text9;
    QComboBox* Combo1;
    QPushButton* Command1;
};
