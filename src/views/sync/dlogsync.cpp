#include "views/sync/dlogsync.h"

#include "data/db.h"
#include "data/syncstate.h"
#include "gui/windowplace.h"
#include "views/sync/syncservice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kNewList = QStringLiteral("新建任务列表“Vantorel”");
constexpr int kNewRole = Qt::UserRole + 1;
} // namespace

DlogSync::DlogSync(QWidget* parent) : FormDialog(parent), client_(new CalDavClient(this))
{
    setWindowTitle(QStringLiteral("任务同步（CalDAV）"));

    TextServer = new QLineEdit(this);
    TextServer->setObjectName(QStringLiteral("TextServer"));
    TextServer->setPlaceholderText(QStringLiteral("https://example.com/remote.php/dav"));
    TextUser = new QLineEdit(this);
    TextUser->setObjectName(QStringLiteral("TextUser"));
    TextPassword = new QLineEdit(this);
    TextPassword->setObjectName(QStringLiteral("TextPassword"));
    TextPassword->setEchoMode(QLineEdit::Password);
    ComboList = new QComboBox(this);
    ComboList->setObjectName(QStringLiteral("ComboList"));
    ComboList->setMinimumWidth(260);
    CheckAuto = new QCheckBox(QStringLiteral("自动同步"), this);
    CheckAuto->setObjectName(QStringLiteral("CheckAuto"));
    CheckAuto->setToolTip(QStringLiteral("每 5 分钟，以及修改任务后不久"));
    CheckInsecure = new QCheckBox(QStringLiteral("允许不加密的连接"), this);
    CheckInsecure->setObjectName(QStringLiteral("CheckInsecure"));
    CommandTest = new QPushButton(QStringLiteral("测试连接"), this);
    CommandTest->setObjectName(QStringLiteral("CommandTest"));
    CommandSync = new QPushButton(QStringLiteral("立即同步"), this);
    CommandSync->setObjectName(QStringLiteral("CommandSync"));
    CommandClose = new QPushButton(QStringLiteral("关闭"), this);
    CommandClose->setObjectName(QStringLiteral("CommandClose"));
    for (QPushButton* b : {CommandTest, CommandSync, CommandClose}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }
    LabelStatus = new QLabel(this);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    LabelStatus->setWordWrap(true);
    LabelStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelInfo = new QLabel(this);
    LabelInfo->setObjectName(QStringLiteral("LabelInfo"));
    LabelInfo->setWordWrap(true);
    LabelInfo->setStyleSheet(QStringLiteral("color: #505050"));

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    form->addRow(QStringLiteral("服务器地址："), TextServer);
    form->addRow(QStringLiteral("用户名："), TextUser);
    form->addRow(QStringLiteral("密码："), TextPassword);
    form->addRow(QStringLiteral("任务列表："), ComboList);
    auto* checks = new QHBoxLayout;
    checks->addWidget(CheckAuto);
    checks->addSpacing(16);
    checks->addWidget(CheckInsecure);
    checks->addStretch();
    form->addRow(QString(), checks);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CommandTest);
    buttons->addWidget(CommandSync);
    buttons->addStretch();
    buttons->addWidget(CommandClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 14);
    layout->setSpacing(10);
    layout->addLayout(form);
    layout->addWidget(LabelInfo);
    layout->addWidget(LabelStatus);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(CommandTest, &QPushButton::clicked, this, &DlogSync::CommandTest_Click);
    connect(CommandSync, &QPushButton::clicked, this, &DlogSync::CommandSync_Click);
    connect(CommandClose, &QPushButton::clicked, this, &QWidget::close);
    connect(ComboList, &QComboBox::activated, this, &DlogSync::ComboList_Activated);
    connect(CheckAuto, &QCheckBox::clicked, this, &DlogSync::CheckAuto_Click);
    connect(&SyncService::instance(), &SyncService::started, this,
            [this] { setBusy(true, QStringLiteral("正在同步…")); });
    connect(&SyncService::instance(), &SyncService::finished, this, &DlogSync::showResult);
}

void DlogSync::Form_Load()
{
    const std::optional<SyncState::Account> a = Db::get([] { return SyncState::account(); });
    if (a) {
        TextServer->setText(a->server);
        TextUser->setText(a->user);
        CheckAuto->setChecked(a->autoSync);
        CheckInsecure->setChecked(a->insecure);
        QList<CalDavClient::Calendar> lists;
        if (!a->calendar.isEmpty())
            lists.append(CalDavClient::Calendar{QUrl(a->calendar), a->calendarName, true});
        fillLists(lists, a->calendar);
    } else {
        fillLists({}, {});
    }
    if (SyncService::instance().hasPassword())
        TextPassword->setPlaceholderText(QStringLiteral("（本次运行已输入）"));
    LabelStatus->setText(SyncService::statusText());
    if (SyncService::instance().engine()->busy())
        setBusy(true, QStringLiteral("正在同步…"));
    resize(sizeHint().expandedTo(QSize(520, 330)));
    WindowPlace::besideFrame(this);
}

void DlogSync::fillLists(const QList<CalDavClient::Calendar>& lists, const QString& select)
{
    ComboList->clear();
    for (const CalDavClient::Calendar& c : lists) {
        ComboList->addItem(c.name.isEmpty() ? c.url.path() : c.name, c.url.toString());
        if (c.url.toString() == select)
            ComboList->setCurrentIndex(ComboList->count() - 1);
    }
    ComboList->addItem(kNewList);
    ComboList->setItemData(ComboList->count() - 1, true, kNewRole);
    if (select.isEmpty() || ComboList->currentIndex() < 0)
        ComboList->setCurrentIndex(lists.isEmpty() ? ComboList->count() - 1 : 0);
}

QUrl DlogSync::checkedServer()
{
    const QUrl url = SyncService::serverUrl(TextServer->text());
    const QString why =
        url.isEmpty() ? QStringLiteral("请填写服务器地址") : SyncService::refusal(url, CheckInsecure->isChecked());
    if (!why.isEmpty()) {
        showInfo(why);
        return QUrl();
    }
    if (TextUser->text().trimmed().isEmpty()) {
        showInfo(QStringLiteral("请填写用户名"));
        return QUrl();
    }
    return url;
}

void DlogSync::withPassword(std::function<void(const QString&)> then)
{
    const QString server = TextServer->text().trimmed(), user = TextUser->text().trimmed();
    QPointer<DlogSync> self(this);
    if (!TextPassword->text().isEmpty()) {
        const QString typed = TextPassword->text();
        SyncService::instance().setPassword(server, user, typed, [self](const QString& note) {
            if (self) {
                self->keyringNote_ = note;
                self->showInfo(self->info_);
            }
        });
        then(typed);
        return;
    }
    SyncService::instance().password(server, user, [self, then](const QString& pw, const QString& note) {
        if (!self)
            return;
        if (pw.isEmpty()) {
            self->setBusy(false);
            self->keyringNote_ = note;
            self->showInfo(QStringLiteral("请输入密码"));
            self->TextPassword->setFocus();
            return;
        }
        then(pw);
    });
}

void DlogSync::showInfo(const QString& text)
{
    info_ = text;
    QStringList lines;
    if (!text.isEmpty())
        lines << text;
    if (!keyringNote_.isEmpty())
        lines << keyringNote_;
    LabelInfo->setText(lines.join(QLatin1Char('\n')));
}

void DlogSync::setBusy(bool busy, const QString& text)
{
    CommandTest->setEnabled(!busy);
    CommandSync->setEnabled(!busy);
    ComboList->setEnabled(!busy);
    if (busy && !text.isEmpty())
        showInfo(text);
}

void DlogSync::discover(std::function<void(bool)> then)
{
    const QUrl server = checkedServer();
    if (server.isEmpty()) {
        then(false);
        return;
    }
    setBusy(true, QStringLiteral("正在连接…"));
    QPointer<DlogSync> self(this);
    withPassword([self, server, then](const QString& pw) {
        if (!self)
            return;
        self->client_->setCredentials(self->TextUser->text().trimmed(), pw);
        self->client_->discover(server, [self, then](const CalDavClient::Discovery& d) {
            if (!self)
                return;
            self->setBusy(false);
            if (!d.ok) {
                self->showInfo(QStringLiteral("连接失败：%1").arg(d.error));
                then(false);
                return;
            }
            self->home_ = d.home;
            const QString chosen = self->ComboList->currentData().toString();
            self->fillLists(d.calendars, chosen);
            self->showInfo(d.calendars.isEmpty()
                               ? QStringLiteral("连接成功，服务器上还没有任务列表")
                               : QStringLiteral("连接成功，找到 %1 个任务列表").arg(d.calendars.size()));
            then(true);
        });
    });
}

void DlogSync::CommandTest_Click()
{
    discover([](bool) {});
}

void DlogSync::createList(std::function<void()> then)
{
    QPointer<DlogSync> self(this);
    auto make = [self, then] {
        if (!self)
            return;
        self->setBusy(true, QStringLiteral("正在新建任务列表…"));
        self->client_->makeCalendar(
            self->home_, QStringLiteral("Vantorel"), [self, then](const CalDavClient::Reply& r, const QUrl& url) {
                if (!self)
                    return;
                self->setBusy(false);
                if (url.isEmpty()) {
                    self->showInfo(QStringLiteral("新建任务列表失败：%1").arg(CalDavClient::reason(r)));
                    return;
                }
                // Show it among the others, chosen.
                QList<CalDavClient::Calendar> lists;
                for (int i = 0; i < self->ComboList->count(); ++i)
                    if (!self->ComboList->itemData(i, kNewRole).toBool())
                        lists.append(
                            {QUrl(self->ComboList->itemData(i).toString()), self->ComboList->itemText(i), true});
                lists.append({url, QStringLiteral("Vantorel"), true});
                self->fillLists(lists, url.toString());
                self->saveAccount();
                self->showInfo(QStringLiteral("已新建任务列表“Vantorel”"));
                if (then)
                    then();
            });
    };
    if (home_.isEmpty())
        discover([make](bool ok) {
            if (ok)
                make();
        });
    else
        make();
}

void DlogSync::ComboList_Activated(int index)
{
    if (ComboList->itemData(index, kNewRole).toBool()) {
        createList({});
        return;
    }
    saveAccount();
}

void DlogSync::CheckAuto_Click()
{
    saveAccount();
}

void DlogSync::saveAccount()
{
    SyncState::Account a;
    a.server = TextServer->text().trimmed();
    a.user = TextUser->text().trimmed();
    if (!ComboList->currentData(kNewRole).toBool()) {
        a.calendar = ComboList->currentData().toString();
        a.calendarName = ComboList->currentText();
    }
    a.autoSync = CheckAuto->isChecked();
    a.insecure = CheckInsecure->isChecked();
    if (Db::run([&] { SyncState::saveAccount(a); }))
        SyncService::instance().applyAutoSetting();
}

void DlogSync::CommandSync_Click()
{
    if (checkedServer().isEmpty())
        return;
    if (ComboList->currentData(kNewRole).toBool()) {
        // The list is made first, then synced.
        QPointer<DlogSync> self(this);
        createList([self] {
            if (self)
                SyncService::instance().syncNow();
        });
        return;
    }
    saveAccount();
    QPointer<DlogSync> self(this);
    withPassword([self](const QString&) {
        if (self)
            SyncService::instance().syncNow();
    });
}

void DlogSync::showResult(const SyncEngine::Result& result)
{
    setBusy(false);
    LabelStatus->setText(SyncService::statusText());
    if (result.ok)
        showInfo(QString());
    else if (result.authFailed)
        showInfo(QStringLiteral("服务器不接受这个用户名和密码，请改正后再同步；自动同步已暂停。"));
    else
        showInfo(QStringLiteral("未发送的修改会保留，下次同步时发送。"));
}
