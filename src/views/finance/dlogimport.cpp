#include "views/finance/dlogimport.h"

#include "data/db.h"
#include "data/finance.h"
#include "data/money.h"
#include "gui/changes.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/windowplace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The largest file read; statements are far smaller.
constexpr qint64 kLargestFile = 64LL * 1024 * 1024;

QComboBox* combo(QWidget* parent, const QString& name)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(6);
    return c;
}

QString shortDay(const QDate& d)
{
    return QString::number(d.year()) + QLatin1Char('-') + QString::number(d.month()) + QLatin1Char('-')
           + QString::number(d.day());
}

} // namespace

DlogImport::DlogImport(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(QStringLiteral("导入银行帐单"));
    Command1 = new QPushButton(QStringLiteral("选择文件…"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Label1 = new QLabel(QStringLiteral("（未选择文件）"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* encodingLabel = new QLabel(QStringLiteral("编码："), this);
    Combo2 = combo(this, QStringLiteral("Combo2"));
    Combo2->addItem(QStringLiteral("自动识别"), int(Statement::Encoding::Auto));
    Combo2->addItem(QStringLiteral("UTF-8"), int(Statement::Encoding::Utf8));
    Combo2->addItem(QStringLiteral("GB18030/GBK"), int(Statement::Encoding::Gb18030));
    encodingLabel->setBuddy(Combo2);
    auto* accountLabel = new QLabel(QStringLiteral("导入到帐户："), this);
    Combo1 = combo(this, QStringLiteral("Combo1"));
    Combo1->setMinimumContentsLength(12);
    accountLabel->setBuddy(Combo1);

    Frame1 = new QGroupBox(QStringLiteral("CSV 各列"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* mapping = new QGridLayout(Frame1);
    const QStringList captions = {QStringLiteral("日期"), QStringLiteral("金额"), QStringLiteral("支出"),
                                  QStringLiteral("收入"), QStringLiteral("对方"), QStringLiteral("备注")};
    for (int i = 0; i < captions.size(); ++i) {
        QComboBox* c = combo(Frame1, QStringLiteral("Combo%1").arg(3 + i));
        auto* l = new QLabel(captions[i] + QStringLiteral("："), Frame1);
        l->setBuddy(c);
        mapping->addWidget(l, i / 3, (i % 3) * 2, Qt::AlignRight);
        mapping->addWidget(c, i / 3, (i % 3) * 2 + 1);
        columnChoices_ << c;
        connect(c, &QComboBox::activated, this, &DlogImport::reload);
    }
    Combo9 = combo(Frame1, QStringLiteral("Combo9"));
    Combo9->addItems(Statement::dayFormats());
    Combo10 = combo(Frame1, QStringLiteral("Combo10"));
    Combo10->addItem(QStringLiteral("小数点 ."), QStringLiteral("."));
    Combo10->addItem(QStringLiteral("逗号 ,"), QStringLiteral(","));
    Check1 = new QCheckBox(QStringLiteral("第一行是列名"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(true);
    auto* formatLabel = new QLabel(QStringLiteral("日期格式："), Frame1);
    formatLabel->setBuddy(Combo9);
    auto* decimalLabel = new QLabel(QStringLiteral("小数分隔："), Frame1);
    decimalLabel->setBuddy(Combo10);
    mapping->addWidget(formatLabel, 2, 0, Qt::AlignRight);
    mapping->addWidget(Combo9, 2, 1);
    mapping->addWidget(decimalLabel, 2, 2, Qt::AlignRight);
    mapping->addWidget(Combo10, 2, 3);
    mapping->addWidget(Check1, 2, 4, 1, 2);
    connect(Combo9, &QComboBox::activated, this, &DlogImport::reload);
    connect(Combo10, &QComboBox::activated, this, &DlogImport::reload);
    connect(Check1, &QCheckBox::clicked, this, &DlogImport::reload);

    ListView1 = Gui::reportList(this, QStringLiteral("ListView1"),
                                {{QStringLiteral("日期"), 90},
                                 {QStringLiteral("金额"), 90},
                                 {QStringLiteral("对方或摘要"), 220},
                                 {QStringLiteral("类别"), 100},
                                 {QStringLiteral("状态"), 60}});
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setMinimumSize(620, 220);

    auto* categoryLabel = new QLabel(QStringLiteral("所选记录的类别："), this);
    Combo11 = combo(this, QStringLiteral("Combo11"));
    Combo11->setMinimumContentsLength(10);
    categoryLabel->setBuddy(Combo11);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Command2 = new QPushButton(QStringLiteral("导入"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);

    auto* top = new QGridLayout;
    top->addWidget(Command1, 0, 0);
    top->addWidget(Label1, 0, 1, 1, 3);
    top->addWidget(encodingLabel, 0, 4, Qt::AlignRight);
    top->addWidget(Combo2, 0, 5);
    top->addWidget(accountLabel, 1, 0, Qt::AlignRight);
    top->addWidget(Combo1, 1, 1);
    top->setColumnStretch(3, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(categoryLabel);
    bottom->addWidget(Combo11);
    bottom->addSpacing(12);
    bottom->addWidget(Label2, 1);
    bottom->addWidget(Command2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addLayout(top);
    layout->addWidget(Frame1);
    layout->addWidget(ListView1, 1);
    layout->addLayout(bottom);
    Frame1->hide();

    connect(Command1, &QPushButton::clicked, this, &DlogImport::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DlogImport::Command2_Click);
    connect(Combo1, &QComboBox::activated, this, &DlogImport::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &DlogImport::reload);
    connect(Combo11, &QComboBox::activated, this, &DlogImport::categoryChosen);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &DlogImport::rowSelected);
    connect(&Changes::instance(), &Changes::financeChanged, this, [this](QObject* origin) {
        if (origin == this)
            return;
        fillAccounts();
        showPreview();
    });
}

void DlogImport::Form_Load()
{
    fillAccounts();
    resize(760, 520);
    WindowPlace::besideFrame(this);
}

void DlogImport::fillAccounts()
{
    const auto accounts = Db::get([] { return Finance::accounts(); });
    if (!accounts)
        return;
    const QVariant chosen = Combo1->currentData();
    const QSignalBlocker quiet(Combo1);
    Combo1->clear();
    for (const Finance::Account& a : *accounts)
        Combo1->addItem(a.name, a.id);
    const int again = chosen.isValid() ? Combo1->findData(chosen) : -1;
    Combo1->setCurrentIndex(again >= 0 ? again : (accounts->isEmpty() ? -1 : 0));
}

QString DlogImport::accountName() const
{
    return Combo1->currentText();
}

qint64 DlogImport::accountId() const
{
    return Combo1->currentData().toLongLong();
}

void DlogImport::Command1_Click()
{
    const QString path =
        Shell::openFileName(this, QStringLiteral("银行帐单 (*.ofx *.qfx *.qif *.csv *.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (QFileInfo(path).size() > kLargestFile) {
        MsgBox(QStringLiteral("文件“%1”太大，不像是银行帐单。").arg(QFileInfo(path).fileName()));
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        MsgBox(QStringLiteral("无法打开文件“%1”：%2").arg(QFileInfo(path).fileName(), file.errorString()));
        return;
    }
    path_ = path;
    bytes_ = file.readAll();
    Label1->setText(QFileInfo(path).fileName());
    csvMappingShown_ = false;
    const QString text = Statement::decode(bytes_, Statement::Encoding(Combo2->currentData().toInt()));
    format_ = Statement::detect(text, path);
    // An OFX statement names its account: the account with that number is offered.
    if (format_ == Statement::Format::Ofx) {
        const Statement::Parsed parsed = Statement::parseOfx(text);
        if (!parsed.accountNumber.isEmpty()) {
            if (const auto id = Db::get([&] { return BankImport::accountByNumber(parsed.accountNumber); })) {
                if (*id) {
                    const int i = Combo1->findData(**id);
                    if (i >= 0)
                        Combo1->setCurrentIndex(i);
                }
            }
        }
    }
    reload();
}

void DlogImport::Combo1_Click()
{
    // Each account remembers its own CSV columns.
    csvMappingShown_ = false;
    reload();
}

void DlogImport::fillMappingChoices(const QStringList& header)
{
    for (QComboBox* c : std::as_const(columnChoices_)) {
        const QSignalBlocker quiet(c);
        c->clear();
        c->addItem(QStringLiteral("（无）"), -1);
        for (int i = 0; i < header.size(); ++i)
            c->addItem(QStringLiteral("%1：%2").arg(i + 1).arg(header[i].left(20)), i);
    }
}

void DlogImport::showMapping(const Statement::CsvMapping& m)
{
    const int columns[] = {m.day, m.amount, m.debit, m.credit, m.payee, m.memo};
    for (int i = 0; i < columnChoices_.size(); ++i) {
        const int at = columnChoices_[i]->findData(columns[i]);
        columnChoices_[i]->setCurrentIndex(at >= 0 ? at : 0);
    }
    const int format = Combo9->findText(m.dayFormat);
    Combo9->setCurrentIndex(format >= 0 ? format : 0);
    Combo10->setCurrentIndex(m.decimal == QLatin1Char(',') ? 1 : 0);
    Check1->setChecked(m.header);
}

Statement::CsvMapping DlogImport::mappingFromChoices() const
{
    Statement::CsvMapping m;
    m.day = columnChoices_[0]->currentData().toInt();
    m.amount = columnChoices_[1]->currentData().toInt();
    m.debit = columnChoices_[2]->currentData().toInt();
    m.credit = columnChoices_[3]->currentData().toInt();
    m.payee = columnChoices_[4]->currentData().toInt();
    m.memo = columnChoices_[5]->currentData().toInt();
    m.dayFormat = Combo9->currentText();
    m.decimal = Combo10->currentData().toString().at(0);
    m.header = Check1->isChecked();
    return m;
}

void DlogImport::reload()
{
    rows_.clear();
    if (bytes_.isEmpty() && path_.isEmpty()) {
        showPreview();
        return;
    }
    const QString text = Statement::decode(bytes_, Statement::Encoding(Combo2->currentData().toInt()));
    Statement::CsvMapping mapping;
    Frame1->setVisible(format_ == Statement::Format::Csv);
    if (format_ == Statement::Format::Csv) {
        const QList<QStringList> rows = Statement::csvRows(text);
        if (!csvMappingShown_) {
            const QStringList header = rows.value(0);
            fillMappingChoices(header);
            const QString remembered = Db::get([this] { return BankImport::mapping(accountId()); }).value_or(QString());
            mapping = remembered.isEmpty() ? Statement::guessMapping(header, rows.value(1))
                                           : Statement::CsvMapping::fromText(remembered);
            showMapping(mapping);
            csvMappingShown_ = true;
        }
        mapping = mappingFromChoices();
    } else {
        mapping.decimal = Combo10->currentData().toString().at(0);
    }
    const Statement::Parsed parsed = Statement::parse(text, format_, mapping);
    if (!parsed.error.isEmpty()) {
        showPreview();
        MsgBox(QStringLiteral("无法读取文件“%1”：%2").arg(QFileInfo(path_).fileName(), parsed.error));
        return;
    }
    const auto rows = Db::get([&] { return BankImport::preview(accountName(), parsed.entries); });
    if (rows)
        rows_ = *rows;
    showPreview();
}

void DlogImport::showPreview()
{
    const QSignalBlocker quiet(ListView1);
    ListView1->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(rows_.size());
    const QColor grey(0x60, 0x60, 0x60);
    int fresh = 0;
    for (int i = 0; i < rows_.size(); ++i) {
        const BankImport::Row& r = rows_[i];
        const QString name = r.entry.payee.isEmpty() ? r.entry.memo : r.entry.payee;
        auto* item = new QTreeWidgetItem({QString::number(i), shortDay(r.entry.day), Money::format(r.entry.amount),
                                          name, r.category, r.duplicate ? QStringLiteral("已存在") : QString()});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (r.duplicate) {
            item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            item->setCheckState(1, Qt::Unchecked);
            item->setDisabled(true);
            for (int c = 1; c <= 5; ++c)
                item->setForeground(c, grey);
        } else {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(1, r.ticked ? Qt::Checked : Qt::Unchecked);
            ++fresh;
        }
        items << item;
    }
    ListView1->addTopLevelItems(items);
    Label2->setText(rows_.isEmpty()
                        ? QString()
                        : QStringLiteral("共 %1 笔，其中已存在 %2 笔").arg(rows_.size()).arg(rows_.size() - fresh));
}

void DlogImport::rowSelected()
{
    const QTreeWidgetItem* item = ListView1->currentItem();
    if (!item)
        return;
    const int i = item->text(0).toInt();
    if (i < 0 || i >= rows_.size())
        return;
    const Finance::Kind kind = rows_[i].entry.amount >= 0 ? Finance::Income : Finance::Expense;
    const auto categories = Db::get([kind] { return Finance::categories(kind); });
    if (!categories)
        return;
    const QSignalBlocker quiet(Combo11);
    Combo11->clear();
    for (const Finance::Category& c : *categories)
        Combo11->addItem(c.name);
    Combo11->setCurrentIndex(Combo11->findText(rows_[i].category));
}

void DlogImport::categoryChosen()
{
    const QString category = Combo11->currentText();
    const QTreeWidgetItem* current = ListView1->currentItem();
    if (category.isEmpty() || !current)
        return;
    const bool income = rows_.value(current->text(0).toInt()).entry.amount >= 0;
    // The selected rows of the same kind as the current one take the category.
    for (QTreeWidgetItem* item : ListView1->selectedItems()) {
        const int i = item->text(0).toInt();
        if (i < 0 || i >= rows_.size() || (rows_[i].entry.amount >= 0) != income)
            continue;
        rows_[i].category = category;
        item->setText(4, category);
    }
}

void DlogImport::Command2_Click()
{
    if (accountName().isEmpty()) {
        MsgBox(QStringLiteral("请先在帐户管理中建立帐户！"));
        return;
    }
    int ticked = 0;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ListView1->topLevelItem(i);
        const int at = item->text(0).toInt();
        rows_[at].ticked = !rows_[at].duplicate && item->checkState(1) == Qt::Checked;
        ticked += rows_[at].ticked ? 1 : 0;
    }
    if (ticked == 0) {
        MsgBox(QStringLiteral("没有要导入的记录！"));
        return;
    }
    const auto summary = Db::get([&] { return BankImport::import(accountName(), rows_); });
    if (!summary)
        return;
    if (format_ == Statement::Format::Csv)
        Db::run([&] { BankImport::setMapping(accountId(), mappingFromChoices().toText()); });
    Changes::announce(Changes::Finance, this);
    MsgDone(BankImport::summaryText(*summary));
    reload();
}
