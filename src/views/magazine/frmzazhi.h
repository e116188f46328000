#pragma once

#include "data/magazine.h"
#include "gui/views.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The magazine view: searches the articles of the magazine database by title, author, magazine
// or body and lists them newest first; a double click opens the article in the reading window.
// The view keeps one read-only connection to the magazine database while it is loaded.
class FrmZazhi : public QWidget, public NewsSelection
{
    Q_OBJECT

public:
    explicit FrmZazhi(QWidget* parent = nullptr);
    ~FrmZazhi() override;

    void Form_Load();

    // The article of the selected row (0 when none).
    qint64 selectedNewsId() const override;

    // The magazine database file this run reads.
    static QString databasePath();

private:
    void Command1_Click();
    void ListView1_DblClick();
    // Lists the articles of the chosen direction and keyword.
    void SearchNews();

    QLabel* Label1;
    QComboBox* Combo1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QTreeWidget* ListView1;

    std::unique_ptr<Magazine::Connection> connection_;
};
