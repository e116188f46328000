#include "views/magazine/dlogreadnews.h"

#include "data/db.h"
#include "data/magazine.h"
#include "gui/appinfo.h"
#include "gui/appstate.h"
#include "gui/forms.h"
#include "gui/views.h"
#include "gui/windowplace.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

DlogReadnews::DlogReadnews(QWidget* parent) : FormDialog(parent)
{
    setObjectName(QStringLiteral("DlogReadnews"));
    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->addWidget(RichTextBox1);
    resize(720, 520);
}

bool DlogReadnews::Form_Load()
{
    WindowPlace::besideFrame(this);
    const auto* view = Forms::openAs<NewsSelection>(Views::kMagazine);
    const qint64 id = view ? view->selectedNewsId() : 0;
    return id != 0 && ShowNews(id);
}

bool DlogReadnews::ShowNews(qint64 id)
{
    // A connection of its own, for this one read.
    const auto article = Db::get([id] {
        const Magazine::Connection connection(Module1::programFile(AppInfo::kMagazineDatabase));
        return Magazine::load(connection, id);
    });
    if (!article || !*article)
        return false;
    const Magazine::Article& a = **article;
    newsId_ = a.id;
    setWindowTitle(a.title);
    RichTextBox1->setPlainText(Magazine::readable(a.content, AppInfo::kSite));
    return true;
}
