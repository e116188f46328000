#include "views/knowledge/articleeditor.h"

#include "views/knowledge/knowledgeui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

ArticleEditor::ArticleEditor(const Names& names, QWidget* parent) : FormDialog(parent)
{
    setObjectName(names.dialog);
    setWindowTitle(names.caption);

    Label1 = new QLabel(QStringLiteral("知识标题："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    categoryLabel = new QLabel(names.categoryText, this);
    categoryLabel->setObjectName(names.categoryLabel);
    categoryBox = KnowledgeUi::categoryBox(this, names.categoryBox);
    categoryLabel->setBuddy(categoryBox);
    if (!names.bodyText.isEmpty()) {
        bodyLabel = new QLabel(names.bodyText, this);
        bodyLabel->setObjectName(QStringLiteral("Label2"));
    }
    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setTabChangesFocus(true);
    if (bodyLabel)
        bodyLabel->setBuddy(RichTextBox1);
    Command1 = new QPushButton(names.saveText, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command1->setMinimumWidth(90);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(categoryLabel, 1, 0);
    grid->addWidget(categoryBox, 1, 1, Qt::AlignLeft);
    if (bodyLabel) {
        grid->addWidget(bodyLabel, 2, 0, Qt::AlignRight | Qt::AlignTop);
        grid->addWidget(RichTextBox1, 2, 1);
    } else {
        grid->addWidget(RichTextBox1, 2, 0, 1, 2);
    }
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    for (QLabel* l : {Label1, categoryLabel, bodyLabel})
        if (l)
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    resize(600, 440);
}
