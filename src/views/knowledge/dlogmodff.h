#pragma once

#include "gui/formdialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The edit-article dialog "修改知识" for the article picked in the knowledge view. It saves into
// the article it loaded, whatever the view has picked since.
class Dlogmodff : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogmodff(QWidget* parent = nullptr);

    // Loads the article picked in the knowledge view; false (the dialog does not open) when
    // there is none.
    bool Form_Load();

    // The article the dialog edits.
    qint64 articleId() const { return articleId_; }

private:
    void Command1_Click();

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QComboBox* Combo1;
    QPlainTextEdit* RichTextBox1;
    QPushButton* Command1;

    qint64 articleId_ = 0;
};
