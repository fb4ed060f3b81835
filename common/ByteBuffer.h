// A growable block of bytes for a whole text. Large blocks are mapped from
// whole huge pages where the system offers them: a text of many megabytes
// then costs a few page faults instead of thousands, which on a virtual
// machine is most of what reading it costs. Bytes beyond Size() are left
// uninitialised.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace varnoke {

class TByteBuffer {
  public:
    TByteBuffer() = default;
    ~TByteBuffer();
    TByteBuffer(TByteBuffer&& other) noexcept;
    TByteBuffer& operator=(TByteBuffer&& other) noexcept;
    TByteBuffer(const TByteBuffer&) = delete;
    TByteBuffer& operator=(const TByteBuffer&) = delete;

    char* Data() { return data_; }
    const char* Data() const { return data_; }
    size_t Size() const { return size_; }
    size_t Capacity() const { return capacity_; }
    std::string_view View() const { return {data_, size_}; }

    // Room for at least `capacity` bytes; the content stays. Throws
    // std::bad_alloc when the memory cannot be had.
    void Reserve(size_t capacity);
    // Sets the size within the capacity (bytes that come in are not set).
    void Resize(size_t size) { size_ = size; }

    void Append(const char* bytes, size_t count) {
        if (count == 0)
            return; // `bytes` may be null then
        if (count > capacity_ - size_)
            Reserve(size_ + count > 2 * capacity_ ? size_ + count : 2 * capacity_);
        std::memcpy(data_ + size_, bytes, count);
        size_ += count;
    }
    void Append(std::string_view bytes) { Append(bytes.data(), bytes.size()); }

  private:
    void Release();

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    bool mapped_ = false; // from mmap, not from malloc
};

// A growable array of plain values in a byte buffer, for tables as large as
// a text (one entry a line).
template <class T> class TLargeArray {
  public:
    void Reserve(size_t count) { bytes_.Reserve(count * sizeof(T)); }
    void PushBack(T value) { bytes_.Append(reinterpret_cast<const char*>(&value), sizeof value); }
    // Room for `count` more values past the end, to be filled and then
    // taken into the array with Grow: a tight loop can write without a
    // check per value.
    T* Room(size_t count) {
        const size_t needed = (Size() + count) * sizeof(T);
        if (needed > bytes_.Capacity())
            bytes_.Reserve(needed > 2 * bytes_.Capacity() ? needed : 2 * bytes_.Capacity());
        return reinterpret_cast<T*>(bytes_.Data()) + Size();
    }
    void Grow(size_t count) { bytes_.Resize(bytes_.Size() + count * sizeof(T)); }
    void Append(const TLargeArray& other) { bytes_.Append(other.bytes_.View()); }
    size_t Size() const { return bytes_.Size() / sizeof(T); }
    T operator[](size_t index) const {
        T value;
        std::memcpy(&value, bytes_.Data() + index * sizeof(T), sizeof value);
        return value;
    }

  private:
    TByteBuffer bytes_;
};

} // namespace varnoke
