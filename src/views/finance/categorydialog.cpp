#include "views/finance/categorydialog.h"

#include "gui/gui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
