#include "convert/LineKind.h"

#include "common/PathNames.h"

namespace varnoke {

std::string SplitPageFileName(std::string_view fileName, int page) {
    return ChangeFileExt(fileName, std::to_string(page) + ExtractFileExt(fileName));
}

} // namespace varnoke
