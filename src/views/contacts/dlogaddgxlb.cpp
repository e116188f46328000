#include "views/contacts/dlogaddgxlb.h"

#include "data/contacts.h"
#include "data/db.h"
#include "data/dependants.h"
#include "gui/gui.h"
#include "gui/windowplace.h"

Dlogaddgxlb::Dlogaddgxlb(QWidget* parent)
    : CategoryDialog(Changes::Contacts, QStringLiteral("关系类别："), QStringLiteral("增加"), parent)
{
    setWindowTitle(QStringLiteral("增加关系类别"));
    const int width = Gui::hundredthsMm(4304);
    makeList(QStringLiteral("类别名称"), width, {width + 30, 240});
    arrange(Arrangement::ButtonsBeside, 18, 10);
    Actions actions;
    actions.missingName = QStringLiteral("请输入关系类别名称！");
    actions.selectToRename = QStringLiteral("请先选择要修改的关系类别！");
    actions.selectToDelete = QStringLiteral("请先选择要删除的关系类别！");
    actions.add = [](const QString& name) { Contacts::addCategory(name); };
    actions.rename = [](qint64 id, const QString& name) {
        Contacts::renameCategory(id, name);
        return true;
    };
    actions.dependants = &Dependants::contactsOfCategory;
    actions.deleteQuestion = QStringLiteral("删除关系类别“%1”？有 %2 个联系人属于这个类别。");
    actions.remove = &Contacts::removeCategory;
    actions.clearAfter = true;
    actions.clearAfterRename = true;
    actions.pickOnClick = true;
    connectActions(std::move(actions));
}

void Dlogaddgxlb::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    fill();
}

void Dlogaddgxlb::fill()
{
    if (const auto categories = Db::get([] { return Contacts::categories(); }))
        fillList(*categories);
}
