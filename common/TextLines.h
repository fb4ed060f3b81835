// A line source over a whole text held in memory, or mapped from its file:
// the lines are found at CR LF, lone LF or lone CR and handed out in place,
// without their breaks, however long they are. Nothing is copied: the page
// writers read the lines in order, and each line is found when it is asked
// for, right after the one before.
#pragma once

#include "common/LineSource.h"
#include "common/MappedFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnoke {

class TTextLines : public TLineSource {
  public:
    TTextLines() = default;
    // `sjisText` is CP932 text; see DecodeTextFile for file bytes.
    explicit TTextLines(std::string sjisText);
    // A CP932 text file, used where it is mapped.
    explicit TTextLines(TMappedFile sjisFile);

    int Count() const override { return count_; }
    std::string_view Line(int index) const override;
    bool LastLineHasBreak() const override { return lastLineHasBreak_; }

    // Whether the file was cut short while these lines were read from it
    // (the lines then hold NUL bytes from the cut on).
    bool FileWasCut() const { return file_.WasCut(); }

  private:
    static constexpr int CheckpointEvery = 256;

    std::string_view Text() const;
    void FindLines();

    std::string text_;
    TMappedFile file_;
    int count_ = 0;
    bool lastLineHasBreak_ = false;
    std::vector<size_t> checkpoints_; // where lines 0, 256, 512, ... begin
    // The line handed out last, where the next one starts looking.
    mutable int cursorIndex_ = -1;
    mutable size_t cursorBegin_ = 0;
    mutable size_t cursorEnd_ = 0;
};

// Reads a text file as lines: a UTF-8 file (see DecodeTextFile) is
// converted, any other is used in place. Returns false when the file does
// not exist; throws EFOpenError when it cannot be read.
bool LoadTextLines(std::string_view sjisPath, TTextLines& lines);

// The bytes of a text file as CP932: a file that starts with a UTF-8
// byte-order mark, or that is valid UTF-8 holding multi-byte characters, is
// converted (characters CP932 lacks become "&#NNNN;"); any other file is
// taken as CP932 already.
std::string DecodeTextFile(std::string_view fileBytes);

} // namespace varnoke
