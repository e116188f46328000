#include "views/today/dlogsm.h"

#include "data/db.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DlogSM::DlogSM(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(QStringLiteral("添加使命"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(380);
    Label1->setBuddy(Text1);
    Command1 = new QPushButton(QStringLiteral("添加"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command1->setAutoDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(14);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addLayout(buttons, 1, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &DlogSM::Command1_Click);

    followTab();
    adjustSize();
    WindowPlace::besideFrame(this);
}

void DlogSM::followTab()
{
    if (const auto* today = dynamic_cast<const StatementTabSelection*>(Forms::find(Views::kToday)))
        kind_ = today->statementTab() == QStringLiteral("警句") ? Statements::Motto : Statements::Mission;
    Label1->setText(kind_ == Statements::Motto ? QStringLiteral("添加警句") : QStringLiteral("添加使命"));
}

void DlogSM::Command1_Click()
{
    const QString text = Text1->text();
    if (text.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("请输入使命描述！"));
        Text1->setFocus();
        return;
    }
    followTab();
    if (!Db::run([&] { Statements::add(text, kind_); }))
        return; // the database error has been shown; the text stays for another try
    Changes::announce(Changes::Statements, this);
    Forms::unload(this);
}
