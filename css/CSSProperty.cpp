#include "css/CSSProperty.h"

#include "common/TextFileWriter.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace varnoke {

namespace {

// "%.1fem;" and "%.1fpx;" of a single value, always with a full stop: the
// window sets the C locale from the environment, so printf is no option.
std::string FormatLength(float value, std::string_view unit) {
    char buffer[128];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                std::chars_format::fixed, 1);
    std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : "0.0";
    text += unit;
    text += ';';
    return text;
}

std::string Em(float value) {
    return FormatLength(value, "em");
}

std::string Line(std::string_view label, std::string_view value) {
    std::string line(label);
    line += value;
    return line;
}

std::string KeywordLine(std::string_view label, std::string_view keyword) {
    std::string line(label);
    line += keyword;
    line += ';';
    return line;
}

std::string ColorLine(std::string_view label, std::int32_t color,
                      const TSystemColorResolver& resolver) {
    return KeywordLine(label, ColorToCSSHex(color, resolver));
}

// The labels with their spacing before the colon, side by side in the
// order left, top, right, bottom. Browsers ignore both the spacing and the
// capitals, but the sheets have always been written so.
struct TBoxLabels {
    std::string_view Auto;
    std::string_view Value;
};
constexpr std::array<TBoxLabels, CSSSideCount> MarginLabels = {{
    {"\tmargin-left  : auto;", "\tmargin-left  : "},
    {"\tmargin-Top   : auto;", "\tmargin-Top   : "},
    {"\tmargin-Right : auto;", "\tmargin-Right : "},
    {"\tmargin-Bottom: auto;", "\tmargin-Bottom: "},
}};
constexpr std::array<TBoxLabels, CSSSideCount> PaddingLabels = {{
    {"\tPadding-left  : auto;", "\tPadding-left  : "},
    {"\tPadding-Top   : auto;", "\tPadding-Top   : "},
    {"\tPadding-Right : auto;", "\tPadding-Right : "},
    {"\tPadding-Bottom: auto;", "\tPadding-Bottom: "},
}};

struct TBorderLabels {
    std::string_view Width;
    std::string_view Style;
    std::string_view Color;
};
constexpr std::array<TBorderLabels, CSSSideCount> BorderLabels = {{
    {"\tBorder-left-width  : ", "\tBorder-left-style  : ", "\tBorder-left-color  : #"},
    {"\tBorder-Top-width   : ", "\tBorder-Top-style  : ", "\tBorder-Top-color  : #"},
    {"\tBorder-Right-width : ", "\tBorder-Right-style  : ", "\tBorder-Right-color  : #"},
    {"\tBorder-Bottom-width: ", "\tBorder-Bottom-style  : ", "\tBorder-Bottom-color  : #"},
}};

// Kinds other than 0 and 1 write no line.
void WriteBoxSides(TTextFileWriter& file, const TCSSBoxClass& box,
                   const std::array<TBoxLabels, CSSSideCount>& labels) {
    for (size_t i = 0; i < labels.size(); ++i) {
        const TCSSBoxSide& side = box.Sides[i];
        if (side.Style == LengthKeyword)
            file.WriteLine(labels[i].Auto);
        else if (side.Style == LengthFontRelative)
            file.WriteLine(Line(labels[i].Value, Em(side.Param)));
    }
}

std::string BorderWidth(const TCSSBorderSide& side) {
    switch (side.WidthType) {
    case BorderWidthPixels:
        return FormatLength(side.WidthParam, "px");
    case BorderWidthFontRelative:
        return FormatLength(side.WidthParam, "em");
    case BorderWidthThin:
    case BorderWidthMedium:
    case BorderWidthThick:
        return std::string(BorderWidthNames[side.WidthType]) + ";";
    default:
        return std::string(BorderWidthNames[BorderWidthMedium]) + ";";
    }
}

void WriteChip(TTextFileWriter& file, std::string_view tag, const TCSSPropertyChip& chip,
               const TSystemColorResolver& resolver) {
    // An index outside its table can only come from a hand-edited file; it
    // writes the keyword of the field's reset value.
    file.WriteLine(Line(tag, " {"));
    file.WriteLine(ColorLine("\tcolor: #", chip.Color, resolver));
    file.WriteLine(ColorLine("\tbackground-color: #", chip.BackC, resolver));
    file.WriteLine(KeywordLine("\tfont-size: ", CSSKeyword(FontSizeNames, chip.Size, "medium")));
    file.WriteLine(
        KeywordLine("\tfont-family: ", CSSKeyword(FontFamilyNames, chip.Family, "serif")));
    file.WriteLine(
        KeywordLine("\tfont-weight: ", CSSKeyword(FontWeightNames, chip.Weight, "normal")));
    file.WriteLine(KeywordLine("\tfont-style: ", CSSKeyword(FontStyleNames, chip.Style, "normal")));

    if (chip.Line.LType == LengthKeyword)
        file.WriteLine("\tline-height: normal;");
    else if (chip.Line.LType == LengthFontRelative)
        file.WriteLine(Line("\tline-height: ", Em(chip.Line.Param)));

    if (chip.Space.LType == LengthKeyword)
        file.WriteLine("\tletter-spacing : normal;");
    else if (chip.Space.LType == LengthFontRelative)
        file.WriteLine(Line("\tletter-spacing : ", Em(chip.Space.Param)));

    WriteBoxSides(file, chip.Margin, MarginLabels);

    for (size_t i = 0; i < BorderLabels.size(); ++i) {
        const TCSSBorderSide& side = chip.Border.Sides[i];
        file.WriteLine(Line(BorderLabels[i].Width, BorderWidth(side)));
        file.WriteLine(
            KeywordLine(BorderLabels[i].Style, CSSKeyword(BorderStyleNames, side.Style, "none")));
        file.WriteLine(ColorLine(BorderLabels[i].Color, side.Color, resolver));
    }

    WriteBoxSides(file, chip.Padding, PaddingLabels);
    file.WriteLine("}");
    file.WriteLine("");
}

} // namespace

TCSSProperty::TCSSProperty(std::string name) : Name(std::move(name)) {
    Reset();
}

void TCSSProperty::Reset() {
    Background = TCSSBG{};
    for (TCSSPropertyChip& chip : Chips)
        chip.Reset();

    TCSSPropertyChip& p = Chips[ChipP];
    p.Size = 4; // small
    p.Margin.Sides[sdLeft] = TCSSBoxSide{LengthFontRelative, 2.0f};

    TCSSPropertyChip& h1 = Chips[ChipH1];
    h1.Size = 2; // large
    h1.Weight = 1;

    TCSSPropertyChip& h2 = Chips[ChipH2];
    h2.Size = 3; // medium
    h2.Weight = 1;
    h2.Margin.Sides[sdLeft] = TCSSBoxSide{LengthFontRelative, 1.0f};
}

void TCSSProperty::LoadFromIni(const TIniDocument& ini) {
    const std::string background = Name + "_BG";
    Background.Color = ini.ReadInteger(background, "COLOR", Background.Color);
    Background.CGFlag = ini.ReadBool(background, "CGFLAG", Background.CGFlag);
    Background.CGFile = ini.ReadString(background, "CGFILE", Background.CGFile);
    for (size_t i = 0; i < Chips.size(); ++i)
        Chips[i].LoadFromIni(Name + "_" + std::string(TagNames[i]), ini);
}

void TCSSProperty::SaveToIni(TIniDocument& ini) const {
    const std::string background = Name + "_BG";
    ini.WriteInteger(background, "COLOR", Background.Color);
    ini.WriteBool(background, "CGFLAG", Background.CGFlag);
    ini.WriteString(background, "CGFILE", Background.CGFile);
    for (size_t i = 0; i < Chips.size(); ++i)
        Chips[i].SaveToIni(Name + "_" + std::string(TagNames[i]), ini);
}

void TCSSProperty::Assign(const TCSSProperty& source) {
    Background = source.Background;
    for (size_t i = 0; i < Chips.size(); ++i)
        Chips[i].Assign(source.Chips[i]);
}

void TCSSProperty::WriteCSS(const TNativePath& fileName,
                            const TSystemColorResolver& resolver) const {
    TTextFileWriter file(fileName);
    file.WriteLine("body {");
    file.WriteLine(ColorLine("\tbackground-color: #", Background.Color, resolver));
    if (Background.CGFlag)
        file.WriteLine("\tbackground-image: URL(" + Background.CGFile + ");");
    file.WriteLine("}");
    file.WriteLine("");
    for (size_t i = 0; i < Chips.size(); ++i)
        WriteChip(file, TagNames[i], Chips[i], resolver);
    file.Close();
}

} // namespace varnoke
