// A whole file's bytes mapped into memory instead of copied: a text of many
// megabytes is read without a copy and without filling fresh memory.
//
// A mapped file that another program cuts short (an editor truncating the
// text to write it anew) would end this program with SIGBUS at the first
// byte beyond the new end. Here such pages read as NUL bytes instead, and
// WasCut() tells the caller that what it read is not the file.
#pragma once

#include <string_view>

namespace varnoke {

class TMappedFile {
  public:
    TMappedFile() = default;
    ~TMappedFile();
    TMappedFile(TMappedFile&& other) noexcept;
    TMappedFile& operator=(TMappedFile&& other) noexcept;
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    // Maps a whole regular file (a CP932 path). Returns false when it does
    // not exist; throws EFOpenError when it cannot be read or is no regular
    // file. An empty file maps to no bytes.
    bool Open(std::string_view sjisPath);

    std::string_view Bytes() const { return {data_, size_}; }
    // Whether the file was cut short while mapped: the bytes beyond the cut
    // read as NUL.
    bool WasCut() const;

  private:
    void Close();

    const char* data_ = nullptr;
    size_t size_ = 0;
    int guardSlot_ = -1; // the slot of the SIGBUS guard watching this mapping
};

} // namespace varnoke
