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
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
const QString kNothingToEdit = QStringLiteral("没有可以编辑的知识！");
}

Dlogmodff::Dlogmodff(QWidget* parent)
    : ArticleEditor({QStringLiteral("Dlogmodff"), QStringLiteral("修改知识"), QStringLiteral("Label2"),
                     QStringLiteral("知识类别"), QStringLiteral("Combo1"), QString(), QStringLiteral("修改")},
                    parent)
{
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
    KnowledgeUi::fillCategoryBox(categoryBox, article->category, names);
    // An article without a category shows an empty box rather than the first category.
    if (article->category.isEmpty())
        categoryBox->setEditText(QString());
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
                                        categoryBox->currentText().trimmed());
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
