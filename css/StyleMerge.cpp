#include "css/StyleMerge.h"

namespace varnoke {

std::string FreeStyleName(const TCSSPropertyClass& styles, std::string_view name) {
    std::string candidate(name);
    for (int number = 2; styles.IndexOf(candidate) >= 0; ++number)
        candidate = std::string(name) + "(" + std::to_string(number) + ")";
    return candidate;
}

TStyleMergeResult AppendStyles(TCSSPropertyClass& target, const TCSSPropertyClass& source) {
    TStyleMergeResult result;
    for (int i = 0; i < source.Count(); ++i) {
        const TCSSProperty& style = source.Items(i);
        // A name with a line break or a bracket would break the style file
        // it is saved into; such a style comes only from a file edited by
        // hand and is left out rather than renamed beyond recognition.
        if (!IsValidStyleName(style.Name)) {
            ++result.Skipped;
            continue;
        }
        const int index = target.Add(FreeStyleName(target, style.Name));
        target.Items(index).Assign(style);
        if (result.First < 0)
            result.First = index;
        ++result.Appended;
    }
    return result;
}

} // namespace varnoke
