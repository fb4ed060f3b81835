// The page writers over any text: the body page(s) and the menu, with and
// without split, with any tab width, from the text file's line source or
// from raw lines of any shape. Every page is complete, and every link of
// the menu hits an anchor of the page it names.
#include "FuzzSupport.h"
#include "common/LineSource.h"
#include "common/TextLines.h"
#include "convert/MenuHtml.h"
#include "convert/SearchIndex.h"
#include "convert/TextHtml.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

using namespace varnoke;
using namespace varnoke::fuzz;

namespace {

// Lines cut at LF only, kept as they are: lone CRs at their ends or
// inside. Nothing the editor hands out, but nothing the writers may trip
// over either.
class TRawLines : public TLineSource {
  public:
    explicit TRawLines(std::string_view text) {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            lines_.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        lastLineHasBreak_ = !text.empty() && text.back() == '\n';
    }
    size_t Count() const override { return lines_.size(); }
    std::string_view Line(size_t index) const override { return lines_[index]; }
    bool LastLineHasBreak() const override { return lastLineHasBreak_; }

  private:
    std::vector<std::string_view> lines_;
    bool lastLineHasBreak_ = false;
};

// The lines with their breaks make up the text again, every break as CR
// LF: nothing lost, nothing added.
void CheckLinesRebuildText(const TTextLines& lines, std::string_view text) {
    std::string joined;
    for (size_t i = 0; i < lines.Count(); ++i) {
        joined.append(lines.Line(i));
        joined.append(lines.LineBreak(i));
    }
    std::string normalised;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            normalised += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            normalised += text[i];
        }
    }
    FUZZ_CHECK(joined == normalised);
}

bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void CheckPages(const std::string& folder, const std::string& text, bool split) {
    std::map<std::string, std::string> pages;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        pages[entry.path().filename().string()] = ReadBytes(entry.path().string());
    FUZZ_CHECK(pages.count("menu.html") == 1);
    const std::string menu = pages["menu.html"];
    pages.erase("menu.html");
    if (split) {
        // text0.html, text1.html, ... without a gap.
        for (size_t k = 0; k < pages.size(); ++k)
            FUZZ_CHECK(pages.count("text" + std::to_string(k) + ".html") == 1);
    } else {
        FUZZ_CHECK(pages.size() == 1 && pages.count("text.html") == 1);
    }
    FUZZ_CHECK(EndsWith(menu, "</body>\r\n</html>\r\n"));
    for (const auto& [name, page] : pages) {
        FUZZ_CHECK(page.compare(0, 10, "<!DOCTYPE ") == 0);
        FUZZ_CHECK(EndsWith(page, "<br>\r\n</p>\r\n</body>\r\n</html>\r\n"));
    }
    // Markup in the text itself could pose as a link or an anchor; the
    // writers pass text through unchanged, so such inputs prove nothing
    // more about the links.
    if (text.find('<') != std::string::npos)
        return;
    const std::string_view hrefStart = "<a href=\"";
    size_t links = 0;
    for (size_t at = menu.find(hrefStart); at != std::string::npos;
         at = menu.find(hrefStart, at + 1)) {
        const size_t begin = at + hrefStart.size();
        const size_t hash = menu.find('#', begin);
        const size_t quote = menu.find('"', begin);
        FUZZ_CHECK(hash != std::string::npos && hash < quote);
        const std::string page = menu.substr(begin, hash - begin);
        const std::string anchor = menu.substr(hash + 1, quote - hash - 1);
        FUZZ_CHECK(pages.count(page) == 1);
        FUZZ_CHECK(pages[page].find("<a name=\"" + anchor + "\">\r\n") != std::string::npos);
        ++links;
    }
    size_t anchors = 0;
    for (const auto& [name, page] : pages) {
        for (size_t at = page.find("<a name=\""); at != std::string::npos;
             at = page.find("<a name=\"", at + 1))
            ++anchors;
    }
    FUZZ_CHECK(links == anchors);
}

// The search's data is ASCII, and it has a section for every heading the
// menu links to (unless markup in the text poses as a link).
void CheckSearch(const TLineSource& lines, const std::string& text, const std::string& folder,
                 bool split) {
    const TByteBuffer script = SearchIndexScript(lines, split, true);
    for (const char c : script.View())
        FUZZ_CHECK(c == '\r' || c == '\n' || (c >= 32 && c < 127));
    if (text.find('<') != std::string::npos)
        return;
    const std::u16string searched = SearchText(lines);
    const auto headings = std::count(searched.begin(), searched.end(), SectionMainHeading) +
                          std::count(searched.begin(), searched.end(), SectionHeading);
    std::ifstream file(folder + "menu.html", std::ios::binary);
    const std::string menu((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::ptrdiff_t links = 0;
    for (size_t at = menu.find("<a href="); at != std::string::npos;
         at = menu.find("<a href=", at + 1))
        ++links;
    FUZZ_CHECK(headings == links);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const std::uint8_t mode = input.Byte();
    const bool split = mode & 1;
    const bool rawLines = mode & 2;
    const bool decode = mode & 4;
    // Tab widths beyond the editor's 2, 4 and 8, and below zero.
    const int tabCount = static_cast<int>(input.Byte() % 70) - 3;

    const std::string text = decode ? DecodeTextFile(input.Rest()) : std::string(input.Rest());
    const std::string folder = EmptySubFolder("pages");
    const std::string body = folder + "text.html";
    if (rawLines) {
        const TRawLines lines(text);
        MakeTextHtml(split, lines, TNativePath(body), TNativePath(folder + "text.css"), tabCount);
        MakeMenuHtml(split, lines, TNativePath(folder + "menu.html"), TNativePath(body),
                     TNativePath(folder + "menu.css"));
        if (mode & 8)
            CheckSearch(lines, text, folder, split);
    } else {
        const TTextLines lines(text);
        CheckLinesRebuildText(lines, text);
        MakeTextHtml(split, lines, TNativePath(body), TNativePath(folder + "text.css"), tabCount);
        MakeMenuHtml(split, lines, TNativePath(folder + "menu.html"), TNativePath(body),
                     TNativePath(folder + "menu.css"));
    }
    CheckPages(folder, text, split);
    return 0;
}
