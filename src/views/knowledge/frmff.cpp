#include "views/knowledge/frmff.h"

#include "gui/appinfo.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/widgets.h"
#include "views/knowledge/indexbuilder.h"

#include "data/db.h"
#include "gui/undonotice.h"
#include "views/knowledge/dlogaddff.h"
#include "views/knowledge/dlogfflb.h"
#include "views/knowledge/dlogmodff.h"
#include "views/knowledge/knowledgeui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {
using Gui::button;
using Gui::LinkLabel;

const QString kAllCategories = QStringLiteral("全部类别");

QTreeWidgetItem* articleRow(const Knowledge::Heading& h)
{
    auto* row = new QTreeWidgetItem;
    row->setText(0, QString::number(h.id));
    row->setText(1, h.title);
    row->setToolTip(1, h.title);
    row->setText(2, Gui::day(h.day));
    return row;
}

} // namespace

Frmff::Frmff(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frmff"));
    buildControls();

    // Another window's change refills the lists; this view's own deletion shows in place.
    Deletion::installShortcut(this);
    connect(&Changes::instance(), &Changes::knowledgeChanged, this, [this](QObject* origin) {
        if (origin == this)
            return;
        Db::run([this] {
            FillTypes();
            refillArticles();
        });
    });
}

void Frmff::buildControls()
{
    // Left: the categories.
    Frame1 = new QGroupBox(QStringLiteral("知识类别"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ListView1 = KnowledgeUi::categoryList(Frame1, QStringLiteral("ListView1"));
    Command5 = button(Frame1, QStringLiteral("Command5"), QStringLiteral("管理知识类别"));
    auto* left = new QVBoxLayout(Frame1);
    left->addWidget(ListView1, 1);
    left->addWidget(Command5);
    Frame1->setFixedWidth(220);

    // Right, top: the search.
    Frame2 = new QGroupBox(QStringLiteral("知识库搜索"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Label4 = new QLabel(QStringLiteral("关 键 字："), Frame2);
    Label4->setObjectName(QStringLiteral("Label4"));
    Text1 = new QLineEdit(Frame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label4->setBuddy(Text1);
    Label1 = new QLabel(QStringLiteral("相关类别："), Frame2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1 = new QComboBox(Frame2);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setMinimumWidth(200);
    Label1->setBuddy(Combo1);
    Check1 = new QCheckBox(QStringLiteral("包括内容搜索"), Frame2);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command4 = button(Frame2, QStringLiteral("Command4"), QStringLiteral("开始搜索"));
    Command4->setMinimumWidth(96);

    auto* search = new QGridLayout(Frame2);
    search->setHorizontalSpacing(8);
    search->addWidget(Label4, 0, 0);
    search->addWidget(Text1, 0, 1, 1, 3);
    search->addWidget(Command4, 0, 4);
    search->addWidget(Label1, 1, 0);
    search->addWidget(Combo1, 1, 1);
    search->addWidget(Check1, 1, 2);
    search->setColumnStretch(3, 1);
    // Shown while the search index of an older file is being built; searches scan meanwhile.
    LabelIndex = new QLabel(QStringLiteral("正在建立搜索索引…"), Frame2);
    LabelIndex->setObjectName(QStringLiteral("LabelIndex"));
    search->addWidget(LabelIndex, 2, 1, 1, 4);
    auto showBuild = [this](qint64 done, qint64 total) {
        LabelIndex->setVisible(total > 0);
        if (total > 0)
            LabelIndex->setText(QStringLiteral("正在建立搜索索引…（%1/%2）").arg(done).arg(total));
    };
    IndexBuilder& builder = IndexBuilder::instance();
    showBuild(builder.done(), builder.running() ? builder.total() : 0);
    connect(&builder, &IndexBuilder::progress, LabelIndex, showBuild);
    connect(&builder, &IndexBuilder::finished, LabelIndex, &QWidget::hide);

    // Right, below: the articles and their actions.
    ListView2 = Gui::reportList(this, QStringLiteral("ListView2"),
                                {{QStringLiteral("文章标题"), Gui::twips(9596)}, {QStringLiteral("记录日期"), 110}});
    // The title takes the room the list has; the day keeps its width.
    ListView2->header()->setStretchLastSection(false);
    ListView2->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ListView2->header()->setSectionResizeMode(2, QHeaderView::Fixed);
    ListView2->setColumnWidth(2, 110);

    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("新增"));
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("编辑"));
    Command3 = button(this, QStringLiteral("Command3"), QStringLiteral("删除"));
    auto* link = new LinkLabel(QStringLiteral("知识管理的目的？如何使用我们的软件进行知识管理？"), this);
    link->onClick = [this] { Label2_Click(); };
    Label2 = link;
    Label2->setObjectName(QStringLiteral("Label2"));

    auto* actions = new QHBoxLayout;
    actions->addWidget(Label2);
    actions->addStretch();
    for (QPushButton* b : {Command1, Command2, Command3}) {
        b->setMinimumWidth(80);
        actions->addWidget(b);
    }

    auto* right = new QVBoxLayout;
    right->setSpacing(8);
    right->addWidget(Frame2);
    right->addWidget(ListView2, 1);
    right->addLayout(actions);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(12);
    root->addWidget(Frame1);
    root->addLayout(right, 1);

    setTabOrder(ListView1, Command5);
    setTabOrder(Command5, Text1);
    setTabOrder(Text1, Combo1);
    setTabOrder(Combo1, Check1);
    setTabOrder(Check1, Command4);
    setTabOrder(Command4, ListView2);
    setTabOrder(ListView2, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &Frmff::ListView1_SelectionChanged);
    connect(ListView1, &QTreeWidget::itemClicked, this, &Frmff::ListView1_ItemClick);
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this, &Frmff::ListView2_DblClick);
    connect(Command1, &QPushButton::clicked, this, &Frmff::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmff::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Frmff::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Frmff::Command4_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &Frmff::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Frmff::Command5_Click);
}

void Frmff::Form_Load()
{
    Check1->setChecked(false);
    Db::run([this] {
        {
            const QSignalBlocker quiet(Combo1);
            Combo1->setEditText(kAllCategories);
        }
        FillTypes();
        listedUpTo_ = Knowledge::lastId();
    });
}

void Frmff::FillTypes()
{
    const auto names = Db::get([] { return Knowledge::categories(); });
    if (!names)
        return;
    const QString picked = selectedCategory();
    const QString searchIn = Combo1->currentText();

    KnowledgeUi::fillCategoryList(ListView1, *names, picked);
    const QSignalBlocker quietBox(Combo1);
    Combo1->clear();
    Combo1->addItems(*names);
    // The box's text is not one of its entries; a category that is gone falls back to every one.
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(names->contains(searchIn) ? searchIn : kAllCategories);
}

void Frmff::FfList(const QString& category)
{
    Listing listing;
    listing.kind = Listing::Category;
    listing.category = category;
    Db::run([&] {
        if (runListing(listing))
            listedUpTo_ = Knowledge::lastId();
    });
}

bool Frmff::runListing(const Listing& listing)
{
    std::optional<QList<Knowledge::Heading>> rows;
    if (listing.kind == Listing::Category)
        rows = Db::get([&] { return Knowledge::ofCategory(listing.category.value_or(QString())); });
    else if (listing.kind == Listing::Search)
        rows = Db::get([&] { return Knowledge::search(listing.keyword, listing.category, listing.withContent); });
    else
        rows.emplace();
    if (!rows)
        return false;
    listing_ = listing;
    showArticles(*rows);
    return true;
}

void Frmff::refillArticles()
{
    if (!runListing(listing_))
        return;
    // Articles added since the user listed stay in view at the end, whatever the list shows.
    const auto added = Db::get([this] { return Knowledge::addedAfter(listedUpTo_); });
    if (!added)
        return;
    QSet<qint64> shown;
    for (int i = 0; i < ListView2->topLevelItemCount(); ++i)
        shown.insert(Gui::rowId(ListView2->topLevelItem(i)));
    const qint64 selected = selectedArticleId();
    for (const Knowledge::Heading& h : *added) {
        if (shown.contains(h.id))
            continue;
        QTreeWidgetItem* row = articleRow(h);
        ListView2->addTopLevelItem(row);
        if (h.id == selected)
            row->setSelected(true);
    }
}

void Frmff::showArticles(const QList<Knowledge::Heading>& rows)
{
    const qint64 selected = selectedArticleId();
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    QTreeWidgetItem* keep = nullptr;
    for (const Knowledge::Heading& h : rows) {
        items.append(articleRow(h));
        if (h.id == selected)
            keep = items.last();
    }
    ListView2->setUpdatesEnabled(false);
    ListView2->clear();
    ListView2->addTopLevelItems(items);
    if (keep) {
        ListView2->setCurrentItem(keep);
        ListView2->scrollToItem(keep);
    }
    ListView2->setUpdatesEnabled(true);
}

QString Frmff::selectedCategory() const
{
    return KnowledgeUi::selectedName(ListView1);
}

qint64 Frmff::selectedArticleId() const
{
    return Gui::selectedId(ListView2);
}

void Frmff::ListView1_SelectionChanged()
{
    const QString category = selectedCategory();
    if (!category.isEmpty())
        FfList(category);
}

// A click on the category already selected lists it again (after a search, say).
void Frmff::ListView1_ItemClick(QTreeWidgetItem* item)
{
    if (!item)
        return;
    if (listing_.kind != Listing::Category || listing_.category != std::optional<QString>(item->text(0)))
        FfList(item->text(0));
}

void Frmff::ListView2_DblClick()
{
    Command2_Click();
}

void Frmff::Command1_Click()
{
    Forms::show<Dlogaddff>();
}

void Frmff::Command2_Click()
{
    if (selectedArticleId() == 0) {
        MsgBox(QStringLiteral("没有可以编辑的知识！"));
        return;
    }
    Forms::show<Dlogmodff>();
}

void Frmff::Command3_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView2);
    if (!row) {
        MsgBox(ListView2->topLevelItemCount() == 0 ? QStringLiteral("没有可删除的知识！")
                                                   : QStringLiteral("请先选择要删除的知识！"));
        return;
    }
    if (!Db::run([id = Gui::rowId(row)] { Knowledge::remove(id); }))
        return;
    {
        // The next article is not picked for the user: a second click must not delete it unseen.
        const QSignalBlocker quiet(ListView2);
        delete row;
        ListView2->clearSelection();
        ListView2->setCurrentItem(nullptr);
    }
    // The article may have been a diary entry.
    Deletion::done(this, this);
}

void Frmff::Command4_Click()
{
    const QString keyword = Text1->text();
    if (keyword.isEmpty()) {
        MsgBox(QStringLiteral("请输入要搜索的关键字"));
        Text1->setFocus();
        return;
    }
    Listing listing;
    listing.kind = Listing::Search;
    listing.keyword = keyword;
    const QString category = Combo1->currentText();
    if (category != kAllCategories)
        listing.category = category;
    listing.withContent = Check1->isChecked();
    // A search through the bodies of a large collection (or the first one, which builds the index)
    // takes a while.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    Db::run([&] {
        if (runListing(listing))
            listedUpTo_ = Knowledge::lastId();
    });
}

void Frmff::Command5_Click()
{
    Forms::show<Dlogfflb>();
}

void Frmff::Label2_Click()
{
    Shell::openUrl(QUrl(AppInfo::sitePage(QStringLiteral("/shuoming/11.asp"))));
}
