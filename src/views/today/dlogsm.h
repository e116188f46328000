#pragma once

#include "data/statements.h"
#include "gui/formdialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Adds a motto or a mission statement, by the tab current in the today view.
class DlogSM : public FormDialog
{
    Q_OBJECT

public:
    explicit DlogSM(QWidget* parent = nullptr);

    // Takes the kind to add from the today view's current statement tab and shows it in Label1.
    void followTab();

private:
    void Command1_Click();

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    // The kind shown in Label1; kept when the today view is no longer loaded.
    Statements::Kind kind_ = Statements::Mission;
};
