#pragma once

#include "views/knowledge/articleeditor.h"

// The edit-article dialog "修改知识" for the article picked in the knowledge view. It saves into
// the article it loaded, whatever the view has picked since.
class Dlogmodff : public ArticleEditor
{
    Q_OBJECT

public:
    explicit Dlogmodff(QWidget* parent = nullptr);

    // Loads the article picked in the knowledge view; false (the dialog does not open) when
    // there is none.
    bool Form_Load();

    // The article the dialog edits.
    qint64 articleId() const { return articleId_; }

private:
    void Command1_Click();

    qint64 articleId_ = 0;
};
