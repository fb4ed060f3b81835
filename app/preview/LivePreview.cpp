#include "app/preview/LivePreview.h"

#include "controls/LineCache.h"
#include "controls/OutlinePane.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QToolButton>

#include <utility>

namespace varnoke {

namespace {

// Past this much markup a reload costs less than the patch.
constexpr size_t LargestPatch = 4 * 1024 * 1024;

QString Json(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

TLivePreview::TLivePreview(QPlainTextEdit& editor, const TLineCache& lines,
                           TPreviewNavigator& navigator, THost host, QObject* parent)
    : QObject(parent), editor_(editor), lines_(lines), navigator_(navigator),
      host_(std::move(host)) {
    writeTimer_.setSingleShot(true);
    writeTimer_.setInterval(WriteDelayMs);
    // A write of a large manual takes the window's thread for tens of
    // milliseconds: it waits while a patch is on its way, whose answer
    // would wait for it.
    connect(&writeTimer_, &QTimer::timeout, this, [this] {
        if (patchInFlight_ && !patchSent_.hasExpired(PatchAnswerLimitMs))
            writeTimer_.start();
        else
            Flush();
    });
    sendTimer_.setSingleShot(true);
    sendTimer_.setInterval(0);
    connect(&sendTimer_, &QTimer::timeout, this, [this] {
        if (!pending_.Empty())
            Patch(true);
    });
    followTimer_.setSingleShot(true);
    followTimer_.setInterval(0);
    connect(&followTimer_, &QTimer::timeout, this,
            [this] { Follow(editor_.textCursor().blockNumber()); });
    connect(&editor_, &QPlainTextEdit::cursorPositionChanged, &followTimer_,
            qOverload<>(&QTimer::start));
    connect(&lines_, &TLineCache::LinesChanged, this, &TLivePreview::LinesChanged);
    navigator_.BeforeLoad = [this] { Flush(); };
    navigator_.PlaceDoubleClicked = [this](const TPreviewPlace& place) {
        const int line = LineOf(place);
        if (line < 0)
            return;
        ShowLineAtTop(editor_, line);
        editor_.setFocus();
    };
}

void TLivePreview::LinesChanged(int first, int removed, int added) {
    // The blocks follow every change, so that a patch never needs a scan of
    // the whole text; a change they cannot follow makes the next update a
    // reload.
    if (!lines_.Regular()) {
        blocks_.Invalidate();
        pending_.Reload = true;
        return;
    }
    pending_.Append(blocks_.Update(lines_, first, removed, added));
}

void TLivePreview::TextEdited() {
    Patch(false);
}

void TLivePreview::Patch(bool atOnce) {
    if (!navigator_.CanPatch() || !host_.ShowsBody() ||
        !blocks_.Matches(host_.Split(), host_.TabCount()) || pending_.Reload ||
        pending_.Size() > LargestPatch) {
        host_.Rebuild();
        return;
    }
    if (pending_.Empty())
        return; // a comment or an empty line: the pages stay as they are
    writePending_ = true;
    writeTimer_.start();
    // Keys that come while the page still takes the last patch go together
    // in the next one: a page slower than the typing then falls behind by
    // one patch, not by every key typed.
    if (patchInFlight_) {
        if (patchSent_.hasExpired(PatchAnswerLimitMs))
            host_.Rebuild();
        return;
    }
    // A patch that adds, removes or renumbers blocks costs a large page a
    // search over its whole body, however little it changes: the keys that
    // come in the same turn of the event loop (a Tab typed twice, keys the
    // window took together after a busy moment) go with it. A refill goes
    // at once, and so do pages loaded afresh, which no later key spares.
    if (!atOnce && pending_.MovedFrom < 0 && pending_.Restructures()) {
        sendTimer_.start();
        return;
    }
    sendTimer_.stop();
    const int movedFrom = std::exchange(pending_.MovedFrom, -1);
    if (!pending_.Empty())
        SendPatch(); // the earlier pages, which stay
    if (movedFrom >= 0)
        LoadMovedPages(movedFrom);
}

// A main heading moved the split pages from `from` on: the files are
// written, and of the shown pages those and the menu loaded afresh.
void TLivePreview::LoadMovedPages(int from) {
    writeTimer_.stop();
    writePending_ = false;
    if (!host_.WriteTempFolder()) {
        pending_.Reload = true;
        return;
    }
    const bool loading = navigator_.LoadAfresh([this, from](const QString& page) {
        const int number = PageNumber(page);
        return page == QLatin1String("menu.html") || (number >= 0 && number >= from);
    });
    if (!loading)
        host_.Rebuild();
}

void TLivePreview::SendPatch() {
    patchInFlight_ = true;
    patchSent_.start();
    navigator_.Patch(PatchJson(pending_), [this, generation = pagesGeneration_](bool held) {
        if (generation != pagesGeneration_)
            return; // the pages were built and shown afresh meanwhile
        patchInFlight_ = false;
        if (!held)
            host_.Rebuild();
        else if (!pending_.Empty())
            Patch(true);
    });
    pending_ = TPagePatch();
}

void TLivePreview::ShownAfresh() {
    // A reload still asked for stays asked for.
    pending_ = TPagePatch{pending_.Reload, -1, {}, {}};
    sendTimer_.stop();
    patchInFlight_ = false;
    ++pagesGeneration_;
}

void TLivePreview::Rebuilt(bool succeeded) {
    writeTimer_.stop();
    writePending_ = false;
    ShownAfresh();
    if (!blocks_.Matches(host_.Split(), host_.TabCount()))
        blocks_.Reset(lines_, host_.Split(), host_.TabCount());
    // Pages that failed to build are not the ones shown: the next edit
    // builds again.
    pending_.Reload = !succeeded;
}

void TLivePreview::Flush() {
    writeTimer_.stop();
    if (!writePending_)
        return;
    writePending_ = false;
    if (!host_.WriteTempFolder())
        pending_.Reload = true;
}

void TLivePreview::SetFollowing(bool follow) {
    following_ = follow;
}

void TLivePreview::Follow(int line) {
    TPreviewPlace place;
    if (!following_ || !navigator_.CanPatch() || !PlaceOf(line, place))
        return;
    navigator_.Follow(
        Json({{"page", place.PageName}, {"block", place.Element}, {"line", place.LineInBlock}}));
}

bool TLivePreview::PlaceOf(int line, TPreviewPlace& place) const {
    TBlockPlace block{};
    if (!host_.ShowsBody() || !blocks_.Matches(host_.Split(), host_.TabCount()) ||
        !blocks_.PlaceOfLine(lines_, line, block))
        return false;
    place = {PageName(block.Page), block.Block + host_.SearchLinks().Body, block.LineInBlock};
    return true;
}

int TLivePreview::LineOf(const TPreviewPlace& place) const {
    if (!blocks_.Matches(host_.Split(), host_.TabCount()))
        return -1;
    const TSearchLinks links = host_.SearchLinks();
    if (place.PageName == QLatin1String("menu.html"))
        return place.Element < links.Menu ? -1
                                          : blocks_.LineOfMenuEntry(place.Element - links.Menu);
    const int page = PageNumber(place.PageName);
    if (page < 0 || place.Element < links.Body)
        return -1;
    return blocks_.LineOfPlace(lines_, {page, place.Element - links.Body, place.LineInBlock});
}

QString TLivePreview::PageName(int page) const {
    return host_.Split() ? QStringLiteral("text%1.html").arg(page) : QStringLiteral("text.html");
}

// "text3.html" is page 3 when split, "text.html" page 0 when not; -1 for
// any other page.
int TLivePreview::PageNumber(const QString& name) const {
    if (!host_.Split())
        return name == QLatin1String("text.html") ? 0 : -1;
    bool number = false;
    const int page = name.mid(4, name.size() - 9).toInt(&number);
    return number && page >= 0 && name.startsWith(QLatin1String("text")) &&
                   name.endsWith(QLatin1String(".html"))
               ? page
               : -1;
}

// The form the page script takes: the splices with their page's file name
// and their markup as base64 of the page's bytes, and the renumberings
// among them in their order; and the element count of each page the
// splices change. Indices and counts are the page's own, so they take in
// the search link before the blocks.
QString TLivePreview::PatchJson(const TPagePatch& patch) const {
    QJsonArray splices;
    QJsonObject counts;
    const TSearchLinks links = host_.SearchLinks();
    size_t renumbering = 0;
    auto addRenumberings = [&](size_t after) {
        for (; renumbering < patch.Renumberings.size() &&
               patch.Renumberings[renumbering].After == after;
             ++renumbering) {
            const TRenumbering& r = patch.Renumberings[renumbering];
            splices.append(QJsonObject{{"renumber", true},
                                       {"page", PageName(r.Page)},
                                       {"element", r.Element + links.Body},
                                       {"entry", r.Entry < 0 ? -1 : r.Entry + links.Menu},
                                       {"h1", QJsonArray{r.FromH1, r.ShiftH1}},
                                       {"h2", QJsonArray{r.FromH2, r.ShiftH2}}});
        }
    };
    for (size_t k = 0; k < patch.Splices.size(); ++k) {
        addRenumberings(k);
        const TElementSplice& splice = patch.Splices[k];
        const int lead = splice.Page < 0 ? links.Menu : links.Body;
        const QString page = splice.Page < 0 ? QStringLiteral("menu.html") : PageName(splice.Page);
        QJsonArray inserted;
        for (const std::string& markup : splice.Inserted)
            inserted.append(QString::fromLatin1(
                QByteArray::fromRawData(markup.data(), static_cast<int>(markup.size()))
                    .toBase64()));
        splices.append(QJsonObject{{"page", page},
                                   {"index", splice.Index + lead},
                                   {"removed", splice.Removed},
                                   {"inserted", inserted}});
        counts[page] =
            lead + (splice.Page < 0 ? blocks_.EntryCount() : blocks_.ElementCount(splice.Page));
    }
    addRenumberings(patch.Splices.size());
    return Json({{"splices", splices}, {"counts", counts}});
}

QToolButton* NewFollowButton() {
    auto* button = new QToolButton;
    button->setObjectName("FollowButton");
    button->setText(QStringLiteral("追従"));
    button->setToolTip(QStringLiteral("プレビューがカーソルのある段落を表示し続けます"));
    button->setCheckable(true);
    button->setChecked(true);
    return button;
}

} // namespace varnoke
