#pragma once

#include "gui/formdialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The form the two note dialogs share: the title, the kind (the contacts view's current tab,
// the only choice) and the detail text, with one save button.
class NoteEditor : public FormDialog
{
    Q_OBJECT

protected:
    NoteEditor(const QString& caption, const QString& kindLabel, const QString& saveText, QWidget* parent);

    // Places the dialog and offers the contacts view's current tab as the kind.
    void prepare(const QString& kind);
    // False (after saying so) when no title is typed; an empty detail text becomes "暂无内容".
    bool checkFields();

    QLineEdit* Text1;
    QComboBox* Combo1;
    QPlainTextEdit* RichTextBox1;
    QPushButton* Command1;
};
