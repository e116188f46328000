#pragma once

#include "gui/formdialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The add-article dialog "添加方法": title, category (picked or typed) and body.
class Dlogaddff : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogaddff(QWidget* parent = nullptr);

    // Offers the category picked in the knowledge view first, then every category.
    void Form_Load();

private:
    void Command1_Click();

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label5;
    QComboBox* Combo3;
    QLabel* Label2;
    QPlainTextEdit* RichTextBox1;
    QPushButton* Command1;
};
