// audio_feed.cpp -- the list of driven feeders and the pass the mix runs before each chunk.
//
// Lock order: the feeders' lock, then a feeder's go event. The mix waits for its feeders holding
// no lock of the mixer's or of theirs, so a feeder's pass may take any of them.
#include "platform/audio_feed.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace platform {

namespace {

struct Feeders {
    std::mutex mutex;
    std::condition_variable idle;   // a feeder left its pass or the list
    bool driving = false;
    std::vector<MixFeeder*> listed;
};

Feeders& TheFeeders() {
    static Feeders feeders;
    return feeders;
}

} // namespace

MixFeeder::~MixFeeder() { End(); }

void MixFeeder::Begin() {
    Feeders& feeders = TheFeeders();
    std::lock_guard<std::mutex> lock(feeders.mutex);
    if (!feeders.driving || listed_) return;
    go_.Reset();   // a pass wanted of an earlier thread is not this one's
    listed_ = busy_ = true;
    feeders.listed.push_back(this);
}

void MixFeeder::End() {
    Feeders& feeders = TheFeeders();
    std::lock_guard<std::mutex> lock(feeders.mutex);
    if (!listed_) return;
    std::erase(feeders.listed, this);
    listed_ = busy_ = false;
    feeders.idle.notify_all();
}

bool MixFeeder::IsDriven() {
    Feeders& feeders = TheFeeders();
    std::lock_guard<std::mutex> lock(feeders.mutex);
    return listed_;
}

bool MixFeeder::WaitForMix(Event& stop) {
    {
        Feeders& feeders = TheFeeders();
        std::lock_guard<std::mutex> lock(feeders.mutex);
        if (!listed_) return !stop.IsSet();
        busy_ = false;
        feeders.idle.notify_all();
    }
    return Event::WaitAny({&go_, &stop}) == 0;
}

void DriveMixFeeders(bool on) {
    Feeders& feeders = TheFeeders();
    std::lock_guard<std::mutex> lock(feeders.mutex);
    feeders.driving = on;
    if (on) return;
    for (MixFeeder* feeder : feeders.listed) {
        feeder->listed_ = feeder->busy_ = false;
        feeder->go_.Set();
    }
    feeders.listed.clear();
    feeders.idle.notify_all();
}

void RunMixFeederPass() {
    Feeders& feeders = TheFeeders();
    std::unique_lock<std::mutex> lock(feeders.mutex);
    if (feeders.listed.empty()) return;
    auto all_idle = [&] {
        return std::none_of(feeders.listed.begin(), feeders.listed.end(), [](MixFeeder* f) { return f->busy_; });
    };
    // A feeder whose thread has just started makes its first pass before this one.
    feeders.idle.wait(lock, all_idle);
    for (MixFeeder* feeder : feeders.listed) {
        feeder->busy_ = true;
        feeder->go_.Set();
    }
    feeders.idle.wait(lock, all_idle);
}

} // namespace platform
