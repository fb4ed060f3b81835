#include "controls/DragEdit.h"

#include "common/Errors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace varnoke {

namespace {

const QString kActiveMark = QStringLiteral("◆");
const QString kInactiveMark = QStringLiteral("◇");

// The decimal digits of a value rounded to `significant` digits, halves away
// from zero as people round on paper: value = 0.digits x 10^exponent10.
// Trailing zeros are dropped; zero has no digits.
struct TDecimal {
    bool negative = false;
    std::string digits;
    int exponent10 = 0;
};

TDecimal ToDecimal(double value, int significant) {
    TDecimal result;
    result.negative = std::signbit(value);
    if (value == 0)
        return result;
    // 17 significant digits hold every double; round from those.
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 16);
    (void)ec;
    std::string text(buffer, end);
    std::size_t e = text.find('e');
    std::string digits;
    for (std::size_t i = result.negative ? 1 : 0; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    int exponent10 = std::stoi(text.substr(e + 1)) + 1;
    significant = std::clamp(significant, 1, 17);
    if (static_cast<int>(digits.size()) > significant) {
        bool up = digits[significant] >= '5';
        digits.resize(significant);
        if (up) {
            int i = significant - 1;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++exponent10;
            }
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    result.digits = digits;
    result.exponent10 = digits.empty() ? 0 : exponent10;
    return result;
}

// Integer part and `fractionDigits` decimals of a decimal, rounded half away
// from zero; returns the digits without a point, at least fractionDigits + 1.
std::string FixedDigits(const TDecimal& d, int fractionDigits) {
    const std::string& ds = d.digits;
    int kept = d.exponent10 + fractionDigits;
    std::string result;
    if (kept > 0) {
        result = ds.substr(0, std::min<std::size_t>(kept, ds.size()));
        if (static_cast<int>(result.size()) < kept)
            result.append(kept - result.size(), '0');
    }
    if (kept >= 0 && kept < static_cast<int>(ds.size()) && ds[kept] >= '5') {
        int i = static_cast<int>(result.size()) - 1;
        while (i >= 0 && result[i] == '9')
            result[i--] = '0';
        if (i >= 0)
            ++result[i];
        else
            result.insert(result.begin(), '1');
    }
    if (static_cast<int>(result.size()) < fractionDigits + 1)
        result.insert(0, fractionDigits + 1 - result.size(), '0');
    return result;
}

bool AllZero(const std::string& digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

// Groups the integer digits in threes when a group separator is given.
QString JoinFixed(bool negative, const std::string& digits, int fractionDigits, QChar separator,
                  const QString& groupSeparator) {
    std::string integerPart = digits.substr(0, digits.size() - fractionDigits);
    QString text;
    if (negative && !AllZero(digits))
        text += QLatin1Char('-');
    for (std::size_t i = 0; i < integerPart.size(); ++i) {
        if (!groupSeparator.isEmpty() && i > 0 && (integerPart.size() - i) % 3 == 0)
            text += groupSeparator;
        text += QLatin1Char(integerPart[i]);
    }
    if (fractionDigits > 0) {
        text += separator;
        text += QString::fromLatin1(digits.substr(digits.size() - fractionDigits));
    }
    return text;
}

QString ExponentText(int exponent, int minimumDigits) {
    QString digits = QString::number(std::abs(static_cast<long long>(exponent)));
    if (digits.size() < minimumDigits)
        digits.prepend(QString(minimumDigits - digits.size(), QLatin1Char('0')));
    return QLatin1String(exponent < 0 ? "E-" : "E+") + digits;
}

// Scientific notation with `precision` significant digits: all of them in
// ffExponent, without trailing zeros otherwise.
QString FormatScientific(double value, int precision, int exponentDigits, bool keepZeros,
                         QChar separator) {
    TDecimal d = ToDecimal(value, precision);
    std::string ds = d.digits.empty() ? std::string("0") : d.digits;
    if (keepZeros && static_cast<int>(ds.size()) < precision)
        ds.append(precision - ds.size(), '0');
    QString text;
    if (d.negative && !d.digits.empty())
        text += QLatin1Char('-');
    text += QLatin1Char(ds[0]);
    if (ds.size() > 1) {
        text += separator;
        text += QString::fromLatin1(ds.substr(1));
    }
    return text + ExponentText(d.digits.empty() ? 0 : d.exponent10 - 1, exponentDigits);
}

QString FormatFloat(double value, TFloatFormat format, int precision, int digits, QChar separator) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    precision = std::clamp(precision, 1, 17);
    digits = std::clamp(digits, 0, 18);
    TDecimal d = ToDecimal(value, precision);
    switch (format) {
    case TFloatFormat::ffExponent:
        return FormatScientific(value, precision, std::min(digits, 4), true, separator);
    case TFloatFormat::ffGeneral: {
        if (!d.digits.empty() && (d.exponent10 > precision || d.exponent10 < -4))
            return FormatScientific(value, precision, std::min(digits, 4), false, separator);
        int fraction = std::max(0, static_cast<int>(d.digits.size()) - d.exponent10);
        return JoinFixed(d.negative, FixedDigits(d, fraction), fraction, separator, QString());
    }
    case TFloatFormat::ffFixed:
    case TFloatFormat::ffNumber:
    case TFloatFormat::ffCurrency: {
        if (d.exponent10 > precision)
            return FormatScientific(value, precision, 0, false, separator);
        QString group = format == TFloatFormat::ffFixed ? QString() : QLocale().groupSeparator();
        QString text = JoinFixed(d.negative, FixedDigits(d, digits), digits, separator, group);
        if (format == TFloatFormat::ffCurrency)
            text.prepend(QLocale().currencySymbol());
        return text;
    }
    }
    return QString();
}

[[noreturn]] void ThrowNotFloat(const QString& text) {
    throw EConvertError(("'" + text + "' は有効な浮動小数点数ではありません").toStdString());
}

[[noreturn]] void ThrowNotInteger(const QString& text) {
    throw EConvertError(("'" + text + "' は有効な整数値ではありません").toStdString());
}

std::int32_t ParseInteger(const QString& text) {
    std::string s = text.trimmed().toStdString();
    std::size_t start = !s.empty() && s[0] == '+' ? 1 : 0;
    // from_chars takes no plus sign; a sign after a plus is no number.
    if (start == 1 && s.size() > 1 && s[1] == '-')
        ThrowNotInteger(text);
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(s.data() + start, s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.size() == start)
        ThrowNotInteger(text);
    return value;
}

// Rounds halves to the even neighbour and keeps the result in 32 bits.
std::int32_t RoundToInt(double value) {
    double r = std::nearbyint(value);
    if (!(r >= static_cast<double>(INT32_MIN)))
        return INT32_MIN;
    if (r > static_cast<double>(INT32_MAX))
        return INT32_MAX;
    return static_cast<std::int32_t>(r);
}

} // namespace

TDragButton::TDragButton(TDragEdit* edit)
    : QFrame(edit), edit_(edit), caption_(kInactiveMark), captionColor_(Qt::black),
      color_(QApplication::palette().color(QPalette::Button)) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setCursor(Qt::SizeHorCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TDragButton::SetCaption(const QString& caption) {
    if (caption_ == caption)
        return;
    caption_ = caption;
    update();
}

void TDragButton::SetCaptionColor(const QColor& color) {
    if (captionColor_ == color)
        return;
    captionColor_ = color;
    update();
}

void TDragButton::SetColor(const QColor& color) {
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void TDragButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    painter.setPen(captionColor_);
    painter.drawText(contentsRect(), Qt::AlignCenter, caption_);
    drawFrame(&painter);
}

void TDragButton::mousePressEvent(QMouseEvent* event) {
    // Exceptions must not cross the event loop; the window learns of a
    // text that is no integer through the edit's signal.
    try {
        QPoint p = event->position().toPoint();
        edit_->ButtonMouseDown(event->button(), event->modifiers(), p.x(), p.y());
    } catch (const EVarnokeError& error) {
        emit edit_->ConversionFailed(QString::fromUtf8(error.what()));
    }
    event->accept();
}

void TDragButton::mouseMoveEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    edit_->ButtonMouseMove(event->modifiers(), p.x(), p.y());
    event->accept();
}

void TDragButton::mouseReleaseEvent(QMouseEvent* event) {
    QPoint p = event->position().toPoint();
    edit_->ButtonMouseUp(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

TDragEdit::TDragEdit(QWidget* parent)
    : QLineEdit(parent), button_(new TDragButton(this)), activeMark_(kActiveMark),
      inactiveMark_(kInactiveMark), activeColor_(255, 0, 0), inactiveColor_(0, 0, 0) {
    QString point = QLocale().decimalPoint();
    decimalSeparator_ = point.isEmpty() ? QLatin1Char('.') : point.at(0);
    // Numbers need no input method, and its composition would bypass the
    // character check.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    PlaceButton();
}

void TDragEdit::SetInactiveColor(const QColor& color) {
    inactiveColor_ = color;
    button_->SetCaptionColor(color);
}

void TDragEdit::SetInactiveMark(const QString& mark) {
    inactiveMark_ = mark;
    button_->SetCaption(mark);
}

QColor TDragEdit::ButtonColor() const {
    return button_->Color();
}

void TDragEdit::SetButtonColor(const QColor& color) {
    button_->SetColor(color);
}

void TDragEdit::SetButtonWidth(int width) {
    width = std::max(0, width);
    if (buttonWidth_ == width)
        return;
    buttonWidth_ = width;
    PlaceButton();
}

void TDragEdit::SetValueType(TValueType type) {
    valueType_ = type;
    // An increment written before the type must still count for Int boxes.
    if (type == TValueType::Int)
        intIncrement_ = std::max<std::int32_t>(1, RoundToInt(floatIncrement_));
}

void TDragEdit::SetIncStep(int pixels) {
    incStep_ = std::max(1, pixels);
}

QString TDragEdit::FormatValue(double value) const {
    return FormatFloat(value, floatFormat_, floatPrecision_, floatDigits_, decimalSeparator_);
}

double TDragEdit::ParseFloat(const QString& text) const {
    QString s = text.trimmed();
    if (decimalSeparator_ != QLatin1Char('.'))
        s.replace(decimalSeparator_, QLatin1Char('.'));
    std::string bytes;
    for (QChar c : s) {
        // Only what a number may hold; from_chars would take "inf" and "nan".
        if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char('+') &&
            c != QLatin1Char('-') && c != QLatin1Char('e') && c != QLatin1Char('E'))
            ThrowNotFloat(text);
        bytes += static_cast<char>(c.unicode());
    }
    std::size_t start = !bytes.empty() && bytes[0] == '+' ? 1 : 0;
    if (start == 1 && bytes.size() > 1 && bytes[1] == '-')
        ThrowNotFloat(text);
    double value = 0;
    auto [end, ec] = std::from_chars(bytes.data() + start, bytes.data() + bytes.size(), value);
    if (ec != std::errc() || end != bytes.data() + bytes.size() || bytes.size() == start)
        ThrowNotFloat(text);
    // The values are kept in single precision.
    if (!std::isfinite(static_cast<float>(value)))
        ThrowNotFloat(text);
    return value;
}

QString TDragEdit::Increment() const {
    if (valueType_ == TValueType::Int)
        return QString::number(intIncrement_);
    return FormatValue(floatIncrement_);
}

void TDragEdit::SetIncrement(const QString& text) {
    float value = static_cast<float>(ParseFloat(text));
    floatIncrement_ = value;
    if (valueType_ == TValueType::Int)
        intIncrement_ = std::max<std::int32_t>(1, RoundToInt(value));
}

QString TDragEdit::MaxValue() const {
    if (valueType_ == TValueType::Int)
        return QString::number(intMax_);
    return FormatValue(floatMax_);
}

void TDragEdit::SetMaxValue(const QString& text) {
    float value = static_cast<float>(ParseFloat(text));
    floatMax_ = value;
    if (floatValue_ > floatMax_)
        floatValue_ = floatMax_;
    intMax_ = RoundToInt(value);
    if (intValue_ > intMax_)
        intValue_ = intMax_;
}

QString TDragEdit::MinValue() const {
    if (valueType_ == TValueType::Int)
        return QString::number(intMin_);
    return FormatValue(floatMin_);
}

void TDragEdit::SetMinValue(const QString& text) {
    float value = static_cast<float>(ParseFloat(text));
    floatMin_ = value;
    if (!(floatValue_ >= floatMin_))
        floatValue_ = floatMin_;
    intMin_ = RoundToInt(value);
    if (intValue_ < intMin_)
        intValue_ = intMin_;
}

bool TDragEdit::IsValidChar(QChar key) const {
    const char16_t c = key.unicode();
    // Typing replaces a selection, so a selection counts from its start.
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    const QString current = text();
    bool valid = (c >= u'0' && c <= u'9') || (c < 32 && c != 13);
    if ((c == u'+' || c == u'-') && caret == 0)
        valid = true;
    if (valueType_ == TValueType::Float) {
        if ((floatFormat_ == TFloatFormat::ffFixed || floatFormat_ == TFloatFormat::ffExponent) &&
            key == decimalSeparator_ && !current.contains(decimalSeparator_))
            valid = true;
        if (floatFormat_ == TFloatFormat::ffExponent) {
            if ((c == u'E' || c == u'e') &&
                !current.contains(QLatin1Char('E'), Qt::CaseInsensitive))
                valid = true;
            if ((c == u'+' || c == u'-') && caret > 0 &&
                current.at(caret - 1).toUpper() == QLatin1Char('E'))
                valid = true;
        }
    }
    if (valid && !isEnabled() && (c >= 32 || c == 8))
        valid = false;
    return valid;
}

void TDragEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    // Delete and the shortcuts carry control characters, which pass anyway;
    // Delete is checked out because some platforms give it the text DEL.
    if (!typed.isEmpty() && event->key() != Qt::Key_Delete && !IsValidChar(typed.at(0))) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDragEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // A click places the caret itself; selecting would fight it.
    if (autoSelect_ && !(QApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
}

void TDragEdit::cut() {
    if (isEnabled() && !isReadOnly())
        QLineEdit::cut();
}

void TDragEdit::paste() {
    if (isEnabled() && !isReadOnly())
        QLineEdit::paste();
}

void TDragEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceButton();
}

void TDragEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        PlaceButton();
}

void TDragEdit::PlaceButton() {
    // Inside the frame, so the edit's border stays whole around it.
    int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    button_->setGeometry(width() - buttonWidth_ - frame, frame, buttonWidth_,
                         std::max(0, height() - 2 * frame));
    // The text must never run under the button.
    QMargins margins = textMargins();
    margins.setRight(buttonWidth_ + 2);
    setTextMargins(margins);
}

void TDragEdit::ShowText(const QString& newText) {
    // Clients see one change per step that changes the shown value.
    if (text() != newText)
        setText(newText);
}

void TDragEdit::ButtonMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    if (isReadOnly() || !isEnabled())
        return;
    dragStartX_ = x;
    dragStartY_ = y;
    if (text().isEmpty())
        ShowText(QStringLiteral("0"));
    const QString current = text();
    if (valueType_ == TValueType::Int) {
        intValue_ = ParseInteger(current);
    } else if (floatFormat_ == TFloatFormat::ffFixed) {
        try {
            floatValue_ = static_cast<float>(ParseFloat(current));
        } catch (const EConvertError&) {
            floatValue_ = 0;
        }
    } else if (floatFormat_ == TFloatFormat::ffExponent) {
        try {
            int k = current.indexOf(QLatin1Char('E'));
            if (k < 0)
                k = current.indexOf(QLatin1Char('e'));
            if (k >= 0) {
                float mantissa = static_cast<float>(ParseFloat(current.left(k)));
                std::int32_t exponent = ParseInteger(current.mid(k + 1));
                floatValue_ = mantissa;
                exponent_ = exponent;
            } else {
                floatValue_ = static_cast<float>(ParseFloat(current));
                exponent_ = 0;
            }
        } catch (const EConvertError&) {
            floatValue_ = 0;
        }
    }
    button_->SetCaption(activeMark_);
    button_->SetCaptionColor(activeColor_);
    QPalette p = palette();
    p.setColor(QPalette::Text, Qt::black);
    setPalette(p);
    dragFlag_ = true;
}

void TDragEdit::ButtonMouseMove(Qt::KeyboardModifiers shift, int x, int) {
    if (isReadOnly() || !isEnabled() || !dragFlag_)
        return;
    // The value follows the whole distance from the press, so going back to
    // the start restores the start value. Division rounds toward zero.
    const long long steps = (static_cast<long long>(x) - dragStartX_) / incStep_;
    long long m = (shift & Qt::ShiftModifier) ? 10 : 1;
    const bool alt = (shift & Qt::AltModifier) != 0;
    if (valueType_ == TValueType::Int) {
        if (alt)
            m *= 100;
        // In 64 bits and then held to 32, so a long drag cannot wrap around.
        long long v = steps * intIncrement_ * m + intValue_;
        v = std::clamp<long long>(v, INT32_MIN, INT32_MAX);
        if (rangeLimited_) {
            if (v > intMax_)
                v = intMax_;
            else if (v < intMin_)
                v = intMin_;
        }
        ShowText(QString::number(v));
    } else if (floatFormat_ == TFloatFormat::ffFixed) {
        if (alt)
            m *= 100;
        long double wide = static_cast<long double>(steps) * floatIncrement_ * m + floatValue_;
        float v = static_cast<float>(wide);
        if (rangeLimited_) {
            if (v > floatMax_)
                v = floatMax_;
            else if (v < floatMin_)
                v = floatMin_;
        }
        ShowText(FormatValue(v));
    } else if (floatFormat_ == TFloatFormat::ffExponent) {
        // Out of range the exponent format refuses the step rather than
        // clamping: a clamped mantissa would not read as the limit.
        if (alt) {
            long long e = std::clamp<long long>(exponent_ + steps, INT32_MIN, INT32_MAX);
            long double candidate = Power10(static_cast<int>(e)) * floatValue_;
            if (rangeLimited_ && (candidate > floatMax_ || candidate < floatMin_))
                return;
            ShowText(FormatExponent(static_cast<int>(e), floatValue_));
        } else {
            float mantissa = static_cast<float>(
                static_cast<long double>(steps) * floatIncrement_ * m + floatValue_);
            long double candidate = Power10(exponent_) * mantissa;
            if (rangeLimited_ && (candidate > floatMax_ || candidate < floatMin_))
                return;
            ShowText(FormatExponent(exponent_, mantissa));
        }
    }
}

void TDragEdit::ButtonMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    button_->SetCaption(inactiveMark_);
    button_->SetCaptionColor(inactiveColor_);
    dragFlag_ = false;
}

QString TDragEdit::FormatExponent(int exponent, float mantissa) const {
    QString text = FormatFloat(mantissa, TFloatFormat::ffFixed, 8, floatDigits_, decimalSeparator_);
    if (exponent >= 0)
        return text + QStringLiteral("E+") + QString::number(exponent);
    return text + QStringLiteral("E") + QString::number(exponent);
}

long double TDragEdit::Power10(int n) {
    // The squared base in single precision, the product in extended: exact
    // for the exponents a user reaches by dragging.
    unsigned long long k = n < 0 ? 0ULL - static_cast<long long>(n) : static_cast<unsigned>(n);
    float base = 10.0f;
    long double result = 1.0L;
    while (k != 0) {
        if (k & 1)
            result *= base;
        k >>= 1;
        if (k != 0)
            base *= base;
    }
    return n < 0 ? 1.0L / result : result;
}

} // namespace varnoke
