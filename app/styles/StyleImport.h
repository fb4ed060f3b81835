// The Style menu's "スタイルを取り込む...": reads the styles of another
// settings or style file (the bundled example's styles.INI, say) and
// appends them to the collection; a name already there gets a numbered
// suffix. The first style brought in becomes the current one. With
// automatic saving on, the style file is saved afterwards, as after any
// other change of the styles.
#pragma once

#include <QString>

namespace varnoke {

class TStylePageHost;

// The dialog starts at `initialPath` and never offers the program's own
// settings file, whose styles are the collection already.
void ImportStyles(TStylePageHost& host, const QString& initialPath);

} // namespace varnoke
