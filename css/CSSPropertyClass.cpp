#include "css/CSSPropertyClass.h"

#include "common/Errors.h"
#include "common/IniDocument.h"
#include "common/ShiftJis.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace varnoke {

namespace {

constexpr std::string_view StyleSection = "STYLE";
// Far more styles than anybody keeps by hand.
constexpr size_t MaxStylesWithoutKeys = 4096;

std::string StyleKey(int index) {
    return "STYLE" + std::to_string(index);
}

} // namespace

TCSSProperty& TCSSPropertyClass::Items(int index) {
    return *items_.at(static_cast<size_t>(index));
}

const TCSSProperty& TCSSPropertyClass::Items(int index) const {
    return *items_.at(static_cast<size_t>(index));
}

void TCSSPropertyClass::Clear() {
    items_.clear();
}

int TCSSPropertyClass::Add(std::string_view name) {
    items_.push_back(std::make_unique<TCSSProperty>(SjisUpperCase(name)));
    return Count() - 1;
}

int TCSSPropertyClass::Copy(int sourceIndex, std::string_view newName) {
    const TCSSProperty& source = Items(sourceIndex); // checks before anything is added
    const int index = Add(newName);
    Items(index).Assign(source);
    return index;
}

void TCSSPropertyClass::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("TCSSPropertyClass::Delete: index " + std::to_string(index));
    items_.erase(items_.begin() + index);
}

int TCSSPropertyClass::IndexOf(std::string_view name) const {
    const std::string wanted = SjisUpperCase(name);
    for (int i = 0; i < Count(); ++i) {
        if (items_[static_cast<size_t>(i)]->Name == wanted)
            return i;
    }
    return -1;
}

void TCSSPropertyClass::LoadFromFile(const TNativePath& fileName) {
    LoadFromIni(TIniDocument(fileName));
}

void TCSSPropertyClass::LoadFromIni(const TIniDocument& ini) {
    const int count = ini.ReadInteger(StyleSection, "COUNT", 0);
    // A COUNT beyond the STYLEn keys loads styles with empty names up to
    // COUNT: a project naming such a style still finds it where the count
    // says it is. COUNT comes from a file that may have been edited by hand,
    // though, and a huge value must not create millions of styles, so the
    // count is capped; never below the keys the file really holds, so that
    // no style a save wrote is ever dropped.
    const size_t cap = std::max(MaxStylesWithoutKeys, ini.KeyCount(StyleSection));
    const size_t limit = count <= 0 ? 0 : std::min(static_cast<size_t>(count), cap);

    // Built aside, so that nothing is lost if loading fails half-way.
    TCSSPropertyClass loaded;
    // Styles of one name read the same sections: the first one reads them,
    // the others take its values (the styles past the STYLEn keys all do).
    std::unordered_map<std::string, int> firstOfName;
    for (size_t i = 0; i < limit; ++i) {
        const int index =
            loaded.Add(ini.ReadString(StyleSection, StyleKey(static_cast<int>(i)), ""));
        TCSSProperty& style = loaded.Items(index);
        const auto [first, isFirst] = firstOfName.try_emplace(style.Name, index);
        if (isFirst)
            style.LoadFromIni(ini);
        else
            style.Assign(loaded.Items(first->second));
    }
    items_.swap(loaded.items_);
}

void TCSSPropertyClass::SaveToFile(const TNativePath& fileName) const {
    // The document refuses a name or image file name with a line break
    // (it would forge keys or sections) before anything reaches the file.
    TIniDocument ini(fileName);
    // The names of styles deleted since the file was written go, or a
    // reader that trusts them over COUNT would bring the styles back.
    // Deleted names follow the kept ones, so the section's size bounds them.
    const int end = Count() + static_cast<int>(ini.KeyCount(StyleSection));
    for (int i = Count(); i < end; ++i) {
        if (ini.ValueExists(StyleSection, StyleKey(i)))
            ini.EraseKey(StyleSection, StyleKey(i));
    }
    ini.WriteInteger(StyleSection, "COUNT", Count());
    for (int i = 0; i < Count(); ++i) {
        const TCSSProperty& item = *items_[static_cast<size_t>(i)];
        ini.WriteString(StyleSection, StyleKey(i), item.Name);
        item.SaveToIni(ini);
    }
    ini.UpdateFile();
}

void TCSSPropertyClass::WriteCSS(int index, const TNativePath& fileName,
                                 const TSystemColorResolver& resolver) const {
    Items(index).WriteCSS(fileName, resolver);
}

bool IsValidStyleName(std::string_view name) {
    if (name.empty())
        return false;
    // The INI document trims values, so blanks and control bytes at either
    // end would be lost.
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(name[i]); };
    if (byte(0) <= ' ' || byte(name.size() - 1) <= ' ')
        return false;
    for (size_t i = 0; i < name.size();) {
        const unsigned char c = byte(i);
        if (IsSjisLeadByte(c)) {
            // A trail byte may be "[" or "]" ("ー" is 0x81 0x5B); only a lone
            // or broken lead byte is refused.
            if (i + 1 >= name.size() || !IsSjisTrailByte(byte(i + 1)))
                return false;
            i += 2;
            continue;
        }
        // Control characters split or cut lines; brackets and "=" confuse
        // the section and key syntax of other INI readers; 0x80, 0xA0 and
        // 0xFD to 0xFF are no characters of Shift-JIS at all.
        if (c < 0x20 || c == 0x7F || c == '[' || c == ']' || c == '=' || c == 0x80 || c == 0xA0 ||
            c >= 0xFD)
            return false;
        ++i;
    }
    return true;
}

} // namespace varnoke
