// Markup written into memory with the calls that write a page file: the live
// preview makes a block of a page with the very code that writes the page,
// so that the two can never disagree.
#pragma once

#include "common/LineWriting.h"

#include <string>
#include <string_view>

namespace varnoke {

class TStringWriter : public TLineWriting<TStringWriter> {
  public:
    explicit TStringWriter(std::string& text) : text_(text) {}

    void Write(std::string_view bytes) { text_.append(bytes); }

  private:
    std::string& text_;
};

} // namespace varnoke
