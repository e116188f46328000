#include "views/finance/dlogszlb.h"

#include "data/db.h"
#include "data/dependants.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/undonotice.h"
#include "gui/windowplace.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace {
// The kind the next dialog is loaded for.
Finance::Kind nextKind = Finance::Income;
} // namespace

Dlogszlb::Dlogszlb(QWidget* parent)
    : CategoryDialog(QStringLiteral("类别名称："), QStringLiteral("类别名称"), Gui::hundredthsMm(4304), parent),
      kind_(nextKind)
{
    Actions actions;
    actions.missingName = QStringLiteral("请输入类别名称！");
    actions.add = [this](const QString& name) { Finance::addCategory(kind_, name); };
    actions.rename = [](qint64 id, const QString& name) {
        Finance::renameCategory(id, name);
        return true;
    };
    actions.dependants = &Dependants::recordsOfCategory;
    actions.deleteQuestion = QStringLiteral("删除类别“%1”？有 %2 条收支记录属于这个类别。");
    actions.remove = &Finance::removeCategory;
    actions.clearAfter = true;
    connectActions(std::move(actions));
}

Dlogszlb* Dlogszlb::showFor(Finance::Kind kind)
{
    if (Dlogszlb* open = Forms::find<Dlogszlb>(); open && open->kind_ != kind)
        Forms::unload(open);
    nextKind = kind;
    return Forms::show<Dlogszlb>();
}

bool Dlogszlb::Form_Load()
{
    if (kind_ != Finance::Income && kind_ != Finance::Expense)
        return false;
    setWindowTitle(kind_ == Finance::Income ? QStringLiteral("收入类别管理") : QStringLiteral("支出类别管理"));
    Deletion::installShortcut(this);
    // An undone deletion elsewhere (or here) brings rows back into the list.
    connect(&Changes::instance(), &Changes::financeChanged, this, [this](QObject* origin) {
        if (origin != this)
            Db::run([this] { fill(); });
    });
    adjustSize();
    WindowPlace::besideFrame(this);
    fill();
    return true;
}

void Dlogszlb::fill()
{
    if (const auto list = Db::get([&] { return Finance::categories(kind_); }))
        fillList(*list);
}
