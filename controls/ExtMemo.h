// The manual's text editor: a plain text edit that keeps the East Asian
// rich edit settings the window and the project rely on (input-method
// composition colours, line-breaking punctuation sets and the word-wrap mode
// word, selection bar, vertical text), a one-line scroll, the insert state,
// a paint hook, and the text as editor lines for the page writers.
//
// Qt has no rich edit window with these settings, so the editor carries a
// small window of its own (TRichEditWindow, private to ExtMemo.cpp) that
// answers the classic rich edit messages: it keeps and reports the values
// the way the window messages do, and the option objects talk to it only
// through Perform(), exactly as they would talk to a real window.
#pragma once

#include "common/LineSource.h"
#include "controls/LineCache.h"

#include <QFlags>
#include <QPlainTextEdit>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QPainter;

namespace varnoke {

// Rich edit window messages and their values, as the editor sends them.
constexpr unsigned EM_SCROLL = 0xB5;
constexpr unsigned EM_SETOPTIONS = 0x44D;
constexpr unsigned EM_GETOPTIONS = 0x44E;
constexpr unsigned EM_SETPUNCTUATION = 0x464;
constexpr unsigned EM_GETPUNCTUATION = 0x465;
constexpr unsigned EM_SETWORDWRAPMODE = 0x466;
constexpr unsigned EM_GETWORDWRAPMODE = 0x467;
constexpr unsigned EM_SETIMECOLOR = 0x468;
constexpr unsigned EM_GETIMECOLOR = 0x469;

constexpr std::uintptr_t ECOOP_SET = 1;
constexpr std::uintptr_t ECOOP_OR = 2;
constexpr std::uintptr_t ECOOP_AND = 3;
constexpr std::uintptr_t ECOOP_XOR = 4;
constexpr std::uint32_t ECO_VERTICAL = 0x400000;
constexpr std::uint32_t ECO_SELECTIONBAR = 0x1000000;

constexpr std::uint32_t WBF_WORDWRAP = 0x10;
constexpr std::uint32_t WBF_WORDBREAK = 0x20;
constexpr std::uint32_t WBF_OVERFLOW = 0x40;
constexpr std::uint32_t WBF_LEVEL1 = 0x80;
constexpr std::uint32_t WBF_LEVEL2 = 0x100;
constexpr std::uint32_t WBF_CUSTOM = 0x200;

// EM_SETPUNCTUATION / EM_GETPUNCTUATION record: buffer size in bytes and a
// zero-terminated CP932 string.
struct TPunctuation {
    std::uint32_t iSize = 0;
    char* szPunctuation = nullptr;
};

// One composition colour record: colours as 0x00BBGGRR, effects 0x1 bold,
// 0x2 italic, 0x4 underline, 0x8 strike-out.
struct TCompColor {
    std::uint32_t crText = 0;
    std::uint32_t crBackground = 0;
    std::uint32_t dwEffects = 0;
};
using TCompColors = std::array<TCompColor, 4>;

enum TFontStyle : unsigned { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

enum TPunctuationMode { wbfCustom, wbfLevel1, wbfLevel2 };

enum TWordWrapMode : unsigned {
    wbfWordWrap = WBF_WORDWRAP,
    wbfWordBreak = WBF_WORDBREAK,
    wbfOverflow = WBF_OVERFLOW,
};
Q_DECLARE_FLAGS(TWordWrapModes, TWordWrapMode)
Q_DECLARE_OPERATORS_FOR_FLAGS(TWordWrapModes)

// The four punctuation kinds; the value is the kind number the window uses.
enum TPunctuationKind { pkFollowing = 1, pkLeading = 2, pkOverflow = 3, pkDelimiter = 4 };

// Rows by TPunctuationMode, columns by kind - 1.
using TPuncTbl = std::array<std::array<std::string, 4>, 3>;

class TCustomExtRichEdit;
class TImeColors;

// The colours and effects of one state of the composition string. A colour
// is the platform colour value (0x00BBGGRR, or a negative system colour).
class TImeColor {
  public:
    explicit TImeColor(TImeColors* owner = nullptr) : owner_(owner) {}
    TImeColor(const TImeColor&) = delete;
    TImeColor& operator=(const TImeColor&) = delete;

    std::int32_t icText() const { return text_; }
    void SetIcText(std::int32_t value);
    std::int32_t icBackground() const { return background_; }
    void SetIcBackground(std::int32_t value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);

    // Copies all three values, then tells the owner once.
    void Assign(const TImeColor& source);
    bool SameAs(const TImeColor& other) const;

    // System colours are resolved to their current RGB value.
    TCompColor ToCompColor() const;
    // Takes the record's values without telling the owner.
    void FromCompColor(const TCompColor& record);

  private:
    friend class TImeColors;
    void Changed();

    TImeColors* owner_;
    std::int32_t text_ = 0;
    std::int32_t background_ = 0;
    TFontStyles style_;
};

class TImeColors {
  public:
    explicit TImeColors(TCustomExtRichEdit* editor = nullptr);
    TImeColors(const TImeColors&) = delete;
    TImeColors& operator=(const TImeColors&) = delete;

    TImeColor& Untransfered() { return untransfered_; }
    const TImeColor& Untransfered() const { return untransfered_; }
    void SetUntransfered(const TImeColor& value) { Set(untransfered_, value); }
    TImeColor& WatchingTransfered() { return watchingTransfered_; }
    const TImeColor& WatchingTransfered() const { return watchingTransfered_; }
    void SetWatchingTransfered(const TImeColor& value) { Set(watchingTransfered_, value); }
    TImeColor& Transfered() { return transfered_; }
    const TImeColor& Transfered() const { return transfered_; }
    void SetTransfered(const TImeColor& value) { Set(transfered_, value); }
    TImeColor& WatchingUntransfered() { return watchingUntransfered_; }
    const TImeColor& WatchingUntransfered() const { return watchingUntransfered_; }
    void SetWatchingUntransfered(const TImeColor& value) { Set(watchingUntransfered_, value); }

    // The four records in the window's order (the property order above).
    TCompColors ToCompColors() const;
    void FromCompColors(const TCompColors& records);

    // Sends all four entries to the editor's window, if there is an editor.
    void Update();
    // Copies the four entries and sends them.
    void Assign(const TImeColors& source);

  private:
    friend class TImeColor;
    void Set(TImeColor& entry, const TImeColor& value);
    void Changed() { Update(); }

    TCustomExtRichEdit* editor_;
    TImeColor untransfered_{this};
    TImeColor watchingTransfered_{this};
    TImeColor transfered_{this};
    TImeColor watchingUntransfered_{this};
};

// The line-breaking options: the punctuation table and the word-wrap mode
// word, the value the window takes and returns for EM_SETWORDWRAPMODE.
class TWordWrapOption {
  public:
    explicit TWordWrapOption(TCustomExtRichEdit* editor = nullptr) : editor_(editor) {}
    TWordWrapOption(const TWordWrapOption&) = delete;
    TWordWrapOption& operator=(const TWordWrapOption&) = delete;

    TPunctuationMode PunctuationMode() const;
    void SetPunctuationMode(TPunctuationMode mode);
    TWordWrapModes WordWrapMode() const;
    void SetWordWrapMode(TWordWrapModes modes);

    // Reading gives the set of the current punctuation mode (the custom set
    // while the editor is being written out); writing switches to custom.
    std::string Punctuation(TPunctuationKind kind) const;
    void SetPunctuation(TPunctuationKind kind, const std::string& characters);
    std::string pcFollowing() const { return Punctuation(pkFollowing); }
    void SetPcFollowing(const std::string& value) { SetPunctuation(pkFollowing, value); }
    std::string pcLeading() const { return Punctuation(pkLeading); }
    void SetPcLeading(const std::string& value) { SetPunctuation(pkLeading, value); }
    std::string pcOverflow() const { return Punctuation(pkOverflow); }
    void SetPcOverflow(const std::string& value) { SetPunctuation(pkOverflow, value); }
    std::string pcDelimiter() const { return Punctuation(pkDelimiter); }
    void SetPcDelimiter(const std::string& value) { SetPunctuation(pkDelimiter, value); }

    std::uint32_t ModeWord() const { return modeWord_; }
    const TPuncTbl& Table() const { return table_; }

    // Copies the table and the mode word and applies them to the editor.
    void Assign(const TWordWrapOption& source);

  private:
    friend class TCustomExtRichEdit;
    std::string& Cell(TPunctuationMode row, TPunctuationKind kind);
    const std::string& Cell(TPunctuationMode row, TPunctuationKind kind) const;
    // Sends one custom set; a set the window refuses is forgotten.
    void SendCustom(TPunctuationKind kind);
    void SendModeWord(std::uint32_t word);

    TCustomExtRichEdit* editor_;
    TPuncTbl table_;
    std::uint32_t modeWord_ = 0;
};

class TRichEditWindow;

class TCustomExtRichEdit : public QPlainTextEdit {
    Q_OBJECT

  public:
    // While the editor's settings are read from or written to a stored form
    // the option objects do not query the window, and the punctuation
    // properties report the custom sets, which are what is stored.
    enum class TStreamState { None, Loading, Writing };

    explicit TCustomExtRichEdit(QWidget* parent = nullptr);
    ~TCustomExtRichEdit() override;

    // True for insert, false for overwrite; the Insert key toggles it.
    bool InsertState() const { return insertState_; }

    // Reading refreshes the objects from the window; writing assigns.
    TImeColors& ImeColors();
    void SetImeColors(const TImeColors& value) { imeColors_->Assign(value); }
    TWordWrapOption& WordWrapOption();
    void SetWordWrapOption(const TWordWrapOption& value) { wordWrapOption_->Assign(value); }

    // EM_SCROLL: 0 one line up, 1 one line down, 2 a page up, 3 a page
    // down. Nonzero when the text moved.
    int ScrollLine(int code);
    // The window's set of one kind in its current punctuation mode.
    std::string GetPunctuation(int kind);

    // Sends a message to the editor's window; 0 while there is none.
    std::intptr_t Perform(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    TStreamState StreamState() const { return streamState_; }
    void SetStreamState(TStreamState state) { streamState_ = state; }

    // The text as the page writers read it, in CP932, kept in step with
    // every change (see TLineCache).
    const TLineCache& Lines() const;

    // Replaces the text by the file's characters (the file in CP932, or in
    // UTF-8 with or without a byte-order mark). Throws EFOpenError and keeps
    // the text when the file cannot be read. Raises Changed once.
    void LoadFromFile(const TNativePath& path);
    // Replaces the whole text, with an empty undo history. Raises Changed
    // once.
    void SetText(const QString& text);

    // Suspends repainting; the outermost EndUpdate repaints and raises
    // Changed exactly once, whether or not the text changed in between.
    void BeginUpdate();
    void EndUpdate();

  signals:
    // The editor's change event: every change of the text outside an
    // update, and the end of every update.
    void Changed();

  protected:
    bool LineSelect() const { return lineSelect_; }
    void SetLineSelect(bool value);
    bool Vertical() const { return vertical_; }
    void SetVertical(bool value);

    // Brings up the window and applies the settings that must survive a
    // new window; RecreateWnd replaces the window by a new one.
    void CreateWnd();
    void RecreateWnd();

    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class TRichEditWindow;
    // Called by the window when its options change.
    void ShowSelectionBar(bool show);
    void PlaceSelectionBar();
    void TextChanged();

    bool insertState_ = true;
    bool lineSelect_ = true;
    bool vertical_ = false;
    TStreamState streamState_ = TStreamState::None;
    int updateDepth_ = 0;
    // Declared in this order so that the word-wrap options go first.
    std::unique_ptr<TImeColors> imeColors_;
    std::unique_ptr<TWordWrapOption> wordWrapOption_;
    std::unique_ptr<TRichEditWindow> window_;
    QWidget* selectionBar_ = nullptr;

    TLineCache* lines_;
};

class TExtRichEdit : public TCustomExtRichEdit {
    Q_OBJECT

  public:
    using TPaintEvent = std::function<void(TExtRichEdit& sender)>;

    explicit TExtRichEdit(QWidget* parent = nullptr) : TCustomExtRichEdit(parent) {}

    using TCustomExtRichEdit::LineSelect;
    using TCustomExtRichEdit::SetLineSelect;
    using TCustomExtRichEdit::SetVertical;
    using TCustomExtRichEdit::Vertical;

    // Called after the text has been painted; the handler may draw over it
    // on Canvas(). A paint that arrives while the handler runs is painted
    // without calling the handler again.
    TPaintEvent OnPaint;
    // The painter over the text, set up with the editor's font and a pen of
    // width 1; valid only while OnPaint runs, null otherwise.
    QPainter* Canvas() const { return canvas_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool inPaint_ = false;
    QPainter* canvas_ = nullptr;
};

} // namespace varnoke
