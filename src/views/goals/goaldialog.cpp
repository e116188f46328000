#include "views/goals/goaldialog.h"

#include "data/themes.h"
#include "gui/prompt.h"
#include "gui/widgets.h"
#include "views/goals/goalforms.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

GoalDialog::GoalDialog(const QString& caption, const QString& dayLabel, const QString& saveText, QWidget* parent)
    : FormDialog(parent)
{
    setWindowTitle(caption);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Rtb1 = GoalForms::textBox(this, QStringLiteral("Rtb1"));
    Rtb1->setMinimumHeight(130);
    DTP1 = GoalForms::datePicker(this, QStringLiteral("DTP1"));
    Cbo1 = Gui::dropDown(this, QStringLiteral("Cbo1"), 10);
    Command1 = Gui::button(this, QStringLiteral("Command1"), saveText);
    Command1->setDefault(true);
    Command1->setMinimumWidth(96);

    form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(10);
    form->setColumnStretch(1, 1);
    form->addWidget(Gui::fieldLabel(QStringLiteral("目标名称："), Text1, Qt::AlignRight | Qt::AlignVCenter,
                                    QStringLiteral("Label1")),
                    nextRow, 0);
    form->addWidget(Text1, nextRow++, 1);
    form->addWidget(
        Gui::fieldLabel(QStringLiteral("目标描述："), Rtb1, Qt::AlignRight | Qt::AlignTop, QStringLiteral("Label2")),
        nextRow, 0);
    form->addWidget(Rtb1, nextRow++, 1);
    form->addWidget(Gui::fieldLabel(dayLabel, DTP1), nextRow, 0);
    form->addWidget(DTP1, nextRow++, 1, Qt::AlignLeft);
    form->addWidget(Gui::fieldLabel(QStringLiteral("相关主题："), Cbo1), nextRow, 0);
    form->addWidget(Cbo1, nextRow++, 1, Qt::AlignLeft);
    setMinimumWidth(500);
}

void GoalDialog::finish()
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 14);
    outer->setSpacing(14);
    outer->addLayout(form);
    outer->addLayout(buttons);
}

bool GoalDialog::nameGiven()
{
    if (!Text1->text().isEmpty())
        return true;
    MsgBox(QStringLiteral("请输入目标名称！"));
    Text1->setFocus();
    return false;
}

void GoalDialog::appendThemes()
{
    for (const Themes::Choice& theme : Themes::all())
        Cbo1->addItem(theme.name, theme.id);
}
