#pragma once
// A window of the program stands either in a frame of the main window's work area (a child
// window) or on its own. A child window stands in its frame inside a scroll area of its own:
// where the work area is smaller than the window, the window scrolls inside its frame, so that
// it never reaches past the work area and every command stays within reach. The functions here
// find a window's frame and act on it, so that no window needs to know where it stands.

#include <QPoint>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace halvo {

// Puts `window` into a new frame of `area`, in its scroll area; the frame takes the window's
// title and closes, hides and shows with it.
QMdiSubWindow* addChildFrame(QMdiArea* area, QWidget* window);

// The frame the window stands in; none for a window of its own.
QMdiSubWindow* childFrame(const QWidget* window);
// The window a frame holds.
QWidget* windowIn(const QMdiSubWindow* frame);

// Closes, hides or shows the window's frame where it has one, the window itself otherwise.
void closeFramed(QWidget* window);
void hideFramed(QWidget* window);
void showFramed(QWidget* window);

// Sizes the window's frame to hold the window whole, as far as the work area allows (a frame
// grown larger by the user keeps its size), and moves it left and up as far as it must to lie
// inside the work area. `at` is where it is to stand, where there is room; by default where it
// stands.
void fitChildFrame(QWidget* window);
void fitChildFrame(QWidget* window, QPoint at);
// After the work area has changed its size: every frame is kept inside it, and one that was made
// smaller than its window to fit grows again as far as there is room.
void refitChildFrames(QMdiArea* area);

} // namespace halvo
