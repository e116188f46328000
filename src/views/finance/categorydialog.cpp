#include "views/finance/categorydialog.h"

#include "data/db.h"
#include "gui/changes.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/undonotice.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

CategoryDialog::CategoryDialog(const QString& label, const QString& column, int columnWidth, QWidget* parent)
    : FormDialog(parent)
{
    Label1 = new QLabel(label, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    ListView1 = Gui::reportList(this, QStringLiteral("ListView1"), {{column, columnWidth}});
    ListView1->setMinimumHeight(220);
    ListView1->setMinimumWidth(columnWidth + 24);
    auto button = [this](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button(QStringLiteral("Command1"), QStringLiteral("增加"));
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("修改"));
    Command3 = button(QStringLiteral("Command3"), QStringLiteral("删除"));
    // Enter in the name field adds it.
    Command1->setDefault(true);

    auto* field = new QHBoxLayout;
    field->addWidget(Label1);
    field->addWidget(Text1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addLayout(field);
    layout->addWidget(ListView1, 1);
    layout->addLayout(buttons);

    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &CategoryDialog::ListView1_SelectionChanged);
}

void CategoryDialog::fillList(const QList<Finance::Category>& rows)
{
    ListView1->clear();
    for (const Finance::Category& c : rows)
        new QTreeWidgetItem(ListView1, {QString::number(c.id), c.name});
}

void CategoryDialog::ListView1_SelectionChanged()
{
    if (const QTreeWidgetItem* row = Gui::selectedRow(ListView1))
        Text1->setText(row->text(1));
}

void CategoryDialog::connectActions(Actions actions)
{
    actions_ = std::move(actions);
    connect(Command1, &QPushButton::clicked, this, &CategoryDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CategoryDialog::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CategoryDialog::Command3_Click);
}

void CategoryDialog::Command1_Click()
{
    const QString name = Text1->text();
    if (name.isEmpty()) {
        MsgBox(actions_.missingName);
        Text1->setFocus();
        return;
    }
    if (!Db::run([&] { actions_.add(name); }))
        return;
    fill();
    if (actions_.clearAfter)
        Text1->clear();
    Changes::announce(Changes::Finance, this);
}

void CategoryDialog::Command2_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请选择要修改的类别！"));
        return;
    }
    const QString name = Text1->text();
    if (name.isEmpty()) {
        MsgBox(actions_.missingName);
        Text1->setFocus();
        return;
    }
    const auto found = Db::get([&] { return actions_.rename(Gui::rowId(row), name); });
    if (!found)
        return;
    if (*found)
        row->setText(1, name);
    else
        fill(); // removed meanwhile
    Changes::announce(Changes::Finance, this);
}

void CategoryDialog::Command3_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请选择要删除的类别！"));
        return;
    }
    const qint64 id = Gui::rowId(row);
    const auto with = Db::get([&] { return actions_.dependants(id); });
    if (!with)
        return;
    if (with->count > 0 && !Deletion::confirm(actions_.deleteQuestion.arg(with->name).arg(with->count)))
        return;
    if (!Db::run([&] { actions_.remove(id); }))
        return;
    {
        const QSignalBlocker quiet(ListView1);
        delete row;
        ListView1->clearSelection();
        ListView1->setCurrentItem(nullptr);
    }
    if (actions_.clearAfter)
        Text1->clear();
    Deletion::done(this, this);
}
