// A drop-down list of colours, each entry drawn as a swatch and a name: an
// optional default entry, the sixteen basic colours under English or
// Japanese names, client colours, and "その他..." which opens the colour
// dialog. Colours picked there stay as custom entries, oldest out first.
//
// Colours are the platform colour values the styles store: signed 32 bits,
// 0x00BBGGRR; a negative value names a system colour by its lowest byte;
// clDefault means no colour.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QFlags>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace varnoke {

enum TColorSelectionItem : unsigned {
    csSystem = 0x01,   // the basic colours under English names
    csSystemJ = 0x02,  // the basic colours under Japanese names
    csCustom = 0x04,   // "その他..." and the colours picked through it
    csDefault = 0x08,  // "標準" with DefaultColor
    csExtended = 0x10, // the client's ExtendedColors
};
Q_DECLARE_FLAGS(TColorSelection, TColorSelectionItem)

class TColorLookupComboBox : public QComboBox {
    Q_OBJECT

  public:
    static constexpr std::int32_t clDefault = 0x1FFFFFFF;
    // The desktop's current 0x00BBGGRR for a system colour index.
    using TSystemColorResolver = std::function<std::uint32_t(int index)>;
    // Asks the user for a colour; nullopt when cancelled.
    using TColorDialog = std::function<std::optional<QColor>(const QColor& initial)>;
    // May fill the list of client colours just before it is read.
    using TLoadExtendedColorsEvent = std::function<void(QStringList& extendedColors)>;

    explicit TColorLookupComboBox(QWidget* parent = nullptr);

    // The setters rebuild the list when the value changes; custom entries
    // are lost then.
    TColorSelection Selection() const { return selection_; }
    void SetSelection(TColorSelection selection);
    std::int32_t DefaultColor() const { return defaultColor_; }
    void SetDefaultColor(std::int32_t color);
    // One line per colour: name, "=", then decimal or "$" and hex digits.
    const QStringList& ExtendedColors() const { return extendedColors_; }
    void SetExtendedColors(const QStringList& lines);
    int MaxCustomCount() const { return maxCustomCount_; }
    void SetMaxCustomCount(int count);
    bool ShowName() const { return showName_; }
    void SetShowName(bool showName);
    int CustomCount() const { return customCount_; }

    void SetOnLoadExtendedColors(TLoadExtendedColorsEvent handler);
    void SetSystemColorResolver(TSystemColorResolver resolver);
    void SetColorDialog(TColorDialog dialog);

    // clDefault when nothing is selected.
    std::int32_t SelectedColor() const;
    // Selects the first entry of that colour, else adds it as a custom entry
    // when the list has "その他...", else selects nothing. clDefault selects
    // nothing. Does not raise Changed.
    void SetSelectedColor(std::int32_t color);
    // Adds a custom entry above "その他..." (an empty name becomes "$" and
    // the value in hex) and returns its index; -1 when no custom entry fits.
    int AddCustomColor(const QString& name, std::int32_t color);
    void RebuildItems();

    std::int32_t ItemColor(int index) const;
    // 14 pixels, or more when the font needs it.
    int ItemHeight() const;
    // The colour a value shows on screen; invalid for clDefault.
    QColor DisplayColor(std::int32_t color) const;
    // Draws one entry: swatch and name, or only the colour without ShowName.
    void PaintEntry(QPainter& painter, const QRect& rect, int index, const QColor& textColor) const;

  signals:
    // The user picked an entry, or the colour dialog has been handled.
    void Changed();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ItemActivated(int index);
    bool HasOtherEntry() const { return (selection_ & csCustom) != 0; }

    TColorSelection selection_ = csSystemJ;
    std::int32_t defaultColor_ = clDefault;
    QStringList extendedColors_;
    int maxCustomCount_ = 3;
    bool showName_ = true;
    int customCount_ = 0;
    std::int32_t lastColor_ = clDefault;
    TLoadExtendedColorsEvent onLoadExtendedColors_;
    TSystemColorResolver resolver_;
    TColorDialog colorDialog_;
};

} // namespace varnoke

Q_DECLARE_OPERATORS_FOR_FLAGS(varnoke::TColorSelection)
