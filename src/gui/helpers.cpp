#include "gui/helpers.h"

#include <QBrush>
#include <QColor>
#include <QTreeWidget>
#include <QWidget>

namespace {
struct StateLook
{
    const char* code;
    QString word;
    QColor colour; // invalid: keep the row's colour
};

const StateLook kStates[] = {
    {"0", QStringLiteral("正在进行"), QColor()},
    {"1", QStringLiteral("已经完成"), StateColour::kDone},
    {"2", QStringLiteral("已经放弃"), StateColour::kBlue},
    {"3", QStringLiteral("时间拖延"), StateColour::kRed},
};
} // namespace

void ShowStatusText(QTreeWidget* list, int column)
{
    if (!list || column < 0 || column >= list->columnCount())
        return;
    const int columns = list->columnCount();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = list->topLevelItem(i);
        const QString text = row->text(column);
        for (const StateLook& s : kStates) {
            if (text == QLatin1String(s.code)) {
                row->setText(column, s.word);
                break;
            }
        }
        for (const StateLook& s : kStates) {
            if (row->text(column) == s.word && s.colour.isValid()) {
                for (int c = 1; c < columns; ++c)
                    row->setForeground(c, QBrush(s.colour));
                break;
            }
        }
    }
}

bool IsNumberText(const QString& text)
{
    for (QChar ch : text) {
        if (!(ch.isDigit() && ch.unicode() < 128) && ch != QLatin1Char('.'))
            return false;
    }
    return true;
}

void Class1::zhiqian(QWidget* window)
{
    if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        return;
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (visible) {
        window->setGeometry(geometry);
        window->show();
    }
}
