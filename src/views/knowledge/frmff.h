#pragma once

#include "data/knowledge.h"
#include "views/knowledge/knowledgeselection.h"

#include <QWidget>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The knowledge view: categories on the left, the search and the article list on the right.
// The article list shows a category's articles or a search result, whichever ran last. When
// another window changes the knowledge base the lists are refilled; articles added since the
// user's last listing stay at the end of the list until the user lists again.
class Frmff : public QWidget, public KnowledgeSelection
{
    Q_OBJECT

public:
    explicit Frmff(QWidget* parent = nullptr);

    void Form_Load();

    // Fills the category list and the search's category box, keeping what is picked in them
    // while it still exists.
    void FillTypes();
    // Lists the category's articles, newest day first.
    void FfList(const QString& category);

    QString selectedCategory() const override;
    qint64 selectedArticleId() const override;

private:
    void buildControls();

    void ListView1_SelectionChanged();
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void ListView2_DblClick();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Label2_Click();

    // Shows the rows in the article list (replacing what it shows) and keeps the id that was
    // selected, when it is still there.
    void showArticles(const QList<Knowledge::Heading>& rows);
    // Runs the last listing or search again, after another window's change.
    void refillArticles();

    // What filled the article list last.
    struct Listing
    {
        enum Kind { None, Category, Search } kind = None;
        std::optional<QString> category; // the category listed or searched in; none: every category
        QString keyword;
        bool withContent = false;
    };
    // Runs a listing; false when the database failed.
    bool runListing(const Listing& listing);

    QGroupBox* Frame1;
    QTreeWidget* ListView1;
    QPushButton* Command5;
    QGroupBox* Frame2;
    QLabel* Label4;
    QLabel* LabelIndex;
    QLineEdit* Text1;
    QLabel* Label1;
    QComboBox* Combo1;
    QCheckBox* Check1;
    QPushButton* Command4;
    QTreeWidget* ListView2;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QLabel* Label2;

    Listing listing_;
    // The largest article id when the user last listed: articles after it were added since.
    qint64 listedUpTo_ = 0;
};
