#pragma once

#include "data/recurrence.h"
#include "data/tasks.h"
#include "data/themes.h"
#include "gui/formdialog.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QWidget;

// What the two task editors share: the fields of a task in one form, the time slider with its
// box and minute buttons, the theme and goal choices, and the checks that turn the fields into a
// task. The add dialog (dlogaddrw) and the edit dialog (Dlogmodrw) differ in their defaults, in
// when the box follows the slider, in how a theme choice refills the goals, and in what they do
// with the task the form describes.
class TaskEditor : public FormDialog
{
    Q_OBJECT

protected:
    struct Texts
    {
        QString caption;
        QString unscheduled; // Check2: the task has no day
        QString saveName;    // objectName of the save button
        QString saveText;
        QString emptyOrder; // Text3 left empty
        QString badOrder;   // Text3 not a number
        bool withGuides;    // the slider's scale and the two hints
    };

    TaskEditor(const Texts& texts, QWidget* parent);

    // On top of other windows, at a fifth of the main frame's size from its corner.
    void place();

    // The slider's time into the box and the tool-tip, or into the tool-tip alone.
    void showSliderTime();
    void showSliderTip();
    // Sets the slider or the day from code, without the handlers meant for the user's moves.
    void setSliderQuietly(int position);
    void setDayQuietly(const QDate& day);

    // The code or id of the selected entry (0 when none is selected).
    static qint64 chosen(const QComboBox* combo);
    // Selects the entry carrying the code; false (selection unchanged) when there is none.
    static bool selectCode(QComboBox* combo, qint64 code);

    // "重要"/"普通" and "紧迫"/"一般", selecting the given codes.
    void fillLevels(int zhongyao, int jinpo);
    // "经常性" (code 0) and "一次性" (code 1) after the entries Combo3 already holds.
    void addKinds();
    // "无" and every theme, selecting the given theme ("无" when it is not among them).
    void fillThemes(qint64 themeId);
    // "无" followed by the goals, "无" selected.
    void fillGoalChoices(const QList<Themes::Choice>& goals);

    // Checks the fields in order and shows the first problem (focus on its box); otherwise the
    // task the fields describe, without id and state.
    std::optional<Tasks::Task> taskFromFields();

    // Everything the fields hold, to tell whether the user changed anything since a load.
    QString fieldsSnapshot() const;
    QString fieldsNow() const override { return fieldsSnapshot(); }

    // The repeat row ("重复："), shown while Combo3 is "经常性".
    bool recurringChosen() const;
    // The task being edited is of the recurring kind but follows no rule (an older task): its
    // repeat row stays hidden while its own kind (the first entry) is chosen.
    bool ruleless_ = false;
    // False (after saying so) when a recurring task has no day to start on.
    bool checkRecurringDay(const Tasks::Task& task);
    // The rule the repeat row describes for the task, starting on the task's day.
    Recurrence::Rule ruleFromFields(const Tasks::Task& task) const;
    // Shows a stored rule in the repeat row.
    void showRule(const Recurrence::Rule& rule);

    QLineEdit* Text1;
    QPlainTextEdit* RichTextBox1;
    QSlider* Slider1;
    QLineEdit* Text2;
    QPushButton* Command1;
    QPushButton* Command2;
    QDateEdit* DTPicker1;
    QCheckBox* Check2;
    QCheckBox* Check1;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QComboBox* Combo5;
    QComboBox* Combo4;
    QLineEdit* Text3;
    QPushButton* saveButton;
    QWidget* repeatRow;
    QComboBox* ComboRepeat;
    QList<QCheckBox*> weekdayChecks; // CheckW1 (Monday) ... CheckW7 (Sunday)
    QSpinBox* SpinEvery;
    QCheckBox* CheckUntil;
    QDateEdit* DTPUntil;

    // Shows or hides the repeat row for the kind chosen.
    void showRepeatRow();

private:
    void Command1_Click();
    void Command2_Click();
    void showRepeatParts();

    class QLabel* repeatLabel_ = nullptr;

    Texts texts_;
};
