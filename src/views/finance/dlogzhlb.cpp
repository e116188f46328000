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
    connect(Command1, &QPushButton::clicked, this, &Dlogzhlb::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Dlogzhlb::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Dlogzhlb::Command3_Click);
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

void Dlogzhlb::Command1_Click()
{
    const QString name = Text1->text();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("请输入帐户类别名称！"));
        Text1->setFocus();
        return;
    }
    if (!Db::run([&] { Finance::addAccountType(name); }))
        return;
    fill();
    Changes::announce(Changes::Finance, this);
}

void Dlogzhlb::Command2_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请选择要修改的类别！"));
        return;
    }
    const QString name = Text1->text();
    if (name.isEmpty()) {
        MsgBox(QStringLiteral("请输入帐户类别名称！"));
        Text1->setFocus();
        return;
    }
    const auto found = Db::get([&] { return Finance::renameAccountType(Gui::rowId(row), name); });
    if (!found)
        return;
    if (*found)
        row->setText(1, name);
    else
        fill(); // removed meanwhile
    Changes::announce(Changes::Finance, this);
}

void Dlogzhlb::Command3_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请选择要删除的类别！"));
        return;
    }
    const qint64 id = Gui::rowId(row);
    const auto with = Db::get([id] { return Dependants::accountsOfType(id); });
    if (!with)
        return;
    if (with->count > 0
        && !Deletion::confirm(
            QStringLiteral("删除帐户类型“%1”？有 %2 个帐户属于这个类型。").arg(with->name).arg(with->count)))
        return;
    if (!Db::run([id] { Finance::removeAccountType(id); }))
        return;
    {
        const QSignalBlocker quiet(ListView1);
        delete row;
        ListView1->clearSelection();
        ListView1->setCurrentItem(nullptr);
    }
    Deletion::done(this, this);
}
