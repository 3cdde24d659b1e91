#pragma once

#include <functional>

class QWidget;

namespace lexordo {

// Runs an action when Enter (or Return) is pressed in a field, as the date
// and value boxes of the report screens do. The key goes no further.
void onEnterKey(QWidget *field, std::function<void()> action);

} // namespace lexordo
