// end_signal.h -- SIGTERM and SIGINT as a request to end, which a program's own loop takes so
// that it ends through its normal shut-down (and removes its temporary files). The handler goes
// with the first signal: a second one ends the program at once.
#pragma once

namespace platform {

// Installs the handler for the signals whose action is still the default (once per process).
void CatchEndSignals();
// Whether an end was asked for since the last call.
bool TakeEndRequest();

} // namespace platform
