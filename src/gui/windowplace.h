#pragma once

class QRect;
class QWidget;

// Where windows appear.
namespace WindowPlace {
// The room of the window's screen that the desktop's panels leave (its available geometry).
QRect workArea(const QWidget* window);
// Moves the window (not resizing it) so that it lies within its work area, title bar first.
void keepOnScreen(QWidget* window);
// Centres a top-level window in the work area of the screen it belongs to.
void centreOnScreen(QWidget* window);
// Places a dialog at one fifth of the main frame's width and height from its top-left corner,
// moved back within the work area when that would reach past it.
void besideFrame(QWidget* dialog);
} // namespace WindowPlace
