#include "convert/InlineMarkup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

namespace varnoke {

namespace {

// Elements that stay inside a heading or a paragraph and that the parser
// never moves: no links (a link inside the anchor of a heading splits it),
// no blocks, no tables, no forms, no scripts.
constexpr std::array<std::string_view, 26> PhraseElements = {
    "abbr",   "b",      "big", "cite", "code", "del", "dfn",  "em",    "font",
    "i",      "ins",    "kbd", "mark", "q",    "s",   "samp", "small", "span",
    "strike", "strong", "sub", "sup",  "tt",   "u",   "var",  "bdi"};
constexpr std::array<std::string_view, 3> VoidElements = {"br", "img", "wbr"};

template <class TNames> bool IsOneOf(std::string_view name, const TNames& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Lowered(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lowered;
}

// Attributes as the tokenizer reads them without surprises: no "<", and
// quotes in pairs, so that no quoted value runs on past the tag's ">".
bool PlainAttributes(std::string_view attributes) {
    if (!attributes.empty() && attributes.front() != ' ' && attributes.front() != '\t')
        return false;
    return attributes.find('<') == std::string_view::npos &&
           std::count(attributes.begin(), attributes.end(), '"') % 2 == 0 &&
           std::count(attributes.begin(), attributes.end(), '\'') % 2 == 0;
}

} // namespace

// Shift-JIS trail bytes never take the values of "<", ">" or the quotes, so
// the line is read as bytes.
bool KeepsPageStructure(std::string_view line) {
    std::vector<std::string> open;
    for (size_t at = line.find('<'); at != std::string_view::npos; at = line.find('<', at)) {
        const size_t end = line.find('>', at);
        if (end == std::string_view::npos)
            return false;
        std::string_view tag = line.substr(at + 1, end - at - 1);
        at = end + 1;
        const bool closing = !tag.empty() && tag.front() == '/';
        if (closing)
            tag.remove_prefix(1);
        size_t nameLength = 0;
        while (nameLength < tag.size() && std::isalnum(static_cast<unsigned char>(tag[nameLength])))
            ++nameLength;
        const std::string name = Lowered(tag.substr(0, nameLength));
        const std::string_view rest = tag.substr(nameLength);
        if (closing) {
            if (!rest.empty() || open.empty() || open.back() != name)
                return false;
            open.pop_back();
        } else if (IsOneOf(name, VoidElements)) {
            if (!PlainAttributes(rest == "/" ? std::string_view() : rest))
                return false;
        } else if (IsOneOf(name, PhraseElements)) {
            if (!PlainAttributes(rest))
                return false;
            open.push_back(name);
        } else {
            return false;
        }
    }
    return open.empty();
}

} // namespace varnoke
