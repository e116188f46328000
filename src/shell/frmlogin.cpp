#include "shell/frmlogin.h"

#include "data/db.h"
#include "data/firstrun.h"
#include "data/passwords.h"
#include "data/users.h"
#include "gui/appinfo.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/offthread.h"
#include "gui/prompt.h"
#include "gui/windowplace.h"
#include "shell/mdifrm.h"
#include "views/backup/backuprunner.h"
#include "views/knowledge/indexbuilder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

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
    lblWait = new QLabel(this);
    lblWait->setObjectName(QStringLiteral("lblWait"));
    lblWait->hide();
    grid->addWidget(lblWait, 3, 1, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &frmlogin::Command1_Click);
    connect(&waitTimer_, &QTimer::timeout, this, &frmlogin::waitTick);
}

namespace {
int msPerSecond = 1000;
const QString kWrongPassword = QStringLiteral("密码错误，请重新填写！");
} // namespace

void frmlogin::setSecondForTests(int milliseconds)
{
    msPerSecond = milliseconds > 0 ? milliseconds : 1000;
}

void frmlogin::Form_Load()
{
    // The sample data moves to the day of first use once in the life of a database; a failure
    // has been shown and leaves the data as it was, to be moved at a later start.
    const auto shifted = Db::get([] { return FirstRun::shiftDates(Clock::today()); });
    LabelHint->setVisible(shifted == FirstRun::Result::Shifted);

    // A wait that a restart interrupted goes on; a clock set back never makes it longer than
    // the wait that was due.
    if (const std::optional<Users::Guard> guard = Db::get(&Users::guard); guard && guard->until.isValid()) {
        const qint64 left = Clock::now().secsTo(guard->until);
        if (left > 0)
            startWait(int(std::min<qint64>(left, Users::waitSeconds(guard->failures))));
    }

    adjustSize();
    WindowPlace::centreOnScreen(this);
}

void frmlogin::Command1_Click()
{
    if (remaining_ > 0) {
        answerOwed_ = true; // answered when the wait is over, with what the box holds then
        return;
    }
    check();
}

void frmlogin::check()
{
    const QString password = txtPassword->text().trimmed();
    const std::optional<QList<Users::Stored>> rows = Db::get(&Users::stored);
    if (!rows)
        return; // the database error has been shown

    // The hash check is slow on purpose: it runs off the window's thread.
    struct Verdict
    {
        int match = -1;
        QString replacement; // the new hash of a plain or weakly hashed password
    };
    Verdict verdict;
    QPointer<frmlogin> self(this);
    const bool checked = Db::run([&] {
        verdict = OffThread::wait([rows = *rows, password] {
            Verdict v;
            v.match = Users::findMatch(rows, password);
            if (v.match >= 0 && Passwords::needsReplacing(rows.at(v.match).value))
                v.replacement = Passwords::hash(password);
            return v;
        });
    });
    if (!self || !checked)
        return;

    if (verdict.match < 0) {
        const std::optional<Users::Guard> guard = Db::get([] { return Users::recordFailure(Clock::now()); });
        if (guard && guard->until.isValid())
            startWait(Users::waitSeconds(guard->failures));
        MsgBox(kWrongPassword);
        if (!self)
            return;
        txtPassword->setFocus();
        txtPassword->selectAll();
        return;
    }
    const bool stored = Db::run([&] {
        if (!verdict.replacement.isEmpty())
            Users::replaceStored(rows->at(verdict.match), verdict.replacement);
        Users::clearFailures();
    });
    if (!stored)
        return;
    emit passwordVerified();
    // The daily copy and the articles waiting for the search index start once the today view
    // is on the screen.
    if (MDIfrm* frame = MDIfrm::showFrame()) {
        connect(
            frame, &MDIfrm::ready, frame,
            [] {
                BackupRunner::startDaily();
                IndexBuilder::instance().start(true);
            },
            Qt::SingleShotConnection);
    }
}

void frmlogin::startWait(int seconds)
{
    remaining_ = std::max(seconds, 1);
    lblWait->setText(QStringLiteral("密码错误次数过多，请 %1 秒后再试").arg(remaining_));
    lblWait->show();
    waitTimer_.start(msPerSecond);
}

void frmlogin::waitTick()
{
    if (--remaining_ > 0) {
        lblWait->setText(QStringLiteral("密码错误次数过多，请 %1 秒后再试").arg(remaining_));
        return;
    }
    waitTimer_.stop();
    lblWait->hide();
    if (answerOwed_) {
        answerOwed_ = false;
        check();
    }
}
