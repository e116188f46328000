#include "views/plan/planwindow.h"

#include "data/db.h"
#include "gui/changes.h"
#include "gui/clickableimage.h"
#include "gui/clock.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/taskstates.h"
#include "gui/windowdrag.h"
#include "gui/windowplace.h"
#include "views/plan/xlsxexport.h"

#include <QApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>

namespace {
constexpr int kMarginWidth = Gui::twips(300);
constexpr int kColumnWidth = Gui::twips(1500);
constexpr int kRowHeight = 22;

QLabel* legend(const QString& name, const QString& text, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

QDateEdit* datePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    return picker;
}
} // namespace

PlanWindow::PlanWindow(const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), caption_(caption)
{
    setWindowTitle(caption);
    background_ = new QSvgRenderer(QStringLiteral(":/icons/plan_background.svg"), this);

    Image1 = new ClickableImage(QStringLiteral(":/icons/plan_close.svg"), 22, QStringLiteral("关闭"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    auto* from = new QLabel(QStringLiteral("开始日期："), this);
    DTP1 = datePicker(QStringLiteral("DTP1"), this);
    from->setBuddy(DTP1);
    auto* to = new QLabel(QStringLiteral("结束日期："), this);
    DTP2 = datePicker(QStringLiteral("DTP2"), this);
    to->setBuddy(DTP2);
    Command1 = new QPushButton(QStringLiteral("统计"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("导出到EXCEL表格"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAutoDefault(false);

    model_ = new PlanModel(this);
    MSHFlexGrid1 = new QTableView(this);
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setModel(model_);
    MSHFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MSHFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    MSHFlexGrid1->setWordWrap(false);
    MSHFlexGrid1->setTextElideMode(Qt::ElideRight);
    MSHFlexGrid1->verticalHeader()->hide();
    MSHFlexGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    MSHFlexGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    MSHFlexGrid1->horizontalHeader()->setHighlightSections(false);
    MSHFlexGrid1->horizontalHeader()->setMinimumSectionSize(kMarginWidth);
    MSHFlexGrid1->setColumnWidth(0, kMarginWidth);
    for (int c = 1; c <= 6; ++c)
        MSHFlexGrid1->setColumnWidth(c, kColumnWidth);
    MSHFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    Label3 = legend(QStringLiteral("Label3"), QStringLiteral("■已完成任务"), TaskStates::of(Tasks::Done).colour, this);
    Label4 = legend(QStringLiteral("Label4"), QStringLiteral("■进行中任务"), TaskStates::of(Tasks::Open).colour, this);
    Label5 =
        legend(QStringLiteral("Label5"), QStringLiteral("■已放弃任务"), TaskStates::of(Tasks::Abandoned).colour, this);

    // Layout: the caption row with the close picture, the range and its buttons, the grid, then
    // the legend.
    auto* title = new QLabel(caption, this);
    title->setObjectName(QStringLiteral("Caption"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    title->setFont(titleFont);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(0x1f, 0x4e, 0x8c));
    title->setPalette(titlePalette);

    auto* captionRow = new QHBoxLayout;
    captionRow->addWidget(title);
    captionRow->addStretch();
    captionRow->addWidget(Image1, 0, Qt::AlignTop);

    auto* rangeRow = new QHBoxLayout;
    rangeRow->setSpacing(6);
    rangeRow->addWidget(from);
    rangeRow->addWidget(DTP1);
    rangeRow->addSpacing(12);
    rangeRow->addWidget(to);
    rangeRow->addWidget(DTP2);
    rangeRow->addSpacing(12);
    rangeRow->addWidget(Command1);
    rangeRow->addStretch();
    rangeRow->addWidget(Command2);

    auto* legendRow = new QHBoxLayout;
    legendRow->setSpacing(18);
    legendRow->addWidget(Label3);
    legendRow->addWidget(Label4);
    legendRow->addWidget(Label5);
    legendRow->addStretch();

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(18, 10, 10, 14);
    root->setSpacing(8);
    root->addLayout(captionRow);
    root->addLayout(rangeRow);
    root->addWidget(MSHFlexGrid1, 1);
    root->addLayout(legendRow);

    connect(Command1, &QPushButton::clicked, this, &PlanWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &PlanWindow::Command2_Click);
    connect(Image1, &ClickableImage::clicked, this, &PlanWindow::Image1_Click);

    // Changes made elsewhere show at once, for the range chosen.
    Changes& changes = Changes::instance();
    connect(&changes, &Changes::tasksChanged, this, &PlanWindow::fill);
    connect(&changes, &Changes::goalsChanged, this, &PlanWindow::fill);
    connect(&changes, &Changes::themesChanged, this, &PlanWindow::fill);
}

void PlanWindow::Form_Load()
{
    const QDate today = Clock::today();
    DTP1->setDate(today.addDays(-30));
    DTP2->setDate(today.addDays(30));
    fill();
    // Columns as wide as their headers need, at least their usual width; the window holds the
    // seven columns and a vertical scroll bar, and about twenty rows.
    int gridWidth = MSHFlexGrid1->verticalScrollBar()->sizeHint().width() + 2 * MSHFlexGrid1->frameWidth() + 2;
    for (int c = 0; c <= 6; ++c) {
        if (c > 0)
            MSHFlexGrid1->setColumnWidth(c,
                                         std::max(kColumnWidth, MSHFlexGrid1->horizontalHeader()->sectionSizeHint(c)));
        gridWidth += MSHFlexGrid1->columnWidth(c);
    }
    const QMargins margins = layout()->contentsMargins();
    // Never larger than the room the desktop leaves (less a title bar), and placed within it.
    const QSize room = WindowPlace::workArea(this).size() - QSize(16, 48);
    QSize wanted(std::max(gridWidth + margins.left() + margins.right(), minimumSizeHint().width()), 600);
    if (!room.isEmpty())
        wanted = wanted.boundedTo(room);
    resize(wanted);
    WindowPlace::besideFrame(this);
    Command1->setFocus();
}

const PlanTable& PlanWindow::table() const
{
    return model_->table();
}

void PlanWindow::fill()
{
    std::optional<PlanTable> loaded = Db::get([&] { return load(DTP1->date(), DTP2->date()); });
    if (!loaded)
        return; // the database error has been shown; the grid keeps what it showed
    // Spans and rows change together without a repaint in between.
    MSHFlexGrid1->setUpdatesEnabled(false);
    MSHFlexGrid1->clearSpans();
    model_->setTable(std::move(*loaded));
    for (const PlanRun& run : model_->table().gridRuns)
        MSHFlexGrid1->setSpan(run.first, run.column, run.last - run.first + 1, 1);
    filled();
    MSHFlexGrid1->setUpdatesEnabled(true);
}

void PlanWindow::Command1_Click()
{
    fill();
}

void PlanWindow::Command2_Click()
{
    SheetExport::run(
        this, QStringLiteral("Excel文件 (*.xlsx)"),
        [this] { return XlsxExport::sheet(model_->table(), sheetWidths()); }, QStringLiteral("没有检测到EXCEL\n"));
}

void PlanWindow::Image1_Click()
{
    close();
}

void PlanWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PlanWindow::mousePressEvent(QMouseEvent* event)
{
    if (!drag_.press(event))
        QWidget::mousePressEvent(event);
}

void PlanWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag_.move(event))
        QWidget::mouseMoveEvent(event);
}

void PlanWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!drag_.release(event))
        QWidget::mouseReleaseEvent(event);
}

void PlanWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    background_->render(&painter, QRectF(rect()));
    painter.setPen(QColor(0x2f, 0x64, 0xad));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
