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
    // Closes every window and connection, runs `replace` (which puts another file in the
    // database's place and returns what to tell the user, or throws Db::Error), and starts the
    // program afresh at the login window: on the new file, or on the old one when it failed.
    static void restartWith(const std::function<QString()>& replace);

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
