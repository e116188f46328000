#pragma once

#include "data/bankimport.h"
#include "data/statement.h"
#include "gui/formdialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// Imports a bank statement (OFX, QIF or CSV) into an account: the file, the account, for CSV
// which column holds what, a preview of every record with a tick box (records already in the
// account greyed and unticked), and the import of the ticked records.
class DlogImport : public FormDialog
{
    Q_OBJECT

public:
    explicit DlogImport(QWidget* parent = nullptr);
    void Form_Load();

private:
    void fillAccounts();
    // Reads the file again with the encoding, mapping and account chosen, and shows the preview.
    void reload();
    void showPreview();
    void fillMappingChoices(const QStringList& header);
    void showMapping(const Statement::CsvMapping& m);
    Statement::CsvMapping mappingFromChoices() const;
    QString accountName() const;
    qint64 accountId() const;

    void Command1_Click(); // choose the file
    void Command2_Click(); // import
    void Combo1_Click();   // account chosen
    void categoryChosen();
    void rowSelected();

    QPushButton* Command1;
    QLabel* Label1;                   // the file's name
    QComboBox* Combo2;                // encoding
    QComboBox* Combo1;                // account
    QGroupBox* Frame1;                // CSV columns
    QList<QComboBox*> columnChoices_; // Combo3..Combo8: day, amount, debit, credit, payee, memo
    QComboBox* Combo9;                // day format
    QComboBox* Combo10;               // decimal separator
    QCheckBox* Check1;                // first row names the columns
    QTreeWidget* ListView1;
    QComboBox* Combo11; // category of the selected rows
    QLabel* Label2;     // what the preview holds
    QPushButton* Command2;

    QString path_;
    QByteArray bytes_;
    Statement::Format format_ = Statement::Format::Csv;
    bool csvMappingShown_ = false;
    QList<BankImport::Row> rows_;
};
