// Output of the pages and style sheets: a file created or truncated, written
// line by line with CR LF, through a buffer so that a page takes a few system
// calls. Every failure raises EInOutError with the file name and a code.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace varnoke {

class TTextFileWriter {
  public:
    // Creates or truncates the file (a CP932 path).
    explicit TTextFileWriter(std::string fileName);
    ~TTextFileWriter();
    TTextFileWriter(const TTextFileWriter&) = delete;
    TTextFileWriter& operator=(const TTextFileWriter&) = delete;

    // Writes the bytes followed by CR LF.
    void WriteLine(std::string_view line);
    // Writes the pieces one after another, then CR LF: one line of markup
    // without building a temporary string first.
    void WriteLine(std::initializer_list<std::string_view> pieces);
    // Writes the bytes as they are.
    void Write(std::string_view bytes);
    // Writes what is buffered and closes the file; a failure raises.
    void Close();

    const std::string& FileName() const { return fileName_; }

  private:
    void Flush();
    [[noreturn]] void Fail(int error);

    std::string fileName_;
    std::string buffer_;
    int descriptor_ = -1;
};

} // namespace varnoke
