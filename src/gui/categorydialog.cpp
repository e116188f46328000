#include "gui/categorydialog.h"

#include "data/db.h"
#include "gui/changes.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/undonotice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// The signal that tells of changes of one kind of data.
void (Changes::*changedSignal(Changes::Kind kind))(QObject*)
{
    switch (kind) {
    case Changes::Tasks:
        return &Changes::tasksChanged;
    case Changes::Goals:
        return &Changes::goalsChanged;
    case Changes::Themes:
        return &Changes::themesChanged;
    case Changes::Diary:
        return &Changes::diaryChanged;
    case Changes::Statements:
        return &Changes::statementsChanged;
    case Changes::Knowledge:
        return &Changes::knowledgeChanged;
    case Changes::Contacts:
        return &Changes::contactsChanged;
    case Changes::Finance:
        break;
    }
    return &Changes::financeChanged;
}
} // namespace

CategoryDialog::CategoryDialog(Changes::Kind kind, const QString& label, const QString& addText, QWidget* parent)
    : FormDialog(parent), kind_(kind)
{
    Deletion::installShortcut(this);
    // An undone deletion elsewhere (or here) brings rows back into the list.
    connect(&Changes::instance(), changedSignal(kind), this, [this](QObject* origin) {
        if (origin != this)
            Db::run([this] { fill(); });
    });

    Label1 = new QLabel(label, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    auto button = [this](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    Command1 = button(QStringLiteral("Command1"), addText);
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("修改"));
    Command3 = button(QStringLiteral("Command3"), QStringLiteral("删除"));
    // Enter in the name field adds it.
    Command1->setDefault(true);
}

void CategoryDialog::makeList(const QString& column, int width, const QSize& minimum)
{
    ListView1 = Gui::reportList(this, QStringLiteral("ListView1"), {{column, width}});
    ListView1->setMinimumSize(minimum);
}

void CategoryDialog::arrange(Arrangement arrangement, int margin, int spacing)
{
    auto* field = new QHBoxLayout;
    field->addWidget(Label1);
    field->addWidget(Text1, 1);
    const bool beside = arrangement == Arrangement::ButtonsBeside;
    QBoxLayout* buttons = beside ? static_cast<QBoxLayout*>(new QVBoxLayout) : new QHBoxLayout;
    if (!beside)
        buttons->addStretch();
    for (QPushButton* b : {Command1, Command2, Command3})
        buttons->addWidget(b);
    if (beside)
        buttons->addStretch();

    // Tab goes through the controls in the order they stand, and the first has the focus.
    QList<QWidget*> order{Text1, ListView1, Command1, Command2, Command3};
    if (arrangement == Arrangement::ListFirst)
        order.swapItemsAt(0, 1);
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    order.first()->setFocus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    if (spacing >= 0)
        layout->setSpacing(spacing);
    switch (arrangement) {
    case Arrangement::FieldFirst:
        layout->addLayout(field);
        layout->addWidget(ListView1, 1);
        layout->addLayout(buttons);
        break;
    case Arrangement::ListFirst:
        layout->addWidget(ListView1, 1);
        layout->addLayout(field);
        layout->addLayout(buttons);
        break;
    case Arrangement::ButtonsBeside: {
        auto* body = new QHBoxLayout;
        body->addWidget(ListView1, 1);
        body->addLayout(buttons);
        layout->addLayout(field);
        layout->addLayout(body, 1);
        break;
    }
    }
}

bool CategoryDialog::hasName(const QString& name, const QString& message)
{
    if (!name.isEmpty())
        return true;
    MsgBox(message);
    Text1->setFocus();
    return false;
}

void CategoryDialog::showName(const QTreeWidgetItem* row)
{
    if (row)
        Text1->setText(row->text(1));
}

void CategoryDialog::connectActions(Actions actions)
{
    actions_ = std::move(actions);
    if (actions_.pickOnClick)
        connect(ListView1, &QTreeWidget::itemClicked, this, &CategoryDialog::showName);
    else
        connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] { showName(Gui::selectedRow(ListView1)); });
    connect(Command1, &QPushButton::clicked, this, &CategoryDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &CategoryDialog::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &CategoryDialog::Command3_Click);
}

void CategoryDialog::Command1_Click()
{
    const QString name = Text1->text();
    if (!hasName(name, actions_.missingName) || !Db::run([&] { actions_.add(name); }))
        return;
    fill();
    if (actions_.clearAfter)
        Text1->clear();
    Changes::announce(kind_, this);
}

void CategoryDialog::Command2_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(actions_.selectToRename);
        return;
    }
    const QString name = Text1->text();
    if (!hasName(name, actions_.missingName))
        return;
    const auto found = Db::get([&] { return actions_.rename(Gui::rowId(row), name); });
    if (!found)
        return;
    if (*found)
        row->setText(1, name);
    else
        fill(); // removed meanwhile
    if (actions_.clearAfterRename)
        Text1->clear();
    Changes::announce(kind_, this);
}

void CategoryDialog::Command3_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(actions_.selectToDelete);
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
    Gui::dropRow(ListView1, row);
    if (actions_.clearAfter)
        Text1->clear();
    Deletion::done(this, this);
}
