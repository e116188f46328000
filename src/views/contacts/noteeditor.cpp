#include "views/contacts/noteeditor.h"

#include "gui/prompt.h"
#include "gui/windowplace.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

NoteEditor::NoteEditor(const QString& caption, const QString& kindLabel, const QString& saveText, QWidget* parent)
    : FormDialog(parent)
{
    setWindowTitle(caption);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setTabChangesFocus(true);
    RichTextBox1->setMinimumSize(440, 220);
    Command1 = new QPushButton(saveText, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);

    auto label = [this](const QString& text, QWidget* buddy, Qt::Alignment v = Qt::AlignVCenter) {
        auto* l = new QLabel(text, this);
        l->setAlignment(Qt::AlignRight | v);
        l->setBuddy(buddy);
        return l;
    };
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 18);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(label(QStringLiteral("标    题："), Text1), 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(label(kindLabel, Combo1), 1, 0);
    grid->addWidget(Combo1, 1, 1, Qt::AlignLeft);
    grid->addWidget(label(QStringLiteral("详细说明："), RichTextBox1, Qt::AlignTop), 2, 0);
    grid->addWidget(RichTextBox1, 2, 1);
    grid->addWidget(Command1, 3, 1, Qt::AlignRight);
    Combo1->setMinimumWidth(120);
}

void NoteEditor::prepare(const QString& kind)
{
    adjustSize();
    WindowPlace::besideFrame(this);
    Combo1->clear();
    Combo1->addItem(kind);
    Combo1->setCurrentIndex(0);
}

bool NoteEditor::checkFields()
{
    if (Text1->text().isEmpty()) {
        MsgBox(QStringLiteral("必须输入标题！"));
        Text1->setFocus();
        return false;
    }
    if (RichTextBox1->toPlainText().isEmpty())
        RichTextBox1->setPlainText(QStringLiteral("暂无内容"));
    return true;
}
