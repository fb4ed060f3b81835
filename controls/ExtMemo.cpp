#include "controls/ExtMemo.h"

#include "controls/PlatformColor.h"

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/ShiftJis.h"
#include "common/TextEncoding.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace varnoke {

namespace {

constexpr std::uint32_t kPunctuationModeBits = WBF_LEVEL1 | WBF_LEVEL2 | WBF_CUSTOM;
constexpr std::uint32_t kWrapBits = WBF_WORDWRAP | WBF_WORDBREAK | WBF_OVERFLOW;
// GetPunctuation reads into a buffer of this size, so the window takes no
// set that could not be read back whole.
constexpr std::uint32_t kPunctuationBufferSize = 2048;
constexpr int kSelectionBarWidth = 8;

TPunctuationMode ModeOfWord(std::uint32_t word) {
    if ((word & (WBF_LEVEL1 | WBF_LEVEL2)) == WBF_LEVEL1)
        return wbfLevel1;
    if ((word & kPunctuationModeBits) == WBF_CUSTOM)
        return wbfCustom;
    return wbfLevel2;
}

std::uint32_t BitsOfMode(TPunctuationMode mode) {
    switch (mode) {
    case wbfCustom:
        return WBF_CUSTOM;
    case wbfLevel1:
        return WBF_LEVEL1;
    case wbfLevel2:
        break;
    }
    return WBF_LEVEL2;
}

bool ValidKind(std::uintptr_t kind) {
    return kind >= pkFollowing && kind <= pkDelimiter;
}

// The window's own line-breaking sets. Level 1 holds the characters that
// must never start or end a line; level 2 adds the small kana, the long
// vowel mark and the currency signs, as stricter Japanese typesetting does.
struct TBuiltInSets {
    std::array<std::string, 4> level1;
    std::array<std::string, 4> level2;
};

const TBuiltInSets& BuiltInSets() {
    static const TBuiltInSets sets = [] {
        const std::string following1 =
            Sjis("!),.:;?]}、。，．・：；？！゛゜ヽヾゝゞ々）〕］｝〉》」』】°′″℃"
                 "｡｣､･ﾞﾟ");
        const std::string leading1 = Sjis("([{（〔［｛〈《「『【‘“｢");
        const std::string overflow = Sjis(",.、。，．｡､");
        const std::string delimiter = Sjis(" 　");
        TBuiltInSets built;
        built.level1 = {following1, leading1, overflow, delimiter};
        built.level2 = {following1 + Sjis("ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶー‐～…‥"
                                          "ｧｨｩｪｫｯｬｭｮｰ"),
                        leading1 + Sjis("￥＄￡＃＠§\\$"), overflow, delimiter};
        return built;
    }();
    return sets;
}

// A well-formed CP932 string: every lead byte has its trail byte.
bool WellFormedSjis(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsSjisLeadByte(static_cast<unsigned char>(text[i])))
            continue;
        if (i + 1 >= text.size())
            return false;
        auto trail = static_cast<unsigned char>(text[++i]);
        if (!IsSjisTrailByte(trail))
            return false;
    }
    return true;
}

// A platform colour as 0x00BBGGRR; a system colour takes the desktop's
// current colour for that role.
std::uint32_t ColorToRgb(std::int32_t color) {
    return static_cast<std::uint32_t>(
        PlatformColorOf(QColorOf(color, DesktopSystemColors(QApplication::palette()))));
}

// The start and end (after its line break, if any) of the display line at
// height y of the viewport.
std::pair<int, int> LineRangeAt(const QPlainTextEdit& editor, int y) {
    const QTextCursor cursor = editor.cursorForPosition(QPoint(0, y));
    const QTextBlock block = cursor.block();
    const int blockEnd = block.next().isValid() ? block.position() + block.length()
                                                : block.position() + block.length() - 1;
    const QTextLayout* layout = block.layout();
    if (layout == nullptr || layout->lineCount() <= 1)
        return {block.position(), blockEnd};
    const QTextLine line = layout->lineForTextPosition(cursor.positionInBlock());
    if (!line.isValid())
        return {block.position(), blockEnd};
    const int start = block.position() + line.textStart();
    if (line.lineNumber() == layout->lineCount() - 1)
        return {start, blockEnd};
    return {start, start + line.textLength()};
}

// The strip left of the text: a press selects the line beside it, a drag
// extends the selection by whole lines, Shift extends the present one.
class TSelectionBar : public QWidget {
  public:
    explicit TSelectionBar(TCustomExtRichEdit& editor) : QWidget(&editor), editor_(editor) {
        setObjectName(QStringLiteral("selectionBar"));
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
        setCursor(Qt::ArrowCursor);
        hide();
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return;
        editor_.setFocus(Qt::MouseFocusReason);
        if (event->modifiers() & Qt::ShiftModifier) {
            anchor_ = {editor_.textCursor().anchor(), editor_.textCursor().anchor()};
        } else {
            anchor_ = LineRangeAt(editor_, event->position().toPoint().y());
        }
        SelectTo(event->position().toPoint().y());
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton)
            SelectTo(event->position().toPoint().y());
    }

    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }

  private:
    void SelectTo(int y) {
        const auto line = LineRangeAt(editor_, y);
        QTextCursor cursor = editor_.textCursor();
        if (line.first >= anchor_.first) {
            cursor.setPosition(anchor_.first);
            cursor.setPosition(line.second, QTextCursor::KeepAnchor);
        } else {
            cursor.setPosition(anchor_.second);
            cursor.setPosition(line.first, QTextCursor::KeepAnchor);
        }
        editor_.setTextCursor(cursor);
    }

    TCustomExtRichEdit& editor_;
    std::pair<int, int> anchor_{0, 0};
};

} // namespace

// The editor's window: keeps and reports the settings the way a rich edit
// window answers its messages. Its options, mode word, custom sets and
// composition colours die with it; the option objects outlive it and send
// what must survive to the next window.
class TRichEditWindow {
  public:
    explicit TRichEditWindow(TCustomExtRichEdit& editor) : editor_(editor) {}

    std::intptr_t Handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
        switch (message) {
        case EM_SETOPTIONS:
            return SetOptions(wParam, static_cast<std::uint32_t>(lParam));
        case EM_GETOPTIONS:
            return options_;
        case EM_SETWORDWRAPMODE: {
            const std::uint32_t previous = modeWord_;
            modeWord_ = static_cast<std::uint32_t>(wParam);
            return previous;
        }
        case EM_GETWORDWRAPMODE:
            return modeWord_;
        case EM_SETPUNCTUATION:
            return SetPunctuation(wParam, reinterpret_cast<const TPunctuation*>(lParam));
        case EM_GETPUNCTUATION:
            return GetPunctuation(wParam, reinterpret_cast<TPunctuation*>(lParam));
        case EM_SETIMECOLOR:
            if (lParam == 0)
                return 0;
            std::memcpy(imeColors_.data(), reinterpret_cast<const TCompColor*>(lParam),
                        sizeof imeColors_);
            return 1;
        case EM_GETIMECOLOR:
            if (lParam == 0)
                return 0;
            std::memcpy(reinterpret_cast<TCompColor*>(lParam), imeColors_.data(),
                        sizeof imeColors_);
            return 1;
        case EM_SCROLL:
            return Scroll(wParam);
        default:
            return 0;
        }
    }

  private:
    std::intptr_t SetOptions(std::uintptr_t operation, std::uint32_t options) {
        switch (operation) {
        case ECOOP_SET:
            options_ = options;
            break;
        case ECOOP_OR:
            options_ |= options;
            break;
        case ECOOP_AND:
            options_ &= options;
            break;
        case ECOOP_XOR:
            options_ ^= options;
            break;
        default:
            return 0;
        }
        editor_.ShowSelectionBar((options_ & ECO_SELECTIONBAR) != 0);
        return options_;
    }

    // Takes a set only when the record is consistent (size = length + 1),
    // the set fits the reading buffer and is well-formed CP932.
    std::intptr_t SetPunctuation(std::uintptr_t kind, const TPunctuation* record) {
        if (!ValidKind(kind) || record == nullptr || record->szPunctuation == nullptr ||
            record->iSize == 0 || record->iSize > kPunctuationBufferSize)
            return 0;
        const size_t length = ::strnlen(record->szPunctuation, record->iSize);
        if (length + 1 != record->iSize)
            return 0;
        std::string_view characters(record->szPunctuation, length);
        if (!WellFormedSjis(characters))
            return 0;
        custom_[kind - 1] = std::string(characters);
        return 1;
    }

    std::intptr_t GetPunctuation(std::uintptr_t kind, TPunctuation* record) const {
        if (!ValidKind(kind) || record == nullptr || record->szPunctuation == nullptr ||
            record->iSize == 0)
            return 0;
        const std::string* set = &custom_[kind - 1];
        switch (ModeOfWord(modeWord_)) {
        case wbfLevel1:
            set = &BuiltInSets().level1[kind - 1];
            break;
        case wbfLevel2:
            set = &BuiltInSets().level2[kind - 1];
            break;
        case wbfCustom:
            break;
        }
        const size_t length = std::min<size_t>(set->size(), record->iSize - 1);
        std::memcpy(record->szPunctuation, set->data(), length);
        record->szPunctuation[length] = '\0';
        return 1;
    }

    // Nonzero (high word 1, low word the lines moved) only when the text
    // moved, so that a caller can tell the end of the text.
    std::intptr_t Scroll(std::uintptr_t code) {
        QScrollBar* bar = editor_.verticalScrollBar();
        int step = 0;
        switch (code) {
        case 0:
            step = -bar->singleStep();
            break;
        case 1:
            step = bar->singleStep();
            break;
        case 2:
            step = -bar->pageStep();
            break;
        case 3:
            step = bar->pageStep();
            break;
        default:
            return 0;
        }
        const int before = bar->value();
        bar->setValue(before + step);
        const int moved = std::abs(bar->value() - before);
        return moved == 0 ? 0 : (std::intptr_t{1} << 16) | (moved & 0xFFFF);
    }

    TCustomExtRichEdit& editor_;
    std::uint32_t options_ = 0;
    std::uint32_t modeWord_ = 0;
    std::array<std::string, 4> custom_;
    TCompColors imeColors_{};
};

// ---- TImeColor -------------------------------------------------------------

void TImeColor::SetIcText(std::int32_t value) {
    if (value == text_)
        return;
    text_ = value;
    Changed();
}

void TImeColor::SetIcBackground(std::int32_t value) {
    if (value == background_)
        return;
    background_ = value;
    Changed();
}

void TImeColor::SetStyle(TFontStyles value) {
    if (value == style_)
        return;
    style_ = value;
    Changed();
}

void TImeColor::Assign(const TImeColor& source) {
    text_ = source.text_;
    background_ = source.background_;
    style_ = source.style_;
    Changed();
}

bool TImeColor::SameAs(const TImeColor& other) const {
    return text_ == other.text_ && background_ == other.background_ && style_ == other.style_;
}

TCompColor TImeColor::ToCompColor() const {
    return {ColorToRgb(text_), ColorToRgb(background_),
            static_cast<std::uint32_t>(style_.toInt()) & 0xF};
}

void TImeColor::FromCompColor(const TCompColor& record) {
    text_ = static_cast<std::int32_t>(record.crText);
    background_ = static_cast<std::int32_t>(record.crBackground);
    style_ = TFontStyles::fromInt(static_cast<int>(record.dwEffects & 0xF));
}

void TImeColor::Changed() {
    if (owner_ != nullptr)
        owner_->Changed();
}

// ---- TImeColors ------------------------------------------------------------

TImeColors::TImeColors(TCustomExtRichEdit* editor) : editor_(editor) {}

TCompColors TImeColors::ToCompColors() const {
    return {untransfered_.ToCompColor(), watchingTransfered_.ToCompColor(),
            transfered_.ToCompColor(), watchingUntransfered_.ToCompColor()};
}

void TImeColors::FromCompColors(const TCompColors& records) {
    untransfered_.FromCompColor(records[0]);
    watchingTransfered_.FromCompColor(records[1]);
    transfered_.FromCompColor(records[2]);
    watchingUntransfered_.FromCompColor(records[3]);
}

void TImeColors::Update() {
    if (editor_ == nullptr)
        return;
    TCompColors records = ToCompColors();
    editor_->Perform(EM_SETIMECOLOR, 0, reinterpret_cast<std::intptr_t>(records.data()));
}

void TImeColors::Set(TImeColor& entry, const TImeColor& value) {
    if (!entry.SameAs(value))
        entry.Assign(value);
}

void TImeColors::Assign(const TImeColors& source) {
    if (&source == this)
        return;
    // Plain copies, so that the window is told once, at the end.
    const TImeColor* from[] = {&source.untransfered_, &source.watchingTransfered_,
                               &source.transfered_, &source.watchingUntransfered_};
    TImeColor* to[] = {&untransfered_, &watchingTransfered_, &transfered_, &watchingUntransfered_};
    for (int i = 0; i < 4; ++i) {
        to[i]->text_ = from[i]->text_;
        to[i]->background_ = from[i]->background_;
        to[i]->style_ = from[i]->style_;
    }
    Update();
}

// ---- TWordWrapOption -------------------------------------------------------

std::string& TWordWrapOption::Cell(TPunctuationMode row, TPunctuationKind kind) {
    return table_[static_cast<size_t>(row)][static_cast<size_t>(kind) - 1];
}

const std::string& TWordWrapOption::Cell(TPunctuationMode row, TPunctuationKind kind) const {
    return table_[static_cast<size_t>(row)][static_cast<size_t>(kind) - 1];
}

TPunctuationMode TWordWrapOption::PunctuationMode() const {
    return ModeOfWord(modeWord_);
}

void TWordWrapOption::SetPunctuationMode(TPunctuationMode mode) {
    const std::uint32_t bits = BitsOfMode(mode);
    if (bits == (modeWord_ & kPunctuationModeBits))
        return;
    modeWord_ = (modeWord_ & ~kPunctuationModeBits) | bits;
    SendModeWord(modeWord_);
}

TWordWrapModes TWordWrapOption::WordWrapMode() const {
    return TWordWrapModes::fromInt(static_cast<int>(modeWord_ & kWrapBits));
}

void TWordWrapOption::SetWordWrapMode(TWordWrapModes modes) {
    const std::uint32_t bits = static_cast<std::uint32_t>(modes.toInt()) & kWrapBits;
    if (bits == (modeWord_ & kWrapBits))
        return;
    // A word of 0 would leave the punctuation mode unset in the window; the
    // window then needs an explicit mode, and custom is the declared one.
    if (modeWord_ == 0)
        modeWord_ = WBF_CUSTOM;
    modeWord_ = (modeWord_ & ~kWrapBits) | bits;
    SendModeWord(modeWord_);
}

std::string TWordWrapOption::Punctuation(TPunctuationKind kind) const {
    if (editor_ != nullptr && editor_->StreamState() == TCustomExtRichEdit::TStreamState::Writing)
        return Cell(wbfCustom, kind);
    return Cell(PunctuationMode(), kind);
}

void TWordWrapOption::SetPunctuation(TPunctuationKind kind, const std::string& characters) {
    SetPunctuationMode(wbfCustom);
    std::string& stored = Cell(wbfCustom, kind);
    if (characters == stored)
        return;
    stored = characters;
    SendCustom(kind);
}

void TWordWrapOption::SendCustom(TPunctuationKind kind) {
    if (editor_ == nullptr)
        return;
    std::string& stored = Cell(wbfCustom, kind);
    std::vector<char> buffer(stored.begin(), stored.end());
    buffer.push_back('\0');
    TPunctuation record{static_cast<std::uint32_t>(buffer.size()), buffer.data()};
    if (editor_->Perform(EM_SETPUNCTUATION, kind, reinterpret_cast<std::intptr_t>(&record)) == 0)
        stored.clear(); // keep only what the window accepted
}

void TWordWrapOption::SendModeWord(std::uint32_t word) {
    if (editor_ != nullptr)
        editor_->Perform(EM_SETWORDWRAPMODE, word, 0);
}

void TWordWrapOption::Assign(const TWordWrapOption& source) {
    if (&source == this)
        return;
    table_ = source.table_;
    modeWord_ = source.modeWord_;
    if (editor_ == nullptr)
        return;
    SendModeWord(WBF_CUSTOM | kWrapBits);
    for (auto kind : {pkFollowing, pkLeading, pkOverflow, pkDelimiter})
        SendCustom(kind);
    SendModeWord(modeWord_);
}

// ---- TCustomExtRichEdit ----------------------------------------------------

TCustomExtRichEdit::TCustomExtRichEdit(QWidget* parent)
    : QPlainTextEdit(parent), imeColors_(std::make_unique<TImeColors>(this)),
      wordWrapOption_(std::make_unique<TWordWrapOption>(this)),
      lines_(new TLineCache(*document(), this)) {
    selectionBar_ = new TSelectionBar(*this);
    viewport()->installEventFilter(this);
    connect(this, &QPlainTextEdit::textChanged, this, &TCustomExtRichEdit::TextChanged);
    CreateWnd();
}

TCustomExtRichEdit::~TCustomExtRichEdit() = default;

std::intptr_t TCustomExtRichEdit::Perform(unsigned message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    return window_ ? window_->Handle(message, wParam, lParam) : 0;
}

void TCustomExtRichEdit::CreateWnd() {
    window_ = std::make_unique<TRichEditWindow>(*this);
    const bool modified = document()->isModified();
    std::uint32_t options = 0;
    if (lineSelect_)
        options |= ECO_SELECTIONBAR;
    if (vertical_)
        options |= ECO_VERTICAL;
    if (options != 0)
        Perform(EM_SETOPTIONS, ECOOP_OR, options);
    document()->setModified(modified);

    TWordWrapOption& option = *wordWrapOption_;
    const auto kinds = {pkFollowing, pkLeading, pkOverflow, pkDelimiter};
    Perform(EM_SETWORDWRAPMODE, WBF_LEVEL1 | kWrapBits, 0);
    for (auto kind : kinds)
        option.Cell(wbfLevel1, kind) = GetPunctuation(kind);
    Perform(EM_SETWORDWRAPMODE, WBF_LEVEL2 | kWrapBits, 0);
    for (auto kind : kinds)
        option.Cell(wbfLevel2, kind) = GetPunctuation(kind);
    // A new window knows no custom sets: send the kept ones again, so that
    // the window and the options agree after LineSelect or Vertical change.
    for (auto kind : kinds) {
        if (!option.Cell(wbfCustom, kind).empty())
            option.SendCustom(kind);
    }
    Perform(EM_SETWORDWRAPMODE, option.modeWord_, 0);
    imeColors_->Update();
}

void TCustomExtRichEdit::RecreateWnd() {
    window_.reset();
    ShowSelectionBar(false);
    CreateWnd();
}

TImeColors& TCustomExtRichEdit::ImeColors() {
    if (streamState_ != TStreamState::Loading) {
        TCompColors records{};
        if ((Perform(EM_GETIMECOLOR, 0, reinterpret_cast<std::intptr_t>(records.data())) & 0xFF) !=
            0)
            imeColors_->FromCompColors(records);
    }
    return *imeColors_;
}

TWordWrapOption& TCustomExtRichEdit::WordWrapOption() {
    if (streamState_ != TStreamState::Loading)
        wordWrapOption_->modeWord_ = static_cast<std::uint32_t>(Perform(EM_GETWORDWRAPMODE, 0, 0));
    return *wordWrapOption_;
}

int TCustomExtRichEdit::ScrollLine(int code) {
    return static_cast<int>(Perform(EM_SCROLL, static_cast<std::uintptr_t>(code), 0));
}

std::string TCustomExtRichEdit::GetPunctuation(int kind) {
    std::vector<char> buffer(kPunctuationBufferSize, '\0');
    TPunctuation record{kPunctuationBufferSize, buffer.data()};
    Perform(EM_GETPUNCTUATION, static_cast<std::uintptr_t>(kind),
            reinterpret_cast<std::intptr_t>(&record));
    return std::string(buffer.data());
}

void TCustomExtRichEdit::SetLineSelect(bool value) {
    if (value == lineSelect_)
        return;
    lineSelect_ = value;
    RecreateWnd();
}

void TCustomExtRichEdit::SetVertical(bool value) {
    if (value == vertical_)
        return;
    vertical_ = value;
    RecreateWnd();
}

void TCustomExtRichEdit::ShowSelectionBar(bool show) {
    setViewportMargins(show ? kSelectionBarWidth : 0, 0, 0, 0);
    selectionBar_->setVisible(show);
    PlaceSelectionBar();
}

void TCustomExtRichEdit::PlaceSelectionBar() {
    const QRect area = viewport()->geometry();
    selectionBar_->setGeometry(area.x() - kSelectionBarWidth, area.y(), kSelectionBarWidth,
                               area.height());
}

bool TCustomExtRichEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport() && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        PlaceSelectionBar();
    return QPlainTextEdit::eventFilter(watched, event);
}

void TCustomExtRichEdit::keyPressEvent(QKeyEvent* event) {
    QPlainTextEdit::keyPressEvent(event);
    // Shift+Insert pastes and Ctrl+Insert copies; only a bare Insert toggles.
    if (event->key() == Qt::Key_Insert &&
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        insertState_ = !insertState_;
        setOverwriteMode(!insertState_);
    }
}

void TCustomExtRichEdit::TextChanged() {
    if (updateDepth_ == 0)
        emit Changed();
}

void TCustomExtRichEdit::BeginUpdate() {
    if (updateDepth_++ == 0)
        viewport()->setUpdatesEnabled(false);
}

void TCustomExtRichEdit::EndUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0)
        return;
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
    emit Changed();
}

const TLineCache& TCustomExtRichEdit::Lines() const {
    return *lines_;
}

void TCustomExtRichEdit::LoadFromFile(const TNativePath& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        throw EFOpenError(path, SystemErrorReason(ENOENT));
    // The characters as they are: a trip through CP932 would turn what it
    // lacks into character references and change others (U+2212 into U+FF0D).
    SetText(QString::fromStdString(DecodeText(bytes).Utf8));
}

void TCustomExtRichEdit::SetText(const QString& text) {
    BeginUpdate();
    setPlainText(text);
    EndUpdate();
}

// ---- TExtRichEdit ----------------------------------------------------------

void TExtRichEdit::paintEvent(QPaintEvent* event) {
    if (inPaint_) {
        TCustomExtRichEdit::paintEvent(event);
        return;
    }
    // Resets the flags also when the handler throws.
    struct TPaintScope {
        TExtRichEdit& editor;
        ~TPaintScope() {
            editor.inPaint_ = false;
            editor.canvas_ = nullptr;
        }
    } scope{*this};
    inPaint_ = true;
    const bool hadUpdateRegion = !event->region().isEmpty();
    TCustomExtRichEdit::paintEvent(event);
    if (!hadUpdateRegion || !OnPaint)
        return;
    QPainter painter(viewport());
    QPen pen = painter.pen();
    pen.setWidth(1);
    painter.setPen(pen);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setFont(font());
    canvas_ = &painter;
    OnPaint(*this);
}

} // namespace varnoke
