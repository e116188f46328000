#pragma once

#include "gui/changes.h"

#include <QFrame>
#include <QString>

class QLabel;
class QTimer;
class QWidget;

namespace Undo {
struct Step;
}

// What every window does around a deletion: the question before one that takes more than the
// row the user sees, the short notice after it with its "撤销" link, and Ctrl+Z. The deletions
// themselves are recorded by the data layer, so any window can undo the newest of them.
namespace Deletion {

// Asks a deletion's question (Yes and No); true when the answer is Yes.
bool confirm(const QString& question);

// "1 个主题、2 个目标、10 个任务": what a deletion removed.
QString summary(const Undo::Step& step);
// The kinds of data a deletion (or its undo) changed, for the windows that show them.
Changes::Kinds kindsOf(const Undo::Step& step);

// After a deletion made in `window`: announces it to the other windows (not to `origin`, which
// shows it already) and shows the notice "已删除 … 撤销" for 10 seconds.
void done(QWidget* window, QObject* origin = nullptr);

// Undoes the newest deletion (or the one given), refills every window that shows its rows, or
// says why it cannot. True when something came back.
bool undo(qint64 stepId = 0);

// Ctrl+Z in the window (and its children) undoes the newest deletion. A text box that has text
// to undo takes the key first.
void installShortcut(QWidget* window);

// The notice at the bottom of a window. One at a time: a new deletion replaces it.
class Notice : public QFrame
{
public:
    Notice(QWidget* window, qint64 stepId, const QString& text);

    static constexpr int kShownMs = 10000;

private:
    void place();
    bool eventFilter(QObject* watched, QEvent* event) override;

    qint64 stepId_;
    QLabel* text_;
};

} // namespace Deletion
