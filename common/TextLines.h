// A line source over a whole text held in memory: the lines are found at
// CR LF, lone LF or lone CR and handed out in place, without their breaks,
// however long they are.
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
    explicit TTextLines(std::string sjisText);

    int Count() const override { return static_cast<int>(ends_.size()); }
    std::string_view Line(int index) const override;
    bool LastLineHasBreak() const override { return lastLineHasBreak_; }

  private:
    void FindLines();

    std::string text_;
    std::vector<size_t> ends_; // where each line's bytes end: at its break or the text's end
    bool lastLineHasBreak_ = false;
};

// The bytes of a text file as CP932: a file that starts with a UTF-8
// byte-order mark, or that is valid UTF-8 holding multi-byte characters, is
// converted (characters CP932 lacks become "&#NNNN;"); any other file is
// taken as CP932 already.
std::string DecodeTextFile(std::string_view fileBytes);

} // namespace varnoke
