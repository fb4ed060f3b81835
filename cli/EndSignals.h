// The signals that end varnoke-build: SIGINT (Ctrl+C), SIGTERM and SIGHUP
// (the terminal closed). While an object of TEndSignals lives they are held
// back: the watch reads them from a descriptor between builds, and a build
// asks whether one is waiting as it goes and then stops, so that it ends
// at once and yet leaves nothing half written.
#pragma once

#include <csignal>
#include <functional>

namespace varnoke {

// Whether an end signal is waiting: asked by a build as it goes.
using TStopRequested = std::function<bool()>;

// Raised inside a build that stopped for a signal. Deliberately no
// std::exception: no handler of failures takes it for one.
struct TBuildStopped {};

class TEndSignals {
  public:
    // Throws std::system_error when the signals cannot be read.
    TEndSignals();
    // Lets the signals through again: one still waiting (not taken) then
    // strikes as usual.
    ~TEndSignals();
    TEndSignals(const TEndSignals&) = delete;
    TEndSignals& operator=(const TEndSignals&) = delete;

    // Readable when a signal waits.
    int Descriptor() const { return descriptor_; }
    // Whether a signal waits, without taking it.
    bool Pending() const;
    // Takes the waiting signals, so that they do not strike when they are
    // let through again.
    void Take() const;

  private:
    sigset_t signals_{};
    sigset_t previous_{};
    int descriptor_ = -1;
};

} // namespace varnoke
