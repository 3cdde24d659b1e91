#pragma once

#include <functional>
#include <optional>
#include <QString>

namespace lexordo {

class RecordSetModel;

// Runs one thing the user asked for: a button, a key, a menu entry, the
// opening of a screen. The first failure stops it and is shown once, with its
// description; false then. A guard run while an action is under way (a focus
// hook that the action's own setFocus sets off) is part of that action: its
// failure is shown unless the action has shown one already, and the action
// then reports failure too.
bool guardAction(const std::function<void()> &action);

// Runs `work`; the description of the failure that stopped it, nothing when
// it ran through.
std::optional<QString> failureOf(const std::function<void()> &work);

// True while a user action runs: what a timer does meanwhile (from the event
// loop of a message the action shows) must not change what the action works on.
bool actionUnderWay();

// Tells what a grid's model could not read, once the view is done painting.
void tellReadFailures(RecordSetModel *model);

} // namespace lexordo
