#include "views/desktop/frmmissed.h"

#include "data/db.h"
#include "data/tasks.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/windowplace.h"
#include "views/desktop/reminderpopup.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

FrmMissed::FrmMissed(QWidget* parent) : FormDialog(parent)
{
    setObjectName(QStringLiteral("FrmMissed"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("错过的提醒"));

    auto* Label1 = new QLabel(QStringLiteral("以下任务的提醒时间已过，双击可查看任务："), this);
    ListView1 = Gui::reportList(
        this, QStringLiteral("ListView1"),
        {{QStringLiteral("任务名称"), 260}, {QStringLiteral("提醒时间"), 140}, {QStringLiteral("状态"), 80}});
    Command1 = new QPushButton(QStringLiteral("知道了"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ListView1, 1);
    layout->addLayout(buttons);
    resize(540, 300);

    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &FrmMissed::ListView1_DblClick);
    connect(Command1, &QPushButton::clicked, this, &FrmMissed::Command1_Click);
}

void FrmMissed::Form_Load()
{
    WindowPlace::centreOnScreen(this);
    Class1::zhiqian(this);
}

FrmMissed* FrmMissed::add(const QList<Reminders::Due>& missed)
{
    FrmMissed* window = Forms::instance<FrmMissed>();
    if (!window)
        return nullptr;
    for (const Reminders::Due& d : missed) {
        if (d.taskId <= 0)
            continue;
        // A task is listed once, with the latest time it was missed at.
        if (!window->missed_.contains(d.taskId))
            window->order_.append(d.taskId);
        else if (window->missed_.value(d.taskId) >= d.at)
            continue;
        window->missed_.insert(d.taskId, d.at);
    }
    window->fillList();
    window->show();
    return window;
}

QList<qint64> FrmMissed::listedIds() const
{
    QList<qint64> ids;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ids << Gui::rowId(ListView1->topLevelItem(i));
    return ids;
}

void FrmMissed::fillList()
{
    const auto tasks = Db::get([this] { return Reminders::tasks(order_); });
    if (!tasks)
        return;
    QHash<qint64, Reminders::Missed> byId;
    for (const Reminders::Missed& m : *tasks)
        byId.insert(m.taskId, m);
    // Oldest first; a deleted task leaves the list.
    QList<qint64> ids;
    for (qint64 id : std::as_const(order_)) {
        if (byId.contains(id))
            ids << id;
    }
    std::stable_sort(ids.begin(), ids.end(), [this](qint64 a, qint64 b) { return missed_[a] < missed_[b]; });
    order_ = ids;

    ListView1->clear();
    for (qint64 id : std::as_const(ids)) {
        const Reminders::Missed& m = byId[id];
        const QDateTime at = missed_.value(id);
        auto* row = new QTreeWidgetItem(ListView1);
        row->setText(0, QString::number(id));
        row->setText(1, m.title);
        row->setText(2, Gui::day(at.date()) + QLatin1Char(' ') + Gui::time(at.time()));
        row->setText(3, QString::number(m.state));
    }
    ShowStatusText(ListView1, 3);
}

void FrmMissed::ListView1_DblClick(QTreeWidgetItem* row)
{
    const qint64 id = Gui::rowId(row);
    if (id > 0)
        openReminderPopup(id);
}

void FrmMissed::Command1_Click()
{
    close();
}
