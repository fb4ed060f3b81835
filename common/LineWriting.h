// Lines of markup for any writer that can Write bytes: a line and its CR LF,
// or a line from pieces without building a temporary string first.
#pragma once

#include <initializer_list>
#include <string_view>

namespace varnoke {

template <typename TWriter> class TLineWriting {
  public:
    void WriteLine(std::string_view line) {
        Writer().Write(line);
        Writer().Write("\r\n");
    }
    void WriteLine(std::initializer_list<std::string_view> pieces) {
        for (std::string_view piece : pieces)
            Writer().Write(piece);
        Writer().Write("\r\n");
    }

  private:
    TWriter& Writer() { return static_cast<TWriter&>(*this); }
};

} // namespace varnoke
