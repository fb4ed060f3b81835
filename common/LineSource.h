// The editor's lines as the page writers read them: line i is the bytes of
// one line of the text followed by its CR LF; a last line that ends the text
// without a line break has none; an empty text has no lines. The editor in
// the window and the text file of the command-line tool both hand out their
// text this way.
#pragma once

#include <string_view>

namespace varnoke {

class TLineSource {
  public:
    virtual ~TLineSource() = default;
    virtual int Count() const = 0;
    // Valid until the source changes; index is in 0 .. Count() - 1.
    virtual std::string_view Line(int index) const = 0;
};

} // namespace varnoke
