#include "views/goals/frmaddjuese.h"

#include "data/db.h"
#include "data/themes.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/windowplace.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

Frmaddjuese::Frmaddjuese(QWidget* parent) : ThemeDialog(QStringLiteral("添加行动主题"), QStringLiteral("添加"), parent)
{
    connect(Command1, &QPushButton::clicked, this, &Frmaddjuese::Command1_Click);
}

void Frmaddjuese::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
}

void Frmaddjuese::Command1_Click()
{
    if (!nameGiven())
        return;
    if (Rtb1->toPlainText().isEmpty()) {
        MsgBox(QStringLiteral("请输入角色描述！"));
        Rtb1->setFocus();
        return;
    }
    if (!Db::run([&] { Themes::add(Text1->text(), Rtb1->toPlainText()); }))
        return; // the error has been shown; the input stays for another try
    Changes::announce(Changes::Themes, this);
    Forms::unload(this);
}
