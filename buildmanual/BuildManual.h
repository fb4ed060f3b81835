// The program's main job: a complete manual, three style sheets and all
// pages, written into one folder. The window's Execute and preview and the
// command-line tool all build through here.
#pragma once

#include "common/LineSource.h"
#include "common/NativePath.h"
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
    int TabSpace; // used within 0 .. MaximumTabSpace
    TSystemColorResolver SystemColors = ClassicSystemColors();
    // The files the manual is made from: the text, the project and the
    // style or settings file. No file of the build may be one of them; an
    // empty name or a missing file is no input.
    std::vector<TNativePath> InputFiles = {};
};

// What a build did: the files it wrote, and the project's style indices
// that named no style of the collection, so a freshly reset style was
// written instead.
struct TBuildReport {
    struct TStyleFallback {
        std::string SheetName; // "title.css", "menu.css" or "text.css"
        int StyleIndex;
    };
    std::vector<TStyleFallback> Fallbacks;
    std::vector<TNativePath> Files;      // full names, in the order of writing
    std::vector<TNativePath> InputFiles; // the build's inputs, never removed
};

// folder ends with a path delimiter. Writes, in this order: title.css,
// menu.css, text.css, the body page(s), menu.html, title.html, frame.html,
// and with the project's search search.html and search.js;
// all or nothing. Every file is written beside its target first (a
// TStagedFolder: whatever else a build comes to write goes there too) and
// the files replace the old ones only once all are complete: a build that
// fails, at any file and for any reason, leaves the folder's manual as it
// was. Raises the EInOutError of the first file that fails, and
// EOverwritesInput when a file to be written is one of the inputs.
TBuildReport BuildManual(const TBuildInputs& inputs, const TNativePath& folder);

// The page a reader opens first: "frame.html" for a frame set, else the
// body page ("text0.html" when split).
std::string EntryPage(const TProjectData& project);

// Removes from the folder the body pages ("text.html", "text0.html", ...)
// that the reported build did not write: pages an earlier build left
// behind, such as "text5.html" after the text lost a heading. For the
// preview's folder only, which must show the current build and nothing
// else; a reader's output folder is never cleaned. A page that cannot be
// removed is left: it is no reason to fail; a page that is one of the
// build's inputs (a text named "text5.html" there) is no page and stays.
void RemoveStaleBodyPages(const TNativePath& folder, const TBuildReport& report);

} // namespace varnoke
