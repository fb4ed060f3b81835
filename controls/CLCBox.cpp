#include "controls/CLCBox.h"

#include "controls/PlatformColor.h"

#include <QApplication>
#include <QColorDialog>
#include <QPainter>
#include <QSignalBlocker>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <array>
#include <cctype>

namespace varnoke {

namespace {

constexpr int kSwatchLeft = 2;
constexpr int kSwatchWidth = 24;
constexpr int kTextLeft = 30;
constexpr int kMinimumItemHeight = 14;

struct TBasicColor {
    const char16_t* name;
    const char16_t* nameJ;
    std::int32_t value;
};

constexpr std::int32_t Rgb(int red, int green, int blue) {
    return red | green << 8 | blue << 16;
}

constexpr std::array<TBasicColor, 16> kBasicColors{{
    {u"Black", u"黒", Rgb(0, 0, 0)},
    {u"Maroon", u"茶色", Rgb(128, 0, 0)},
    {u"Green", u"緑", Rgb(0, 128, 0)},
    {u"Olive", u"オリーブ", Rgb(128, 128, 0)},
    {u"Navy", u"紺", Rgb(0, 0, 128)},
    {u"Purple", u"紫", Rgb(128, 0, 128)},
    {u"Teal", u"青緑", Rgb(0, 128, 128)},
    {u"Gray", u"灰色", Rgb(128, 128, 128)},
    {u"Silver", u"銀色", Rgb(192, 192, 192)},
    {u"Red", u"赤", Rgb(255, 0, 0)},
    {u"Lime", u"黄緑", Rgb(0, 255, 0)},
    {u"Yellow", u"黄", Rgb(255, 255, 0)},
    {u"Blue", u"青", Rgb(0, 0, 255)},
    {u"Fuchsia", u"赤紫", Rgb(255, 0, 255)},
    {u"Aqua", u"水色", Rgb(0, 255, 255)},
    {u"White", u"白", Rgb(255, 255, 255)},
}};

const QString kDefaultName = QStringLiteral("標準");
const QString kOtherName = QStringLiteral("その他...");

// Decimal, or "$" (or "0x") and up to eight hex digits, which may name a
// system colour; anything else is no colour.
std::int32_t ParseColorValue(const QString& text) {
    QString s = text.trimmed();
    bool ok = false;
    std::int32_t value = 0;
    if (s.startsWith(QLatin1Char('$')) || s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        QString digits = s.mid(s.startsWith(QLatin1Char('$')) ? 1 : 2);
        bool clean = !digits.isEmpty() && digits.size() <= 8 &&
                     std::all_of(digits.begin(), digits.end(), [](QChar c) {
                         return c.unicode() < 128 && std::isxdigit(c.unicode());
                     });
        if (clean)
            value = static_cast<std::int32_t>(digits.toUInt(&ok, 16));
    } else {
        value = s.toInt(&ok, 10);
    }
    return ok ? value : TColorLookupComboBox::clDefault;
}

// Draws the popup's entries like the closed box: background by the style,
// then swatch and name.
class TColorItemDelegate : public QStyledItemDelegate {
  public:
    explicit TColorItemDelegate(TColorLookupComboBox* box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.icon = QIcon();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
        QColor text = opt.palette.color(
            (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text);
        box_->PaintEntry(*painter, opt.rect, index.row(), text);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize hint = QStyledItemDelegate::sizeHint(option, index);
        return QSize(hint.width() + kTextLeft, box_->ItemHeight());
    }

  private:
    TColorLookupComboBox* box_;
};

} // namespace

TColorLookupComboBox::TColorLookupComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new TColorItemDelegate(this));
    resize(120, sizeHint().height());
    connect(this, &QComboBox::activated, this, &TColorLookupComboBox::ItemActivated);
    // Remembered for the colour dialog's starting colour.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && !(HasOtherEntry() && index == count() - 1))
            lastColor_ = ItemColor(index);
    });
    RebuildItems();
}

void TColorLookupComboBox::SetSelection(TColorSelection selection) {
    if (selection_ == selection)
        return;
    selection_ = selection;
    RebuildItems();
}

void TColorLookupComboBox::SetDefaultColor(std::int32_t color) {
    if (defaultColor_ == color)
        return;
    defaultColor_ = color;
    RebuildItems();
}

void TColorLookupComboBox::SetExtendedColors(const QStringList& lines) {
    if (extendedColors_ == lines)
        return;
    extendedColors_ = lines;
    RebuildItems();
}

void TColorLookupComboBox::SetMaxCustomCount(int count) {
    count = std::clamp(count, 0, 255);
    if (maxCustomCount_ == count)
        return;
    maxCustomCount_ = count;
    RebuildItems();
}

void TColorLookupComboBox::SetShowName(bool showName) {
    if (showName_ == showName)
        return;
    showName_ = showName;
    update();
}

void TColorLookupComboBox::SetOnLoadExtendedColors(TLoadExtendedColorsEvent handler) {
    onLoadExtendedColors_ = std::move(handler);
}

void TColorLookupComboBox::SetSystemColorResolver(TSystemColorResolver resolver) {
    resolver_ = std::move(resolver);
    update();
}

void TColorLookupComboBox::SetColorDialog(TColorDialog dialog) {
    colorDialog_ = std::move(dialog);
}

void TColorLookupComboBox::RebuildItems() {
    QSignalBlocker blocker(this);
    setUpdatesEnabled(false);
    clear();
    customCount_ = 0;
    lastColor_ = clDefault;
    if (selection_ & csDefault)
        addItem(kDefaultName, defaultColor_);
    if (selection_ & csSystem)
        for (const TBasicColor& c : kBasicColors)
            addItem(QString::fromUtf16(c.name), c.value);
    if (selection_ & csSystemJ)
        for (const TBasicColor& c : kBasicColors)
            addItem(QString::fromUtf16(c.nameJ), c.value);
    if (selection_ & csExtended) {
        if (onLoadExtendedColors_)
            onLoadExtendedColors_(extendedColors_);
        for (const QString& line : extendedColors_) {
            int eq = line.indexOf(QLatin1Char('='));
            if (eq <= 0)
                continue;
            const QString name = line.left(eq);
            // A repeated name shows the value of its first line.
            for (const QString& first : extendedColors_) {
                int firstEq = first.indexOf(QLatin1Char('='));
                if (firstEq > 0 && first.left(firstEq).compare(name, Qt::CaseInsensitive) == 0) {
                    addItem(name, ParseColorValue(first.mid(eq + 1)));
                    break;
                }
            }
        }
    }
    if (selection_ & csCustom)
        addItem(kOtherName, clDefault);
    setCurrentIndex(-1);
    setUpdatesEnabled(true);
    update();
}

std::int32_t TColorLookupComboBox::ItemColor(int index) const {
    if (index < 0 || index >= count())
        return clDefault;
    return static_cast<std::int32_t>(itemData(index).toInt());
}

std::int32_t TColorLookupComboBox::SelectedColor() const {
    return ItemColor(currentIndex());
}

void TColorLookupComboBox::SetSelectedColor(std::int32_t color) {
    if (color == clDefault) {
        setCurrentIndex(-1);
        return;
    }
    for (int i = 0; i < count(); ++i) {
        if (ItemColor(i) == color) {
            setCurrentIndex(i);
            return;
        }
    }
    setCurrentIndex(HasOtherEntry() ? AddCustomColor(QString(), color) : -1);
}

int TColorLookupComboBox::AddCustomColor(const QString& name, std::int32_t color) {
    // With no room at all, deleting "the oldest" would hit "その他..." or a
    // basic colour.
    if (maxCustomCount_ == 0)
        return -1;
    const int tail = HasOtherEntry() ? 1 : 0;
    if (customCount_ >= maxCustomCount_) {
        removeItem(count() - tail - customCount_);
        --customCount_;
    }
    QString text = name;
    // A system colour goes by its name; a raw "$FF000008" would mean nothing
    // to the user.
    if (text.isEmpty() && color < 0)
        text = SystemColorName(static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF));
    if (text.isEmpty())
        text =
            QLatin1Char('$') + QStringLiteral("%1")
                                   .arg(static_cast<std::uint32_t>(color), 6, 16, QLatin1Char('0'))
                                   .toUpper();
    const int index = count() - tail;
    insertItem(index, text, color);
    ++customCount_;
    return index;
}

void TColorLookupComboBox::ItemActivated(int index) {
    if (HasOtherEntry() && index == count() - 1) {
        QColor initial = DisplayColor(lastColor_);
        if (!initial.isValid())
            initial = Qt::black;
        std::optional<QColor> picked;
        if (colorDialog_) {
            picked = colorDialog_(initial);
        } else {
            QColor chosen = QColorDialog::getColor(initial, this);
            if (chosen.isValid())
                picked = chosen;
        }
        if (picked && picked->isValid())
            AddCustomColor(QString(), PlatformColorOf(*picked));
        // The new colour, or else whatever now precedes "その他...".
        setCurrentIndex(count() - 2);
    }
    emit Changed();
}

QColor TColorLookupComboBox::DisplayColor(std::int32_t color) const {
    if (color == clDefault)
        return QColor();
    return QColorOf(color, resolver_);
}

int TColorLookupComboBox::ItemHeight() const {
    return std::max(kMinimumItemHeight, fontMetrics().height() + 2);
}

void TColorLookupComboBox::PaintEntry(QPainter& painter, const QRect& rect, int index,
                                      const QColor& textColor) const {
    if (index < 0 || index >= count())
        return;
    const QColor color = DisplayColor(ItemColor(index));
    painter.save();
    if (!showName_) {
        if (color.isValid())
            painter.fillRect(rect, color);
        painter.restore();
        return;
    }
    QRect swatch(rect.left() + kSwatchLeft, rect.top() + 2, kSwatchWidth, rect.height() - 4);
    // No colour has no swatch to fill; the frame alone marks its place.
    if (color.isValid())
        painter.fillRect(swatch, color);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.setPen(textColor);
    QRect textRect(rect.left() + kTextLeft, rect.top() + 1, rect.width() - kTextLeft,
                   rect.height() - 1);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, itemText(index));
    painter.restore();
}

void TColorLookupComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    PaintEntry(painter, field, currentIndex(), palette().color(QPalette::ButtonText));
}

} // namespace varnoke
