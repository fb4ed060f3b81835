// The bundled guide: the example manual, written in the tool's own text
// form, that shows a new author what the tool makes. The program finds it
// beside itself in a build tree ("guide/"), under "share/varnoke/guide" of
// the prefix it is installed in, or in the XDG data folders. The author
// works on a copy in the documents folder, so that the guide can be edited,
// built and kept.
#pragma once

#include <QString>

namespace varnoke {

// The name of the guide's project file in its folder.
inline const QString GuideProjectName = QStringLiteral("guide.vkp");

// The bundled guide's folder (native, with a trailing "/"), or empty when
// the program has none.
QString FindBundledGuide(const QString& programFolder);

// The user's documents folder (XDG_DOCUMENTS_DIR, by default ~/Documents),
// whether it exists yet or not.
QString UserDocumentsFolder();

struct TGuideCopy {
    QString Project; // the copy's project file (native)
    bool Fresh;      // made now, not found from before
};

// The copy in "<documents>/Varnoke/guide/", made from `guideFolder` when it
// is not there: a file that exists there already is never overwritten, so
// the author's changes to an earlier copy stay. Raises EFCreateError.
TGuideCopy CopyOfGuide(const QString& guideFolder, const QString& documentsFolder);

} // namespace varnoke
