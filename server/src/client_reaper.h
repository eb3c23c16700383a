// Clients whose process ended without unregistering (killed): a timer on the
// main thread looks for them every second and removes each as an
// unregistration would (so the automatic shutdown still happens), logs it
// and removes what the process left in the runtime folder.
#pragma once

namespace hub {

bool startClientReaper();
void stopClientReaper();

// One look, as the timer does it (for tests and the timer).
void ReapEndedClients();

}  // namespace hub
