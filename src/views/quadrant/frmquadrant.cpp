#include "views/quadrant/frmquadrant.h"

#include "data/db.h"
#include "data/themes.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/droplist.h"
#include "gui/gui.h"
#include "gui/widgets.h"
#include "views/quadrant/reviewchart.h"
#include "views/tasks/dlogmodrw.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {

const char* const kNames[Quadrant::kCount] = {"重要且紧迫", "重要不紧迫", "紧迫不重要", "不重要不紧迫"};
// Title colours of the quadrants, matching their icons.
const QColor kColours[Quadrant::kCount] = {QColor(0xc0, 0x39, 0x2b), QColor(0x1f, 0x6f, 0x78), QColor(0xb9, 0x77, 0x0e),
                                           QColor(0x5d, 0x6d, 0x7e)};

QString quadrantName(int q)
{
    return QString::fromUtf8(kNames[q]);
}

} // namespace

FrmQuadrant::FrmQuadrant(QWidget* parent) : QWidget(parent)
{
    buildControls();

    // Every change of tasks, this view's own moves included, reshapes the board and the review.
    Changes& changes = Changes::instance();
    connect(&changes, &Changes::tasksChanged, this, [this] {
        QList_Fill();
        ReviewShow();
    });
    connect(&changes, &Changes::themesChanged, this, [this] {
        Db::run([this] { fillThemes(); });
        QList_Fill();
        ReviewShow();
    });
}

void FrmQuadrant::buildControls()
{
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(buildBoard(), QStringLiteral("四象限"));
    SSTab1->addTab(buildReview(), QStringLiteral("每周回顾"));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->addWidget(SSTab1);
}

QWidget* FrmQuadrant::buildBoard()
{
    auto* page = new QWidget(SSTab1);
    Combo1 = new QComboBox(page);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    for (const char* range : {"今日", "本周", "未安排", "全部未完成"})
        Combo1->addItem(QString::fromUtf8(range));
    Combo1->setCurrentIndex(Quadrant::ThisWeek);
    Combo2 = new QComboBox(page);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo2->setMinimumContentsLength(12);
    auto* hint = new QLabel(QStringLiteral("把任务拖到另一个象限，或选中后按 Ctrl+1 至 Ctrl+4；双击修改任务。"), page);
    hint->setObjectName(QStringLiteral("Label1"));
    hint->setStyleSheet(QStringLiteral("color: #5d6d7e;"));

    auto* filter = new QHBoxLayout;
    filter->addWidget(Gui::fieldLabel(QStringLiteral("范围："), Combo1, Qt::AlignLeft | Qt::AlignVCenter));
    filter->addWidget(Combo1);
    filter->addSpacing(16);
    filter->addWidget(Gui::fieldLabel(QStringLiteral("行动主题："), Combo2, Qt::AlignLeft | Qt::AlignVCenter));
    filter->addWidget(Combo2);
    filter->addSpacing(16);
    filter->addWidget(hint, 1);

    auto* grid = new QGridLayout;
    grid->setSpacing(10);
    for (int q = 0; q < Quadrant::kCount; ++q) {
        auto* frame = new QGroupBox(page);
        frame->setObjectName(QStringLiteral("FrameQ%1").arg(q + 1));
        frame->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; color: %1; }").arg(kColours[q].name()));
        // A drop acts on the board's selected task, whichever list it is in.
        auto* list = new Gui::DropList(frame, QStringLiteral("ListQ%1").arg(q + 1), Qt::MoveAction);
        list->setStyleSheet(QStringLiteral("font-weight: normal; color: palette(text);"));
        list->setHeaderLabels({QString(), QStringLiteral("任务名称"), QStringLiteral("日期"), QStringLiteral("时间")});
        list->setColumnHidden(0, true);
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->header()->setStretchLastSection(false);
        list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
        list->header()->setSectionResizeMode(2, QHeaderView::Fixed);
        list->header()->setSectionResizeMode(3, QHeaderView::Fixed);
        list->setColumnWidth(2, 86);
        list->setColumnWidth(3, 86);
        list->onDrop = [this, q] { moveSelectedTo(q); };
        connect(list, &QTreeWidget::itemSelectionChanged, this, [this, q] { List_SelectionChanged(q); });
        connect(list, &QTreeWidget::itemDoubleClicked, this, &FrmQuadrant::List_DblClick);
        auto* layout = new QVBoxLayout(frame);
        layout->setContentsMargins(6, 6, 6, 6);
        layout->addWidget(list);
        frames_[size_t(q)] = frame;
        lists_[size_t(q)] = list;
        grid->addWidget(frame, q / 2, q % 2);

        // Ctrl+1..4 anywhere in the view; also offered on the lists' right-click menu.
        auto* move = new QAction(QStringLiteral("移到“%1”").arg(quadrantName(q)), this);
        move->setObjectName(QStringLiteral("MoveQ%1").arg(q + 1));
        move->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + q)));
        move->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(move, &QAction::triggered, this, [this, q] { moveSelectedTo(q); });
        addAction(move);
        moves_[size_t(q)] = move;
    }
    for (Gui::DropList* list : lists_) {
        list->setContextMenuPolicy(Qt::ActionsContextMenu);
        for (QAction* move : moves_)
            list->addAction(move);
    }
    grid->setRowStretch(0, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(filter);
    layout->addLayout(grid, 1);

    connect(Combo1, &QComboBox::activated, this, &FrmQuadrant::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &FrmQuadrant::Combo2_Click);
    return page;
}

QWidget* FrmQuadrant::buildReview()
{
    auto* page = new QWidget(SSTab1);
    Command1 = Gui::button(page, QStringLiteral("Command1"), QStringLiteral("上一周"));
    Command3 = Gui::button(page, QStringLiteral("Command3"), QStringLiteral("本周"));
    Command2 = Gui::button(page, QStringLiteral("Command2"), QStringLiteral("下一周"));
    LabelWeek = new QLabel(page);
    LabelWeek->setObjectName(QStringLiteral("LabelWeek"));
    QFont bold = LabelWeek->font();
    bold.setBold(true);
    LabelWeek->setFont(bold);

    auto* weekRow = new QHBoxLayout;
    weekRow->addWidget(Command1);
    weekRow->addWidget(Command3);
    weekRow->addWidget(Command2);
    weekRow->addSpacing(16);
    weekRow->addWidget(LabelWeek, 1);

    ListReview = Gui::reportList(page, QStringLiteral("ListReview"),
                                 {{QStringLiteral("象限"), 120},
                                  {ReviewChart::outcomeName(Quadrant::Completed), 70},
                                  {ReviewChart::outcomeName(Quadrant::Abandoned), 70},
                                  {ReviewChart::outcomeName(Quadrant::LeftOpen), 70}});
    for (int c = 2; c <= 4; ++c)
        ListReview->headerItem()->setTextAlignment(c, Qt::AlignCenter);
    ListReview->setSelectionMode(QAbstractItemView::NoSelection);
    ListReview->setFocusPolicy(Qt::NoFocus);
    ListReview->setFixedWidth(120 + 3 * 70 + 8);
    for (int q = 0; q < Quadrant::kCount; ++q) {
        auto* row = new QTreeWidgetItem(ListReview);
        row->setText(0, QString::number(q + 1));
        row->setText(1, quadrantName(q));
        row->setIcon(1, Gui::quadrantIcon(Gui::quadrantImage(Quadrant::importance(q), Quadrant::urgency(q))));
        for (int c = 2; c <= 4; ++c)
            row->setTextAlignment(c, Qt::AlignCenter);
    }

    ChartReview = new ReviewChart(page);
    ChartReview->setObjectName(QStringLiteral("ChartReview"));
    LabelReview = new QLabel(page);
    LabelReview->setObjectName(QStringLiteral("LabelReview"));
    QFont larger = LabelReview->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.15);
    LabelReview->setFont(larger);

    auto* left = new QVBoxLayout;
    left->addWidget(ListReview, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(left);
    body->addWidget(ChartReview, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(weekRow);
    layout->addLayout(body, 1);
    layout->addWidget(LabelReview);

    connect(Command1, &QPushButton::clicked, this, &FrmQuadrant::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &FrmQuadrant::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &FrmQuadrant::Command3_Click);
    return page;
}

void FrmQuadrant::Form_Load()
{
    week_ = Quadrant::weekStart(Clock::today());
    Db::run([this] {
        fillThemes();
        QList_Fill();
        ReviewShow();
    });
}

void FrmQuadrant::fillThemes()
{
    const qint64 chosen = Combo2->currentData().toLongLong();
    const QList<Themes::Choice> themes = Themes::all();
    Combo2->clear();
    Combo2->addItem(QStringLiteral("全部主题"), 0);
    for (const Themes::Choice& theme : themes)
        Combo2->addItem(theme.name, theme.id);
    Combo2->setCurrentIndex(std::max(Combo2->findData(chosen), 0));
}

void FrmQuadrant::QList_Fill()
{
    Quadrant::Filter filter;
    filter.range = Quadrant::Range(std::clamp(Combo1->currentIndex(), 0, 3));
    filter.today = Clock::today();
    filter.theme = Combo2->currentData().toLongLong();
    const qint64 selected = selectedTaskId();
    const auto board = Db::get([&] { return Quadrant::board(filter, kRowCap); });
    QTreeWidgetItem* reselect = nullptr;
    int reselectIn = -1;
    for (int q = 0; q < Quadrant::kCount; ++q) {
        Gui::DropList* list = lists_[size_t(q)];
        const QSignalBlocker quiet(list);
        list->clear();
        const int count = board ? board->counts[size_t(q)] : 0;
        frames_[size_t(q)]->setTitle(QStringLiteral("%1（%2）").arg(quadrantName(q)).arg(count));
        if (!board)
            continue;
        // Rows are made first and handed to the list at once: one insertion, not one per row.
        QList<QTreeWidgetItem*> rows;
        rows.reserve(board->rows[size_t(q)].size() + 1);
        for (const Quadrant::Item& item : board->rows[size_t(q)]) {
            auto* row = new QTreeWidgetItem;
            rows << row;
            row->setText(0, QString::number(item.id));
            row->setText(1, item.title);
            row->setToolTip(1, item.title);
            row->setText(2, item.day.isValid() ? Gui::day(item.day) : QStringLiteral("未安排"));
            row->setText(3, item.time.isValid() ? Gui::time(item.time) : QStringLiteral("非提醒任务"));
            if (item.id == selected) {
                reselect = row;
                reselectIn = q;
            }
        }
        // Rows past the cap are counted in the title and named in a last line of their own.
        const int hidden = count - int(board->rows[size_t(q)].size());
        if (hidden > 0) {
            auto* more = new QTreeWidgetItem;
            more->setText(1, QStringLiteral("…… 另有 %1 项未列出，请缩小范围").arg(hidden));
            more->setFlags(Qt::NoItemFlags);
            rows << more;
        }
        list->addTopLevelItems(rows);
    }
    // The selected task stays selected, in the list it is in now.
    active_ = -1;
    if (reselect) {
        Gui::DropList* list = lists_[size_t(reselectIn)];
        const QSignalBlocker quiet(list);
        list->setCurrentItem(reselect);
        active_ = reselectIn;
    }
}

void FrmQuadrant::ReviewShow()
{
    if (!week_.isValid())
        return;
    LabelWeek->setText(QStringLiteral("%1 至 %2").arg(Gui::day(week_), Gui::day(week_.addDays(6))));
    const auto review = Db::get([this] { return Quadrant::review(week_); }).value_or(Quadrant::Review{});
    for (int q = 0; q < Quadrant::kCount; ++q) {
        QTreeWidgetItem* row = ListReview->topLevelItem(q);
        for (int o = 0; o < Quadrant::kOutcomes; ++o)
            row->setText(2 + o, QString::number(review.counts[size_t(q)][size_t(o)]));
    }
    ChartReview->setReview(review);
    const int done = review.completed();
    if (done == 0) {
        LabelReview->setText(QStringLiteral("本周完成 0 项"));
        return;
    }
    const int important = review.counts[1][Quadrant::Completed];
    LabelReview->setText(QStringLiteral("本周完成 %1 项，其中重要不紧迫 %2 项（%3%）")
                             .arg(done)
                             .arg(important)
                             .arg(Quadrant::percent(important, done)));
}

qint64 FrmQuadrant::selectedTaskId() const
{
    if (active_ < 0)
        return 0;
    return Gui::selectedId(lists_[size_t(active_)]);
}

void FrmQuadrant::Combo1_Click()
{
    QList_Fill();
}

void FrmQuadrant::Combo2_Click()
{
    QList_Fill();
}

void FrmQuadrant::Command1_Click()
{
    week_ = week_.addDays(-7);
    ReviewShow();
}

void FrmQuadrant::Command2_Click()
{
    week_ = week_.addDays(7);
    ReviewShow();
}

void FrmQuadrant::Command3_Click()
{
    week_ = Quadrant::weekStart(Clock::today());
    ReviewShow();
}

void FrmQuadrant::List_SelectionChanged(int quadrant)
{
    Gui::DropList* list = lists_[size_t(quadrant)];
    if (Gui::selectedRow(list) == nullptr) {
        if (active_ == quadrant)
            active_ = -1;
        return;
    }
    // One selection on the whole board: choosing a row in one list clears the others.
    active_ = quadrant;
    for (Gui::DropList* other : lists_) {
        if (other != list) {
            const QSignalBlocker quiet(other);
            other->clearSelection();
            other->setCurrentItem(nullptr);
        }
    }
}

void FrmQuadrant::List_DblClick()
{
    if (selectedTaskId() != 0)
        Dlogmodrw::showShared();
}

void FrmQuadrant::moveSelectedTo(int quadrant)
{
    const qint64 id = selectedTaskId();
    if (id == 0 || active_ == quadrant)
        return;
    bool moved = false;
    if (!Db::run([&] { moved = Quadrant::move(id, quadrant); }))
        return;
    // A task deleted meanwhile is simply gone from the board after the refill.
    if (moved)
        Changes::announce(Changes::Tasks, this);
    else
        QList_Fill();
}
