#include "views/magazine/frmzazhi.h"

#include "data/db.h"
#include "gui/appinfo.h"
#include "gui/appstate.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "views/magazine/dlogreadnews.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The search directions in the order of the box; the first lists everything.
struct Direction
{
    const char* caption;
    Magazine::Field field;
};
const Direction kDirections[] = {
    {"搜索方向", Magazine::Field::All},     {"文章标题", Magazine::Field::Title},
    {"文章作者", Magazine::Field::Author},  {"杂志名称", Magazine::Field::Magazine},
    {"文章内容", Magazine::Field::Content},
};

} // namespace

FrmZazhi::FrmZazhi(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmZazhi"));

    Label1 = new QLabel(QStringLiteral("杂志搜索："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(120);
    Label1->setBuddy(Combo1);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(260);
    Command1 = new QPushButton(QStringLiteral("搜索"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    Command1->setMinimumWidth(80);

    ListView1 = Gui::reportList(this, QStringLiteral("ListView1"),
                                {{QStringLiteral("文章标题"), Gui::twips(11360)},
                                 {QStringLiteral("作者"), Gui::twips(3528)},
                                 {QStringLiteral("相关杂志"), Gui::twips(2540)}});
    ListView1->setIconSize(QSize(16, 16));
    // The title takes the room the frame leaves; author and magazine keep their widths.
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ListView1->header()->setSectionResizeMode(2, QHeaderView::Interactive);
    ListView1->header()->setSectionResizeMode(3, QHeaderView::Interactive);

    auto* search = new QHBoxLayout;
    search->setSpacing(8);
    search->addWidget(Label1);
    search->addWidget(Combo1);
    search->addWidget(Text1);
    search->addWidget(Command1);
    search->addStretch();

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(8);
    root->addLayout(search);
    root->addWidget(ListView1, 1);

    setTabOrder(Combo1, Text1);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, ListView1);

    connect(Command1, &QPushButton::clicked, this, &FrmZazhi::Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &FrmZazhi::Command1_Click);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &FrmZazhi::ListView1_DblClick);
}

FrmZazhi::~FrmZazhi()
{
    // The list's rows go before the connection they were read through.
    connection_.reset();
}

QString FrmZazhi::databasePath()
{
    return Module1::programFile(AppInfo::kMagazineDatabase);
}

void FrmZazhi::Form_Load()
{
    Combo1->clear();
    for (const Direction& d : kDirections)
        Combo1->addItem(QString::fromUtf8(d.caption), int(d.field));
    Combo1->setCurrentIndex(0);
    // A file that cannot be opened is reported once; the view stays, empty, and the next search
    // tries again.
    Db::run([this] {
        connection_ = std::make_unique<Magazine::Connection>(databasePath());
        SearchNews();
    });
}

qint64 FrmZazhi::selectedNewsId() const
{
    return Gui::selectedId(ListView1);
}

void FrmZazhi::SearchNews()
{
    ListView1->clear();
    const auto field = Magazine::Field(Combo1->currentData().toInt());
    const QString keyword = Text1->text();
    if (field != Magazine::Field::All && keyword.isEmpty()) {
        MsgBox(QStringLiteral("请输入要搜索的关键字！"));
        Text1->setFocus();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const auto rows = Db::get([&] {
        if (!connection_)
            connection_ = std::make_unique<Magazine::Connection>(databasePath());
        return Magazine::search(*connection_, field, keyword);
    });
    if (!rows)
        return;

    const QIcon article(QStringLiteral(":/icons/magazine_article.svg"));
    QList<QTreeWidgetItem*> items;
    items.reserve(rows->size());
    for (const Magazine::Heading& h : *rows) {
        auto* row = new QTreeWidgetItem;
        row->setText(0, QString::number(h.id));
        row->setText(1, h.title);
        row->setIcon(1, article);
        row->setText(2, h.author);
        row->setText(3, h.magazine);
        items.append(row);
    }
    ListView1->setUpdatesEnabled(false);
    ListView1->addTopLevelItems(items);
    ListView1->setUpdatesEnabled(true);
}

void FrmZazhi::Command1_Click()
{
    SearchNews();
}

void FrmZazhi::ListView1_DblClick()
{
    const qint64 id = selectedNewsId();
    if (id == 0)
        return;
    // An open reading window shows the newly chosen article.
    if (auto* reading = Forms::find<DlogReadnews>()) {
        if (reading->ShowNews(id)) {
            reading->show();
            reading->raise();
            reading->activateWindow();
        }
        return;
    }
    Forms::show<DlogReadnews>();
}
