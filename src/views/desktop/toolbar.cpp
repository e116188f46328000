#include "views/desktop/toolbar.h"

#include "data/db.h"
#include "data/taskbar.h"
#include "data/tasks.h"
#include "gui/changes.h"
#include "gui/clickableimage.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/frameaccess.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/taskstates.h"
#include "gui/views.h"
#include "gui/windowdrag.h"
#include "views/desktop/frmts.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSizeGrip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {
const QString kTitle = QStringLiteral("今日任务");
const QString kCurrent = QStringLiteral("当前任务");
const QString kNoReminder = QStringLiteral("非提醒任务");
constexpr int kStateColumn = 3;

const QColor kCaptionColour(0x3b, 0x7d, 0xd8);
const QColor kBackgroundColour(0xf6, 0xf8, 0xfb);
const QColor kBorderColour(0x2f, 0x64, 0xad);

// Columns 1 to the last of the row in one weight.
void setBold(QTreeWidgetItem* row, bool bold)
{
    for (int c = 1; c <= kStateColumn; ++c) {
        QFont font = row->font(c);
        font.setBold(bold);
        row->setFont(c, font);
    }
}
// Columns 1 to the last of the row in one colour and weight.
void paintRow(QTreeWidgetItem* row, const QColor& colour, bool bold)
{
    for (int c = 1; c <= kStateColumn; ++c)
        row->setForeground(c, QBrush(colour));
    setBold(row, bold);
}
// The time as Gui::time shows it ("8:30:00"), made without the general formatter: the bar
// shows one for every row.
QString shownTime(const QTime& t)
{
    const auto two = [](int n) { return QString::number(n).rightJustified(2, u'0'); };
    return QString::number(t.hour()) + u':' + two(t.minute()) + u':' + two(t.second());
}

// A row of the bar that answers its texts and colours from the task it keeps, so that a refill
// costs little more than reading the rows. What an action sets on the row (a new state word, a
// colour, the bold of the current task) takes precedence.
class BarRow : public QTreeWidgetItem
{
public:
    explicit BarRow(const TaskBar::Row& task) : task_(task), look_(TaskStates::find(task.state)) {}

    QVariant data(int column, int role) const override
    {
        const QVariant set = QTreeWidgetItem::data(column, role);
        if (set.isValid())
            return set;
        switch (role) {
        case Qt::DisplayRole:
            switch (column) {
            case 0:
                return QString::number(task_.id);
            case 1:
                return task_.time.isValid() ? shownTime(task_.time) : kNoReminder;
            case 2:
                return task_.title;
            case kStateColumn:
                // A code that is no state shows as it is, like ShowStatusText leaves it.
                return look_ ? look_->word : QString::number(task_.state);
            }
            break;
        case Qt::ToolTipRole:
            if (column == 2)
                return task_.title;
            break;
        case Qt::ForegroundRole:
            if (column >= 1 && column <= kStateColumn && look_ && look_->listColour.isValid())
                return QBrush(look_->listColour);
            break;
        }
        return {};
    }

private:
    TaskBar::Row task_;
    const TaskStates::Look* look_;
};
} // namespace

ToolBar::ToolBar(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("ToolBar"));
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    // Caption strip: the window has no frame of its own, so it carries its title and images.
    auto* strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("CaptionStrip"));
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, kCaptionColour);
    palette.setColor(QPalette::WindowText, Qt::white);
    strip->setPalette(palette);
    // Presses on the strip reach the window, which moves by them.
    strip->setAttribute(Qt::WA_TransparentForMouseEvents, false);

    auto* icon = new QLabel(strip);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(16, 16));
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    Caption = new QLabel(kTitle, strip);
    Caption->setObjectName(QStringLiteral("Caption"));
    Caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    Caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QFont captionFont = Caption->font();
    captionFont.setBold(true);
    Caption->setFont(captionFont);

    Image1 = new ClickableImage(QStringLiteral(":/icons/desktop_frame.svg"), 18, QStringLiteral("返回主窗口"), strip);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image2 =
        new ClickableImage(QStringLiteral(":/icons/desktop_exit.svg"), 18, QStringLiteral("关闭主窗口和任务栏"), strip);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image3 = new ClickableImage(QStringLiteral(":/icons/desktop_minimize.svg"), 18, QStringLiteral("最小化"), strip);
    Image3->setObjectName(QStringLiteral("Image3"));

    auto* captionRow = new QHBoxLayout(strip);
    captionRow->setContentsMargins(8, 2, 4, 2);
    captionRow->setSpacing(4);
    captionRow->addWidget(icon);
    captionRow->addWidget(Caption, 1);
    captionRow->addWidget(Image3);
    captionRow->addWidget(Image1);
    captionRow->addWidget(Image2);

    ListView1 = Gui::reportList(
        this, QStringLiteral("ListView1"),
        {{QStringLiteral("时间安排"), 84}, {QStringLiteral("任务名称"), 180}, {QStringLiteral("任务状态"), 76}});
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);

    zhuangtai = TaskStates::newMenu(this, QStringLiteral("完成状态"), [this] { zuomian_Click(); });
    TaskStates::addItems(zhuangtai, ListView1, kStateColumn,
                         {Tasks::Done, {Tasks::Abandoned, {}, QStringLiteral("放弃任务")}, Tasks::Open}, this,
                         [this](QTreeWidgetItem* row) { leftState(row); });
    dangqian = zhuangtai->addAction(kCurrent);
    dangqian->setObjectName(QStringLiteral("dangqian"));

    auto* grip = new QSizeGrip(this);
    auto* gripRow = new QHBoxLayout;
    gripRow->setContentsMargins(0, 0, 0, 0);
    gripRow->addStretch();
    gripRow->addWidget(grip, 0, Qt::AlignBottom | Qt::AlignRight);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(6, 6, 6, 0);
    body->addWidget(ListView1, 1);
    body->addLayout(gripRow);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1); // room for the border
    outer->setSpacing(0);
    outer->addWidget(strip);
    outer->addLayout(body, 1);

    setMinimumSize(300, 200);
    resize(380, 420);

    connect(ListView1, &QWidget::customContextMenuRequested, this, &ToolBar::ListView1_MouseUp);
    connect(dangqian, &QAction::triggered, this, &ToolBar::dangqian_Click);
    connect(Image1, &ClickableImage::clicked, this, &ToolBar::Image1_Click);
    connect(Image2, &ClickableImage::clicked, this, &ToolBar::Image2_Click);
    connect(Image3, &ClickableImage::clicked, this, &ToolBar::Image3_Click);

    // Other windows' changes refill the list; the bar's own state changes show in their row.
    connect(&Changes::instance(), &Changes::tasksChanged, this, [this](QObject* origin) {
        if (origin != this)
            ShowRw();
    });
}

void ToolBar::Form_Load()
{
    Class1::zhiqian(this);
    // Near the right edge of the screen, 3000 twips from its top, and wholly on the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int left = std::min(area.x() + area.width() - area.width() / 6, area.x() + area.width() - width());
        const int top = std::min(area.y() + Gui::twips(3000), area.y() + area.height() - height());
        move(std::max(area.x(), left), std::max(area.y(), top));
    }
    ShowRw();
}

void ToolBar::ShowRw()
{
    ListView1->clear();
    const auto tasks = Db::get([] { return TaskBar::ofDay(Clock::today()); });
    QTreeWidgetItem* current = nullptr;
    if (tasks) {
        // The list takes the rows in one go.
        QList<QTreeWidgetItem*> rows;
        rows.reserve(tasks->size());
        for (const TaskBar::Row& t : *tasks) {
            auto* row = new BarRow(t);
            if (t.id == currentId_ && t.state == Tasks::Open)
                current = row;
            rows.append(row);
        }
        ListView1->addTopLevelItems(rows);
    }

    // The current task stays marked while it is still open on today's list.
    if (current) {
        markCurrent(current, true);
    } else if (currentId_) {
        currentId_ = 0;
        setCaption(kTitle);
    }
}

void ToolBar::ListView1_MouseUp(const QPoint& pos)
{
    TaskStates::popupOverRow(zhuangtai, ListView1, pos);
}

void ToolBar::zuomian_Click()
{
    // One popup for the bar: shown afresh, so it takes today's first open task again.
    if (popup_)
        popup_->close();
    popup_ = Frmts::openNew();
}

void ToolBar::leftState(QTreeWidgetItem* row)
{
    // A row whose state changes is no longer the current task.
    if (Gui::rowId(row) == currentId_) {
        currentId_ = 0;
        setCaption(kTitle);
    }
    setBold(row, false);
}

void ToolBar::dangqian_Click()
{
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row)
        return;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* other = ListView1->topLevelItem(i);
        if (other->text(kStateColumn) == kCurrent)
            markCurrent(other, false);
    }
    currentId_ = Gui::rowId(row);
    markCurrent(row, true);
    ListView1->viewport()->update();
}

void ToolBar::markCurrent(QTreeWidgetItem* row, bool current)
{
    row->setText(kStateColumn, current ? kCurrent : TaskStates::of(Tasks::Open).word);
    paintRow(row, current ? StateColour::kRed : QColor(0, 0, 0), current);
    if (current)
        setCaption(row->text(2));
}

void ToolBar::setCaption(const QString& text)
{
    setWindowTitle(text);
    Caption->setText(text);
    Caption->setToolTip(text);
}

void ToolBar::Image1_Click()
{
    // The frame first: were the bar the last window, its closing could end the program.
    FrameAccess::get().showFrame();
    close();
}

void ToolBar::Image2_Click()
{
    // Closed rather than hidden, so that the program ends when nothing else is left of it.
    close();
    // The frame's closing hands the program over to the tray.
    FrameAccess::get().closeFrame();
}

void ToolBar::Image3_Click()
{
    showMinimized();
}

void ToolBar::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Forms::forget(this); // unloaded: the next opening loads it afresh
}

void ToolBar::mousePressEvent(QMouseEvent* event)
{
    if (!drag_.press(event))
        QWidget::mousePressEvent(event);
}

void ToolBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag_.move(event))
        QWidget::mouseMoveEvent(event);
}

void ToolBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (!drag_.release(event))
        QWidget::mouseReleaseEvent(event);
}

void ToolBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackgroundColour);
    painter.setPen(kBorderColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
