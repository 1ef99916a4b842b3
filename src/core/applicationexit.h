#pragma once

#include <functional>

// Work that must be done while the application object still stands, at the
// moment it starts to go (after the event loop has ended).
//
// The long-lived singletons are never destroyed, but some of them own a
// network session whose worker thread keeps an open connection to the
// service. Left running, that thread may receive the server's close while
// the application object is being torn down and crash the program as it
// quits; they stop it here.
namespace ApplicationExit {

// Runs `action` when the application ends; later registrations run first.
void beforeApplicationEnds(std::function<void()> action);

// Runs and forgets every registered action now (what the application's end
// does; tests call it to see the effect).
void runRegisteredActions();

}  // namespace ApplicationExit
