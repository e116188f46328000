#pragma once

#include "gui/formdialog.h"

class QPlainTextEdit;

// The reading window: one article of the magazine database, its title as the caption and its
// body as plain text with line breaks and absolute links.
class DlogReadnews : public FormDialog
{
    Q_OBJECT

public:
    explicit DlogReadnews(QWidget* parent = nullptr);

    // Reads the article picked in the magazine view; false (the window does not open) when
    // there is none or it cannot be read.
    bool Form_Load();

    // Shows the article; false when it cannot be read (the window keeps what it showed).
    bool ShowNews(qint64 id);

    qint64 newsId() const { return newsId_; }

private:
    QPlainTextEdit* RichTextBox1;
    qint64 newsId_ = 0;
};
