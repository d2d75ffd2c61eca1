// A line in the status bar of the window a widget belongs to: how a command
// that ends without a dialog says what it did (or that it found nothing).
#pragma once
#include <string>

class QWidget;

// `text` is CP932; shown for a while, then the bar's own panels come back.
// Nothing when the widget has no main window.
void ShowStatusNote(QWidget* widget, const std::string& text);
