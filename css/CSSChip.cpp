#include "css/CSSChip.h"

#include <cmath>
#include <limits>
#include <string>

namespace varnoke {

namespace {

std::string Key(std::string_view side, std::string_view suffix) {
    std::string key(side);
    key += suffix;
    return key;
}

// Index and kind fields keep the low eight bits of what the file holds, so
// 259 reads as 3; the writer guards the tables against what results.
std::uint8_t ReadByte(const TIniDocument& ini, std::string_view section, std::string_view key,
                      std::uint8_t current) {
    return static_cast<std::uint8_t>(ini.ReadInteger(section, key, current) & 0xFF);
}

// Narrowing a double beyond the single range is undefined behaviour, and
// such a number can only come from a hand-edited file: treat it like any
// other text that does not parse. The one exception is the largest single
// itself: written with fifteen digits it reads back a little above the
// range (3.40282346638529E38), and it must survive a save and a load.
float ReadSingle(const TIniDocument& ini, std::string_view section, std::string_view key,
                 float defaultValue) {
    const double value = ini.ReadFloat(section, key, defaultValue);
    constexpr double largest = static_cast<double>(std::numeric_limits<float>::max());
    // Half a unit in the last place of the largest single (2^104 there):
    // everything below rounds to it.
    const double roundsToLargest = largest + std::ldexp(1.0, 103);
    if (std::fabs(value) <= largest)
        return static_cast<float>(value);
    if (std::fabs(value) < roundsToLargest)
        return value > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
    return defaultValue;
}

} // namespace

void TCSSBorderClass::Reset() {
    Sides.fill(TCSSBorderSide{});
}

void TCSSBorderClass::LoadFromIni(std::string_view section, const TIniDocument& ini) {
    for (int i = 0; i < CSSSideCount; ++i) {
        TCSSBorderSide& side = Sides[static_cast<size_t>(i)];
        const std::string_view name = CSSSideKeys[static_cast<size_t>(i)];
        side.Style = ReadByte(ini, section, Key(name, "_STYLE"), side.Style);
        side.WidthType = ReadByte(ini, section, Key(name, "_WIDTH_TYPE"), side.WidthType);
        side.WidthParam = ReadSingle(ini, section, Key(name, "_WIDTH_PARAM"), side.WidthParam);
        side.Color = ini.ReadInteger(section, Key(name, "_COLOR"), side.Color);
    }
}

void TCSSBorderClass::SaveToIni(std::string_view section, TIniDocument& ini) const {
    for (int i = 0; i < CSSSideCount; ++i) {
        const TCSSBorderSide& side = Sides[static_cast<size_t>(i)];
        const std::string_view name = CSSSideKeys[static_cast<size_t>(i)];
        ini.WriteInteger(section, Key(name, "_STYLE"), side.Style);
        ini.WriteInteger(section, Key(name, "_WIDTH_TYPE"), side.WidthType);
        ini.WriteFloat(section, Key(name, "_WIDTH_PARAM"), side.WidthParam);
        ini.WriteInteger(section, Key(name, "_COLOR"), side.Color);
    }
}

void TCSSBorderClass::Assign(const TCSSBorderClass& source) {
    Sides = source.Sides;
}

void TCSSBoxClass::Reset() {
    Sides.fill(TCSSBoxSide{});
}

void TCSSBoxClass::LoadFromIni(std::string_view section, const TIniDocument& ini) {
    for (int i = 0; i < CSSSideCount; ++i) {
        TCSSBoxSide& side = Sides[static_cast<size_t>(i)];
        const std::string_view name = CSSSideKeys[static_cast<size_t>(i)];
        side.Style = ReadByte(ini, section, Key(name, "_STYLE"), side.Style);
        // Unlike every other key, a missing parameter reads as 0.0 and not as
        // the current value: existing style files have always been read so.
        side.Param = ReadSingle(ini, section, Key(name, "_PARAM"), 0.0f);
    }
}

void TCSSBoxClass::SaveToIni(std::string_view section, TIniDocument& ini) const {
    for (int i = 0; i < CSSSideCount; ++i) {
        const TCSSBoxSide& side = Sides[static_cast<size_t>(i)];
        const std::string_view name = CSSSideKeys[static_cast<size_t>(i)];
        ini.WriteInteger(section, Key(name, "_STYLE"), side.Style);
        ini.WriteFloat(section, Key(name, "_PARAM"), side.Param);
    }
}

void TCSSPropertyChip::Reset() {
    Weight = 0;
    Style = 0;
    Size = 3;
    Family = 0;
    Color = ColorBlack;
    BackC = ColorWhite;
    Line = TCSSLength{};
    Space = TCSSLength{};
    Border.Reset();
    Margin.Reset();
    Padding.Reset();
}

void TCSSPropertyChip::LoadFromIni(std::string_view prefix, const TIniDocument& ini) {
    const std::string base(prefix);
    const std::string font = base + "_FONT";
    Style = ReadByte(ini, font, "STYLE", Style);
    Weight = ReadByte(ini, font, "WEIGHT", Weight);
    Size = ReadByte(ini, font, "SIZE", Size);
    Family = ReadByte(ini, font, "FAMILY", Family);
    Color = ini.ReadInteger(font, "COLOR", Color);
    BackC = ini.ReadInteger(font, "BACKC", BackC);

    const std::string line = base + "_LINE";
    Line.LType = ReadByte(ini, line, "LTYPE", Line.LType);
    Line.Param = ReadSingle(ini, line, "PARAM", Line.Param);

    const std::string space = base + "_SPACE";
    Space.LType = ReadByte(ini, space, "LTYPE", Space.LType);
    Space.Param = ReadSingle(ini, space, "PARAM", Space.Param);

    Border.LoadFromIni(base + "_BORDER", ini);
    Margin.LoadFromIni(base + "_MARGIN", ini);
    Padding.LoadFromIni(base + "_PADDING", ini);
}

void TCSSPropertyChip::SaveToIni(std::string_view prefix, TIniDocument& ini) const {
    const std::string base(prefix);
    const std::string font = base + "_FONT";
    ini.WriteInteger(font, "STYLE", Style);
    ini.WriteInteger(font, "WEIGHT", Weight);
    ini.WriteInteger(font, "SIZE", Size);
    ini.WriteInteger(font, "FAMILY", Family);
    ini.WriteInteger(font, "COLOR", Color);
    ini.WriteInteger(font, "BACKC", BackC);

    const std::string line = base + "_LINE";
    ini.WriteInteger(line, "LTYPE", Line.LType);
    ini.WriteFloat(line, "PARAM", Line.Param);

    const std::string space = base + "_SPACE";
    ini.WriteInteger(space, "LTYPE", Space.LType);
    ini.WriteFloat(space, "PARAM", Space.Param);

    Border.SaveToIni(base + "_BORDER", ini);
    Margin.SaveToIni(base + "_MARGIN", ini);
    Padding.SaveToIni(base + "_PADDING", ini);
}

void TCSSPropertyChip::Assign(const TCSSPropertyChip& source) {
    Weight = source.Weight;
    Style = source.Style;
    Size = source.Size;
    Family = source.Family;
    Color = source.Color;
    BackC = source.BackC;
    Line = source.Line;
    Space = source.Space;
    Border.Assign(source.Border);
    Margin.Assign(source.Margin);
    Padding.Assign(source.Padding);
}

} // namespace varnoke
