// Markup written into memory with the calls that write a page file: the live
// preview makes a block of a page with the very code that writes the page,
// so that the two can never disagree.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace varnoke {

class TStringWriter {
  public:
    explicit TStringWriter(std::string& text) : text_(text) {}

    void Write(std::string_view bytes) { text_.append(bytes); }
    void WriteLine(std::string_view line) {
        Write(line);
        Write("\r\n");
    }
    void WriteLine(std::initializer_list<std::string_view> pieces) {
        for (std::string_view piece : pieces)
            Write(piece);
        Write("\r\n");
    }

  private:
    std::string& text_;
};

} // namespace varnoke
