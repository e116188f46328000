#pragma once

#include "gui/formdialog.h"

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

// The copies of the database: backing up now, restoring a copy, exporting a copy elsewhere.
class Dlogbackup : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogbackup(QWidget* parent = nullptr);
    void Form_Load();
    // Fills the list of copies, newest first; `select` picks the row of that copy.
    void BfList(const QString& select = {});

private:
    void Command1_Click(); // back up now
    void Command2_Click(); // restore the selected copy
    void Command3_Click(); // export a copy
    void Label1_LinkActivated();
    void showBusy(bool busy);

    QTreeWidget* ListView1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QLabel* Label1;
    QLabel* Label2;
    QString busyText_;
};
