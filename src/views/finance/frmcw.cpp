#include "views/finance/frmcw.h"

#include "data/db.h"
#include "data/dependants.h"
#include "data/money.h"
#include "gui/appinfo.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/undonotice.h"
#include "gui/widgets.h"
#include "views/finance/cwexport.h"
#include "views/finance/dlogimport.h"
#include "views/finance/dlogszlb.h"
#include "views/finance/dlogzhlb.h"
#include "views/finance/dlogzhuanzhang.h"
#include "views/finance/piechart.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {
using Gui::button;
using Gui::LinkLabel;
using Gui::textBox;

const int kColumn = Gui::hundredthsMm(2540);
// Slice colours of the two charts: greens and blues for income, reds and browns for expense.
const QList<QColor> kIncomeColours = {QColor(0x2e7d32), QColor(0x1e88e5), QColor(0x00897b), QColor(0x7cb342),
                                      QColor(0x5e35b1), QColor(0x00acc1), QColor(0x9ccc65), QColor(0x3949ab),
                                      QColor(0x26a69a), QColor(0x827717)};
const QList<QColor> kExpenseColours = {QColor(0xc62828), QColor(0xef6c00), QColor(0xad1457), QColor(0xf9a825),
                                       QColor(0x6d4c41), QColor(0x8e24aa), QColor(0xff7043), QColor(0x546e7a),
                                       QColor(0x00838f), QColor(0xd81b60)};
const QString kAmountNotNumber = QStringLiteral("金额一栏必须输入数字或小数点！");

QLineEdit* lineEdit(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QComboBox* comboBox(QWidget* parent, const QString& name)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(10);
    return c;
}

QDateEdit* dateEdit(QWidget* parent, const QString& name)
{
    auto* d = new QDateEdit(parent);
    d->setObjectName(name);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    d->setDate(Clock::today());
    return d;
}

QGroupBox* groupBox(QWidget* parent, const QString& name, const QString& title)
{
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(name);
    return g;
}

// Fills a choice with the names, keeping the entry chosen before when it is still there, else
// choosing the first.
void fillChoice(QComboBox* combo, const QStringList& names)
{
    const QString chosen = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(names);
    const int again = chosen.isEmpty() ? -1 : combo->findText(chosen, Qt::MatchExactly);
    combo->setCurrentIndex(again >= 0 ? again : (names.isEmpty() ? -1 : 0));
}

// Shows the stored name: the entry of that name, or, when the list no longer offers it (its type
// or category was deleted), the name itself as an extra entry, so that a save keeps it as stored.
void chooseStored(QComboBox* combo, const QString& name)
{
    const QSignalBlocker quiet(combo);
    for (int i = combo->count() - 1; i >= 0; --i) {
        if (combo->itemData(i).toBool())
            combo->removeItem(i); // the extra entry of the record shown before
    }
    int i = combo->findText(name, Qt::MatchExactly);
    if (i < 0 && !name.isEmpty()) {
        combo->addItem(name, true);
        i = combo->count() - 1;
    }
    if (i >= 0)
        combo->setCurrentIndex(i);
}

QStringList namesOf(const QList<Finance::Category>& list)
{
    QStringList names;
    for (const Finance::Category& c : list)
        names << c.name;
    return names;
}

// The category check list: one ticked row per category, the id hidden in column 0.
void fillChecks(QTreeWidget* list, const QList<Finance::Category>& categories)
{
    list->clear();
    QList<QTreeWidgetItem*> rows;
    for (const Finance::Category& c : categories) {
        auto* row = new QTreeWidgetItem({QString::number(c.id), c.name});
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(1, Qt::Checked);
        rows << row;
    }
    list->addTopLevelItems(rows);
}

bool checksShow(const QTreeWidget* list, const QList<Finance::Category>& categories)
{
    if (list->topLevelItemCount() != categories.size())
        return false;
    for (int i = 0; i < categories.size(); ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        if (Gui::rowId(row) != categories[i].id || row->text(1) != categories[i].name)
            return false;
    }
    return true;
}

QStringList tickedNames(const QTreeWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list->topLevelItem(i);
        if (row->checkState(1) == Qt::Checked)
            names << row->text(1);
    }
    return names;
}

QString totalText(const QString& caption, qint64 amount)
{
    return caption + Money::format(amount) + QStringLiteral("元");
}

// A day as "2009-1-31", without parsing a format for each of thousands of rows.
QString shortDay(const QDate& d)
{
    if (!d.isValid())
        return {};
    return QString::number(d.year()) + QLatin1Char('-') + QString::number(d.month()) + QLatin1Char('-')
           + QString::number(d.day());
}

// The report's rows: hidden id, category, amount, reason, day.
void fillReportList(QTreeWidget* list, const QList<Finance::Record>& records)
{
    list->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(records.size());
    for (const Finance::Record& r : records)
        rows << new QTreeWidgetItem(
            {QString::number(r.id), r.category, Money::format(r.amount), r.reason, shortDay(r.day)});
    list->addTopLevelItems(rows);
}

} // namespace

Frmcw::Frmcw(QWidget* parent) : QWidget(parent)
{
    income_.kind = Finance::Income;
    expense_.kind = Finance::Expense;
    buildControls();
    // Changes made by the category, type and transfer dialogs; this view's own changes are
    // shown as it makes them.
    Deletion::installShortcut(this);
    connect(&Changes::instance(), &Changes::financeChanged, this, [this](QObject* origin) {
        if (origin != this)
            refillAfterChange();
        // A change of no window (an undone deletion) may bring records back into the lists.
        if (!origin)
            Db::run([this] {
                fillRecords(income_);
                fillRecords(expense_);
            });
        // The report and what its export writes always sum the records as they are now.
        TjList();
    });
}

void Frmcw::buildControls()
{
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(buildReportTab(), QStringLiteral("报表查询"));
    SSTab1->addTab(buildAccountsTab(), QStringLiteral("帐户管理"));
    SSTab1->addTab(buildRecordTab(income_), QStringLiteral("收入管理"));
    SSTab1->addTab(buildRecordTab(expense_), QStringLiteral("支出管理"));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 8);
    root->addWidget(SSTab1);
    setMinimumSize(980, 600);
}

QWidget* Frmcw::buildReportTab()
{
    auto* page = new QWidget;
    auto* label20 = new QLabel(QStringLiteral("统计日期："), page);
    label20->setObjectName(QStringLiteral("Label20"));
    DTPicker4 = dateEdit(page, QStringLiteral("DTPicker4"));
    auto* label21 = new QLabel(QStringLiteral("至"), page);
    label21->setObjectName(QStringLiteral("Label21"));
    DTPicker5 = dateEdit(page, QStringLiteral("DTPicker5"));
    Command10 = button(page, QStringLiteral("Command10"), QStringLiteral("更新收支统计"));
    Command14 = button(page, QStringLiteral("Command14"), QStringLiteral("导出数据到EXCEL表"));
    auto* link = new LinkLabel(QStringLiteral("如何建立个人理财管理体系？"), page);
    link->onClick = [this] { Label22_Click(); };
    Label22 = link;
    Label22->setObjectName(QStringLiteral("Label22"));

    Frame6 = groupBox(page, QStringLiteral("Frame6"), QStringLiteral("收支类别明细"));
    ListView6 =
        Gui::reportList(Frame6, QStringLiteral("ListView6"), {{QStringLiteral("收入类型"), Gui::hundredthsMm(2822)}});
    ListView7 =
        Gui::reportList(Frame6, QStringLiteral("ListView7"), {{QStringLiteral("支出类型"), Gui::hundredthsMm(2646)}});
    auto* checks = new QVBoxLayout(Frame6);
    checks->addWidget(ListView6);
    checks->addWidget(ListView7);
    Frame6->setFixedWidth(170);

    Frame4 = groupBox(page, QStringLiteral("Frame4"), QStringLiteral("收入合计："));
    ListView4 = Gui::reportList(Frame4, QStringLiteral("ListView4"),
                                {{QStringLiteral("收入类型"), kColumn},
                                 {QStringLiteral("收入金额"), kColumn},
                                 {QStringLiteral("收入原因"), kColumn},
                                 {QStringLiteral("收入日期"), kColumn}});
    Chart1 = new PieChart(QStringLiteral("收入构成"), kIncomeColours, Frame4);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    auto* incomeBox = new QHBoxLayout(Frame4);
    incomeBox->addWidget(ListView4, 1);
    incomeBox->addWidget(Chart1);

    Frame5 = groupBox(page, QStringLiteral("Frame5"), QStringLiteral("支出合计："));
    ListView5 = Gui::reportList(Frame5, QStringLiteral("ListView5"),
                                {{QStringLiteral("支出类型"), kColumn},
                                 {QStringLiteral("支出金额"), kColumn},
                                 {QStringLiteral("支出原因"), kColumn},
                                 {QStringLiteral("支出日期"), kColumn}});
    Chart2 = new PieChart(QStringLiteral("支出构成"), kExpenseColours, Frame5);
    Chart2->setObjectName(QStringLiteral("Chart2"));
    auto* expenseBox = new QHBoxLayout(Frame5);
    expenseBox->addWidget(ListView5, 1);
    expenseBox->addWidget(Chart2);

    Label19 = new QLabel(QStringLiteral("收支总计："), page);
    Label19->setObjectName(QStringLiteral("Label19"));
    QFont bold = Label19->font();
    bold.setBold(true);
    Label19->setFont(bold);

    auto* top = new QHBoxLayout;
    top->addWidget(label20);
    top->addWidget(DTPicker4);
    top->addWidget(label21);
    top->addWidget(DTPicker5);
    top->addSpacing(8);
    top->addWidget(Command10);
    top->addStretch();
    top->addWidget(Label22);
    top->addSpacing(8);
    top->addWidget(Command14);

    auto* lists = new QVBoxLayout;
    lists->addWidget(Frame4, 1);
    lists->addWidget(Frame5, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(Frame6);
    middle->addLayout(lists, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(Label19);

    connect(Command10, &QPushButton::clicked, this, &Frmcw::Command10_Click);
    connect(Command14, &QPushButton::clicked, this, &Frmcw::Command14_Click);
    return page;
}

QWidget* Frmcw::buildAccountsTab()
{
    auto* page = new QWidget;
    Frame1 = groupBox(page, QStringLiteral("Frame1"), QStringLiteral("帐号列表"));
    ListView1 = Gui::reportList(Frame1, QStringLiteral("ListView1"),
                                {{QStringLiteral("名称"), kColumn},
                                 {QStringLiteral("类型"), kColumn},
                                 {QStringLiteral("金额"), Gui::hundredthsMm(4304)},
                                 {QStringLiteral("开设日期"), kColumn}});
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(ListView1);

    Text1 = lineEdit(page, QStringLiteral("Text1"));
    Text4 = lineEdit(page, QStringLiteral("Text4"));
    Combo1 = comboBox(page, QStringLiteral("Combo1"));
    DTPicker1 = dateEdit(page, QStringLiteral("DTPicker1"));
    Text2 = lineEdit(page, QStringLiteral("Text2"));
    RichTextBox3 = textBox(page, QStringLiteral("RichTextBox3"));
    Command3 = button(page, QStringLiteral("Command3"), QStringLiteral("新增"));
    Command2 = button(page, QStringLiteral("Command2"), QStringLiteral("修改"));
    Command1 = button(page, QStringLiteral("Command1"), QStringLiteral("删除"));
    Command7 = button(page, QStringLiteral("Command7"), QStringLiteral("类型管理"));
    Command17 = button(page, QStringLiteral("Command17"), QStringLiteral("转帐管理"));
    Command18 = button(page, QStringLiteral("Command18"), QStringLiteral("导入帐单…"));

    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight);
    fields->addRow(QStringLiteral("名    称："), Text1);
    fields->addRow(QStringLiteral("初始金额："), Text4);
    fields->addRow(QStringLiteral("类    型："), Combo1);
    fields->addRow(QStringLiteral("开设日期："), DTPicker1);
    fields->addRow(QStringLiteral("号    码："), Text2);
    fields->addRow(QStringLiteral("备    注："), RichTextBox3);

    auto* buttons = new QGridLayout;
    buttons->addWidget(Command3, 0, 0);
    buttons->addWidget(Command2, 0, 1);
    buttons->addWidget(Command1, 0, 2);
    buttons->addWidget(Command7, 1, 0);
    buttons->addWidget(Command17, 1, 1);
    buttons->addWidget(Command18, 1, 2);

    auto* right = new QVBoxLayout;
    right->addLayout(fields, 1);
    right->addLayout(buttons);
    auto* rightPanel = new QWidget(page);
    rightPanel->setLayout(right);
    right->setContentsMargins(0, 6, 0, 0);
    rightPanel->setFixedWidth(320);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(Frame1, 1);
    layout->addWidget(rightPanel);

    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &Frmcw::ListView1_SelectionChanged);
    connect(Command3, &QPushButton::clicked, this, &Frmcw::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmcw::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Frmcw::Command1_Click);
    connect(Command7, &QPushButton::clicked, this, &Frmcw::Command7_Click);
    connect(Command17, &QPushButton::clicked, this, &Frmcw::Command17_Click);
    connect(Command18, &QPushButton::clicked, this, &Frmcw::Command18_Click);
    return page;
}

QWidget* Frmcw::buildRecordTab(RecordTab& tab)
{
    const bool isIncome = tab.kind == Finance::Income;
    const QString word = isIncome ? QStringLiteral("收入") : QStringLiteral("支出");
    // Control numbers of the two tabs.
    const auto n = [isIncome](int incomeNumber, int expenseNumber) {
        return QString::number(isIncome ? incomeNumber : expenseNumber);
    };

    auto* page = new QWidget;
    auto* frame = groupBox(page, QStringLiteral("Frame") + n(2, 3), word + QStringLiteral("列表"));
    tab.list = Gui::reportList(frame, QStringLiteral("ListView") + n(2, 3),
                               {{word + QStringLiteral("原因"), kColumn},
                                {word + QStringLiteral("帐户"), kColumn},
                                {word + QStringLiteral("类别"), kColumn},
                                {word + QStringLiteral("金额"), kColumn},
                                {word + QStringLiteral("日期"), kColumn}});
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(tab.list);

    tab.name = lineEdit(page, QStringLiteral("Text") + n(5, 7));
    tab.amount = lineEdit(page, QStringLiteral("Text") + n(6, 8));
    tab.category = comboBox(page, QStringLiteral("Combo") + n(3, 5));
    tab.account = comboBox(page, QStringLiteral("Combo") + n(2, 4));
    tab.day = dateEdit(page, QStringLiteral("DTPicker") + n(2, 3));
    tab.remark = textBox(page, QStringLiteral("RichTextBox") + n(5, 2));
    QPushButton* add = button(page, QStringLiteral("Command") + n(4, 11), QStringLiteral("新增"));
    QPushButton* modify = button(page, QStringLiteral("Command") + n(5, 12), QStringLiteral("修改"));
    QPushButton* remove = button(page, QStringLiteral("Command") + n(6, 13), QStringLiteral("删除"));
    QPushButton* categories = button(page, QStringLiteral("Command") + n(8, 9), word + QStringLiteral("类别"));

    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight);
    fields->addRow(word + QStringLiteral("名称："), tab.name);
    if (isIncome) {
        fields->addRow(QStringLiteral("收入金额："), tab.amount);
        fields->addRow(QStringLiteral("收入类别："), tab.category);
        fields->addRow(QStringLiteral("收入帐户："), tab.account);
    } else {
        fields->addRow(QStringLiteral("支出帐户："), tab.account);
        fields->addRow(QStringLiteral("支出类别："), tab.category);
        fields->addRow(QStringLiteral("支出金额："), tab.amount);
    }
    fields->addRow(word + QStringLiteral("日期："), tab.day);
    fields->addRow(QStringLiteral("备    注："), tab.remark);

    auto* buttons = new QGridLayout;
    buttons->addWidget(add, 0, 0);
    buttons->addWidget(modify, 0, 1);
    buttons->addWidget(remove, 0, 2);
    buttons->addWidget(categories, 1, 0);

    auto* right = new QVBoxLayout;
    right->addLayout(fields, 1);
    right->addLayout(buttons);
    auto* rightPanel = new QWidget(page);
    rightPanel->setLayout(right);
    right->setContentsMargins(0, 6, 0, 0);
    rightPanel->setFixedWidth(320);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(frame, 1);
    layout->addWidget(rightPanel);

    RecordTab* t = &tab;
    connect(tab.list, &QTreeWidget::itemSelectionChanged, this, [this, t] { recordSelected(*t); });
    connect(add, &QPushButton::clicked, this, [this, t] { addRecord(*t); });
    connect(modify, &QPushButton::clicked, this, [this, t] { modifyRecord(*t); });
    connect(remove, &QPushButton::clicked, this, [this, t] { deleteRecord(*t); });
    connect(categories, &QPushButton::clicked, this, [this, t] { openCategories(t->kind); });
    return page;
}

void Frmcw::Form_Load()
{
    // One edge for the whole load: a failing database stops it with one message.
    Db::run([&] {
        ZhList();
        fillTypeChoice();
        DTPicker1->setDate(Clock::today());
        expense_.day->setDate(Clock::today());
        SrShow();
        ZcShow();
        shouzhi();
        TjList();
    });
}

void Frmcw::ZhList()
{
    keepFields([this] { fillAccounts(); });
}

void Frmcw::fillAccounts()
{
    const auto accounts = Db::get([] { return Finance::accounts(); });
    if (!accounts)
        return;
    const qint64 selected = Gui::selectedId(ListView1);
    {
        const QSignalBlocker quiet(ListView1);
        ListView1->clear();
        QStringList names;
        QList<QTreeWidgetItem*> rows;
        for (const Finance::Account& a : *accounts) {
            rows << new QTreeWidgetItem(
                {QString::number(a.id), a.name, a.category, Money::format(a.amount), Gui::day(a.day)});
            names << a.name;
        }
        ListView1->addTopLevelItems(rows);
        fillChoice(income_.account, names);
        fillChoice(expense_.account, names);
        // The account being worked on stays selected.
        for (QTreeWidgetItem* row : std::as_const(rows)) {
            if (Gui::rowId(row) == selected)
                ListView1->setCurrentItem(row);
        }
    }
}

Frmcw::Edits Frmcw::accountEdits() const
{
    if (!shownAccount_)
        return {true, true, true, true, true, true};
    const Finance::Account& a = *shownAccount_;
    return {Text1->text() != a.name,
            Combo1->currentText() != a.category,
            Money::parse(Text4->text(), Money::Sign::Any) != std::optional<qint64>(a.amount),
            DTPicker1->date() != a.day && a.day.isValid(),
            Text2->text() != a.number,
            RichTextBox3->toPlainText() != a.note};
}

Frmcw::Edits Frmcw::recordEdits(const RecordTab& tab) const
{
    if (!tab.shown)
        return {true, true, true, true, true, true};
    const Finance::Record& r = *tab.shown;
    return {tab.name->text() != r.reason,
            tab.account->currentText() != r.account,
            tab.category->currentText() != r.category,
            Money::parse(tab.amount->text()) != std::optional<qint64>(r.amount),
            tab.day->date() != r.day && r.day.isValid(),
            tab.remark->toPlainText() != r.note};
}

void Frmcw::refreshAccountFields(const Edits& edited)
{
    const qint64 id = Gui::selectedId(ListView1);
    const auto a = id == 0 ? std::nullopt : Db::get([id] { return Finance::account(id); }).value_or(std::nullopt);
    if (!a) {
        shownAccount_.reset();
        return;
    }
    if (!edited[0])
        Text1->setText(a->name);
    if (!edited[1])
        chooseStored(Combo1, a->category);
    if (!edited[2])
        Text4->setText(Money::format(a->amount));
    if (!edited[3] && a->day.isValid())
        DTPicker1->setDate(a->day);
    if (!edited[4])
        Text2->setText(a->number);
    if (!edited[5] && RichTextBox3->toPlainText() != a->note)
        RichTextBox3->setPlainText(a->note);
    shownAccount_ = a;
}

void Frmcw::refreshRecordFields(RecordTab& tab, const Edits& edited)
{
    const qint64 id = Gui::selectedId(tab.list);
    const auto r = id == 0 ? std::nullopt : Db::get([id] { return Finance::record(id); }).value_or(std::nullopt);
    if (!r) {
        tab.shown.reset();
        return;
    }
    if (!edited[0])
        tab.name->setText(r->reason);
    if (!edited[1])
        chooseStored(tab.account, r->account);
    if (!edited[2])
        chooseStored(tab.category, r->category);
    if (!edited[3])
        tab.amount->setText(Money::format(r->amount));
    if (!edited[4] && r->day.isValid())
        tab.day->setDate(r->day);
    if (!edited[5] && tab.remark->toPlainText() != r->note)
        tab.remark->setPlainText(r->note);
    tab.shown = r;
}

void Frmcw::keepFields(const std::function<void()>& refill)
{
    const Edits account = accountEdits();
    const Edits income = recordEdits(income_);
    const Edits expense = recordEdits(expense_);
    refill();
    refreshAccountFields(account);
    refreshRecordFields(income_, income);
    refreshRecordFields(expense_, expense);
}

void Frmcw::shouzhi()
{
    const QDate today = Clock::today();
    DTPicker4->setDate(QDate(today.year(), today.month(), 1));
    DTPicker5->setDate(today);
    Db::run([&] {
        fillChecks(ListView6, Finance::categories(Finance::Income));
        fillChecks(ListView7, Finance::categories(Finance::Expense));
    });
}

void Frmcw::fillTypeChoice()
{
    if (const auto types = Db::get([] { return Finance::accountTypes(); }))
        fillChoice(Combo1, namesOf(*types));
}

void Frmcw::fillCategoryChoice(RecordTab& tab)
{
    if (const auto list = Db::get([&] { return Finance::categories(tab.kind); }))
        fillChoice(tab.category, namesOf(*list));
}

void Frmcw::SrShow()
{
    fillCategoryChoice(income_);
    fillRecords(income_);
    income_.day->setDate(Clock::today());
}

void Frmcw::ZcShow()
{
    fillCategoryChoice(expense_);
    fillRecords(expense_);
}

void Frmcw::fillRecords(RecordTab& tab)
{
    // The last 30 days: an income of the 30th day back is shown, an expense of that day is not.
    const QDate since = Clock::today().addDays(-30);
    const auto records = Db::get([&] { return Finance::recent(tab.kind, since, tab.kind == Finance::Income); });
    const qint64 selected = Gui::selectedId(tab.list);
    const QSignalBlocker quiet(tab.list);
    tab.list->clear();
    if (!records)
        return;
    QList<QTreeWidgetItem*> rows;
    for (const Finance::Record& r : *records) {
        auto* row = new QTreeWidgetItem;
        showRecordRow(row, r);
        rows << row;
    }
    tab.list->addTopLevelItems(rows);
    // The record being worked on stays selected.
    for (QTreeWidgetItem* row : std::as_const(rows)) {
        if (Gui::rowId(row) == selected)
            tab.list->setCurrentItem(row);
    }
}

void Frmcw::showRecordRow(QTreeWidgetItem* row, const Finance::Record& r)
{
    row->setText(0, QString::number(r.id));
    row->setText(1, r.reason);
    row->setText(2, r.account);
    row->setText(3, r.category);
    row->setText(4, Money::format(r.amount));
    row->setText(5, Gui::day(r.day));
    row->setData(5, Qt::UserRole, r.day);
}

void Frmcw::refillAfterChange()
{
    keepFields([this] {
        Db::run([&] {
            fillAccounts();
            fillTypeChoice();
            fillCategoryChoice(income_);
            fillCategoryChoice(expense_);
            // Records change with accounts (a rename, a deletion elsewhere, an import).
            fillRecords(income_);
            fillRecords(expense_);
            // The report's check lists follow the categories; while they are the same the user's
            // ticks and dates stay.
            if (!checksShow(ListView6, Finance::categories(Finance::Income))
                || !checksShow(ListView7, Finance::categories(Finance::Expense)))
                shouzhi();
        });
    });
    // The report's lists and totals too, for its dates and ticks as they are.
    TjList();
}

// ---- Accounts

void Frmcw::ListView1_SelectionChanged()
{
    if (!Gui::selectedRow(ListView1))
        return;
    refreshAccountFields({});
}

std::optional<Finance::Account> Frmcw::accountFromFields()
{
    if (Text1->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("请输入帐户名称！"));
        Text1->setFocus();
        return std::nullopt;
    }
    if (Text4->text().isEmpty()) {
        MsgBox(QStringLiteral("请输入初始金额！"));
        Text4->setFocus();
        return std::nullopt;
    }
    // A balance may be below zero (an overdrawn or credit account), so a correction may be too.
    const std::optional<qint64> amount = Money::parse(Text4->text(), Money::Sign::Any);
    if (!amount) {
        MsgBox(kAmountNotNumber);
        Text4->setFocus();
        return std::nullopt;
    }
    Finance::Account a;
    a.name = Text1->text();
    a.category = Combo1->currentText();
    a.amount = *amount;
    a.day = DTPicker1->date();
    a.number = Text2->text();
    a.note = RichTextBox3->toPlainText();
    return a;
}

void Frmcw::Command3_Click()
{
    const std::optional<Finance::Account> a = accountFromFields();
    if (!a)
        return;
    const auto added = Db::get([&] { return Finance::addAccount(*a); });
    if (!added)
        return;
    if (!*added) {
        MsgBox(QStringLiteral("已经有一个名为“%1”的帐户，请换一个名称！").arg(a->name));
        Text1->setFocus();
        return;
    }
    ZhList();
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (Gui::rowId(ListView1->topLevelItem(i)) == **added)
            ListView1->setCurrentItem(ListView1->topLevelItem(i));
    }
    Changes::announce(Changes::Finance, this);
}

void Frmcw::Command2_Click()
{
    const qint64 id = Gui::selectedId(ListView1);
    if (id == 0) {
        MsgBox(QStringLiteral("请先在帐号列表中选择要修改的帐户！"));
        return;
    }
    std::optional<Finance::Account> a = accountFromFields();
    if (!a)
        return;
    a->id = id;
    // Only what the user changed is written: a balance moved since the account was shown stays.
    const auto saved = Db::get([&] { return Finance::updateAccount(*a, shownAccount_); });
    if (!saved)
        return;
    if (*saved == Finance::AccountSaved::NameTaken) {
        MsgBox(QStringLiteral("已经有一个名为“%1”的帐户，请换一个名称！").arg(a->name));
        Text1->setFocus();
        return;
    }
    if (*saved == Finance::AccountSaved::Missing) {
        MsgBox(QStringLiteral("这个帐户已经不存在了！"));
        ZhList();
        return;
    }
    // A renamed account's records carry the new name; the fields show what is stored now.
    keepFields([this] {
        fillAccounts();
        fillRecords(income_);
        fillRecords(expense_);
    });
    refreshAccountFields({});
    TjList();
    Changes::announce(Changes::Finance, this);
}

void Frmcw::Command1_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请先在帐号列表中选择要删除的帐户！"));
        return;
    }
    const qint64 id = Gui::rowId(row);
    const auto with = Db::get([id] { return Dependants::recordsOfAccount(id); });
    if (!with)
        return;
    // An account with records says what becomes of them; the records themselves stay.
    QString question = QStringLiteral("如果帐户余额非零，删除可能会导致您财务混乱，您确认删除吗？");
    if (with->count > 0)
        question.prepend(QStringLiteral("删除帐户“%1”？它的 %2 条收支记录会保留，但不再属于任何帐户。\n")
                             .arg(with->name)
                             .arg(with->count));
    if (MsgBox(question, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    if (!Db::run([id] { Finance::removeAccount(id); }))
        return;
    {
        const QSignalBlocker quiet(ListView1);
        delete row;
        ListView1->clearSelection();
    }
    ZhList();
    TjList();
    Deletion::done(this, this);
}

void Frmcw::Command7_Click()
{
    Forms::show<Dlogzhlb>();
}

void Frmcw::Command17_Click()
{
    Forms::show<Dlogzhuanzhang>();
}

void Frmcw::Command18_Click()
{
    Forms::show<DlogImport>();
}

// ---- Income and expense

void Frmcw::recordSelected(RecordTab& tab)
{
    if (!Gui::selectedRow(tab.list))
        return;
    refreshRecordFields(tab, {});
}

std::optional<Finance::Record> Frmcw::recordFromFields(RecordTab& tab)
{
    // Both tabs ask with the same words.
    if (tab.name->text().isEmpty()) {
        MsgBox(QStringLiteral("请输入收入原因！"));
        tab.name->setFocus();
        return std::nullopt;
    }
    if (tab.amount->text().isEmpty()) {
        MsgBox(QStringLiteral("请输入收入金额！"));
        tab.amount->setFocus();
        return std::nullopt;
    }
    const std::optional<qint64> amount =
        IsNumberText(tab.amount->text()) ? Money::parse(tab.amount->text()) : std::nullopt;
    if (!amount) {
        MsgBox(kAmountNotNumber);
        tab.amount->setFocus();
        return std::nullopt;
    }
    if (tab.account->currentIndex() < 0) {
        MsgBox(QStringLiteral("请先在帐户管理中建立帐户！"));
        return std::nullopt;
    }
    Finance::Record r;
    r.kind = tab.kind;
    r.reason = tab.name->text();
    r.account = tab.account->currentText();
    r.category = tab.category->currentText();
    r.amount = *amount;
    r.day = tab.day->date();
    r.note = tab.remark->toPlainText();
    return r;
}

void Frmcw::addRecord(RecordTab& tab)
{
    std::optional<Finance::Record> r = recordFromFields(tab);
    if (!r)
        return;
    const auto id = Db::get([&] { return Finance::addRecord(*r); });
    if (!id)
        return;
    r->id = *id;
    // The new row goes where the list's order (newest day first, newest record first) puts it.
    int at = 0;
    while (at < tab.list->topLevelItemCount() && tab.list->topLevelItem(at)->data(5, Qt::UserRole).toDate() > r->day)
        ++at;
    auto* row = new QTreeWidgetItem;
    showRecordRow(row, *r);
    {
        const QSignalBlocker quiet(tab.list);
        tab.list->insertTopLevelItem(at, row);
        tab.list->setCurrentItem(row);
    }
    tab.list->scrollToItem(row);
    ZhList();
    TjList();
    Changes::announce(Changes::Finance, this);
}

void Frmcw::modifyRecord(RecordTab& tab)
{
    QTreeWidgetItem* row = Gui::selectedRow(tab.list);
    if (!row) {
        MsgBox(tab.kind == Finance::Income ? QStringLiteral("请先在收入列表中选择要修改的记录！")
                                           : QStringLiteral("请先在支出列表中选择要修改的记录！"));
        return;
    }
    std::optional<Finance::Record> r = recordFromFields(tab);
    if (!r)
        return;
    r->id = Gui::rowId(row);
    const auto found = Db::get([&] { return Finance::updateRecord(tab.kind, *r, tab.shown); });
    if (!found)
        return;
    if (!*found) {
        MsgBox(QStringLiteral("这条记录已经不存在了！"));
        fillRecords(tab);
        return;
    }
    if (const auto stored = Db::get([id = r->id] { return Finance::record(id); }).value_or(std::nullopt))
        showRecordRow(row, *stored);
    refreshRecordFields(tab, {});
    ZhList();
    TjList();
    Changes::announce(Changes::Finance, this);
}

void Frmcw::deleteRecord(RecordTab& tab)
{
    QTreeWidgetItem* row = Gui::selectedRow(tab.list);
    if (!row) {
        MsgBox(tab.kind == Finance::Income ? QStringLiteral("请先在收入列表中选择要删除的记录！")
                                           : QStringLiteral("请先在支出列表中选择要删除的记录！"));
        return;
    }
    // The stored amount goes back to the stored account, whatever the fields hold now.
    if (!Db::run([&] { Finance::removeRecord(tab.kind, Gui::rowId(row)); }))
        return;
    {
        // The next record is not picked for the user: a second click must not delete it unseen.
        const QSignalBlocker quiet(tab.list);
        delete row;
        tab.list->clearSelection();
        tab.list->setCurrentItem(nullptr);
    }
    ZhList();
    TjList();
    Deletion::done(this, this);
}

void Frmcw::openCategories(Finance::Kind kind)
{
    Dlogszlb::showFor(kind);
}

// ---- Report

void Frmcw::TjList()
{
    reportFrom_ = DTPicker4->date();
    reportTo_ = DTPicker5->date();
    const QStringList incomeNames = tickedNames(ListView6);
    const QStringList expenseNames = tickedNames(ListView7);
    incomeReport_ = {};
    expenseReport_ = {};
    Db::run([&] {
        incomeReport_ = Finance::report(Finance::Income, incomeNames, reportFrom_, reportTo_);
        expenseReport_ = Finance::report(Finance::Expense, expenseNames, reportFrom_, reportTo_);
    });
    showReport();
}

void Frmcw::showReport()
{
    fillReportList(ListView4, incomeReport_.rows);
    fillReportList(ListView5, expenseReport_.rows);
    Frame4->setTitle(totalText(QStringLiteral("收入合计："), incomeReport_.total));
    Frame5->setTitle(totalText(QStringLiteral("支出合计："), expenseReport_.total));
    Label19->setText(totalText(QStringLiteral("收支总计："), incomeReport_.total - expenseReport_.total));
    Chart1->setTotals(incomeReport_.byCategory);
    Chart2->setTotals(expenseReport_.byCategory);
}

void Frmcw::Command10_Click()
{
    TjList();
}

void Frmcw::Command14_Click()
{
    SheetExport::run(
        this, QStringLiteral("Excel 工作簿 (*.xlsx)"),
        [this] { return CwExport::sheet(reportFrom_, reportTo_, incomeReport_, expenseReport_); },
        QStringLiteral("导出失败："));
}

void Frmcw::Label22_Click()
{
    Shell::openUrl(QUrl(AppInfo::sitePage(QStringLiteral("/shuoming/9.asp"))));
}
