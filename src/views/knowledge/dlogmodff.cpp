#include "views/knowledge/dlogmodff.h"

#include "data/db.h"
#include "data/knowledge.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "views/knowledge/knowledgeselection.h"
#include "views/knowledge/knowledgeui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kNothingToEdit = QStringLiteral("没有可以编辑的知识！");
}

Dlogmodff::Dlogmodff(QWidget* parent) : FormDialog(parent)
{
    setObjectName(QStringLiteral("Dlogmodff"));
    setWindowTitle(QStringLiteral("修改知识"));

    Label1 = new QLabel(QStringLiteral("知识标题："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    Label2 = new QLabel(QStringLiteral("知识类别"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Combo1 = KnowledgeUi::categoryBox(this, QStringLiteral("Combo1"));
    Label2->setBuddy(Combo1);
    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setTabChangesFocus(true);
    Command1 = new QPushButton(QStringLiteral("修改"), this);
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
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Combo1, 1, 1, Qt::AlignLeft);
    grid->addWidget(RichTextBox1, 2, 0, 1, 2);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    for (QLabel* l : {Label1, Label2})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    resize(600, 440);

    connect(Command1, &QPushButton::clicked, this, &Dlogmodff::Command1_Click);
}

bool Dlogmodff::Form_Load()
{
    WindowPlace::besideFrame(this);
    const auto* view = Forms::openAs<KnowledgeSelection>(Views::kKnowledge);
    const qint64 id = view ? view->selectedArticleId() : 0;
    if (id == 0)
        return false;
    std::optional<Knowledge::Article> article;
    QStringList names;
    const bool read = Db::run([&] {
        article = Knowledge::load(id);
        names = Knowledge::categories();
    });
    if (!read)
        return false;
    if (!article) {
        // Deleted since the view listed it.
        MsgBox(kNothingToEdit);
        return false;
    }
    articleId_ = article->id;
    KnowledgeUi::fillCategoryBox(Combo1, article->ltype, names);
    // An article without a category shows an empty box rather than the first category.
    if (article->ltype.isEmpty())
        Combo1->setEditText(QString());
    Text1->setText(article->title);
    RichTextBox1->setPlainText(article->content);
    guardEdits(QStringLiteral("是否保存对知识的修改？"), Command1);
    return true;
}

void Dlogmodff::Command1_Click()
{
    // Nothing is checked: an emptied title is kept as it is.
    bool updated = false;
    if (!Db::run([&] {
            updated = Knowledge::update(articleId_, Text1->text(), RichTextBox1->toPlainText(),
                                        Combo1->currentText().trimmed());
        }))
        return;
    if (!updated) {
        // The article was deleted while the dialog was open: nothing was saved.
        MsgBox(kNothingToEdit);
        Forms::unload(this);
        return;
    }
    // The article may be (or have been) a diary entry.
    Changes::announce(Changes::Knowledge | Changes::Diary, this);
    Forms::unload(this);
}
