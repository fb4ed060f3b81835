// Renders a small Shift-JIS HTML page with its style sheets into an image,
// synchronously, for the style thumbnails. The renderer is Qt's rich-text
// engine: it knows the CSS that a style writes (colours, fonts, margins) and
// needs neither a display nor an event loop, unlike the preview's browser.
#pragma once

#include "common/NativePath.h"

#include <QImage>

#include <cstdint>
#include <string>

namespace varnoke {

// Image-extraction flags the strip passes: cache, keep the aspect, quality.
// The renderer has no cache and always draws at the image's size, so they
// only document the caller's wish.
inline constexpr std::uint32_t ThumbnailCache = 0x2;
inline constexpr std::uint32_t ThumbnailAspect = 0x4;
inline constexpr std::uint32_t ThumbnailQuality = 0x200;

// Draws the page `fileName` into `image` at the image's present size: the
// page's background first, then its content from the top-left corner. The style sheets the page
// links are read beside it. Returns true; raises EFOpenError when the page cannot be read.
bool ExtractHtmlThumbnail(const TNativePath& fileName, QImage& image, std::uint32_t flags);

} // namespace varnoke
