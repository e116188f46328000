#include "views/contacts/dlogaddgxlb.h"

#include "data/contacts.h"
#include "data/db.h"
#include "data/dependants.h"
#include "gui/changes.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/undonotice.h"
#include "gui/windowplace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

Dlogaddgxlb::Dlogaddgxlb(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(QStringLiteral("增加关系类别"));
    Deletion::installShortcut(this);
    // An undone deletion elsewhere (or here) brings rows back into the list.
    connect(&Changes::instance(), &Changes::contactsChanged, this, [this](QObject* origin) {
        if (origin != this)
            Db::run([this] { fillList(); });
    });

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    auto* label = new QLabel(QStringLiteral("关系类别："), this);
    label->setBuddy(Text1);
    ListView1 =
        Gui::reportList(this, QStringLiteral("ListView1"), {{QStringLiteral("类别名称"), Gui::hundredthsMm(4304)}});
    ListView1->setMinimumSize(Gui::hundredthsMm(4304) + 30, 240);
    Command1 = new QPushButton(QStringLiteral("增加"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("修改"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);
    Command3 = new QPushButton(QStringLiteral("删除"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAutoDefault(false);

    auto* entry = new QHBoxLayout;
    entry->addWidget(label);
    entry->addWidget(Text1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    buttons->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(ListView1, 1);
    body->addLayout(buttons);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(18, 18, 18, 18);
    root->setSpacing(10);
    root->addLayout(entry);
    root->addLayout(body, 1);

    connect(ListView1, &QTreeWidget::itemClicked, this, &Dlogaddgxlb::ListView1_ItemClick);
    connect(Command1, &QPushButton::clicked, this, &Dlogaddgxlb::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Dlogaddgxlb::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Dlogaddgxlb::Command3_Click);
}

void Dlogaddgxlb::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    fillList();
}

void Dlogaddgxlb::fillList()
{
    ListView1->clear();
    Db::run([&] {
        for (const Contacts::Category& c : Contacts::categories()) {
            auto* row = new QTreeWidgetItem(ListView1);
            row->setText(0, QString::number(c.id));
            row->setText(1, c.name);
        }
    });
}

void Dlogaddgxlb::ListView1_ItemClick(QTreeWidgetItem* item)
{
    Text1->setText(item->text(1));
}

void Dlogaddgxlb::Command1_Click()
{
    const QString name = Text1->text();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("请输入关系类别名称！"));
        Text1->setFocus();
        return;
    }
    if (!Db::run([&] { Contacts::addCategory(name); }))
        return;
    Changes::announce(Changes::Contacts, this);
    fillList();
    Text1->clear();
}

void Dlogaddgxlb::Command2_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请先选择要修改的关系类别！"));
        return;
    }
    const QString name = Text1->text();
    if (!Db::run([&] { Contacts::renameCategory(Gui::rowId(row), name); }))
        return;
    Changes::announce(Changes::Contacts, this);
    row->setText(1, name);
    Text1->clear();
}

void Dlogaddgxlb::Command3_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请先选择要删除的关系类别！"));
        return;
    }
    const qint64 id = Gui::rowId(row);
    const auto with = Db::get([id] { return Dependants::contactsOfCategory(id); });
    if (!with)
        return;
    if (with->count > 0
        && !Deletion::confirm(
            QStringLiteral("删除关系类别“%1”？有 %2 个联系人属于这个类别。").arg(with->name).arg(with->count)))
        return;
    if (!Db::run([id] { Contacts::removeCategory(id); }))
        return;
    {
        const QSignalBlocker quiet(ListView1);
        delete row;
        ListView1->clearSelection();
        ListView1->setCurrentItem(nullptr);
    }
    Deletion::done(this, this);
    Text1->clear();
}
