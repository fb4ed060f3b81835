// The signals that end varnoke-build: SIGINT (Ctrl+C), SIGTERM and SIGHUP
// (the terminal closed). While an object of TEndSignals lives they are held
// back: the watch reads them from a descriptor between builds, and a build
// asks whether one is waiting as it writes and then stops, so that it ends
// at once and yet leaves nothing half written. While a build only reads,
// they are let through and end the program at once.
#pragma once

#include <csignal>

namespace varnoke {

// Raised inside a build that stopped for a signal. Deliberately no
// std::exception: no handler of failures takes it for one.
struct TBuildStopped {};

class TEndSignals {
  public:
    // endWithSuccess: a signal let through (see LetThrough) ends the program
    // with status 0, as the watch ends; otherwise as the signal would.
    // Throws std::system_error when the signals cannot be read.
    explicit TEndSignals(bool endWithSuccess);
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

    // While it lives, the signals end the program the moment they come:
    // for the reading of the inputs, which writes nothing and takes long
    // for a long text.
    class TLetThrough {
      public:
        explicit TLetThrough(const TEndSignals& signals);
        ~TLetThrough();
        TLetThrough(const TLetThrough&) = delete;
        TLetThrough& operator=(const TLetThrough&) = delete;

      private:
        const TEndSignals& signals_;
        struct sigaction previous_[3]{};
    };

  private:
    bool endWithSuccess_;
    sigset_t signals_{};
    sigset_t previous_{};
    int descriptor_ = -1;
};

} // namespace varnoke
