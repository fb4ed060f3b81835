#include "app/styles/StylePage.h"

#include "app/dialogs/Dialogs.h"
#include "app/preview/HtmlThumbnail.h"
#include "app/styles/SelectorGroup.h"
#include "app/styles/StylePageHost.h"
#include "app/styles/StyleStrip.h"
#include "app/window/FieldExit.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/ShiftJis.h"
#include "controls/CLCBox.h"
#include "controls/DragEdit.h"
#include "controls/PageScrollBar.h"
#include "controls/PanelEx.h"
#include "controls/PlatformColor.h"
#include "css/CSSPropertyClass.h"
#include "sysdata/SystemData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <exception>

namespace varnoke {

namespace {

// The page at design size. The strip panel is 82 x 256 at (16, 16) there and
// keeps its distance to the bottom edge; the editor takes the rest.
constexpr int DesignWidth = 520;
constexpr int DesignHeight = 440;
constexpr int StripBottomSpace = DesignHeight - 16 - 256;

const QString DuplicateNameMessage = QStringLiteral("同じ名称のスタイルが存在します.");
const QString InvalidNameMessage =
    QStringLiteral("このスタイル名は使えません. 空の名前, 前後の空白, 制御文字, "
                   "\"[\", \"]\", \"=\" を含む名前は保存して読み込むと元に戻りません.");
const QString LastStyleMessage = QStringLiteral("最低１つのスタイルが必要です.");

const QStringList SideItems = {QStringLiteral("左(left)"), QStringLiteral("上(top)"),
                               QStringLiteral("右(right)"), QStringLiteral("下(bottom)")};

// Stores a control's value into a style field; true when it differs from
// what the field held. Showing a style in the controls can run their
// handlers with the values just shown: those change nothing.
template <typename T, typename V> bool Store(T& field, const V& value) {
    if (field == static_cast<T>(value))
        return false;
    field = static_cast<T>(value);
    return true;
}

QString Utf8(const std::string& sjis) {
    return QString::fromStdString(SjisToUtf8(sjis));
}

// A side selector sits over the caption of the group it titles, which is
// left blank for it: fourteen ideographic spaces and one space.
QString BlankCaption() {
    return QString(14, QChar(0x3000)) + QLatin1Char(' ');
}

QFormLayout* CompactForm(QWidget* parent) {
    auto* form = new QFormLayout(parent);
    form->setContentsMargins(8, 4, 8, 6);
    form->setVerticalSpacing(4);
    return form;
}

// The number in a drag edit's text: the user's decimal separator or a full
// stop, an optional sign and exponent. Single precision, as the styles hold.
std::optional<float> ParseNumber(const QString& text, QChar separator) {
    QString s = text.trimmed();
    if (separator != QLatin1Char('.'))
        s.replace(separator, QLatin1Char('.'));
    std::string bytes;
    for (QChar c : s) {
        // from_chars would also take "inf" and "nan".
        if (!(c.unicode() < 128 &&
              (c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('+') ||
               c == QLatin1Char('-') || c == QLatin1Char('e') || c == QLatin1Char('E'))))
            return std::nullopt;
        bytes += static_cast<char>(c.unicode());
    }
    const std::size_t start = !bytes.empty() && bytes[0] == '+' ? 1 : 0;
    if (bytes.size() == start || (start == 1 && bytes[1] == '-'))
        return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(bytes.data() + start, bytes.data() + bytes.size(), value);
    if (ec != std::errc() || end != bytes.data() + bytes.size())
        return std::nullopt;
    const auto single = static_cast<float>(value);
    if (!std::isfinite(single))
        return std::nullopt;
    return single;
}

// "%.1f" with the given decimal separator.
QString FormatNumber(float value, QChar separator) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                   std::chars_format::fixed, 1);
    if (ec != std::errc())
        return QString();
    QString text = QString::fromLatin1(buffer, static_cast<int>(end - buffer));
    text.replace(QLatin1Char('.'), separator);
    return text;
}

// The value as "%.1f" shows it, which is the value a drag edit stores.
float ShownValue(float value, QChar separator) {
    return ParseNumber(FormatNumber(value, separator), separator).value_or(value);
}

// The slot of a style for the strip's top index; -1 when it lies outside
// any int (a hand-edited settings file can hold any top index).
int SlotOf(int styleIndex, int styleTop) {
    const long long slot = static_cast<long long>(styleIndex) - styleTop;
    return slot < INT_MIN || slot > INT_MAX ? -1 : static_cast<int>(slot);
}

} // namespace

template <typename Body> void TStylePage::Guarded(Body&& body) {
    try {
        body();
    } catch (const std::exception& error) {
        host_.ShowError(error);
    }
}

TStylePage::TStylePage(TStylePageHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("StylePage"));
    BuildControls();
    resize(DesignWidth, DesignHeight);
    LayOut();
}

TStylePage::~TStylePage() = default;

// ---------------------------------------------------------------- controls

QComboBox* TStylePage::NewComboBox(int n, const QStringList& items) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("ComboBox%1").arg(n));
    combo->addItems(items);
    combo->setCurrentIndex(0);
    comboBoxes_[static_cast<std::size_t>(n)] = combo;
    return combo;
}

TDragEdit* TStylePage::NewDragEdit(int n, const QString& maxValue) {
    auto* edit = new TDragEdit(this);
    edit->setObjectName(QStringLiteral("DragEdit%1").arg(n));
    edit->SetValueType(TValueType::Float);
    edit->SetFloatDigits(1);
    edit->SetIncrement(QStringLiteral("0.1"));
    edit->SetMinValue(QStringLiteral("0.0"));
    edit->SetMaxValue(maxValue);
    edit->SetRangeLimited(true);
    edit->SetActiveMark(QStringLiteral("◆"));
    edit->SetInactiveMark(QStringLiteral("⇔"));
    edit->SetButtonColor(palette().color(QPalette::Button));
    edit->SetButtonWidth(15);
    dragEdits_[static_cast<std::size_t>(n)] = edit;
    // The user's edits come first as textEdited, then as textChanged, the
    // signal every change of the text raises.
    connect(edit, &QLineEdit::textEdited, this, [this, edit] { typedEdit_ = edit; });
    connect(edit, &QLineEdit::textChanged, this, [this, n, edit] {
        TDragEdit* const outer = typingIn_;
        typingIn_ = typedEdit_ == edit ? edit : nullptr;
        typedEdit_ = nullptr;
        DragEditChange(n);
        typingIn_ = outer;
    });
    edit->installEventFilter(this);
    return edit;
}

TColorLookupComboBox* TStylePage::NewColorCombo(int n) {
    auto* combo = new TColorLookupComboBox(this);
    combo->setObjectName(QStringLiteral("ColorLookupComboBox%1").arg(n));
    combo->SetDefaultColor(ColorBlack);
    combo->SetSelection(csSystemJ | csCustom | csDefault | csExtended);
    // Asked at each use: the window's palette is its own business.
    combo->SetSystemColorResolver(
        [this](int index) -> std::uint32_t { return host_.SystemColors()(index); });
    combo->SetColorDialog(
        [this](const QColor& initial) { return host_.Dialogs().ChooseColor(initial); });
    colorCombos_[static_cast<std::size_t>(n)] = combo;
    connect(combo, &TColorLookupComboBox::Changed, this,
            [this, n] { ColorLookupComboBoxChange(n); });
    return combo;
}

void TStylePage::BuildControls() {
    // The strip and its scroll bar, and the list buttons below them.
    panelEx5_ = new TPanelEx(this);
    panelEx5_->setObjectName(QStringLiteral("PanelEx5"));
    panelEx5_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panelEx5_->setLineWidth(1);
    image1_ = new TStyleStrip(panelEx5_);
    image1_->setObjectName(QStringLiteral("Image1"));
    connect(image1_, &TStyleStrip::Pressed, this, &TStylePage::Image1MouseDown);
    connect(image1_, &TStyleStrip::Released, this, &TStylePage::Image1MouseUp);

    scrollBar1_ = new TPageScrollBar(Qt::Vertical, this);
    scrollBar1_->setObjectName(QStringLiteral("ScrollBar1"));
    scrollBar1_->setRange(0, 0);
    scrollBar1_->SetPageSize(1);
    connect(scrollBar1_, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
    connect(image1_, &TStyleStrip::Wheeled, this,
            [this](int steps) { scrollBar1_->setValue(scrollBar1_->value() - steps); });

    button3_ = new QPushButton(QStringLiteral("新規"), this);
    button3_->setObjectName(QStringLiteral("Button3"));
    button1_ = new QPushButton(QStringLiteral("ｺﾋﾟｰ"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button5_ = new QPushButton(QStringLiteral("削除"), this);
    button5_->setObjectName(QStringLiteral("Button5"));
    connect(button3_, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(button5_, &QPushButton::clicked, this, [this] { Button5Click(); });

    // The editor, switched on and off as a whole.
    panelEx6_ = new TPanelEx(this);
    panelEx6_->setObjectName(QStringLiteral("PanelEx6"));
    auto* editor = new QVBoxLayout(panelEx6_);
    editor->setContentsMargins(0, 0, 0, 0);

    button7_ = new QPushButton(QStringLiteral("すぐ反映"), panelEx6_);
    button7_->setObjectName(QStringLiteral("Button7"));
    connect(button7_, &QPushButton::clicked, this, [this] { Button7Click(); });
    // Which style the controls below edit.
    styleName_ = new QLabel(panelEx6_);
    styleName_->setObjectName(QStringLiteral("StyleName"));
    QFont bold = styleName_->font();
    bold.setBold(true);
    styleName_->setFont(bold);
    auto* top = new QHBoxLayout;
    top->addWidget(styleName_, 1);
    top->addWidget(button7_);
    editor->addLayout(top);

    auto* background = new QGroupBox(QStringLiteral(" 背景 "), panelEx6_);
    auto* backgroundGrid = new QGridLayout(background);
    backgroundGrid->addWidget(new QLabel(QStringLiteral("カラー"), background), 0, 0);
    backgroundGrid->addWidget(NewColorCombo(3), 0, 1, 1, 2);
    checkBox1_ = new QCheckBox(QStringLiteral("背景画像"), background);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    // Also a state put in by StyleToControls raises it, as the check box's
    // click event does on the platform the page was designed for.
    connect(checkBox1_, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    edit1_ = new QLineEdit(background);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    // A typed picture name counts at Enter or when the field is left.
    connect(edit1_, &QLineEdit::returnPressed, this, [this] { Edit1Exit(); });
    edit1_->installEventFilter(this);
    button2_ = new QPushButton(QStringLiteral("参照"), background);
    button2_->setObjectName(QStringLiteral("Button2"));
    connect(button2_, &QPushButton::clicked, this, [this] { Button2Click(); });
    backgroundGrid->addWidget(checkBox1_, 1, 0);
    backgroundGrid->addWidget(edit1_, 1, 1);
    backgroundGrid->addWidget(button2_, 1, 2);
    editor->addWidget(background);

    QComboBox* element =
        NewComboBox(15, {QStringLiteral("P"), QStringLiteral("H1"), QStringLiteral("H2")});
    connect(element, &QComboBox::activated, this, [this] { ComboBoxChange(15); });
    auto* elementGroup =
        new TSelectorGroup(QStringLiteral(" 対象タグ                   "), element, panelEx6_);
    auto* elementLayout = new QVBoxLayout(elementGroup);
    elementLayout->setContentsMargins(6, 4, 6, 6);
    pageControl2_ = new QTabWidget(elementGroup);
    pageControl2_->setObjectName(QStringLiteral("PageControl2"));
    pageControl2_->addTab(BuildFontTab(), QStringLiteral("ﾌｫﾝﾄ"));
    pageControl2_->addTab(BuildTextTab(), QStringLiteral("ﾃｷｽﾄ"));
    pageControl2_->addTab(BuildSideWidthTab(13, 12, 5), QStringLiteral("ﾏｰｼﾞﾝ"));
    pageControl2_->addTab(BuildBorderTab(), QStringLiteral("ﾎﾞｰﾀﾞｰ"));
    pageControl2_->addTab(BuildSideWidthTab(14, 11, 2), QStringLiteral("ﾊﾟﾃﾞｨﾝｸﾞ"));
    pageControl2_->setCurrentIndex(0);
    elementLayout->addWidget(pageControl2_);
    editor->addWidget(elementGroup, 1);

    // Item lists are picked, never put in by the page, so "activated" is the
    // user's change and StyleToControls raises no handler through them.
    for (int n : {2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14})
        connect(comboBoxes_[static_cast<std::size_t>(n)], &QComboBox::activated, this,
                [this, n] { ComboBoxChange(n); });
}

QWidget* TStylePage::BuildFontTab() {
    auto* tab = new QWidget;
    QFormLayout* form = CompactForm(tab);
    form->addRow(QStringLiteral("太さ"),
                 NewComboBox(2, {QStringLiteral("標準"), QStringLiteral("太字")}));
    form->addRow(QStringLiteral("スタイル"),
                 NewComboBox(3, {QStringLiteral("標準"), QStringLiteral("斜体(Italic)")}));
    form->addRow(
        QStringLiteral("サイズ"),
        NewComboBox(4, {QStringLiteral("最も大きい"), QStringLiteral("より大きい"),
                        QStringLiteral("大きい"), QStringLiteral("普通"), QStringLiteral("小さい"),
                        QStringLiteral("より小さい"), QStringLiteral("最も小さい")}));
    form->addRow(QStringLiteral("種類"),
                 NewComboBox(5, {QStringLiteral("Serif（明朝)"), QStringLiteral("San-serif(ｺﾞｼｯｸ)"),
                                 QStringLiteral("Cursive(筆記体)"), QStringLiteral("Fantasy(装飾)"),
                                 QStringLiteral("Monospace(等幅)")}));
    form->addRow(QStringLiteral("カラー"), NewColorCombo(1));
    form->addRow(QStringLiteral("背景色"), NewColorCombo(4));
    return tab;
}

QWidget* TStylePage::BuildTextTab() {
    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    const QStringList kinds = {QStringLiteral("標準"), QStringLiteral("ﾌｫﾝﾄ相対")};
    auto* line = new QGroupBox(QStringLiteral(" 行設定 "), tab);
    QFormLayout* lineForm = CompactForm(line);
    lineForm->addRow(QStringLiteral("指定"), NewComboBox(9, kinds));
    lineForm->addRow(QStringLiteral("数値"), NewDragEdit(4, QStringLiteral("9.9")));
    auto* space = new QGroupBox(QStringLiteral(" 文字間隔設定 "), tab);
    QFormLayout* spaceForm = CompactForm(space);
    spaceForm->addRow(QStringLiteral("指定"), NewComboBox(8, kinds));
    spaceForm->addRow(QStringLiteral("数値"), NewDragEdit(3, QStringLiteral("9.9")));
    column->addWidget(line);
    column->addWidget(space);
    column->addStretch();
    return tab;
}

// Margin and padding: a side, how its width is given, and the width.
QWidget* TStylePage::BuildSideWidthTab(int sideCombo, int kindCombo, int widthEdit) {
    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    QComboBox* side = NewComboBox(sideCombo, SideItems);
    auto* group = new TSelectorGroup(BlankCaption(), side, tab);
    QFormLayout* form = CompactForm(group);
    form->addRow(
        QStringLiteral("指定方法"),
        NewComboBox(kindCombo, {QStringLiteral("自動"), QStringLiteral("フォントサイズ相対指定")}));
    form->addRow(QStringLiteral("数値"), NewDragEdit(widthEdit, QStringLiteral("9.9")));
    column->addWidget(group);
    column->addStretch();
    return tab;
}

QWidget* TStylePage::BuildBorderTab() {
    auto* tab = new QWidget;
    auto* column = new QVBoxLayout(tab);
    QComboBox* side = NewComboBox(6, SideItems);
    // The one editable side selector: a typed text that names no side selects
    // no side, and the tab then neither shows nor stores anything.
    side->setEditable(true);
    side->setInsertPolicy(QComboBox::NoInsert);
    side->setCompleter(nullptr);
    connect(side, &QComboBox::currentTextChanged, this, [this] { ComboBoxChange(6); });
    auto* group = new TSelectorGroup(BlankCaption(), side, tab);
    QFormLayout* form = CompactForm(group);
    form->addRow(
        QStringLiteral("スタイル"),
        NewComboBox(7, {QStringLiteral("なし"), QStringLiteral("点線"), QStringLiteral("破線"),
                        QStringLiteral("実線"), QStringLiteral("二重線"),
                        QStringLiteral("窪ませる"), QStringLiteral("隆起させる"),
                        QStringLiteral("内側を窪ませる"), QStringLiteral("内側を隆起させる")}));
    form->addRow(
        QStringLiteral("指定方法"),
        NewComboBox(10, {QStringLiteral("薄い"), QStringLiteral("普通"), QStringLiteral("厚い"),
                         QStringLiteral("ピクセル単位"), QStringLiteral("フォントサイズ相対")}));
    form->addRow(QStringLiteral("数値"), NewDragEdit(1, QStringLiteral("100.0")));
    form->addRow(QStringLiteral("カラー"), NewColorCombo(2));
    column->addWidget(group);
    column->addStretch();
    return tab;
}

void TStylePage::LayOut() {
    // The strip keeps its width and follows the page's height, as anchored to
    // the left, top and bottom edges; the editor takes the rest.
    const int stripHeight = std::max(32, height() - 16 - StripBottomSpace);
    panelEx5_->setGeometry(16, 16, 82, stripHeight);
    image1_->setGeometry(1, 1, 80, stripHeight - 2);
    scrollBar1_->setGeometry(96, 16, 16, stripHeight);
    // The list buttons one below the other under the strip, each as wide as
    // the strip with its scroll bar, so that each has the room its caption
    // needs in any font.
    int buttonTop = 16 + stripHeight + 8;
    for (QPushButton* button : {button3_, button1_, button5_}) {
        const int buttonHeight = std::max(24, button->sizeHint().height());
        button->setGeometry(8, buttonTop, 104, buttonHeight);
        buttonTop += buttonHeight + 4;
    }
    panelEx6_->setGeometry(124, 8, std::max(0, width() - 132), std::max(0, height() - 16));
}

// The strip column beside the editor: the strip with at least two whole
// cells, the list buttons below it and the space the design leaves there.
QSize TStylePage::minimumSizeHint() const {
    const QSize editor = panelEx6_->minimumSizeHint();
    const int stripColumn = 16 + 2 + 2 * StripCellHeight(80) + StripBottomSpace;
    return QSize(124 + editor.width() + 8, std::max(8 + editor.height() + 8, stripColumn));
}

QSize TStylePage::sizeHint() const {
    return minimumSizeHint();
}

void TStylePage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize stripSize = image1_->size();
    LayOut();
    // A strip that has been painted follows its new height at once rather
    // than at the next full refresh: more or fewer cells, another range.
    if (image1_->size() != stripSize && !image1_->Bitmap().isNull()) {
        SetStripScrollRange();
        try {
            PaintStyleStrip();
        } catch (const std::exception& error) {
            host_.Note(ErrorMessageOf(error));
        }
    }
}

QComboBox* TStylePage::ComboBox(int n) const {
    return n >= 0 && n < static_cast<int>(comboBoxes_.size())
               ? comboBoxes_[static_cast<std::size_t>(n)]
               : nullptr;
}

TDragEdit* TStylePage::DragEdit(int n) const {
    return n >= 0 && n < static_cast<int>(dragEdits_.size())
               ? dragEdits_[static_cast<std::size_t>(n)]
               : nullptr;
}

TColorLookupComboBox* TStylePage::ColorLookupComboBox(int n) const {
    return n >= 0 && n < static_cast<int>(colorCombos_.size())
               ? colorCombos_[static_cast<std::size_t>(n)]
               : nullptr;
}

QPushButton* TStylePage::Button(int n) const {
    switch (n) {
    case 1:
        return button1_;
    case 2:
        return button2_;
    case 3:
        return button3_;
    case 5:
        return button5_;
    case 7:
        return button7_;
    default:
        return nullptr;
    }
}

// ------------------------------------------------------------------- model

TCSSProperty* TStylePage::CurrentStyle() const {
    TSystemData& sys = host_.SystemData();
    if (sys.StyleIndex < 0 || sys.StyleIndex >= sys.Styles.Count())
        return nullptr;
    return &sys.Styles.Items(sys.StyleIndex);
}

TCSSPropertyChip* TStylePage::CurrentChip() const {
    TCSSProperty* style = CurrentStyle();
    const int element = comboBoxes_[15]->currentIndex();
    if (style == nullptr || element < 0 || element >= ChipCount)
        return nullptr;
    return &style->Chips[static_cast<std::size_t>(element)];
}

int TStylePage::SideOf(int comboNumber) const {
    const QComboBox* combo = comboBoxes_[static_cast<std::size_t>(comboNumber)];
    const int side = combo->isEditable() ? combo->findText(combo->currentText(), Qt::MatchExactly)
                                         : combo->currentIndex();
    return side >= 0 && side < CSSSideCount ? side : -1;
}

void TStylePage::ShowEditEnabling() {
    edit1_->setEnabled(checkBox1_->isChecked());
    button2_->setEnabled(checkBox1_->isChecked());
}

void TStylePage::KeepStyleIndexInRange() {
    TSystemData& sys = host_.SystemData();
    const int count = sys.Styles.Count();
    if (count == 0)
        return;
    sys.StyleIndex = std::clamp(sys.StyleIndex, 0, count - 1);
}

void TStylePage::SaveStylesIfAutomatic() {
    // With automatic saving the menu's save command is disabled, so a style
    // that is added, copied or deleted must reach the file now or never.
    stylesModified_ = true;
    Guarded([&] {
        if (host_.SystemData().AutoSaveFlag)
            SaveStyles();
    });
}

void TStylePage::SaveStyles() {
    host_.SystemData().Styles.SaveToFile(host_.StyleFile());
    stylesModified_ = false;
}

bool TStylePage::ConfirmStyleSave() {
    if (!stylesModified_)
        return true;
    switch (host_.Dialogs().AskYesNoCancel(QStringLiteral("警告"),
                                           QStringLiteral("スタイルを保存しますか?"))) {
    case TAnswer::Yes:
        try {
            SaveStyles();
            return true;
        } catch (const std::exception& error) {
            host_.Dialogs().ShowError(QString::fromUtf8(error.what()));
            return false;
        }
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

// ----------------------------------------------------------- the refresh

void TStylePage::UpdateEnabling() {
    const bool any = host_.SystemData().Styles.Count() > 0;
    button1_->setEnabled(any);
    button5_->setEnabled(any);
    panelEx6_->SetEnabled(any);
    // Enabling the panel enables everything in it; the image's name field
    // and its button follow the check box.
    ShowEditEnabling();
}

void TStylePage::SetStripScrollRange() {
    TSystemData& sys = host_.SystemData();
    const int maximum = StripScrollMaximum(image1_->width(), image1_->height(), sys.Styles.Count());
    // Either call may move the position and so run ScrollBar1Change, which
    // stores it in StyleTop and refreshes again.
    scrollBar1_->setMaximum(maximum);
    scrollBar1_->SetPageSize(1);
    scrollBar1_->setValue(sys.StyleTop);
}

void TStylePage::PaintStyleStrip() {
    image1_->ResetBitmap();
    const int slotCount = image1_->SlotCount();
    for (int k = 0; k < slotCount; ++k) {
        const long long index = static_cast<long long>(host_.SystemData().StyleTop) + k;
        if (index > INT_MAX)
            break;
        DrawCell(static_cast<int>(index), k);
    }
}

void TStylePage::StyleToControls() {
    TCSSProperty* style = CurrentStyle();
    if (style == nullptr) {
        styleName_->clear();
        return;
    }
    styleName_->setText(QStringLiteral("編集中のスタイル: %1").arg(Utf8(style->Name)));
    colorCombos_[3]->SetSelectedColor(style->Background.Color);
    // May run CheckBox1Click, which stores the same state and shows again.
    checkBox1_->setChecked(style->Background.CGFlag);
    ShowEditEnabling();
    edit1_->setText(Utf8(style->Background.CGFile));

    TCSSPropertyChip* chip = CurrentChip();
    if (chip == nullptr)
        return;
    comboBoxes_[2]->setCurrentIndex(chip->Weight);
    comboBoxes_[3]->setCurrentIndex(chip->Style);
    comboBoxes_[4]->setCurrentIndex(chip->Size);
    comboBoxes_[5]->setCurrentIndex(chip->Family);
    colorCombos_[1]->SetSelectedColor(chip->Color);
    colorCombos_[4]->SetSelectedColor(chip->BackC);

    comboBoxes_[9]->setCurrentIndex(chip->Line.LType);
    ShowNumber(dragEdits_[4], chip->Line.Param);
    comboBoxes_[8]->setCurrentIndex(chip->Space.LType);
    ShowNumber(dragEdits_[3], chip->Space.Param);

    if (const int side = SideOf(13); side >= 0) {
        const TCSSBoxSide& margin = chip->Margin.Sides[static_cast<std::size_t>(side)];
        comboBoxes_[12]->setCurrentIndex(margin.Style);
        ShowNumber(dragEdits_[5], margin.Param);
    }
    if (const int side = SideOf(6); side >= 0) {
        const TCSSBorderSide& border = chip->Border.Sides[static_cast<std::size_t>(side)];
        comboBoxes_[7]->setCurrentIndex(border.Style);
        comboBoxes_[10]->setCurrentIndex(border.WidthType);
        ShowNumber(dragEdits_[1], border.WidthParam);
        colorCombos_[2]->SetSelectedColor(border.Color);
    }
    if (const int side = SideOf(14); side >= 0) {
        const TCSSBoxSide& padding = chip->Padding.Sides[static_cast<std::size_t>(side)];
        comboBoxes_[11]->setCurrentIndex(padding.Style);
        ShowNumber(dragEdits_[2], padding.Param);
    }
}

// ------------------------------------------------------------------- edits

void TStylePage::StyleChanged() {
    Guarded([&] { ApplyStyleChange(); });
}

void TStylePage::ApplyStyleChange() {
    if (CurrentStyle() == nullptr)
        return;
    StyleToControls();
    TSystemData& sys = host_.SystemData();
    // ShowPreview writes the current style into sample.css before it
    // reloads; writing it here as well would only do the same work twice.
    host_.ShowPreview();
    DrawCell(sys.StyleIndex, SlotOf(sys.StyleIndex, sys.StyleTop));
    if (sys.AutoSaveFlag)
        SaveStyles();
    host_.SetRefreshPending();
}

void TStylePage::ComboBoxChange(int n) {
    Guarded([&] {
        TCSSPropertyChip* chip = CurrentChip();
        if (chip == nullptr)
            return;
        const int index = comboBoxes_[static_cast<std::size_t>(n)]->currentIndex();
        bool changed = false;
        if (index >= 0) {
            const auto value = static_cast<std::uint8_t>(index);
            switch (n) {
            case 2:
                changed = Store(chip->Weight, value);
                break;
            case 3:
                changed = Store(chip->Style, value);
                break;
            case 4:
                changed = Store(chip->Size, value);
                break;
            case 5:
                changed = Store(chip->Family, value);
                break;
            case 9:
                changed = Store(chip->Line.LType, value);
                break;
            case 8:
                changed = Store(chip->Space.LType, value);
                break;
            case 12:
                if (const int s = SideOf(13); s >= 0)
                    changed = Store(chip->Margin.Sides[static_cast<std::size_t>(s)].Style, value);
                break;
            case 7:
                if (const int s = SideOf(6); s >= 0)
                    changed = Store(chip->Border.Sides[static_cast<std::size_t>(s)].Style, value);
                break;
            case 10:
                if (const int s = SideOf(6); s >= 0)
                    changed =
                        Store(chip->Border.Sides[static_cast<std::size_t>(s)].WidthType, value);
                break;
            case 11:
                if (const int s = SideOf(14); s >= 0)
                    changed = Store(chip->Padding.Sides[static_cast<std::size_t>(s)].Style, value);
                break;
            default:
                // The element and side selectors store nothing: the change
                // below shows the chip or side they now choose.
                break;
            }
        }
        stylesModified_ = stylesModified_ || changed;
        ApplyStyleChange();
    });
}

void TStylePage::DragEditChange(int n) {
    Guarded([&] {
        TCSSPropertyChip* chip = CurrentChip();
        if (chip == nullptr)
            return;
        float* field = nullptr;
        const auto at = [](auto& sides, int s) { return &sides[static_cast<std::size_t>(s)]; };
        switch (n) {
        case 4:
            field = &chip->Line.Param;
            break;
        case 3:
            field = &chip->Space.Param;
            break;
        case 5:
            if (const int s = SideOf(13); s >= 0)
                field = &at(chip->Margin.Sides, s)->Param;
            break;
        case 1:
            if (const int s = SideOf(6); s >= 0)
                field = &at(chip->Border.Sides, s)->WidthParam;
            break;
        case 2:
            if (const int s = SideOf(14); s >= 0)
                field = &at(chip->Padding.Sides, s)->Param;
            break;
        default:
            return;
        }
        if (field != nullptr) {
            const TDragEdit* edit = dragEdits_[static_cast<std::size_t>(n)];
            const std::optional<float> value = ParseNumber(edit->text(), edit->DecimalSeparator());
            if (!value) {
                // An unfinished number ("", "-", ".") is told when the user
                // is done with the field, not at every key.
                if (edit != typingIn_)
                    ReportNotANumber(*edit);
                return;
            }
            stylesModified_ =
                Store(*field, ShownValue(*value, edit->DecimalSeparator())) || stylesModified_;
        }
        ApplyStyleChange();
    });
}

// Enter in a drag edit, or the focus moving on to another control: the
// number the user typed is finished. Text that is no number is told now,
// and the field shows the stored value again; a number is shown as the
// style stores it, with one decimal.
void TStylePage::DragEditExit(int n) {
    Guarded([&] {
        TDragEdit* edit = dragEdits_[static_cast<std::size_t>(n)];
        if (!ParseNumber(edit->text(), edit->DecimalSeparator()))
            ReportNotANumber(*edit);
        StyleToControls();
    });
}

void TStylePage::ReportNotANumber(const TDragEdit& edit) {
    host_.Dialogs().ShowError(QStringLiteral("'%1' は浮動小数点数ではありません").arg(edit.text()));
}

// Puts a value into a drag edit with one decimal, unless the user is typing
// in it: rewriting the text would throw the caret about under the keys.
void TStylePage::ShowNumber(TDragEdit* edit, float value) {
    const QString text = FormatNumber(value, edit->DecimalSeparator());
    if (edit != typingIn_ && edit->text() != text)
        edit->setText(text);
}

// Enter in the picture field, or the focus moving on to another control:
// the typed name becomes the style's background picture.
void TStylePage::Edit1Exit() {
    Guarded([&] {
        TCSSProperty* style = CurrentStyle();
        if (style == nullptr)
            return;
        std::string file;
        try {
            // A name CP932 cannot hold is refused, not stored altered.
            file = SjisPathFromNative(TNativePath(edit1_->text().toStdString()));
        } catch (const EConvertError&) {
            edit1_->setText(Utf8(style->Background.CGFile));
            throw;
        }
        if (file == style->Background.CGFile)
            return;
        style->Background.CGFile = file;
        ApplyStyleChange();
    });
}

bool TStylePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit1_ && LeavesForAnotherControl(*edit1_, *event))
        Edit1Exit();
    for (int n = 1; n < static_cast<int>(dragEdits_.size()); ++n) {
        TDragEdit* edit = dragEdits_[static_cast<std::size_t>(n)];
        if (watched != edit)
            continue;
        if (event->type() == QEvent::KeyPress &&
            (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
             static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter)) {
            DragEditExit(n);
            return true;
        }
        if (LeavesForAnotherControl(*edit, *event))
            DragEditExit(n);
    }
    return QWidget::eventFilter(watched, event);
}

void TStylePage::ColorLookupComboBoxChange(int n) {
    Guarded([&] {
        TCSSProperty* style = CurrentStyle();
        TCSSPropertyChip* chip = CurrentChip();
        if (style == nullptr || chip == nullptr)
            return;
        const std::int32_t color = colorCombos_[static_cast<std::size_t>(n)]->SelectedColor();
        bool changed = false;
        // Nothing selected holds no colour to store.
        if (color != TColorLookupComboBox::clDefault) {
            switch (n) {
            case 3:
                changed = Store(style->Background.Color, color);
                break;
            case 1:
                changed = Store(chip->Color, color);
                break;
            case 4:
                changed = Store(chip->BackC, color);
                break;
            case 2:
                if (const int s = SideOf(6); s >= 0)
                    changed = Store(chip->Border.Sides[static_cast<std::size_t>(s)].Color, color);
                break;
            default:
                return;
            }
            stylesModified_ = stylesModified_ || changed;
        }
        ApplyStyleChange();
    });
}

void TStylePage::CheckBox1Click() {
    Guarded([&] {
        TCSSProperty* style = CurrentStyle();
        if (style == nullptr)
            return;
        stylesModified_ =
            Store(style->Background.CGFlag, checkBox1_->isChecked()) || stylesModified_;
        ApplyStyleChange();
    });
}

void TStylePage::Button2Click() {
    Guarded([&] {
        TCSSProperty* style = CurrentStyle();
        if (style == nullptr)
            return;
        TFileDialogOptions options;
        options.Title = QStringLiteral("背景グラフィック指定");
        options.Filter = QStringLiteral("画像ファイル (*.jpg *.jpeg *.png *.gif *.bmp);;"
                                        "すべてのファイル (*)");
        options.DefaultSuffix = QStringLiteral("jpg");
        options.InitialPath = edit1_->text();
        const std::optional<QString> file = host_.Dialogs().OpenFile(options);
        if (!file)
            return;
        // Raises EConvertError for a name CP932 cannot hold; nothing is stored.
        stylesModified_ =
            Store(style->Background.CGFile, SjisPathFromNative(TNativePath(file->toStdString()))) ||
            stylesModified_;
        ApplyStyleChange();
    });
}

// ------------------------------------------------------------ style list

// A name that is refused is told while the dialog stays open with the name
// selected, so that it can be corrected rather than typed again.
std::optional<std::string> TStylePage::AskNewStyleName() {
    const auto refusal = [this](const QString& text) -> std::optional<QString> {
        std::string name;
        try {
            name = Utf8ToSjis(text.toStdString(), TUnmappable::Fail);
        } catch (const EConvertError& error) {
            return QString::fromUtf8(error.what());
        }
        // A name the style file cannot give back unchanged (an empty one
        // among them) would load as another style, or not at all.
        if (!IsValidStyleName(name))
            return InvalidNameMessage;
        if (host_.SystemData().Styles.IndexOf(name) >= 0)
            return DuplicateNameMessage;
        return std::nullopt;
    };
    const std::optional<QString> text =
        host_.Dialogs().InputBox(QStringLiteral("名称入力"),
                                 QStringLiteral("スタイル名を入力して下さい."), QString(), refusal);
    if (!text || refusal(*text))
        return std::nullopt;
    return Utf8ToSjis(text->toStdString(), TUnmappable::Fail);
}

// The strip shows the current style among its whole cells.
void TStylePage::ScrollCurrentStyleIntoView() {
    TSystemData& sys = host_.SystemData();
    const int cellHeight = image1_->CellHeight();
    const int whole = cellHeight > 0 ? std::max(1, image1_->height() / cellHeight) : 1;
    if (sys.StyleIndex < sys.StyleTop)
        sys.StyleTop = sys.StyleIndex;
    else if (sys.StyleIndex >= sys.StyleTop + whole)
        sys.StyleTop = sys.StyleIndex - whole + 1;
}

void TStylePage::Button3Click() {
    Guarded([&] {
        const std::optional<std::string> name = AskNewStyleName();
        if (!name)
            return;
        TSystemData& sys = host_.SystemData();
        sys.StyleIndex = sys.Styles.Add(*name);
        ScrollCurrentStyleIntoView();
        host_.SetRefreshPending();
        host_.RefreshAll();
        SaveStylesIfAutomatic();
    });
}

void TStylePage::Button1Click() {
    Guarded([&] {
        if (CurrentStyle() == nullptr)
            return;
        const std::optional<std::string> name = AskNewStyleName();
        if (!name)
            return;
        TSystemData& sys = host_.SystemData();
        sys.StyleIndex = sys.Styles.Copy(sys.StyleIndex, *name);
        ScrollCurrentStyleIntoView();
        host_.SetRefreshPending();
        host_.RefreshAll();
        SaveStylesIfAutomatic();
    });
}

void TStylePage::Button5Click() {
    Guarded([&] {
        TSystemData& sys = host_.SystemData();
        if (sys.Styles.Count() == 1) {
            host_.Dialogs().ShowWarning(LastStyleMessage);
            return;
        }
        const TCSSProperty* style = CurrentStyle();
        if (style == nullptr)
            return;
        // With automatic saving the deletion is written at once, and every
        // project on disk that names a later style by its number then names
        // another; the open project follows. The question says what of the
        // open project uses the style.
        QString question = QStringLiteral("スタイル \"%1\" を削除しますか?").arg(Utf8(style->Name));
        const QStringList users = host_.ProjectChoicesOf(sys.StyleIndex);
        if (!users.isEmpty())
            question += QStringLiteral("\nプロジェクトの「%1」で使われています。")
                            .arg(users.join(QStringLiteral("」「")));
        if (host_.Dialogs().AskYesOr(QStringLiteral("確認"), question, TSecondButton::No,
                                     TAnswer::No) != TAnswer::Yes)
            return;
        // The index stays, so the next style becomes current; after the last
        // style of the list the new last one does.
        const int deleted = sys.StyleIndex;
        sys.Styles.Delete(deleted);
        KeepStyleIndexInRange();
        host_.StyleDeleted(deleted);
        host_.SetRefreshPending();
        host_.RefreshAll();
        SaveStylesIfAutomatic();
    });
}

void TStylePage::Button7Click() {
    Guarded([&] {
        host_.SetRefreshPending();
        host_.MakePreview();
        host_.RefreshAll();
    });
}

// ------------------------------------------------------------- Style menu

void TStylePage::A2Click(bool checked) {
    Guarded([&] {
        host_.SystemData().AutoSaveFlag = checked;
        host_.SetRefreshPending();
        host_.RefreshAll();
    });
}

void TStylePage::L1Click() {
    Guarded([&] {
        // Loading replaces every style in memory: unsaved changes are asked
        // about first.
        if (!ConfirmStyleSave())
            return;
        host_.SetRefreshPending();
        host_.SystemData().Styles.LoadFromFile(host_.StyleFile());
        stylesModified_ = false;
        // A file with fewer styles than before must not leave the current
        // index past the end.
        KeepStyleIndexInRange();
        host_.RefreshAll();
    });
}

void TStylePage::S3Click() {
    Guarded([&] { SaveStyles(); });
}

// ------------------------------------------------------------------ strip

void TStylePage::DrawStyleCell(int styleIndex, int slot) {
    Guarded([&] { DrawCell(styleIndex, slot); });
}

void TStylePage::DrawCell(int styleIndex, int slot) {
    TSystemData& sys = host_.SystemData();
    if (slot < 0 || slot >= image1_->SlotCount() || styleIndex < 0 ||
        styleIndex >= sys.Styles.Count())
        return;
    const TCSSProperty& style = sys.Styles.Items(styleIndex);
    const TSystemColorResolver colors = host_.SystemColors();
    image1_->DrawCellFrame(slot, styleIndex == sys.StyleIndex, Utf8(style.Name),
                           QColorOf(style.Background.Color, colors));
    const TNativePath temp = host_.TempFolder();
    sys.Styles.WriteCSS(styleIndex, temp + "sample.css", colors);
    const QSize size = StripThumbnailSize(image1_->width());
    if (size.isEmpty())
        return;
    QImage thumbnail(size, QImage::Format_RGB32);
    ExtractHtmlThumbnail(temp + "sample.html", thumbnail,
                         ThumbnailCache | ThumbnailAspect | ThumbnailQuality);
    image1_->DrawCellPicture(slot, thumbnail);
}

void TStylePage::Image1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int, int y) {
    if (stripPressed_)
        return;
    Guarded([&] {
        TSystemData& sys = host_.SystemData();
        const int h = image1_->CellHeight();
        if (h <= 0)
            return;
        const int slot = y / h;
        const long long index = static_cast<long long>(sys.StyleTop) + slot;
        // A click below the last style, or on a slot before the first.
        if (index < 0 || index >= sys.Styles.Count())
            return;
        const int old = sys.StyleIndex;
        sys.StyleIndex = static_cast<int>(index);
        // The former cell loses its red surround, if it is in view.
        DrawCell(old, SlotOf(old, sys.StyleTop));
        DrawCell(sys.StyleIndex, slot);
        host_.ShowPreview();
        StyleToControls();
        stripPressed_ = true;
    });
}

void TStylePage::Image1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    stripPressed_ = false;
}

void TStylePage::ScrollBar1Change() {
    Guarded([&] {
        host_.SystemData().StyleTop = scrollBar1_->value();
        host_.SetRefreshPending();
        host_.RefreshAll();
    });
}

} // namespace varnoke
