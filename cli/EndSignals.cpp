#include "cli/EndSignals.h"

#include <cerrno>
#include <pthread.h>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>

namespace varnoke {

namespace {
constexpr int Ending[] = {SIGINT, SIGTERM, SIGHUP};

void EndWithSuccess(int) {
    ::_exit(0);
}

// Reset to the default by SA_RESETHAND: the signal strikes again as soon as
// the handler returns.
void EndAsSignalled(int signal) {
    ::raise(signal);
}
} // namespace

TEndSignals::TEndSignals(bool endWithSuccess) : endWithSuccess_(endWithSuccess) {
    sigemptyset(&signals_);
    for (int signal : Ending)
        sigaddset(&signals_, signal);
    ::pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
    descriptor_ = ::signalfd(-1, &signals_, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor_ < 0) {
        const int error = errno;
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
        throw std::system_error(error, std::generic_category(), "signalfd");
    }
}

TEndSignals::~TEndSignals() {
    ::close(descriptor_);
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool TEndSignals::Pending() const {
    sigset_t waiting;
    if (::sigpending(&waiting) != 0)
        return false;
    for (int signal : Ending) {
        if (sigismember(&waiting, signal) == 1)
            return true;
    }
    return false;
}

void TEndSignals::Take() const {
    signalfd_siginfo info{};
    while (::read(descriptor_, &info, sizeof info) == sizeof info) {
    }
}

TEndSignals::TLetThrough::TLetThrough(const TEndSignals& signals) : signals_(signals) {
    struct sigaction action {};
    action.sa_handler = signals.endWithSuccess_ ? EndWithSuccess : EndAsSignalled;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < 3; ++i)
        ::sigaction(Ending[i], &action, &previous_[i]);
    ::pthread_sigmask(SIG_UNBLOCK, &signals.signals_, nullptr);
}

TEndSignals::TLetThrough::~TLetThrough() {
    ::pthread_sigmask(SIG_BLOCK, &signals_.signals_, nullptr);
    for (size_t i = 0; i < 3; ++i)
        ::sigaction(Ending[i], &previous_[i], nullptr);
}

} // namespace varnoke
