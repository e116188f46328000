#include "gui/undonotice.h"

#include "data/db.h"
#include "data/undo.h"
#include "gui/prompt.h"
#include "gui/widgets.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QShortcut>
#include <QTimer>

namespace {

struct Noun
{
    const char* table;
    const char* words; // the measure word and the noun
};

// The names of the rows a deletion removes, as the user knows them.
constexpr Noun kNouns[] = {
    {"juese", "个主题"},       {"mubiao", "个目标"},           {"renwu", "个任务"},    {"chongfu", "个重复规则"},
    {"fftype", "个知识类别"},  {"fangfa", "篇文章"},           {"gxlb", "个关系类别"}, {"renji", "个联系人"},
    {"rjxx", "条联系人资料"},  {"zhanghaotype", "个帐户类型"}, {"zhanghao", "个帐户"}, {"shouzhitype", "个收支类别"},
    {"shouzhi", "条收支记录"}, {"mengxiang", "条警句或使命"},
};

QString wordsOf(const QString& table)
{
    for (const Noun& n : kNouns)
        if (table == QLatin1String(n.table))
            return QString::fromUtf8(n.words);
    return QStringLiteral("条记录");
}

QPointer<Deletion::Notice>& current()
{
    static QPointer<Deletion::Notice> notice;
    return notice;
}

} // namespace

bool Deletion::confirm(const QString& question)
{
    return MsgBox(question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString Deletion::summary(const Undo::Step& step)
{
    QStringList parts;
    for (const Undo::Count& c : step.counts)
        parts << QString::number(c.rows) + QLatin1Char(' ') + wordsOf(c.table);
    return parts.join(QStringLiteral("、"));
}

Changes::Kinds Deletion::kindsOf(const Undo::Step& step)
{
    Changes::Kinds kinds;
    for (const QString& t : step.tables) {
        if (t == QLatin1String("renwu") || t == QLatin1String("chongfu") || t == QLatin1String("snooze"))
            kinds |= Changes::Tasks;
        else if (t == QLatin1String("mubiao"))
            kinds |= Changes::Goals | Changes::Tasks;
        else if (t == QLatin1String("juese"))
            kinds |= Changes::Themes | Changes::Goals | Changes::Tasks;
        else if (t == QLatin1String("fangfa") || t == QLatin1String("fftype"))
            kinds |= Changes::Knowledge | Changes::Diary;
        else if (t == QLatin1String("mengxiang"))
            kinds |= Changes::Statements;
        else if (t == QLatin1String("renji") || t == QLatin1String("rjxx") || t == QLatin1String("gxlb"))
            kinds |= Changes::Contacts;
        else
            kinds |= Changes::Finance;
    }
    return kinds;
}

void Deletion::done(QWidget* window, QObject* origin)
{
    const Undo::Step step = Undo::lastRecorded();
    if (step.id == 0)
        return;
    Changes::announce(kindsOf(step), origin);
    if (window)
        new Notice(window, step.id, QStringLiteral("已删除 ") + summary(step));
}

bool Deletion::undo(qint64 stepId)
{
    const auto outcome = Db::get([&] { return Undo::undo(stepId); });
    if (!outcome)
        return false;
    switch (outcome->result) {
    case Undo::Result::Done:
        if (current() && (stepId == 0 || current()->property("step").toLongLong() == outcome->step.id))
            current()->deleteLater();
        Changes::announce(kindsOf(outcome->step));
        return true;
    case Undo::Result::Nothing:
        MsgBox(QStringLiteral("没有可以撤销的删除。"));
        return false;
    case Undo::Result::ParentGone:
        MsgBox(QStringLiteral("无法撤销：删除的内容所属的%1已不存在，什么也没有改变。")
                   .arg(wordsOf(outcome->missingTable).mid(1)));
        return false;
    case Undo::Result::Conflict:
        MsgBox(QStringLiteral("无法撤销：已经有同名的%1，什么也没有改变。").arg(wordsOf(outcome->missingTable).mid(1)));
        return false;
    }
    return false;
}

void Deletion::installShortcut(QWidget* window)
{
    auto* shortcut = new QShortcut(QKeySequence::Undo, window);
    shortcut->setObjectName(QStringLiteral("undoDeletion"));
    // One view at a time fills the frame, so the window is the view's own; a text box with its own undo
    // takes the key first.
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [] { undo(); });
}

Deletion::Notice::Notice(QWidget* window, qint64 stepId, const QString& text)
    : QFrame(window->window()), stepId_(stepId)
{
    if (current())
        current()->deleteLater();
    current() = this;
    setObjectName(QStringLiteral("UndoNotice"));
    setProperty("step", stepId);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    setFrameShape(QFrame::StyledPanel);
    // Dark text on a pale yellow ground, the link in the links' own blue: both read at 4.5:1 or better.
    setStyleSheet(QStringLiteral("#UndoNotice { background: #fff4c2; border: 1px solid #c9a400; border-radius: 4px; }"
                                 " #UndoNotice QLabel { color: #1f1f1f; }"
                                 " #UndoNotice QLabel#Label2 { color: #0645ad; }"));
    text_ = new QLabel(text, this);
    text_->setObjectName(QStringLiteral("Label1"));
    auto* link = new Gui::LinkLabel(QStringLiteral("撤销"), this);
    link->setObjectName(QStringLiteral("Label2"));
    link->onClick = [this] { Deletion::undo(stepId_); };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 8, 14, 8);
    row->setSpacing(12);
    row->addWidget(text_);
    row->addWidget(link);
    parentWidget()->installEventFilter(this);
    place();
    show();
    raise();
    QTimer::singleShot(kShownMs, this, &QWidget::close);
}

void Deletion::Notice::place()
{
    adjustSize();
    const QWidget* host = parentWidget();
    move((host->width() - width()) / 2, host->height() - height() - 64);
}

bool Deletion::Notice::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QFrame::eventFilter(watched, event);
}
