// A line source over a whole text: the lines are split at CR LF, lone LF or
// lone CR and handed out with CR LF, whole however long they are.
#pragma once

#include "common/LineSource.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnoke {

class TTextLines : public TLineSource {
  public:
    TTextLines() = default;
    // `sjisText` is CP932 text; see DecodeTextFile for file bytes.
    explicit TTextLines(std::string_view sjisText);

    int Count() const override { return static_cast<int>(starts_.size()) - 1; }
    std::string_view Line(int index) const override;
    // All lines joined: the text with every line break made CR LF.
    const std::string& Text() const { return text_; }

  private:
    std::string text_;           // the text with CR LF line breaks
    std::vector<size_t> starts_; // start of each line, then the end of the text
};

// The bytes of a text file as CP932: a file that starts with a UTF-8
// byte-order mark, or that is valid UTF-8 holding multi-byte characters, is
// converted (characters CP932 lacks become "&#NNNN;"); any other file is
// taken as CP932 already.
std::string DecodeTextFile(std::string_view fileBytes);

} // namespace varnoke
