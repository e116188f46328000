#pragma once

class QWidget;

// Where windows appear.
namespace WindowPlace {
// Centres a top-level window on the screen it belongs to.
void centreOnScreen(QWidget* window);
// Places a dialog at one fifth of the main frame's width and height from its top-left corner.
void besideFrame(QWidget* dialog);
} // namespace WindowPlace
