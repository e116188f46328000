#pragma once

#include <QDate>
#include <QString>

// The names of the views and windows that other windows ask about, in one place.
namespace Views {
inline const QString kToday = QStringLiteral("Frmmain");
inline const QString kRoles = QStringLiteral("Frmjs");
inline const QString kGoals = QStringLiteral("Frmmb");
inline const QString kTasks = QStringLiteral("Frmrw");
inline const QString kFinance = QStringLiteral("Frmcw");
inline const QString kContacts = QStringLiteral("Frmrj");
inline const QString kKnowledge = QStringLiteral("Frmff");
inline const QString kMagazine = QStringLiteral("FrmZazhi");
inline const QString kQuadrant = QStringLiteral("FrmQuadrant");
inline const QString kDesktopBar = QStringLiteral("ToolBar");
inline const QString kTray = QStringLiteral("myicon");
inline const QString kLogin = QStringLiteral("frmlogin");
inline const QString kFrame = QStringLiteral("MDIfrm");
} // namespace Views

// What a dialog may learn from the view that opened it. A view offers the interfaces that fit
// its lists; a dialog asks Forms::openAs<Interface>(Views::kX) and never reads another
// window's controls.

// The task selected in the view's task list (0 when none).
class TaskSelection
{
public:
    virtual ~TaskSelection() = default;
    virtual qint64 selectedTaskId() const = 0;
};

// The goal the view works on (0 when none).
class GoalSelection
{
public:
    virtual ~GoalSelection() = default;
    virtual qint64 selectedGoalId() const = 0;
};

// The theme selected in the view (0 when none).
class ThemeSelection
{
public:
    virtual ~ThemeSelection() = default;
    virtual qint64 selectedThemeId() const = 0;
};

// The day the view shows.
class DaySelection
{
public:
    virtual ~DaySelection() = default;
    virtual QDate chosenDay() const = 0;
};

// The tab of statements the view shows ("使命" or "警句").
class StatementTabSelection
{
public:
    virtual ~StatementTabSelection() = default;
    virtual QString statementTab() const = 0;
};

// The magazine article selected in the view (0 when none).
class NewsSelection
{
public:
    virtual ~NewsSelection() = default;
    virtual qint64 selectedNewsId() const = 0;
};
