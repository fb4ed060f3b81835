// Output of the pages and style sheets: a file created or truncated, written
// line by line with CR LF, through a buffer so that a page takes a few system
// calls. Every failure raises EInOutError with the file name and a code.
#pragma once

#include "common/LineWriting.h"
#include "common/NativePath.h"

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace varnoke {

class TTextFileWriter : public TLineWriting<TTextFileWriter> {
  public:
    // Creates or truncates the file.
    explicit TTextFileWriter(TNativePath fileName);
    ~TTextFileWriter();
    TTextFileWriter(const TTextFileWriter&) = delete;
    TTextFileWriter& operator=(const TTextFileWriter&) = delete;

    // Writes the bytes as they are. A page is millions of short pieces:
    // the common case is a copy into the buffer, here in the header.
    void Write(std::string_view bytes) {
        if (bytes.size() > BufferSize - used_)
            return WriteBeyondBuffer(bytes);
        if (bytes.empty())
            return; // an empty view may have no bytes to point to at all
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    // Writes what is buffered and closes the file; a failure raises.
    void Close();

    const TNativePath& FileName() const { return fileName_; }

  private:
    static constexpr size_t BufferSize = 128 * 1024;

    void WriteBeyondBuffer(std::string_view bytes);
    void Flush();
    [[noreturn]] void Fail(int error);

    TNativePath fileName_;
    // Left uninitialised: a small page touches only the memory it fills.
    std::unique_ptr<char[]> buffer_{new char[BufferSize]};
    size_t used_ = 0;
    int descriptor_ = -1;
};

} // namespace varnoke
