// Pictures of a deletion's question and of the notice that offers to undo it. The theme deleted
// is made for the picture, so the sample data the other pictures show stays as it is.

#include "shots.h"

#include "data/db.h"
#include "data/goals.h"
#include "data/tasks.h"
#include "data/themes.h"
#include "gui/appinfo.h"
#include "gui/views.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString kTheme = QStringLiteral("事业发展（示例）");

// A theme with 2 goals and 5 tasks, listed and selected in the execution view.
QWidget* themeShown(qint64* made = nullptr)
{
    Db::run([made] {
        const qint64 theme = Themes::add(kTheme, QString());
        if (made)
            *made = theme;
        for (int g = 1; g <= 2; ++g) {
            Goals::Goal goal;
            goal.title = QStringLiteral("目标 %1").arg(g);
            goal.start = QDate(2009, 1, 1);
            goal.end = QDate(2009, 6, 30);
            goal.theme = theme;
            const qint64 id = Goals::insert(goal);
            for (int t = 1; t <= (g == 1 ? 3 : 2); ++t) {
                Tasks::Task task;
                task.title = QStringLiteral("任务 %1-%2").arg(g).arg(t);
                task.goal = id;
                task.theme = theme;
                Tasks::insert(task);
            }
        }
    });
    QWidget* frame = Shots::view(Views::kToday);
    frame = Shots::view(Views::kRoles);
    if (auto* themes = frame->findChild<QTreeWidget*>(QStringLiteral("ListView1"))) {
        for (int i = 0; i < themes->topLevelItemCount(); ++i)
            if (themes->topLevelItem(i)->text(1) == kTheme)
                themes->setCurrentItem(themes->topLevelItem(i));
    }
    Shots::settle();
    return frame;
}

const int question = Shots::add(QStringLiteral("delete-question"), [] {
    qint64 theme = 0;
    QWidget* frame = themeShown(&theme);
    // The box as the program shows it, left open for the picture.
    auto* box = new QMessageBox(QMessageBox::Question, AppInfo::kTitle,
                                QStringLiteral("删除主题“%1”及其 2 个目标、5 个任务？").arg(kTheme),
                                QMessageBox::Yes | QMessageBox::No, frame);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    Shots::settle();
    // Gone again for the other pictures; the view keeps the row until it next refills.
    Db::run([theme] { Themes::removeWithGoals(theme); });
    return static_cast<QWidget*>(box);
});

const int notice = Shots::add(QStringLiteral("delete-notice"), [] {
    QWidget* frame = themeShown();
    if (auto* remove = frame->findChild<QPushButton*>(QStringLiteral("Command2")))
        remove->click(); // the pictures' message boxes answer Yes
    Shots::settle();
    return frame;
});

} // namespace
