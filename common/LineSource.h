// The text of a manual as the page writers read it, line by line. Line i is
// the bytes of one line of the text without its line break. Every line but
// the last ends with a line break; the last one may or may not. An empty
// text has no lines, and the empty line after a final line break is not
// counted. The pages end every line that had a break with CR LF, whatever
// break the text itself used, so a source never copies lines to change
// their ends. The editor in the window and the text file of the
// command-line tool both hand out their text this way.
//
// A source is read from two threads at once (the pages and the search's
// data of one build) once LastLineHasBreak has returned: any work a source
// does lazily is done by then.
#pragma once

#include <cstddef>
#include <string_view>

namespace varnoke {

class TLineSource {
  public:
    virtual ~TLineSource() = default;
    // A size: a text file can hold more lines than an int counts.
    virtual size_t Count() const = 0;
    // Valid until the source changes; index is in 0 .. Count() - 1.
    virtual std::string_view Line(size_t index) const = 0;
    // Whether the last line ends with a line break (false for no lines).
    virtual bool LastLineHasBreak() const = 0;

    // What follows the bytes of line `index` in a page: CR LF, or nothing
    // after a last line without a break.
    std::string_view LineBreak(size_t index) const {
        return index + 1 < Count() || LastLineHasBreak() ? std::string_view("\r\n")
                                                         : std::string_view("");
    }
};

} // namespace varnoke
