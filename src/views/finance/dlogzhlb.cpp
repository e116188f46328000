#include "views/finance/dlogzhlb.h"

#include "data/db.h"
#include "data/dependants.h"
#include "data/finance.h"
#include "gui/gui.h"
#include "gui/windowplace.h"

Dlogzhlb::Dlogzhlb(QWidget* parent)
    : CategoryDialog(Changes::Finance, QStringLiteral("帐号类别名称："), QStringLiteral("增加"), parent)
{
    setWindowTitle(QStringLiteral("管理帐号类别"));
    const int width = Gui::hundredthsMm(6068);
    makeList(QStringLiteral("帐号类别名称"), width, {width + 24, 220});
    arrange(Arrangement::FieldFirst, 14);
    Actions actions;
    actions.missingName = QStringLiteral("请输入帐户类别名称！");
    actions.add = &Finance::addAccountType;
    actions.rename = &Finance::renameAccountType;
    actions.dependants = &Dependants::accountsOfType;
    actions.deleteQuestion = QStringLiteral("删除帐户类型“%1”？有 %2 个帐户属于这个类型。");
    actions.remove = &Finance::removeAccountType;
    connectActions(std::move(actions));
}

void Dlogzhlb::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    fill();
}

void Dlogzhlb::fill()
{
    if (const auto types = Db::get([] { return Finance::accountTypes(); }))
        fillList(*types);
}
