// The project's three style choices (タイトル, メニュー, 本文) name styles by
// their place in the collection. When the collection changes under an open
// project, the choices follow their styles, so that the pages keep the look
// the author chose.
#pragma once

#include <QStringList>

namespace varnoke {

class TProjectData;

// The captions of the choices that name the style: "タイトル", "メニュー",
// "本文", in that order.
QStringList ProjectChoicesOfStyle(const TProjectData& project, int style);

// After the style at `deleted` has gone: a choice above it moves down one,
// a choice of it becomes 0. True when a choice changed.
bool FollowDeletedStyle(TProjectData& project, int deleted);

} // namespace varnoke
