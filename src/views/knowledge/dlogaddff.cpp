#include "views/knowledge/dlogaddff.h"

#include "data/db.h"
#include "data/knowledge.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "views/knowledge/knowledgeselection.h"
#include "views/knowledge/knowledgeui.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

Dlogaddff::Dlogaddff(QWidget* parent)
    : ArticleEditor({QStringLiteral("Dlogaddff"), QStringLiteral("添加方法"), QStringLiteral("Label5"),
                     QStringLiteral("知识类别："), QStringLiteral("Combo3"), QStringLiteral("详细内容："),
                     QStringLiteral("添加")},
                    parent)
{
    connect(Command1, &QPushButton::clicked, this, &Dlogaddff::Command1_Click);
}

void Dlogaddff::Form_Load()
{
    WindowPlace::besideFrame(this);
    QString picked;
    if (const auto* view = Forms::openAs<KnowledgeSelection>(Views::kKnowledge))
        picked = view->selectedCategory();
    const auto names = Db::get([] { return Knowledge::categories(); });
    KnowledgeUi::fillCategoryBox(categoryBox, picked, names.value_or(QStringList()));
}

void Dlogaddff::Command1_Click()
{
    const QString title = Text1->text();
    const QString category = categoryBox->currentText().trimmed();
    const QString body = RichTextBox1->toPlainText();
    if (title.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("请输入知识的标题！"));
        Text1->setFocus();
        return;
    }
    if (category.isEmpty()) {
        MsgBox(QStringLiteral("请选择或输入知识类别！"));
        categoryBox->setFocus();
        return;
    }
    if (body.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("请输入方法内容！"));
        RichTextBox1->setFocus();
        return;
    }
    if (!Db::run([&] { Knowledge::add(title, body, category, Clock::today()); }))
        return; // the error has been shown; what was typed stays for another try
    // A new article of "日志" is a diary entry.
    Changes::announce(Changes::Knowledge | Changes::Diary, this);
    Forms::unload(this);
}
