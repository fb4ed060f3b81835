#include "common/IniDocument.h"

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/ShiftJis.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace varnoke {

namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Calls `onLine` for every line, split at CR LF, lone LF or lone CR.
template <typename F> void ForEachLine(std::string_view bytes, F onLine) {
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            onLine(bytes.substr(start));
            return;
        }
        onLine(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool ParseIniInteger(std::string_view text, int& value) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool hex = false;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        text.remove_prefix(2);
    } else if (text.size() > 1 && text[0] == '$') {
        hex = true;
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    std::uint64_t magnitude = 0;
    for (char c : text) {
        int digit = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (hex) {
        // Hexadecimal spells out the 32 bits, so 0xFF000008 is a negative
        // colour value, as the files have always held.
        std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
        if (negative)
            bits = 0u - bits;
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return false;
    value = negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<int>(magnitude);
    return true;
}

bool ParseIniFloat(std::string_view text, double& value) {
    text = Trim(text);
    // Digits, one full stop, an exponent: nothing locale-dependent, no
    // hexadecimal floats, no "inf" or "nan".
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    if (i != text.size())
        return false;
    std::string_view number = text;
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    double parsed = 0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
    if (result.ec != std::errc() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

std::string FormatIniFloat(double value) {
    if (!std::isfinite(value))
        return "0";
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    // "1e+300" -> "1E300", "1e-05" -> "1E-5": the classic spelling.
    size_t e = text.find('e');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        bool negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+'))
            exponent.erase(0, 1);
        exponent.erase(0, exponent.find_first_not_of('0'));
        text = mantissa + "E" + (negative ? "-" : "") + (exponent.empty() ? "0" : exponent);
    }
    return text;
}

TIniDocument::TIniDocument(TNativePath fileName) : fileName_(std::move(fileName)) {
    std::string bytes;
    if (ReadWholeFile(fileName_, bytes))
        LoadFromBytes(bytes);
}

void TIniDocument::LoadFromBytes(std::string_view bytes) {
    sections_.clear();
    sectionIndex_.clear();
    TSection* current = nullptr;
    ForEachLine(bytes, [&](std::string_view rawLine) {
        std::string_view line = Trim(rawLine);
        if (line.empty() || line.front() == ';')
            return;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name(line.substr(1, line.size() - 2));
            sectionIndex_.emplace(SjisUpperCase(name), sections_.size());
            sections_.push_back(TSection{std::move(name), {}, {}});
            current = &sections_.back();
            return;
        }
        if (current == nullptr)
            return; // lines before the first section belong to none
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            current->Append(TEntry{std::string(line), std::string(), false});
            return;
        }
        current->Append(TEntry{std::string(Trim(line.substr(0, equals))),
                               std::string(Trim(line.substr(equals + 1))), true});
    });
}

std::string TIniDocument::ToBytes() const {
    std::string bytes;
    for (const TSection& section : sections_) {
        bytes += "[" + section.name + "]\r\n";
        for (const TEntry& entry : section.entries) {
            bytes += entry.hasValue ? entry.key + "=" + entry.value : entry.key;
            bytes += "\r\n";
        }
        bytes += "\r\n";
    }
    return bytes;
}

void TIniDocument::UpdateFile() const {
    WriteFileAtomically(fileName_, ToBytes());
}

const TIniDocument::TSection* TIniDocument::FindSection(std::string_view name) const {
    auto found = sectionIndex_.find(SjisUpperCase(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

TIniDocument::TSection& TIniDocument::SectionForWriting(std::string_view name) {
    auto found = sectionIndex_.find(SjisUpperCase(name));
    if (found != sectionIndex_.end())
        return sections_[found->second];
    sectionIndex_.emplace(SjisUpperCase(name), sections_.size());
    sections_.push_back(TSection{std::string(name), {}, {}});
    return sections_.back();
}

void TIniDocument::TSection::Append(TEntry entry) {
    if (entry.hasValue)
        keyIndex.emplace(SjisUpperCase(entry.key), entries.size());
    entries.push_back(std::move(entry));
}

const TIniDocument::TEntry* TIniDocument::FindEntry(const TSection& section, std::string_view key) {
    auto found = section.keyIndex.find(SjisUpperCase(key));
    return found == section.keyIndex.end() ? nullptr : &section.entries[found->second];
}

void TIniDocument::CheckWritable(std::string_view section, std::string_view key,
                                 std::string_view value) const {
    for (std::string_view text : {section, key, value}) {
        if (text.find_first_of("\r\n") != std::string_view::npos)
            throw EFCreateError(fileName_, "[" + SjisToUtf8(section) + "] " + SjisToUtf8(key) +
                                               " の値に改行が含まれています。");
    }
}

const std::string* TIniDocument::FindValue(std::string_view section, std::string_view key) const {
    const TSection* found = FindSection(section);
    if (found == nullptr)
        return nullptr;
    const TEntry* entry = FindEntry(*found, key);
    return entry == nullptr ? nullptr : &entry->value;
}

std::string TIniDocument::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    const std::string* value = FindValue(section, key);
    return value == nullptr ? std::string(defaultValue) : *value;
}

int TIniDocument::ReadInteger(std::string_view section, std::string_view key,
                              int defaultValue) const {
    const std::string* text = FindValue(section, key);
    int value = defaultValue;
    if (text == nullptr || !ParseIniInteger(*text, value))
        return defaultValue;
    return value;
}

bool TIniDocument::ReadBool(std::string_view section, std::string_view key,
                            bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double TIniDocument::ReadFloat(std::string_view section, std::string_view key,
                               double defaultValue) const {
    const std::string* text = FindValue(section, key);
    double value = defaultValue;
    if (text == nullptr || !ParseIniFloat(*text, value))
        return defaultValue;
    return value;
}

void TIniDocument::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    CheckWritable(section, key, value);
    TSection& target = SectionForWriting(section);
    auto found = target.keyIndex.find(SjisUpperCase(key));
    if (found != target.keyIndex.end()) {
        target.entries[found->second].value = std::string(value);
        return;
    }
    target.Append(TEntry{std::string(key), std::string(value), true});
}

void TIniDocument::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniDocument::WriteFloat(std::string_view section, std::string_view key, double value) {
    WriteString(section, key, FormatIniFloat(value));
}

bool TIniDocument::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TIniDocument::ValueExists(std::string_view section, std::string_view key) const {
    return FindValue(section, key) != nullptr;
}

size_t TIniDocument::KeyCount(std::string_view section) const {
    const TSection* found = FindSection(section);
    if (found == nullptr)
        return 0;
    size_t count = 0;
    for (const TEntry& entry : found->entries) {
        if (entry.hasValue)
            ++count;
    }
    return count;
}

void TIniDocument::EraseSection(std::string_view section) {
    // Every occurrence goes, duplicates included; a later write appends
    // the section at the end, as the profile functions do.
    std::vector<TSection> kept;
    sectionIndex_.clear();
    for (TSection& candidate : sections_) {
        if (SjisSameText(candidate.name, section))
            continue;
        sectionIndex_.emplace(SjisUpperCase(candidate.name), kept.size());
        kept.push_back(std::move(candidate));
    }
    sections_ = std::move(kept);
}

void TIniDocument::EraseKey(std::string_view section, std::string_view key) {
    auto found = sectionIndex_.find(SjisUpperCase(section));
    if (found == sectionIndex_.end())
        return;
    TSection& target = sections_[found->second];
    std::vector<TEntry> entries = std::move(target.entries);
    target.entries.clear();
    target.keyIndex.clear();
    for (TEntry& entry : entries) {
        if (!(entry.hasValue && SjisSameText(entry.key, key)))
            target.Append(std::move(entry));
    }
}

std::vector<std::string> TIniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const TSection& section : sections_)
        names.push_back(section.name);
    return names;
}

} // namespace varnoke
