#pragma once

#include "views/knowledge/articleeditor.h"

// The add-article dialog "添加方法": title, category (picked or typed) and body.
class Dlogaddff : public ArticleEditor
{
    Q_OBJECT

public:
    explicit Dlogaddff(QWidget* parent = nullptr);

    // Offers the category picked in the knowledge view first, then every category.
    void Form_Load();

private:
    void Command1_Click();
};
