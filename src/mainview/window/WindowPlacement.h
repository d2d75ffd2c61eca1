// Where the main window stands and how wide it is: put back from the
// settings at start-up (inside the screen, title bar reachable), kept into
// them at the close, and the width that follows the sheet while the width
// button is down.
#pragma once

class CMyGlobal;
class QMainWindow;

namespace placement {

// The stored size and place, or a first place inside the screen.
void RestoreBounds(QMainWindow& window, const CMyGlobal& global);
// Once the window manager has framed the window: a title bar above or left
// of the screen is moved in.
void MoveIntoScreen(QMainWindow& window);
// The place and size into the settings; with the width fitted to the sheet
// the stored width and a small move of the left edge are kept as they were.
void KeepBounds(const QMainWindow& window, CMyGlobal& global, bool widthFitted);
// The width button went down (true: fit now, the user's width is kept) or
// up (the user's width and place come back).
bool WidthFitToggled(QMainWindow& window, CMyGlobal& global, bool down);
// Widens the window to `need` pixels (narrower too when asked), keeping
// the right edge when the window is nearer the screen's right side.
void FitWidth(QMainWindow& window, int need, bool alsoNarrower);

}  // namespace placement
