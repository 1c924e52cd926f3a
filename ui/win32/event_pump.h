#pragma once

#include <functional>

namespace velmora {

// Runs every window message waiting in the queue, then returns. Keyboard
// messages go through the dialog manager of their window, so Tab, Enter and
// Escape work as in a dialog.
void PumpPendingMessages();

// Runs window messages, waiting for them, until `done` holds.
void RunMessagesUntil(const std::function<bool()>& done);

}  // namespace velmora
