#pragma once

#include <functional>

class QWidget;

namespace Gui {

// Runs `work` once, in the event-loop turn after `widget` was first painted, so that what the
// first picture does not need never delays it. When no paint comes within `latestMs` (a window
// on another desktop is not exposed), the work runs then. Nothing runs once the widget is gone.
void afterFirstPaint(QWidget* widget, std::function<void()> work, int latestMs = 250);

} // namespace Gui
