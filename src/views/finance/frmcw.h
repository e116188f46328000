#pragma once

#include "data/finance.h"

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class PieChart;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The personal-finance view: a report of income and expense by date range and category, the
// accounts with their balances, and the income and expense records of the last 30 days.
class Frmcw : public QWidget
{
    Q_OBJECT

public:
    explicit Frmcw(QWidget* parent = nullptr);

    void Form_Load();

    // Refills the account list and both account choices.
    void ZhList();
    // Refills the report's category check lists, every category ticked, and resets the report
    // dates to the first of this month and today.
    void shouzhi();

    // Tab indexes of SSTab1.
    enum Tab { ReportTab = 0, AccountsTab = 1, IncomeTab = 2, ExpenseTab = 3 };

private:
    // Income and expense tabs share their handling; these are the controls of one of them.
    struct RecordTab
    {
        Finance::Kind kind;
        QTreeWidget* list;
        QLineEdit* name;
        QLineEdit* amount;
        QComboBox* category;
        QComboBox* account;
        QDateEdit* day;
        QPlainTextEdit* remark;
        // The stored record as last shown in the fields.
        std::optional<Finance::Record> shown;
    };

    // Which fields of a form hold something else than what was shown (the user's edits).
    using Edits = std::array<bool, 6>;
    Edits accountEdits() const;
    Edits recordEdits(const RecordTab& tab) const;
    // Shows the stored values of the selected account or record in the fields not edited.
    void refreshAccountFields(const Edits& edited);
    void refreshRecordFields(RecordTab& tab, const Edits& edited);
    // Runs a refill of lists and choices; afterwards the fields the user has not edited show
    // what is stored now, so that nothing stale is saved later.
    void keepFields(const std::function<void()>& refill);
    void fillAccounts();

    void buildControls();
    QWidget* buildReportTab();
    QWidget* buildAccountsTab();
    QWidget* buildRecordTab(RecordTab& tab);

    void SrShow();
    void ZcShow();
    void TjList();
    // Refills the records list of the tab from the last 30 days.
    void fillRecords(RecordTab& tab);
    void fillCategoryChoice(RecordTab& tab);
    void fillTypeChoice();
    // What other windows changed: lists and choices, keeping what is selected.
    void refillAfterChange();

    void ListView1_SelectionChanged();
    void recordSelected(RecordTab& tab);
    void Command3_Click();  // add account
    void Command2_Click();  // modify account
    void Command1_Click();  // delete account
    void Command7_Click();  // account types
    void Command17_Click(); // transfers
    void Command18_Click(); // bank statement import
    void addRecord(RecordTab& tab);
    void modifyRecord(RecordTab& tab);
    void deleteRecord(RecordTab& tab);
    void openCategories(Finance::Kind kind);
    void Command10_Click(); // refresh the report
    void Command14_Click(); // export
    void Label22_Click();

    // The checked inputs of a record tab, or empty after saying what is wrong.
    std::optional<Finance::Record> recordFromFields(RecordTab& tab);
    std::optional<Finance::Account> accountFromFields();
    void showRecordRow(QTreeWidgetItem* row, const Finance::Record& r);
    void showReport();

    QTabWidget* SSTab1;

    // Report.
    QDateEdit* DTPicker4;
    QDateEdit* DTPicker5;
    QPushButton* Command10;
    QGroupBox* Frame6;
    QTreeWidget* ListView6;
    QTreeWidget* ListView7;
    QGroupBox* Frame4;
    QTreeWidget* ListView4;
    QGroupBox* Frame5;
    QTreeWidget* ListView5;
    QLabel* Label19;
    QPushButton* Command14;
    QLabel* Label22;
    PieChart* Chart1; // income by category
    PieChart* Chart2; // expense by category

    // Accounts.
    QGroupBox* Frame1;
    QTreeWidget* ListView1;
    QLineEdit* Text1;
    QLineEdit* Text4;
    QComboBox* Combo1;
    QDateEdit* DTPicker1;
    QLineEdit* Text2;
    QPlainTextEdit* RichTextBox3;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command1;
    QPushButton* Command7;
    QPushButton* Command17;
    QPushButton* Command18;
    // The stored account as last shown in the fields.
    std::optional<Finance::Account> shownAccount_;

    // Income (Frame2, ListView2, Text5, Text6, Combo3, Combo2, DTPicker2, RichTextBox5,
    // Command4/5/6/8) and expense (Frame3, ListView3, Text7, Text8, Combo5, Combo4, DTPicker3,
    // RichTextBox2, Command11/12/13/9).
    RecordTab income_{};
    RecordTab expense_{};

    // The report as last computed: what ListView4 and ListView5 show, for the export.
    Finance::ReportSide incomeReport_;
    Finance::ReportSide expenseReport_;
    QDate reportFrom_;
    QDate reportTo_;
};
