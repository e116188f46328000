#pragma once

#include "data/diary.h"
#include "gui/views.h"

#include <QDate>
#include <QWidget>

class QAction;
class QCalendarWidget;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The today view: the calendar, the tasks of one day with their states, the task description,
// the password change, the diary of the calendar date, and the motto and mission lists.
class Frmmain : public QWidget, public TaskSelection, public DaySelection, public StatementTabSelection
{
    Q_OBJECT

public:
    explicit Frmmain(QWidget* parent = nullptr);
    ~Frmmain() override;

    // The overdue question, today's tasks, the diary and the statements.
    void Form_Load();

    // Refills the task list: the tasks of today when `frist` is true, else of the calendar date.
    void RwList(bool frist = false);
    // Refill the motto list and the mission list.
    void Lsv2Show();
    void Lsv3Show();

    // The id of the task selected in ListView1; 0 when none is selected.
    qint64 selectedTaskId() const override;
    QDate chosenDay() const override;
    // The day selected in MonthView1.
    QDate calendarDate() const;
    // The caption of the current tab of SSTab2: "警句" or "使命".
    QString statementTab() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();

    void MonthView1_SelectionChanged();
    void MonthView1_Click();
    void showCalendarDay();
    void ListView1_ItemClick(QTreeWidgetItem* item);
    void ListView1_SelectionChanged();
    void ListView1_DblClick();
    void ListView1_MouseUp(const QPoint& pos);
    void RichTextBox1_LostFocus();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command9_Click();
    void SSTab2_Click();
    void Label3_Click();
    void zuomian_Click();

    // After midnight the calendar moves to the new day, unless the user picked another day.
    void followToday();

    void DiaryShow();
    // Stores the diary box under the day; empty when the database failed (reported).
    std::optional<Diary::Saved> storeDiary(const QDate& day);
    // Asks whether to store diary text typed and not yet stored, before it is replaced.
    void confirmDiary();
    // Shows the description of the row's task in RichTextBox1 and remembers which task it is.
    void loadDescription(const QTreeWidgetItem* row);
    // Stores the text of RichTextBox1 into the task it was loaded from, when it was changed.
    void saveDescription();
    // Forgets the loaded task and empties RichTextBox1.
    void clearDescription();
    // Writes the text into the task RichTextBox1 was loaded from.
    void storeDescription(const QString& text);

    QCalendarWidget* MonthView1;
    QLineEdit* Text2;
    QLineEdit* TextConfirm;
    QPushButton* Command3;
    QLabel* Label3;
    QTabWidget* SSTab2;
    QTreeWidget* ListView2;
    QTreeWidget* ListView3;
    QPushButton* Command7;
    QPushButton* Command9;

    QTabWidget* SSTab1;
    QTreeWidget* ListView1;
    QPlainTextEdit* RichTextBox1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command4;
    QPushButton* Command6;
    QPushButton* Command10;
    QPushButton* Command8;
    QPlainTextEdit* RichTextBox2;
    QPushButton* Command5;
    QLabel* Label2;

    QMenu* zhuangtai;

    // The task whose description RichTextBox1 holds (0: none) and the text as it was loaded.
    qint64 loadedTaskId_ = 0;
    QString loadedText_;
    // A mouse press on the calendar is under way, and the day it picked has been loaded.
    bool dayPressed_ = false;
    // The day the diary box was loaded for and its text as stored.
    QDate diaryDay_;
    QString diaryText_;
    bool loadedByPress_ = false;
    // The day the calendar showed as today; the view follows the clock while it shows that day.
    QDate followedDay_;
    class QTimer* dayTimer_ = nullptr;
};
