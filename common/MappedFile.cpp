#include "common/MappedFile.h"

#include "common/Errors.h"
#include "common/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace varnoke {

namespace {

// The mappings the SIGBUS handler may mend. A signal handler can reach
// nothing but global state, and only through atomics: hence a fixed table.
struct TGuardSlot {
    std::atomic<bool> Taken{false};
    std::atomic<std::uintptr_t> Begin{0};
    std::atomic<std::uintptr_t> End{0};
    std::atomic<bool> Cut{false};
};
constexpr int GuardSlotCount = 64;
TGuardSlot guardSlots[GuardSlotCount];
std::uintptr_t pageSize = 4096;
struct sigaction previousBusAction {};

// The rest of a guarded mapping from the faulting page on becomes zero
// pages; the faulting read then runs again and finds NUL. A fault outside
// every guarded mapping gets what it would have got without this handler.
void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (TGuardSlot& slot : guardSlots) {
        const std::uintptr_t begin = slot.Begin.load();
        const std::uintptr_t end = slot.End.load();
        if (begin == 0 || address < begin || address >= end)
            continue;
        const std::uintptr_t page = address & ~(pageSize - 1);
        void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros == MAP_FAILED)
            break;
        slot.Cut.store(true);
        return;
    }
    if ((previousBusAction.sa_flags & SA_SIGINFO) && previousBusAction.sa_sigaction != nullptr) {
        previousBusAction.sa_sigaction(signal, info, context);
    } else if (previousBusAction.sa_handler != SIG_DFL && previousBusAction.sa_handler != SIG_IGN) {
        previousBusAction.sa_handler(signal);
    } else {
        ::signal(SIGBUS, SIG_DFL); // the fault repeats and ends the program as usual
    }
}

void InstallBusErrorHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &previousBusAction);
    });
}

int TakeGuardSlot(const char* data, size_t length) {
    for (int i = 0; i < GuardSlotCount; ++i) {
        bool expected = false;
        if (!guardSlots[i].Taken.compare_exchange_strong(expected, true))
            continue;
        guardSlots[i].Cut.store(false);
        guardSlots[i].End.store(reinterpret_cast<std::uintptr_t>(data) + length);
        guardSlots[i].Begin.store(reinterpret_cast<std::uintptr_t>(data));
        return i;
    }
    return -1;
}

void ReleaseGuardSlot(int slot) {
    guardSlots[slot].Begin.store(0);
    guardSlots[slot].End.store(0);
    guardSlots[slot].Taken.store(false);
}

} // namespace

TMappedFile::~TMappedFile() {
    Close();
}

TMappedFile::TMappedFile(TMappedFile&& other) noexcept
    : data_(other.data_), size_(other.size_), guardSlot_(other.guardSlot_) {
    other.data_ = nullptr;
    other.size_ = 0;
    other.guardSlot_ = -1;
}

TMappedFile& TMappedFile::operator=(TMappedFile&& other) noexcept {
    if (this != &other) {
        Close();
        data_ = other.data_;
        size_ = other.size_;
        guardSlot_ = other.guardSlot_;
        other.data_ = nullptr;
        other.size_ = 0;
        other.guardSlot_ = -1;
    }
    return *this;
}

bool TMappedFile::Open(std::string_view sjisPath) {
    Close();
    size_t size = 0;
    const int descriptor = OpenFileForReading(sjisPath, size);
    if (descriptor < 0)
        return false;
    if (size == 0) {
        ::close(descriptor);
        return true;
    }
    InstallBusErrorHandler();
    // Every page at once: one call instead of a fault per page.
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor, 0);
    const int error = errno;
    ::close(descriptor);
    if (data == MAP_FAILED)
        throw EFOpenError(std::string(sjisPath), SystemErrorReason(error));
    data_ = static_cast<const char*>(data);
    size_ = size;
    guardSlot_ = TakeGuardSlot(data_, size_);
    if (guardSlot_ < 0) {
        Close();
        throw EFOpenError(std::string(sjisPath), SystemErrorReason(EMFILE));
    }
    return true;
}

bool TMappedFile::WasCut() const {
    return guardSlot_ >= 0 && guardSlots[guardSlot_].Cut.load();
}

void TMappedFile::Close() {
    if (guardSlot_ >= 0)
        ReleaseGuardSlot(guardSlot_);
    guardSlot_ = -1;
    if (data_ != nullptr)
        ::munmap(const_cast<char*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
}

} // namespace varnoke
