#include "common/ByteBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace varnoke {

namespace {

constexpr size_t HugePage = 2 * 1024 * 1024;
// From this size on, one huge page (zeroed in one go) is cheaper than
// faulting in the small pages one by one, though most of it stays unused.
constexpr size_t HugePageThreshold = 256 * 1024;

size_t RoundUp(size_t size, size_t unit) {
    return (size + unit - 1) / unit * unit;
}

// An anonymous mapping of whole huge pages, aligned to one so that the
// system can back it with them; nullptr when there is no such memory.
char* MapHugePages(size_t length) {
    const size_t padded = length + HugePage;
    void* mapped =
        ::mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = RoundUp(start, HugePage);
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (const size_t tail = padded - (aligned - start) - length; tail > 0)
        ::munmap(reinterpret_cast<void*>(aligned + length), tail);
    char* data = reinterpret_cast<char*>(aligned);
#ifdef MADV_HUGEPAGE
    ::madvise(data, length, MADV_HUGEPAGE); // a hint: without it, plain pages do
#endif
    return data;
}

} // namespace

TByteBuffer::~TByteBuffer() {
    Release();
}

TByteBuffer::TByteBuffer(TByteBuffer&& other) noexcept
    : data_(other.data_), size_(other.size_), capacity_(other.capacity_), mapped_(other.mapped_) {
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
    other.mapped_ = false;
}

TByteBuffer& TByteBuffer::operator=(TByteBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = other.data_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        mapped_ = other.mapped_;
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
        other.mapped_ = false;
    }
    return *this;
}

void TByteBuffer::Reserve(size_t capacity) {
    if (capacity <= capacity_)
        return;
    char* data = nullptr;
    bool mapped = false;
    if (capacity >= HugePageThreshold) {
        capacity = RoundUp(capacity, HugePage);
        data = MapHugePages(capacity);
        mapped = data != nullptr;
    }
    if (data == nullptr)
        data = static_cast<char*>(std::malloc(capacity));
    if (data == nullptr)
        throw std::bad_alloc();
    if (size_ > 0)
        std::memcpy(data, data_, size_);
    const size_t size = size_;
    Release();
    data_ = data;
    size_ = size;
    capacity_ = capacity;
    mapped_ = mapped;
}

void TByteBuffer::Release() {
    if (mapped_)
        ::munmap(data_, capacity_);
    else
        std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
    mapped_ = false;
}

} // namespace varnoke
