// A one-line numeric edit with a drag button at its right end. Besides
// typing, the user presses the button and drags sideways: every IncStep
// pixels add or subtract one increment (Shift x10, Alt x100), optionally held
// between MinValue and MaxValue. The style page uses it for every length.
#pragma once

#include <QColor>
#include <QFrame>
#include <QLineEdit>
#include <QString>

#include <cstdint>

namespace varnoke {

enum class TValueType { Int, Float };

// Only ffFixed and ffExponent can be dragged; the others only format the
// Increment, MaxValue and MinValue read-outs.
enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

class TDragEdit;

// The button: shows a mark in a colour on a raised panel and hands its
// mouse press, move and release to the edit it sits in.
class TDragButton : public QFrame {
    Q_OBJECT

  public:
    explicit TDragButton(TDragEdit* edit);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    const QColor& CaptionColor() const { return captionColor_; }
    void SetCaptionColor(const QColor& color);
    const QColor& Color() const { return color_; }
    void SetColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    TDragEdit* edit_;
    QString caption_;
    QColor captionColor_;
    QColor color_;
};

class TDragEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QColor ActiveColor READ ActiveColor WRITE SetActiveColor)
    Q_PROPERTY(QString ActiveMark READ ActiveMark WRITE SetActiveMark)
    Q_PROPERTY(QColor ButtonColor READ ButtonColor WRITE SetButtonColor)
    Q_PROPERTY(int ButtonWidth READ ButtonWidth WRITE SetButtonWidth)
    Q_PROPERTY(int FloatDigits READ FloatDigits WRITE SetFloatDigits)
    Q_PROPERTY(int FloatPrecision READ FloatPrecision WRITE SetFloatPrecision)
    Q_PROPERTY(QColor InactiveColor READ InactiveColor WRITE SetInactiveColor)
    Q_PROPERTY(QString InactiveMark READ InactiveMark WRITE SetInactiveMark)
    Q_PROPERTY(QString Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(int IncStep READ IncStep WRITE SetIncStep)
    Q_PROPERTY(QString MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(QString MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(bool RangeLimited READ RangeLimited WRITE SetRangeLimited)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(bool DragFlag READ DragFlag)

  public:
    explicit TDragEdit(QWidget* parent = nullptr);

    TDragButton* Button() const { return button_; }

    const QColor& ActiveColor() const { return activeColor_; }
    // Takes effect at the next press.
    void SetActiveColor(const QColor& color) { activeColor_ = color; }
    const QString& ActiveMark() const { return activeMark_; }
    // Takes effect at the next press.
    void SetActiveMark(const QString& mark) { activeMark_ = mark; }
    const QColor& InactiveColor() const { return inactiveColor_; }
    void SetInactiveColor(const QColor& color);
    const QString& InactiveMark() const { return inactiveMark_; }
    void SetInactiveMark(const QString& mark);
    QColor ButtonColor() const;
    void SetButtonColor(const QColor& color);
    int ButtonWidth() const { return buttonWidth_; }
    // Keeps the button's right edge where it is.
    void SetButtonWidth(int width);

    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType type);
    TFloatFormat FloatFormat() const { return floatFormat_; }
    void SetFloatFormat(TFloatFormat format) { floatFormat_ = format; }
    int FloatPrecision() const { return floatPrecision_; }
    void SetFloatPrecision(int precision) { floatPrecision_ = precision; }
    int FloatDigits() const { return floatDigits_; }
    void SetFloatDigits(int digits) { floatDigits_ = digits; }
    int IncStep() const { return incStep_; }
    // Values below 1 are taken as 1: a step needs at least one pixel.
    void SetIncStep(int pixels);
    bool RangeLimited() const { return rangeLimited_; }
    void SetRangeLimited(bool limited) { rangeLimited_ = limited; }
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }
    bool DragFlag() const { return dragFlag_; }

    // Number texts. The setters raise EConvertError on text that is no
    // number and then change nothing. They accept the user's decimal
    // separator and, so that values written in code work everywhere, the
    // full stop as well.
    QString Increment() const;
    void SetIncrement(const QString& text);
    QString MaxValue() const;
    void SetMaxValue(const QString& text);
    QString MinValue() const;
    void SetMinValue(const QString& text);

    // The decimal separator of the number texts: the user's locale's at
    // construction.
    QChar DecimalSeparator() const { return decimalSeparator_; }

    // Whether a typed character may go in at the caret.
    virtual bool IsValidChar(QChar key) const;

    // The drag, with button-relative positions. ButtonMouseDown raises
    // EConvertError when an Int box holds no integer; the drag then does not
    // start. The button's own mouse events call these.
    virtual void ButtonMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void ButtonMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void ButtonMouseMove(Qt::KeyboardModifiers shift, int x, int y);

    // The mantissa fixed-point with FloatDigits digits, then "E+" or "E" and
    // the exponent: (3, 1.5) gives 1.50E+3.
    QString FormatExponent(int exponent, float mantissa) const;
    // 10 to the power n; exact up to 15.
    static long double Power10(int n);

  public slots:
    // Cut and paste only change an enabled, writable box.
    void cut();
    void paste();

  signals:
    // A press on the button found text that is no integer in an Int box;
    // the window shows the message in its error box.
    void ConversionFailed(const QString& message);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    QString FormatValue(double value) const;
    double ParseFloat(const QString& text) const;
    void ShowText(const QString& text);
    void PlaceButton();

    TDragButton* button_;
    int buttonWidth_ = 15;
    int dragStartX_ = 0;
    int dragStartY_ = 0;
    bool dragFlag_ = false;
    float floatValue_ = 0;
    float floatIncrement_ = 1.0f;
    std::int32_t intValue_ = 0;
    std::int32_t intIncrement_ = 1;
    std::int32_t exponent_ = 0;
    TValueType valueType_ = TValueType::Int;
    TFloatFormat floatFormat_ = TFloatFormat::ffFixed;
    int floatPrecision_ = 8;
    int floatDigits_ = 2;
    int incStep_ = 2;
    float floatMax_ = 0;
    float floatMin_ = 0;
    std::int32_t intMax_ = 0;
    std::int32_t intMin_ = 0;
    bool rangeLimited_ = false;
    bool autoSelect_ = true;
    QString activeMark_;
    QString inactiveMark_;
    QColor activeColor_;
    QColor inactiveColor_;
    QChar decimalSeparator_;
};

} // namespace varnoke
