#include "views/goals/themedialog.h"

#include "gui/prompt.h"
#include "gui/widgets.h"
#include "views/goals/goalforms.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ThemeDialog::ThemeDialog(const QString& caption, const QString& saveText, QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(caption);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Rtb1 = GoalForms::textBox(this, QStringLiteral("Rtb1"));
    Rtb1->setMinimumHeight(150);
    Command1 = Gui::button(this, QStringLiteral("Command1"), saveText);
    Command1->setDefault(true);
    Command1->setMinimumWidth(96);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);
    grid->addWidget(Gui::fieldLabel(QStringLiteral("主题名称："), Text1, Qt::AlignRight | Qt::AlignVCenter,
                                    QStringLiteral("Label1")),
                    0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(
        Gui::fieldLabel(QStringLiteral("主题描述："), Rtb1, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Label2")), 1,
        0);
    grid->addWidget(Rtb1, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 14);
    outer->setSpacing(14);
    outer->addLayout(grid);
    outer->addLayout(buttons);
    setMinimumWidth(460);
}

bool ThemeDialog::nameGiven()
{
    // Only a name without any character is missing: blanks are a name and are kept as typed.
    if (!Text1->text().isEmpty())
        return true;
    MsgBox(QStringLiteral("请输入角色名称！"));
    Text1->setFocus();
    return false;
}
