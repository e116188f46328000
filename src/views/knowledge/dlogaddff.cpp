#include "views/knowledge/dlogaddff.h"

#include "data/db.h"
#include "data/knowledge.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "views/knowledge/knowledgeselection.h"
#include "views/knowledge/knowledgeui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

Dlogaddff::Dlogaddff(QWidget* parent) : FormDialog(parent)
{
    setObjectName(QStringLiteral("Dlogaddff"));
    setWindowTitle(QStringLiteral("添加方法"));

    Label1 = new QLabel(QStringLiteral("知识标题："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    Label5 = new QLabel(QStringLiteral("知识类别："), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Combo3 = KnowledgeUi::categoryBox(this, QStringLiteral("Combo3"));
    Label5->setBuddy(Combo3);
    Label2 = new QLabel(QStringLiteral("详细内容："), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setTabChangesFocus(true);
    Label2->setBuddy(RichTextBox1);
    Command1 = new QPushButton(QStringLiteral("添加"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command1->setMinimumWidth(90);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label5, 1, 0);
    grid->addWidget(Combo3, 1, 1, Qt::AlignLeft);
    grid->addWidget(Label2, 2, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(RichTextBox1, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    for (QLabel* l : {Label1, Label5, Label2})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    resize(600, 440);

    connect(Command1, &QPushButton::clicked, this, &Dlogaddff::Command1_Click);
}

void Dlogaddff::Form_Load()
{
    WindowPlace::besideFrame(this);
    QString picked;
    if (const auto* view = Forms::openAs<KnowledgeSelection>(Views::kKnowledge))
        picked = view->selectedCategory();
    const auto names = Db::get([] { return Knowledge::categories(); });
    KnowledgeUi::fillCategoryBox(Combo3, picked, names.value_or(QStringList()));
}

void Dlogaddff::Command1_Click()
{
    const QString title = Text1->text();
    const QString category = Combo3->currentText().trimmed();
    const QString body = RichTextBox1->toPlainText();
    if (title.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("请输入知识的标题！"));
        Text1->setFocus();
        return;
    }
    if (category.isEmpty()) {
        MsgBox(QStringLiteral("请选择或输入知识类别！"));
        Combo3->setFocus();
        return;
    }
    if (body.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("请输入方法内容！"));
        RichTextBox1->setFocus();
        return;
    }
    if (!Db::run([&] { Knowledge::add(title, body, category, Clock::today()); }))
        return; // the error has been shown; what was typed stays for another try
    // A new article of "日志" is a diary entry.
    Changes::announce(Changes::Knowledge | Changes::Diary, this);
    Forms::unload(this);
}
