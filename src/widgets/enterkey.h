#pragma once

#include <functional>

class QWidget;

namespace lexordo {

// Runs an action when Enter (or Return) is pressed in a field, as the date
// and value boxes of the report screens do. The key goes no further.
void onEnterKey(QWidget *field, std::function<void()> action);

// Enter on a focused button of the screen presses it, as Space does. A dialog
// does so by itself; a screen in the workspace has no default button.
void pressButtonsOnEnter(QWidget *screen);

// Escape closes the screen (with its child window), as a dialog's Cancel does.
void closeOnEscape(QWidget *screen);

} // namespace lexordo
