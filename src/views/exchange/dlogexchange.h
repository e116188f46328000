#pragma once

#include "gui/formdialog.h"

#include <functional>

class QLabel;
class QPushButton;
class QProgressDialog;

// "导入与导出": the person's data out to and back from the formats other programs read, one row
// per kind (tasks as iCalendar, contacts as vCard, the diary and the knowledge base as Markdown,
// lists as CSV), each with an export and an import button.
class DlogExchange : public FormDialog
{
    Q_OBJECT

public:
    explicit DlogExchange(QWidget* parent = nullptr);
    void Form_Load();

    static constexpr int kRows = 5;

private:
    void exportRow(int row);
    void importRow(int row);
    // Runs the work with a progress dialog that can be cancelled; false when cancelled.
    bool withProgress(const QString& label, const std::function<void(const std::function<bool(int, int)>&)>& work);

    QPushButton* Export[kRows];
    QPushButton* Import[kRows];
    QLabel* Label1; // the outcome of the last action
    QPushButton* Command1;
};
