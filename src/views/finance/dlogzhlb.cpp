#include "views/finance/dlogzhlb.h"

#include "data/db.h"
#include "data/dependants.h"
#include "gui/changes.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/undonotice.h"
#include "gui/windowplace.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

Dlogzhlb::Dlogzhlb(QWidget* parent)
    : CategoryDialog(QStringLiteral("帐号类别名称："), QStringLiteral("帐号类别名称"), Gui::hundredthsMm(6068), parent)
{
    setWindowTitle(QStringLiteral("管理帐号类别"));
    Deletion::installShortcut(this);
    // An undone deletion elsewhere (or here) brings rows back into the list.
    connect(&Changes::instance(), &Changes::financeChanged, this, [this](QObject* origin) {
        if (origin != this)
            Db::run([this] { fill(); });
    });
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
