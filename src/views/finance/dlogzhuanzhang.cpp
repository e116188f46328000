#include "views/finance/dlogzhuanzhang.h"

#include "data/db.h"
#include "data/finance.h"
#include "data/money.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/windowplace.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Fills a choice with the accounts (item data the id), keeping the account chosen before.
void fillChoice(QComboBox* combo, const QList<Finance::Account>& accounts)
{
    const QVariant chosen = combo->currentData();
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const Finance::Account& a : accounts)
        combo->addItem(a.name, a.id);
    const int again = chosen.isValid() ? combo->findData(chosen) : -1;
    combo->setCurrentIndex(again >= 0 ? again : (accounts.isEmpty() ? -1 : 0));
}
} // namespace

Dlogzhuanzhang::Dlogzhuanzhang(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(QStringLiteral("转帐管理"));
    auto label = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    QLabel* label1 = label(QStringLiteral("Label1"), QStringLiteral("转出帐号："));
    QLabel* label2 = label(QStringLiteral("Label2"), QStringLiteral("转入帐号："));
    QLabel* label3 = label(QStringLiteral("Label3"), QStringLiteral("转帐金额："));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    label1->setBuddy(Combo1);
    label2->setBuddy(Combo2);
    label3->setBuddy(Text1);
    Command1 = new QPushButton(QStringLiteral("转帐"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    Frame1 = new QGroupBox(QStringLiteral("当月转帐记录"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    const int w = Gui::hundredthsMm(2540);
    ListView1 = Gui::reportList(Frame1, QStringLiteral("ListView1"),
                                {{QStringLiteral("转帐说明"), w},
                                 {QStringLiteral("转帐帐户"), w},
                                 {QStringLiteral("转帐金额"), w},
                                 {QStringLiteral("转帐日期"), w}});
    ListView1->setMinimumSize(4 * w + 24, 200);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(ListView1);

    auto* fields = new QGridLayout;
    fields->addWidget(label1, 0, 0);
    fields->addWidget(Combo1, 0, 1);
    fields->addWidget(label2, 0, 2);
    fields->addWidget(Combo2, 0, 3);
    fields->addWidget(label3, 1, 0);
    fields->addWidget(Text1, 1, 1);
    fields->addWidget(Command1, 1, 3, Qt::AlignRight);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addLayout(fields);
    layout->addWidget(Frame1, 1);

    connect(Command1, &QPushButton::clicked, this, &Dlogzhuanzhang::Command1_Click);
    // Accounts added, renamed or removed in the finance view while this dialog is open.
    connect(&Changes::instance(), &Changes::financeChanged, this, [this](QObject* origin) {
        if (origin != this)
            fillAccounts();
    });
}

void Dlogzhuanzhang::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    fillAccounts();
    ZzList();
}

void Dlogzhuanzhang::fillAccounts()
{
    const auto accounts = Db::get([] { return Finance::accounts(); });
    if (!accounts)
        return;
    fillChoice(Combo1, *accounts);
    fillChoice(Combo2, *accounts);
}

void Dlogzhuanzhang::ZzList()
{
    const QDate today = Clock::today();
    const QDate first(today.year(), today.month(), 1);
    const auto rows = Db::get([&] { return Finance::transfers(first, first.addMonths(1).addDays(-1)); });
    if (!rows)
        return;
    ListView1->clear();
    for (const Finance::Record& r : *rows)
        new QTreeWidgetItem(ListView1,
                            {QString::number(r.id), r.reason, r.account, Money::format(r.amount), Gui::day(r.day)});
}

void Dlogzhuanzhang::Command1_Click()
{
    const QString text = Text1->text();
    if (text.isEmpty()) {
        MsgBox(QStringLiteral("请输入转帐金额！"));
        Text1->setFocus();
        return;
    }
    const std::optional<qint64> amount = IsNumberText(text) ? Money::parse(text) : std::nullopt;
    if (!amount) {
        MsgBox(QStringLiteral("转帐金额只能输入数字或者小数点！"));
        Text1->setFocus();
        return;
    }
    if (Combo1->currentIndex() < 0 || Combo2->currentIndex() < 0) {
        MsgBox(QStringLiteral("请先在帐户管理中建立帐户！"));
        return;
    }
    const qint64 from = Combo1->currentData().toLongLong();
    const qint64 to = Combo2->currentData().toLongLong();
    if (from == to) {
        MsgBox(QStringLiteral("转出帐户和转入帐户不能是一个帐户"));
        return;
    }
    const auto result = Db::get([&] { return Finance::transfer(from, to, *amount, Clock::today()); });
    if (!result)
        return;
    switch (*result) {
    case Finance::TransferResult::NotEnough:
        MsgBox(QStringLiteral("转出帐户金额没有那么多的钱！"));
        return;
    case Finance::TransferResult::Missing:
        MsgBox(QStringLiteral("帐户已经不存在了！"));
        fillAccounts();
        return;
    case Finance::TransferResult::SameAccount:
        MsgBox(QStringLiteral("转出帐户和转入帐户不能是一个帐户"));
        return;
    case Finance::TransferResult::Done:
        break;
    }
    ZzList();
    Changes::announce(Changes::Finance, this);
}
