// "sample.html": a fixed page with one main heading, one heading and a short
// paragraph, linked to "sample.css", so that one style can be judged alone.
#pragma once

#include "common/NativePath.h"

#include <string>

namespace varnoke {

void MakeSampleHtml(const TNativePath& fileName, const TNativePath& styleSheet);

} // namespace varnoke
