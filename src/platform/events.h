#pragma once
#include <QObject>

// Pending-event processing for handlers that keep the window alive, and the
// hold that keeps the operator's input queued while a handler runs.
namespace Events {

// Lets painting and timers run; key strokes and clicks wait for the handler.
void DoEvents();

// While any InputHold lives, key events that reach a window are queued (and
// mouse clicks dropped); when the last hold ends the keys are delivered, in
// order, to the window that has the focus then. A key that starts another
// handler during the delivery is handled before the next key is delivered.
class InputHold {
public:
    InputHold();
    ~InputHold();
    InputHold(const InputHold &) = delete;
    InputHold &operator=(const InputHold &) = delete;
};

// True while a hold is active (for tests and diagnostics).
bool holding();
int queuedKeys();

}   // namespace Events
