#include "views/desktop/frmts.h"

#include "data/db.h"
#include "data/reminders.h"
#include "data/tasks.h"
#include "gui/appstate.h"
#include "gui/changes.h"
#include "gui/clickableimage.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowdrag.h"
#include "views/tasks/taskname.h"

#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace {
const QColor kCaptionColour(0x3b, 0x7d, 0xd8);
const QColor kBackgroundColour(0xf6, 0xf8, 0xfb);
const QColor kBorderColour(0x2f, 0x64, 0xad);

// One step of the slide: 40 twips, never less than two pixels.
constexpr int kSlideStep = std::max(2, Gui::twips(40));
// The gap between the resting window and the bottom of the screen's work area.
constexpr int kBottomGap = Gui::twips(350);
// Room between popups stacked above each other.
constexpr int kStackGap = 8;

QRect workArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}
} // namespace

Frmts::Frmts(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Frmts"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A reminder appears beside the user's work without taking the keyboard away from it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("任务提示"));

    // Caption strip: the window has no frame of its own, so it carries its title and close image.
    auto* caption = new QWidget(this);
    caption->setObjectName(QStringLiteral("Caption"));
    caption->setAutoFillBackground(true);
    QPalette captionPalette = caption->palette();
    captionPalette.setColor(QPalette::Window, kCaptionColour);
    captionPalette.setColor(QPalette::WindowText, Qt::white);
    caption->setPalette(captionPalette);

    auto* captionIcon = new QLabel(caption);
    captionIcon->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(16, 16));
    auto* captionText = new QLabel(QStringLiteral("任务提示"), caption);
    captionText->setObjectName(QStringLiteral("CaptionText"));
    QFont captionFont = captionText->font();
    captionFont.setBold(true);
    captionText->setFont(captionFont);
    Image3 = new ClickableImage(QStringLiteral(":/icons/popup_close.svg"), 18, QStringLiteral("关闭"), caption);
    Image3->setObjectName(QStringLiteral("Image3"));

    auto* captionRow = new QHBoxLayout(caption);
    captionRow->setContentsMargins(8, 2, 4, 2);
    captionRow->setSpacing(6);
    captionRow->addWidget(captionIcon);
    captionRow->addWidget(captionText);
    captionRow->addStretch();
    captionRow->addWidget(Image3);

    // The task.
    auto* Label1 = new QLabel(QStringLiteral("任务名称："), this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label1->setBuddy(Text1);
    auto* Label2 = new QLabel(QStringLiteral("任务说明："), this);
    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setTabChangesFocus(true);
    RichTextBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // lines wrap
    RichTextBox1->setMinimumHeight(64);
    Label2->setBuddy(RichTextBox1);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);

    // The task's id: the key of every action. It means nothing to the user, so it stays hidden.
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    Text2->hide();

    Image1 = new ClickableImage(QStringLiteral(":/icons/popup_save.svg"), 24, QStringLiteral("保存修改"), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image2 = new ClickableImage(QStringLiteral(":/icons/popup_done.svg"), 24, QStringLiteral("任务完成"), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image4 = new ClickableImage(QStringLiteral(":/icons/popup_snooze.svg"), 24, QStringLiteral("稍后提醒"), this);
    Image4->setObjectName(QStringLiteral("Image4"));
    shaohou = new QMenu(this);
    shaohou->setObjectName(QStringLiteral("shaohou"));
    const auto snoozeItem = [this](const char* name, const QString& text, int minutes) {
        QAction* item = shaohou->addAction(text);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, [this, minutes] { snoozeFor(minutes); });
        return item;
    };
    min5 = snoozeItem("min5", QStringLiteral("5分钟后"), 5);
    min10 = snoozeItem("min10", QStringLiteral("10分钟后"), 10);
    min30 = snoozeItem("min30", QStringLiteral("30分钟后"), 30);
    hour1 = snoozeItem("hour1", QStringLiteral("1小时后"), 60);

    auto* body = new QGridLayout;
    body->setContentsMargins(10, 10, 10, 6);
    body->setHorizontalSpacing(6);
    body->setVerticalSpacing(6);
    body->addWidget(Label1, 0, 0);
    body->addWidget(Text1, 0, 1);
    body->addWidget(Label2, 1, 0);
    body->addWidget(RichTextBox1, 1, 1);
    body->setRowStretch(1, 1);
    auto* images = new QHBoxLayout;
    images->setSpacing(4);
    images->addStretch();
    images->addWidget(Image1);
    images->addWidget(Image2);
    images->addWidget(Image4);
    body->addLayout(images, 2, 0, 1, 2);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1); // room for the border
    outer->setSpacing(0);
    outer->addWidget(caption);
    outer->addLayout(body, 1);

    setTabOrder(Text1, RichTextBox1);

    connect(Image1, &ClickableImage::clicked, this, &Frmts::Image1_Click);
    connect(Image2, &ClickableImage::clicked, this, &Frmts::Image2_Click);
    connect(Image3, &ClickableImage::clicked, this, &Frmts::Image3_Click);
    connect(Image4, &ClickableImage::clicked, this, &Frmts::Image4_Click);
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &Frmts::Image1_Click);

    const QSize hint = minimumSizeHint();
    setFixedSize(
        QSize(std::max(Gui::twips(4400), hint.width()), std::max(200, hint.height())).boundedTo(workArea().size()));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5);
    connect(Timer1, &QTimer::timeout, this, &Frmts::Timer1_Timer);

    // Load: below the screen at the right, on top of other windows, with its task; then slide up.
    placeBelowScreen();
    Class1::zhiqian(this);
    chooseTask();
    Timer1->start();
}

Frmts* Frmts::openNew(qint64 taskId)
{
    auto* popup = new Frmts();
    if (taskId > 0)
        popup->showTask(taskId);
    // Each popup rests in the lowest place no open popup holds, stacked upward from the
    // bottom right, so none hides another.
    QList<int> taken;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* other = qobject_cast<Frmts*>(w); other && other != popup && other->isVisible())
            taken.append(other->slot_);
    }
    while (taken.contains(popup->slot_))
        ++popup->slot_;
    popup->avoidDesktopBar();
    popup->show();
    return popup;
}

qint64 Frmts::taskId() const
{
    return Text2->text().toLongLong();
}

void Frmts::placeBelowScreen()
{
    const QRect area = workArea();
    // Right-aligned, but never left of the work area on a screen narrower than the window.
    move(std::max(area.left(), area.x() + area.width() - width()), area.y() + area.height());
}

void Frmts::avoidDesktopBar()
{
    // The desktop bar also stays on top: the popup rests beside it, never under it.
    QWidget* bar = Forms::find(Views::kDesktopBar);
    if (!bar || !bar->isVisible())
        return;
    const QRect area = workArea();
    const QRect barRect = bar->frameGeometry().adjusted(-kStackGap, -kStackGap, kStackGap, kStackGap);
    if (!QRect(x(), restingTop(), width(), height()).intersects(barRect))
        return;
    int left = barRect.left() - width();
    if (left < area.left())
        left = std::min(barRect.right() + 1, area.x() + area.width() - width());
    move(std::max(area.left(), left), y());
}

int Frmts::restingTop() const
{
    const QRect area = workArea();
    const int step = height() + kStackGap;
    // As many places as fit above each other on the screen; more popups start a new column
    // of places from the bottom again.
    const int places = std::max(1, (area.height() - kBottomGap - height()) / step + 1);
    return std::max(area.top(), area.y() + area.height() - height() - kBottomGap - (slot_ % places) * step);
}

void Frmts::chooseTask()
{
    // The today view's "桌面显示" raises the flag just before it opens this popup; it is used up
    // here whichever rule applies, so a later reminder never shows a stale selection.
    const bool showSelected = Module1::ShowSelectedTask;
    Module1::ShowSelectedTask = false;

    const TaskSelection* today = Forms::openAs<TaskSelection>(Views::kToday);
    const std::optional<Tasks::Task> task = Db::get([&]() -> std::optional<Tasks::Task> {
                                                if (showSelected && today) {
                                                    const qint64 id = today->selectedTaskId();
                                                    return id > 0 ? Tasks::load(id) : std::nullopt;
                                                }
                                                if (Forms::isOpen(Views::kDesktopBar))
                                                    return Tasks::firstOpen(Clock::today());
                                                const QDateTime now = Clock::now();
                                                return Tasks::latestDue(now.date(), now.time());
                                            }).value_or(std::nullopt);
    if (!task)
        return; // no matching task: the fields stay empty
    Text1->setText(task->title);
    Text1->setCursorPosition(0);
    Text2->setText(QString::number(task->id));
    RichTextBox1->setPlainText(task->content);
}

void Frmts::showTask(qint64 id)
{
    const std::optional<Tasks::Task> task = Db::get([id] { return Tasks::load(id); }).value_or(std::nullopt);
    if (!task)
        return; // the fields keep what the popup chose
    Text1->setText(task->title);
    Text1->setCursorPosition(0);
    Text2->setText(QString::number(task->id));
    RichTextBox1->setPlainText(task->content);
}

qint64 Frmts::actionTaskId()
{
    const qint64 id = taskId();
    if (id <= 0) {
        MsgBox(QStringLiteral("没有可供操作的任务！"));
        return 0;
    }
    const std::optional<bool> exists = Db::get([id] { return Tasks::exists(id); });
    if (!exists)
        return 0;
    if (!*exists) {
        MsgBox(QStringLiteral("该任务已不存在！"));
        return 0;
    }
    return id;
}

void Frmts::Image1_Click()
{
    const qint64 id = actionTaskId();
    if (!id)
        return;
    if (TaskName::missing(Text1->text())) {
        MsgBox(TaskName::kMissing);
        Text1->setFocus();
        return;
    }
    if (!Db::run([&] { Tasks::setTitleAndContent(id, Text1->text(), RichTextBox1->toPlainText()); }))
        return; // the database error has been shown
    Changes::announce(Changes::Tasks, this);
    MsgDone(QStringLiteral("修改完成！"));
}

void Frmts::Image2_Click()
{
    const qint64 id = actionTaskId();
    if (!id)
        return;
    if (!Db::run([id] { Tasks::setState(id, Tasks::Done); }))
        return; // the database error has been shown
    Changes::announce(Changes::Tasks, this);
    const QPointer<Frmts> self(this);
    MsgDone(QStringLiteral("恭喜，继续努力！"));
    if (self) // the program may have closed its windows while the message was shown
        close();
}

void Frmts::Image3_Click()
{
    close();
}

void Frmts::Image4_Click()
{
    shaohou->popup(Image4->mapToGlobal(QPoint(0, Image4->height())));
}

void Frmts::snoozeFor(int minutes)
{
    const qint64 id = actionTaskId();
    if (!id)
        return;
    // From the whole second now, so a snooze of ten minutes comes at ten minutes, not before.
    const QDateTime now = Clock::now();
    const QDateTime at = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()))
                             .addSecs(qint64(minutes) * 60);
    if (!Db::run([&] { Reminders::snooze(id, at); }))
        return;                              // the database error has been shown
    Changes::announce(Changes::Tasks, this); // the reminder clocks load the snooze
    close();
}

void Frmts::Timer1_Timer()
{
    const int target = restingTop();
    if (y() > target)
        move(x(), std::max(target, y() - kSlideStep));
    // Once at rest (or placed higher by the user) the slide is over for good.
    if (y() <= target)
        Timer1->stop();
}

void Frmts::mousePressEvent(QMouseEvent* event)
{
    // The user places the window now; the slide must not pull it back.
    if (event->button() == Qt::LeftButton)
        Timer1->stop();
    if (!drag_.press(event))
        QWidget::mousePressEvent(event);
}

void Frmts::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag_.move(event))
        QWidget::mouseMoveEvent(event);
}

void Frmts::mouseReleaseEvent(QMouseEvent* event)
{
    if (!drag_.release(event))
        QWidget::mouseReleaseEvent(event);
}

void Frmts::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackgroundColour);
    painter.setPen(kBorderColour);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
