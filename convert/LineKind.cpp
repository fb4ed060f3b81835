#include "convert/LineKind.h"

#include "common/PathNames.h"

namespace varnoke {

TLineKind ClassifyLine(std::string_view line) {
    if (line.empty())
        return TLineKind::Empty;
    if (line[0] == '#')
        return TLineKind::Comment;
    if (line[0] != '\t')
        return TLineKind::MainHeading;
    if (line.size() > 1 && line[1] == '\t')
        return TLineKind::Body;
    return TLineKind::Heading;
}

std::string SplitPageFileName(std::string_view fileName, int page) {
    return ChangeFileExt(fileName, std::to_string(page) + ExtractFileExt(fileName));
}

} // namespace varnoke
