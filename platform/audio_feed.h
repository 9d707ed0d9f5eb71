// audio_feed.h -- threads that keep sound buffers filled ahead of the mix, in step with the
// output that the virtual clock drives.
//
// Against a real-time output a feeder thread paces itself: it sleeps and looks at the cursors
// again. On the clock-driven output (FLYINGFISH_CLOCK=virtual) the mix lets every feeder make one
// pass before each chunk and waits until each is back in WaitForMix or has ended, so what the
// feeders write, and the chunk in which a stream meets its end, never depend on how fast the
// threads run.
//
//   feeder.Begin(); thread.Start();       // listed and busy until its thread first waits
//   // the thread: after each pass, feeder.IsDriven() ? feeder.WaitForMix(stop) : a timed sleep;
//   // on every way out, feeder.End()
#pragma once

#include "platform/sync.h"

namespace platform {

class MixFeeder {
public:
    MixFeeder() = default;
    ~MixFeeder();   // ends it when still listed
    MixFeeder(const MixFeeder&) = delete;
    MixFeeder& operator=(const MixFeeder&) = delete;

    // Before the feeder's thread starts. While the mix is clock-driven the feeder is listed from
    // here on, busy until its thread first waits or ends; otherwise nothing happens.
    void Begin();
    // When the thread ends, or did not start: the mix no longer waits for it.
    void End();
    // True while the mix drives the feeder: its thread waits in WaitForMix instead of sleeping.
    bool IsDriven();
    // Ends a pass and waits: true when the next chunk wants a pass (or the mix no longer drives
    // the feeder), false when stop was set first.
    bool WaitForMix(Event& stop);

private:
    friend void DriveMixFeeders(bool on);
    friend void RunMixFeederPass();

    Event go_{false};      // auto reset: the next pass is wanted
    bool listed_ = false;  // under the feeders' lock
    bool busy_ = false;    // under the feeders' lock: in a pass
};

// The output's side. While on, feeders that begin are driven; off releases every listed feeder
// to pace itself.
void DriveMixFeeders(bool on);
// Lets every driven feeder make one pass; returns once each is back waiting or has ended.
void RunMixFeederPass();

} // namespace platform
