// The page "スタイル設定" of the main window: the thumbnail strip that picks
// the current style, the buttons that create, copy and delete styles, and the
// editor of the current style (page background, and font, text, margin,
// border and padding of the element chosen by the element selector).
//
// The page keeps no copy of a style: every change is stored at once into the
// current style of the collection, and then the sample style sheet, the
// preview, the thumbnail and, with automatic saving on, the style file follow.
// The window embeds the page and calls the operations of its full refresh
// (UpdateEnabling, SetStripScrollRange, PaintStyleStrip, StyleToControls) and
// the Style menu's handlers.
#pragma once

#include <QWidget>

#include <array>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace varnoke {

class TColorLookupComboBox;
class TCSSProperty;
class TCSSPropertyChip;
class TDragEdit;
class TPageScrollBar;
class TPanelEx;
class TStylePageHost;
class TStyleStrip;

class TStylePage : public QWidget {
    Q_OBJECT

  public:
    explicit TStylePage(TStylePageHost& host, QWidget* parent = nullptr);
    ~TStylePage() override;

    // The full refresh's share, in the order the window calls it.
    // Copy, delete and the editor panel are enabled exactly when a style exists.
    void UpdateEnabling();
    // Scroll maximum from the strip's size and the style count, page size 1,
    // position StyleTop; a position that has to move runs the scroll handler.
    void SetStripScrollRange();
    // Repaints every cell. A cell that cannot be drawn (its sample sheet or
    // thumbnail fails) stops the repaint there and raises the error, so that
    // the caller's remaining steps do not run either.
    void PaintStyleStrip();
    // Shows the style at StyleIndex; an index past the list changes nothing.
    void StyleToControls();

    // The common tail of every edit: show, write "sample.css", reload the
    // preview, redraw the current thumbnail, save when automatic, and ask for
    // a full refresh.
    void StyleChanged();
    // Draws the style into the slot; nothing for a slot or style that does
    // not exist.
    void DrawStyleCell(int styleIndex, int slot);

    // Style menu: "自動保存(&A)" (the check mark as it now stands),
    // "読み込み(&L)", "保存(&S)".
    void A2Click(bool checked);
    void L1Click();
    void S3Click();

    // Whether a style was changed, added, copied or deleted since the style
    // file was last loaded or saved.
    bool StylesModified() const { return stylesModified_; }
    // "スタイルを保存しますか?" while the styles hold unsaved changes: Yes
    // saves them, No drops them; false for Cancel or a failed save.
    bool ConfirmStyleSave();

    // Buttons: "ｺﾋﾟｰ", "参照", "新規", "削除", "すぐ反映"; the check box "背景画像".
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button5Click();
    void Button7Click();
    void CheckBox1Click();

    // Field and selector handlers; each reads its control.
    void ComboBoxChange(int n);
    void DragEditChange(int n);
    void ColorLookupComboBoxChange(int n);
    void ComboBox2Change() { ComboBoxChange(2); }
    void ComboBox3Change() { ComboBoxChange(3); }
    void ComboBox4Change() { ComboBoxChange(4); }
    void ComboBox5Change() { ComboBoxChange(5); }
    void ComboBox6Change() { ComboBoxChange(6); }
    void ComboBox7Change() { ComboBoxChange(7); }
    void ComboBox8Change() { ComboBoxChange(8); }
    void ComboBox9Change() { ComboBoxChange(9); }
    void ComboBox10Change() { ComboBoxChange(10); }
    void ComboBox11Change() { ComboBoxChange(11); }
    void ComboBox12Change() { ComboBoxChange(12); }
    void ComboBox13Change() { ComboBoxChange(13); }
    void ComboBox14Change() { ComboBoxChange(14); }
    void ComboBox15Change() { ComboBoxChange(15); }
    void DragEdit1Change() { DragEditChange(1); }
    void DragEdit2Change() { DragEditChange(2); }
    void DragEdit3Change() { DragEditChange(3); }
    void DragEdit4Change() { DragEditChange(4); }
    void DragEdit5Change() { DragEditChange(5); }
    void ColorLookupComboBox1Change() { ColorLookupComboBoxChange(1); }
    void ColorLookupComboBox2Change() { ColorLookupComboBoxChange(2); }
    void ColorLookupComboBox3Change() { ColorLookupComboBoxChange(3); }
    void ColorLookupComboBox4Change() { ColorLookupComboBoxChange(4); }

    // The strip's mouse and scroll handlers. X is not used.
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Image1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void ScrollBar1Change();
    // True from a press that selected a style until the next release.
    bool StripPressed() const { return stripPressed_; }

    // The controls, by the numbers of their names; nullptr for a number the
    // page does not have.
    QComboBox* ComboBox(int n) const;
    TDragEdit* DragEdit(int n) const;
    TColorLookupComboBox* ColorLookupComboBox(int n) const;
    // 1 "ｺﾋﾟｰ", 2 "参照", 3 "新規", 5 "削除", 7 "すぐ反映".
    QPushButton* Button(int n) const;
    QCheckBox* CheckBox1() const { return checkBox1_; }
    QLineEdit* Edit1() const { return edit1_; }
    TPanelEx* PanelEx5() const { return panelEx5_; }
    TPanelEx* PanelEx6() const { return panelEx6_; }
    TStyleStrip* Image1() const { return image1_; }
    TPageScrollBar* ScrollBar1() const { return scrollBar1_; }
    QTabWidget* PageControl2() const { return pageControl2_; }

    // A drag edit or the picture field finished: Enter, or left for
    // another control.
    void DragEditExit(int n);
    void Edit1Exit();

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    QWidget* BuildFontTab();
    QWidget* BuildTextTab();
    QWidget* BuildSideWidthTab(int sideCombo, int kindCombo, int widthEdit);
    QWidget* BuildBorderTab();
    QComboBox* NewComboBox(int n, const QStringList& items);
    TDragEdit* NewDragEdit(int n, const QString& maxValue);
    TColorLookupComboBox* NewColorCombo(int n);
    void LayOut();

    // Runs a handler's body; an error ends it and shows in the error box, so
    // that no exception reaches Qt's event loop.
    template <typename Body> void Guarded(Body&& body);
    // The throwing forms of StyleChanged and DrawStyleCell.
    void ApplyStyleChange();
    void DrawCell(int styleIndex, int slot);

    TCSSProperty* CurrentStyle() const;
    TCSSPropertyChip* CurrentChip() const;
    // The side a tab's selector shows, or -1 when its text names no side.
    int SideOf(int comboNumber) const;
    void ShowEditEnabling();
    // Asks for a new style's name in CP932; nullopt when cancelled or refused.
    std::optional<std::string> AskNewStyleName();
    void KeepStyleIndexInRange();
    void ScrollCurrentStyleIntoView();
    void SaveStylesIfAutomatic();
    void SaveStyles();
    void ShowNumber(TDragEdit* edit, float value);
    void ReportNotANumber(const TDragEdit& edit);

    TStylePageHost& host_;
    std::array<QComboBox*, 16> comboBoxes_{};
    std::array<TDragEdit*, 6> dragEdits_{};
    std::array<TColorLookupComboBox*, 5> colorCombos_{};
    QPushButton* button1_ = nullptr;
    QPushButton* button2_ = nullptr;
    QPushButton* button3_ = nullptr;
    QPushButton* button5_ = nullptr;
    QPushButton* button7_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QLineEdit* edit1_ = nullptr;
    QLabel* styleName_ = nullptr;
    TPanelEx* panelEx5_ = nullptr;
    TPanelEx* panelEx6_ = nullptr;
    TStyleStrip* image1_ = nullptr;
    TPageScrollBar* scrollBar1_ = nullptr;
    QTabWidget* pageControl2_ = nullptr;
    bool stripPressed_ = false;
    bool stylesModified_ = false;
    // The drag edit whose user edit is being handled, and the one whose
    // textEdited has come but not yet its textChanged.
    TDragEdit* typingIn_ = nullptr;
    TDragEdit* typedEdit_ = nullptr;
};

} // namespace varnoke
