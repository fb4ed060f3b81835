#include "cli/WatchCommand.h"

#include "cli/EndSignals.h"
#include "cli/FileWatcher.h"
#include "common/PathNames.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>
#include <ostream>
#include <poll.h>
#include <system_error>
#include <unistd.h>

namespace varnoke {

namespace {

using TClock = std::chrono::steady_clock;

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
        const TEndSignals signals(true);
        TFileWatcher watcher;
        std::string reason = "開始";
        std::vector<std::string> inputs; // what the last build read
        for (;;) {
            const TClock::time_point start = TClock::now();
            std::vector<std::string> reading;
            const auto willRead = [&](const std::string& file) {
                if (std::find(reading.begin(), reading.end(), file) == reading.end())
                    reading.push_back(file);
                // The last build's files stay watched until this one ends.
                std::vector<std::string> both = inputs;
                both.insert(both.end(), reading.begin(), reading.end());
                watcher.Watch(both);
            };
            bool succeeded = false;
            try {
                succeeded = build(willRead, signals);
            } catch (const TBuildStopped&) {
                // The build has removed what it wrote; the old pages stand.
                signals.Take();
                return 0;
            }
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
