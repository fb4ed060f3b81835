#include "buildmanual/BuildManual.h"

#include "convert/FrameHtml.h"
#include "convert/MenuHtml.h"
#include "convert/TextHtml.h"
#include "convert/TitleHtml.h"
#include "css/CSSProperty.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"

namespace varnoke {

namespace {
// A project from elsewhere, or a collection with fewer styles (empty at
// first start), can name a style that does not exist: write the look of a
// fresh style rather than read outside the collection.
void WriteStyleSheet(const TBuildInputs& inputs, int styleIndex, const std::string& folder,
                     const char* sheetName, TBuildReport& report) {
    const std::string fileName = folder + sheetName;
    if (styleIndex >= 0 && styleIndex < inputs.Styles.Count()) {
        inputs.Styles.WriteCSS(styleIndex, fileName, inputs.SystemColors);
        return;
    }
    report.Fallbacks.push_back({sheetName, styleIndex});
    TCSSProperty("").WriteCSS(fileName, inputs.SystemColors);
}
} // namespace

TBuildReport BuildManual(const TBuildInputs& inputs, const std::string& folder) {
    const TProjectData& project = inputs.Project;
    TBuildReport report;
    WriteStyleSheet(inputs, project.StyleTitle, folder, "title.css", report);
    WriteStyleSheet(inputs, project.StyleMenu, folder, "menu.css", report);
    WriteStyleSheet(inputs, project.StyleText, folder, "text.css", report);
    MakeTextHtml(project.FileDivideFlag, inputs.Lines, folder + "text.html", folder + "text.css",
                 inputs.TabSpace);
    MakeMenuHtml(project.FileDivideFlag, inputs.Lines, folder + "menu.html", folder + "text.html",
                 folder + "menu.css");
    MakeTitleHtml(project.TitleName, folder + "title.html", folder + "title.css");
    MakeFrameHtml(project.TitleFrameFlag, project.FileDivideFlag, folder + "frame.html");
    return report;
}

} // namespace varnoke
