#pragma once

#include <QtGlobal>
#include <functional>

class QMenu;
class QObject;

// The window side of recurring tasks.
namespace Occurrences {

// Adds "停止重复" (tingzhi) as the menu's last item: enabled when the menu opens over an
// occurrence of an active rule, it ends that rule.
void addStopItem(QMenu* menu, std::function<qint64()> selectedTask, QObject* origin);

} // namespace Occurrences
