// Bringing the styles of another style file into the collection: each is
// appended after the present ones, and a name the collection holds already
// gets the first free numbered suffix, "BLUE" becoming "BLUE(2)", then
// "BLUE(3)", so nothing present is replaced and both stay selectable.
#pragma once

#include "css/CSSPropertyClass.h"

#include <string>
#include <string_view>

namespace varnoke {

struct TStyleMergeResult {
    int First = -1; // index of the first appended style, -1 when none was
    int Appended = 0;
    int Skipped = 0; // styles whose names cannot be stored (IsValidStyleName)
};

TStyleMergeResult AppendStyles(TCSSPropertyClass& target, const TCSSPropertyClass& source);

// `name` itself when the collection has no style of that name, otherwise
// the name with the first free suffix "(2)", "(3)", ...
std::string FreeStyleName(const TCSSPropertyClass& styles, std::string_view name);

} // namespace varnoke
