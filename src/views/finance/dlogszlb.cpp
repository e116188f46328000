#include "views/finance/dlogszlb.h"

#include "data/db.h"
#include "data/dependants.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/windowplace.h"

namespace {
// The kind the next dialog is loaded for.
Finance::Kind nextKind = Finance::Income;
} // namespace

Dlogszlb::Dlogszlb(QWidget* parent)
    : CategoryDialog(Changes::Finance, QStringLiteral("类别名称："), QStringLiteral("增加"), parent), kind_(nextKind)
{
    const int width = Gui::hundredthsMm(4304);
    makeList(QStringLiteral("类别名称"), width, {width + 24, 220});
    arrange(Arrangement::FieldFirst, 14);
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
