#include "cli/WatchCommand.h"

#include "cli/FileWatcher.h"
#include "common/PathNames.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <optional>
#include <ostream>
#include <poll.h>
#include <sys/signalfd.h>
#include <system_error>
#include <unistd.h>

namespace varnoke {

namespace {

using TClock = std::chrono::steady_clock;

// SIGINT and SIGTERM, held back while the watch runs and read from a
// descriptor between builds instead.
class TEndSignals {
  public:
    TEndSignals() {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        ::pthread_sigmask(SIG_BLOCK, &signals_, &previous_);
        descriptor_ = ::signalfd(-1, &signals_, SFD_NONBLOCK | SFD_CLOEXEC);
        if (descriptor_ < 0) {
            const int error = errno;
            ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
            throw std::system_error(error, std::generic_category(), "signalfd");
        }
    }
    ~TEndSignals() {
        ::close(descriptor_);
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    TEndSignals(const TEndSignals&) = delete;
    TEndSignals& operator=(const TEndSignals&) = delete;

    int Descriptor() const { return descriptor_; }

    // Takes the signal that made the descriptor readable, so that it does
    // not strike when the signals are let through again.
    void Take() const {
        signalfd_siginfo info{};
        while (::read(descriptor_, &info, sizeof info) == sizeof info) {
        }
    }

  private:
    sigset_t signals_{};
    sigset_t previous_{};
    int descriptor_ = -1;
};

std::string TimeOfDay() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%H:%M:%S", &local);
    return text;
}

std::string NamesOf(const std::vector<std::string>& files) {
    std::string names;
    for (const std::string& file : files)
        names += (names.empty() ? "" : ", ") + ExtractFileName(file);
    return names;
}

int MillisecondsSince(TClock::time_point start) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start).count());
}

// Waits for a burst of changes to end; nothing when a signal came first.
std::optional<std::vector<std::string>> WaitForChanges(TFileWatcher& watcher,
                                                       const TEndSignals& signals) {
    std::vector<std::string> changed;
    TClock::time_point quietAt{};
    TClock::time_point latest{};
    for (;;) {
        int timeout = -1;
        if (!changed.empty()) {
            const auto due = std::min(quietAt, latest) - TClock::now();
            timeout = static_cast<int>(
                std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(due).count()));
        }
        pollfd waiting[] = {{signals.Descriptor(), POLLIN, 0}, {watcher.Descriptor(), POLLIN, 0}};
        const int ready = ::poll(waiting, 2, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            throw std::system_error(errno, std::generic_category(), "poll");
        if (waiting[0].revents != 0) {
            signals.Take();
            return std::nullopt;
        }
        if (ready == 0)
            return changed;
        for (const std::string& file : watcher.TakeChanges()) {
            if (changed.empty())
                latest = TClock::now() + LongestWait;
            quietAt = TClock::now() + QuietPeriod;
            if (std::find(changed.begin(), changed.end(), file) == changed.end())
                changed.push_back(file);
        }
    }
}

} // namespace

int WatchAndRebuild(const TBuildOnce& build, std::ostream& out, std::ostream& err) {
    try {
        const TEndSignals signals;
        TFileWatcher watcher;
        std::string reason = "開始";
        std::vector<std::string> inputs; // what the last build read
        for (;;) {
            const TClock::time_point start = TClock::now();
            std::vector<std::string> reading;
            const bool succeeded = build([&](const std::string& file) {
                if (std::find(reading.begin(), reading.end(), file) == reading.end())
                    reading.push_back(file);
                // The last build's files stay watched until this one ends.
                std::vector<std::string> both = inputs;
                both.insert(both.end(), reading.begin(), reading.end());
                watcher.Watch(both);
            });
            const int milliseconds = MillisecondsSince(start);
            inputs = std::move(reading);
            watcher.Watch(inputs);
            out << TimeOfDay() << " " << reason << ": "
                << (succeeded ? "作成しました" : "作成できませんでした") << " (" << milliseconds
                << " ms)" << std::endl;
            if (inputs.empty())
                return 2; // no file to wait for: the build said why
            const std::optional<std::vector<std::string>> changes =
                WaitForChanges(watcher, signals);
            if (!changes)
                return 0;
            reason = NamesOf(*changes);
        }
    } catch (const std::system_error& error) {
        err << "varnoke-build: ファイルを監視できません: " << error.what() << std::endl;
        return 1;
    }
}

} // namespace varnoke
