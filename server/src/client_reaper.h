// Clients whose process ended without unregistering (killed): the main
// thread watches each registered client's process through a pidfd and,
// when that becomes readable, removes the process's clients as an
// unregistration would (so the automatic shutdown still happens), logs each
// and removes what the process left in the runtime folder. An idle server
// makes no wake-ups for this. Where no pidfd can be opened (an old kernel) a
// timer looks every second, only while such clients are registered.
#pragma once

namespace hub {

bool startClientReaper();
void stopClientReaper();

// Brings the watches in line with the registered clients: a watch for every
// client process, none for processes without clients. Called on the main
// thread after a registration or unregistration.
void WatchClientProcesses();

// One look at every client, as the fallback timer does it (for tests and the
// timer).
void ReapEndedClients();

}  // namespace hub
