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
    connect(Command1, &QPushButton::clicked, this, &Dlogszlb::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Dlogszlb::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Dlogszlb::Command3_Click);
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

void Dlogszlb::Command1_Click()
{
    const QString name = Text1->text();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("请输入类别名称！"));
        Text1->setFocus();
        return;
    }
    if (!Db::run([&] { Finance::addCategory(kind_, name); }))
        return;
    fill();
    Text1->clear();
    Changes::announce(Changes::Finance, this);
}

void Dlogszlb::Command2_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请选择要修改的类别！"));
        return;
    }
    const QString name = Text1->text();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("请输入类别名称！"));
        Text1->setFocus();
        return;
    }
    if (!Db::run([&] { Finance::renameCategory(Gui::rowId(row), name); }))
        return;
    row->setText(1, name);
    Changes::announce(Changes::Finance, this);
}

void Dlogszlb::Command3_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请选择要删除的类别！"));
        return;
    }
    const qint64 id = Gui::rowId(row);
    const auto with = Db::get([id] { return Dependants::recordsOfCategory(id); });
    if (!with)
        return;
    if (with->count > 0
        && !Deletion::confirm(
            QStringLiteral("删除类别“%1”？有 %2 条收支记录属于这个类别。").arg(with->name).arg(with->count)))
        return;
    if (!Db::run([id] { Finance::removeCategory(id); }))
        return;
    {
        const QSignalBlocker quiet(ListView1);
        delete row;
        ListView1->clearSelection();
        ListView1->setCurrentItem(nullptr);
    }
    Text1->clear();
    Deletion::done(this, this);
}
