#include "cli/EndSignals.h"

#include <cerrno>
#include <pthread.h>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>

namespace varnoke {

TEndSignals::TEndSignals() {
    sigemptyset(&signals_);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
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
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
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

} // namespace varnoke
