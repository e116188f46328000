#include "views/knowledge/dlogfflb.h"

#include "data/db.h"
#include "data/diary.h"
#include "data/knowledge.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/undonotice.h"
#include "gui/windowplace.h"
#include "views/knowledge/knowledgeui.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {
const QString kNameTakenOnRename = QStringLiteral("该知识类别已经存在！");
}

Dlogfflb::Dlogfflb(QWidget* parent)
    : CategoryDialog(Changes::Knowledge, QStringLiteral("类别名称："), QStringLiteral("添加"), parent)
{
    setObjectName(QStringLiteral("Dlogfflb"));
    setWindowTitle(QStringLiteral("管理知识类别"));
    // The names themselves are the keys: the list has no id column.
    ListView1 = KnowledgeUi::categoryList(this, QStringLiteral("ListView1"));
    ListView1->setMinimumWidth(Gui::hundredthsMm(2540) * 2);
    for (QPushButton* b : {Command1, Command2, Command3})
        b->setMinimumWidth(72);
    arrange(Arrangement::ListFirst, 16, 10);
    resize(340, 400);

    connect(ListView1, &QTreeWidget::itemClicked, this, &Dlogfflb::ListView1_ItemClick);
    connect(Command1, &QPushButton::clicked, this, &Dlogfflb::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Dlogfflb::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Dlogfflb::Command3_Click);
}

void Dlogfflb::Form_Load()
{
    WindowPlace::besideFrame(this);
    FillList();
}

void Dlogfflb::FillList(const QString& select)
{
    const QString keep = select.isEmpty() ? KnowledgeUi::selectedName(ListView1) : select;
    const auto names = Db::get([] { return Knowledge::categories(); });
    if (names)
        KnowledgeUi::fillCategoryList(ListView1, *names, keep);
}

// The picked name is ready to be edited into a new one.
void Dlogfflb::ListView1_ItemClick(QTreeWidgetItem* item)
{
    if (item)
        Text1->setText(item->text(0));
}

void Dlogfflb::Command1_Click()
{
    const QString name = Text1->text().trimmed();
    if (!hasName(name, QStringLiteral("请输入知识类别名称！")))
        return;
    const auto added = Db::get([&] { return Knowledge::addCategory(name); });
    if (!added)
        return;
    if (*added == Knowledge::CategoryChange::NameTaken) {
        MsgBox(QStringLiteral("该知识类别已存在！"));
        Text1->setFocus();
        return;
    }
    FillList(name);
    Changes::announce(Changes::Knowledge, this);
}

void Dlogfflb::Command2_Click()
{
    const QString name = Text1->text().trimmed();
    if (!hasName(name, QStringLiteral("请输入修改后的名称！")))
        return;
    if (name == Diary::kCategory) {
        MsgBox(kNameTakenOnRename);
        return;
    }
    const QString old = KnowledgeUi::selectedName(ListView1);
    if (old.isEmpty()) {
        MsgBox(QStringLiteral("请先选择要修改的知识类别！"));
        return;
    }
    if (old == Diary::kCategory) {
        MsgBox(QStringLiteral("日志是系统类别，不能更改！"));
        return;
    }
    const auto renamed = Db::get([&] { return Knowledge::renameCategory(old, name); });
    if (!renamed)
        return;
    if (*renamed == Knowledge::CategoryChange::NameTaken) {
        MsgBox(kNameTakenOnRename);
        Text1->setFocus();
        return;
    }
    FillList(*renamed == Knowledge::CategoryChange::Done ? name : QString());
    Changes::announce(Changes::Knowledge, this);
}

void Dlogfflb::Command3_Click()
{
    const QString name = KnowledgeUi::selectedName(ListView1);
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("请先选择要删除的知识类别！"));
        return;
    }
    if (name == Diary::kCategory) {
        MsgBox(QStringLiteral("日志是系统类别，不能删除！"));
        return;
    }
    // The question says already that the articles go with the category.
    if (!Deletion::confirm(QStringLiteral("删除知识类别就会删除其下所有文章，您确定删除吗？")))
        return;
    if (!Db::run([&] { Knowledge::removeCategory(name); }))
        return;
    FillList();
    Text1->clear();
    Deletion::done(this, this);
}
