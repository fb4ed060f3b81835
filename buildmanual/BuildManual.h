// The program's main job: a complete manual, three style sheets and all
// pages, written into one folder. The window's Execute and preview and the
// command-line tool all build through here.
#pragma once

#include "common/LineSource.h"
#include "css/CSSNames.h"

#include <string>
#include <vector>

namespace varnoke {

class TProjectData;
class TCSSPropertyClass;

struct TBuildInputs {
    const TProjectData& Project;
    const TCSSPropertyClass& Styles;
    const TLineSource& Lines;
    int TabSpace;
    TSystemColorResolver SystemColors = ClassicSystemColors();
};

// What a build did besides writing: the project's style indices that named
// no style of the collection, so a freshly reset style was written instead.
struct TBuildReport {
    struct TStyleFallback {
        std::string SheetName; // "title.css", "menu.css" or "text.css"
        int StyleIndex;
    };
    std::vector<TStyleFallback> Fallbacks;
};

// folder ends with a path delimiter. Writes, in this order: title.css,
// menu.css, text.css, the body page(s), menu.html, title.html, frame.html.
// Stops at the first file that fails, raising its EInOutError: earlier files
// are complete, later ones untouched.
TBuildReport BuildManual(const TBuildInputs& inputs, const std::string& folder);

} // namespace varnoke
