#pragma once

#include "gui/formdialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The form the two article dialogs share: the title, the category (picked or typed) and the
// body, with one save button. The dialogs name the category box and its label differently, and
// only the add dialog labels the body.
class ArticleEditor : public FormDialog
{
    Q_OBJECT

protected:
    struct Names
    {
        QString dialog;
        QString caption;
        QString categoryLabel; // objectName of the category's label
        QString categoryText;  // the label's text
        QString categoryBox;   // objectName of the category box
        QString bodyText;      // the body's label; empty for none
        QString saveText;
    };

    ArticleEditor(const Names& names, QWidget* parent);

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* categoryLabel;
    QComboBox* categoryBox;
    QLabel* bodyLabel = nullptr;
    QPlainTextEdit* RichTextBox1;
    QPushButton* Command1;
};
