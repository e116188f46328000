// Pictures of the four-quadrant board and of its weekly review.

#include "shots.h"

#include "gui/views.h"

#include <QTabWidget>

namespace {
const int board = Shots::add(QStringLiteral("quadrant"), [] { return Shots::view(Views::kQuadrant); });
const int review = Shots::add(QStringLiteral("quadrant-review"), [] {
    QWidget* frame = Shots::view(Views::kQuadrant);
    if (auto* tabs = frame->findChild<QTabWidget*>(QStringLiteral("SSTab1")))
        tabs->setCurrentIndex(1);
    Shots::settle();
    return frame;
});
} // namespace
