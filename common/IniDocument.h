// An INI file held whole in memory: load it, read and write keys, write it
// back whole. Section and key names match without regard to letter case
// (character by character, see SjisSameText); values are trimmed; the first
// "=" of a line splits key and value; comment (";") and blank lines are
// dropped; one blank line follows each section when written. Existing
// sections and keys keep their place, new ones are appended.
#pragma once

#include "common/NativePath.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace varnoke {

class TIniDocument {
  public:
    TIniDocument() = default;
    // Loads the file; a missing file gives an empty document. A file that
    // exists but cannot be read raises EFOpenError.
    explicit TIniDocument(TNativePath fileName);

    void LoadFromBytes(std::string_view bytes);
    std::string ToBytes() const;
    // Writes the document back to its file, atomically; raises EFCreateError.
    void UpdateFile() const;
    const TNativePath& FileName() const { return fileName_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "0x", "0X" or "$"; anything else, or a
    // number beyond 32 bits, gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // A finite decimal number with a full stop; anything else gives the default.
    double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

    // A section, key or value holding CR or LF raises EFCreateError naming
    // the file, and the document stays as it was.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void WriteFloat(std::string_view section, std::string_view key, double value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The number of keys that the section holds (0 when it is missing):
    // lets a reader bound a loop by what the file really contains rather
    // than by a count written in it.
    size_t KeyCount(std::string_view section) const;
    void EraseSection(std::string_view section);
    // Every entry of the key goes from the section (its first occurrence,
    // the one that is read and written).
    void EraseKey(std::string_view section, std::string_view key);
    std::vector<std::string> SectionNames() const;

  private:
    struct TEntry {
        std::string key;
        std::string value;
        bool hasValue; // false for a line without "=", kept as it was
    };
    struct TSection {
        std::string name;
        std::vector<TEntry> entries;
        // Upper-cased key -> index of its first entry with a value. The
        // style index of a large collection holds thousands of keys, and a
        // scan per lookup would make loading and saving it quadratic.
        std::unordered_map<std::string, size_t> keyIndex;

        void Append(TEntry entry);
    };

    const TSection* FindSection(std::string_view name) const;
    TSection& SectionForWriting(std::string_view name);
    static const TEntry* FindEntry(const TSection& section, std::string_view key);
    // Refuses a line break in a name or value: it would end the line early
    // and turn the rest into keys or sections of its own.
    void CheckWritable(std::string_view section, std::string_view key,
                       std::string_view value) const;
    const std::string* FindValue(std::string_view section, std::string_view key) const;

    TNativePath fileName_;
    std::vector<TSection> sections_;
    // Upper-cased section name -> index of its first occurrence.
    std::unordered_map<std::string, size_t> sectionIndex_;
};

// Number formats of the INI files, shared with the tests.
bool ParseIniInteger(std::string_view text, int& value);
bool ParseIniFloat(std::string_view text, double& value);
std::string FormatIniFloat(double value);

} // namespace varnoke
