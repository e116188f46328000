#pragma once

#include <QString>

// What the knowledge dialogs learn from the knowledge view: the category picked in its category
// list and the article picked in its article list.
class KnowledgeSelection
{
public:
    virtual ~KnowledgeSelection() = default;
    // The selected category's name; empty when none.
    virtual QString selectedCategory() const = 0;
    // The id of the selected article; 0 when none.
    virtual qint64 selectedArticleId() const = 0;
};
