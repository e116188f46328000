#include "app/frmlogin.h"

#include "app/appinfo.h"
#include "app/clock.h"
#include "app/forms.h"
#include "app/mdifrm.h"
#include "app/prompt.h"
#include "app/windowplace.h"
#include "data/db.h"
#include "data/firstrun.h"
#include "data/users.h"
#include "views/backup/backuprunner.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmlogin::frmlogin(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(AppInfo::kLoginTitle);

    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);

    auto* Label1 = new QLabel(QStringLiteral("密码："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setMinimumWidth(180);
    Label1->setBuddy(txtPassword);

    Command1 = new QPushButton(QStringLiteral("登录"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command1->setAutoDefault(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(14);
    grid->addWidget(picture, 0, 0, 2, 1);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(txtPassword, 0, 2);
    // On a first run the user has no password of their own yet: the sample's is shown under the box.
    LabelHint = new QLabel(QStringLiteral("初始密码：123456"), this);
    LabelHint->setObjectName(QStringLiteral("LabelHint"));
    LabelHint->hide();
    grid->addWidget(LabelHint, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    grid->addLayout(buttons, 2, 1, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &frmlogin::Command1_Click);
}

void frmlogin::Form_Load()
{
    // The sample data moves to the day of first use once in the life of a database; a failure
    // has been shown and leaves the data as it was, to be moved at a later start.
    const auto shifted = Db::get([] { return FirstRun::shiftDates(Clock::today()); });
    LabelHint->setVisible(shifted == FirstRun::Result::Shifted);

    adjustSize();
    WindowPlace::centreOnScreen(this);
}

void frmlogin::Command1_Click()
{
    const QString password = txtPassword->text().trimmed();
    const std::optional<bool> accepted = Db::get([&] { return Users::passwordMatches(password); });
    if (!accepted)
        return; // the database error has been shown
    if (!*accepted) {
        MsgBox(QStringLiteral("密码错误，请重新填写！"));
        txtPassword->setFocus();
        txtPassword->selectAll();
        return;
    }
    MDIfrm::showFrame();
    BackupRunner::startDaily();
}
