#include "views/goals/dlogmodjs.h"

#include "data/db.h"
#include "data/themes.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

Dlogmodjs::Dlogmodjs(QWidget* parent) : ThemeDialog(QStringLiteral("修改行动主题"), QStringLiteral("修改"), parent)
{
    connect(Command1, &QPushButton::clicked, this, &Dlogmodjs::Command1_Click);
}

bool Dlogmodjs::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    const ThemeSelection* themes = Forms::openAs<ThemeSelection>(Views::kRoles);
    const qint64 id = themes ? themes->selectedThemeId() : 0;
    const auto theme = Db::get([id] { return Themes::load(id); });
    if (!theme || !*theme)
        return false;
    themeId_ = id;
    Text1->setText((*theme)->name);
    Rtb1->setPlainText((*theme)->content);
    guardEdits(QStringLiteral("是否保存对行动主题的修改？"), Command1);
    return true;
}

void Dlogmodjs::Command1_Click()
{
    if (!nameGiven())
        return;
    // Saved into the theme that was loaded, whatever the list has selected since.
    if (!Db::run([&] { Themes::update(themeId_, Text1->text(), Rtb1->toPlainText()); }))
        return;
    Changes::announce(Changes::Themes, this);
    Forms::unload(this);
}
