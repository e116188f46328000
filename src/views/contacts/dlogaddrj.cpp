#include "views/contacts/dlogaddrj.h"

#include "data/contacts.h"
#include "data/db.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/windowplace.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
QLineEdit* lineEdit(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMinimumWidth(220);
    return e;
}
} // namespace

Dlogaddrj::Dlogaddrj(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(QStringLiteral("添加人际关系联系人"));

    Text2 = lineEdit(this, QStringLiteral("Text2"));
    Option1 = new QRadioButton(QStringLiteral("男"), this);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("女"), this);
    Option2->setObjectName(QStringLiteral("Option2"));
    auto* sexGroup = new QButtonGroup(this);
    sexGroup->addButton(Option1);
    sexGroup->addButton(Option2);
    Option1->setChecked(true);
    Text3 = lineEdit(this, QStringLiteral("Text3"));
    Text4 = lineEdit(this, QStringLiteral("Text4"));
    Text5 = lineEdit(this, QStringLiteral("Text5"));
    Text6 = lineEdit(this, QStringLiteral("Text6"));
    Text7 = lineEdit(this, QStringLiteral("Text7"));
    Text8 = lineEdit(this, QStringLiteral("Text8"));
    Text9 = lineEdit(this, QStringLiteral("Text9"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Command1 = new QPushButton(QStringLiteral("添加"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    auto* sexRow = new QHBoxLayout;
    sexRow->addWidget(Option1);
    sexRow->addWidget(Option2);
    sexRow->addStretch();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    int line = 0;
    auto add = [&](const QString& text, QWidget* field, QLayout* layout = nullptr) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(field);
        grid->addWidget(label, line, 0);
        if (layout)
            grid->addLayout(layout, line, 1);
        else
            grid->addWidget(field, line, 1);
        ++line;
    };
    add(QStringLiteral("姓    名："), Text2);
    add(QStringLiteral("性    别："), Option1, sexRow);
    add(QStringLiteral("关系名称："), Text7);
    add(QStringLiteral("关系类别："), Combo1);
    add(QStringLiteral("联系电话："), Text3);
    add(QStringLiteral("手    机："), Text4);
    add(QStringLiteral("联系地址："), Text5);
    add(QStringLiteral("邮政编码："), Text6);
    add(QStringLiteral("电子邮件："), Text8);
    add(QStringLiteral("聊天工具："), Text9);
    grid->addWidget(Command1, line, 1, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Text2, Option1);
    setTabOrder(Option1, Text7);
    setTabOrder(Text7, Combo1);
    setTabOrder(Combo1, Text3);
    setTabOrder(Text3, Text4);
    setTabOrder(Text4, Text5);
    setTabOrder(Text5, Text6);
    setTabOrder(Text6, Text8);
    setTabOrder(Text8, Text9);
    setTabOrder(Text9, Command1);

    connect(Command1, &QPushButton::clicked, this, &Dlogaddrj::Command1_Click);
}

void Dlogaddrj::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    Combo1->clear();
    Combo1->addItem(QStringLiteral("无类别"), 0);
    Db::run([&] {
        for (const Contacts::Category& c : Contacts::categories())
            Combo1->addItem(c.name, c.id);
    });
    Combo1->setCurrentIndex(0);
}

void Dlogaddrj::Command1_Click()
{
    Contacts::Contact c;
    c.title = Text7->text().isEmpty() ? QStringLiteral("无关系名称") : Text7->text();
    c.name = Text2->text();
    c.sex = Option1->isChecked() ? 0 : 1;
    c.tel = Text3->text();
    c.mob = Text4->text();
    c.address = Text5->text();
    c.zip = Text6->text();
    c.email = Text8->text();
    c.msn = Text9->text();
    c.category = Combo1->currentIndex() < 0 ? 0 : Combo1->currentData().toLongLong();
    if (!Db::run([&] { Contacts::addContact(c); }))
        return;
    Changes::announce(Changes::Contacts, this);
    Forms::unload(this);
}
