// Shift-JIS (code page 932) byte strings and their conversion to and from
// UTF-8. Every text value in the model is a CP932 byte string; UTF-8 appears
// only at the edges (Qt widgets, file names on Linux, terminal output).
#pragma once

#include "common/ByteBuffer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoke {

// A byte that starts a double-byte character in CP932.
bool IsSjisLeadByte(unsigned char byte);
// A byte that can follow a lead byte as the second half of a character.
bool IsSjisTrailByte(unsigned char byte);

// Upper-cases ASCII letters and full-width Latin letters, one character at a
// time: the trail byte of a double-byte character is never touched, so
// "ハ" (0x83 0x6E) stays "ハ" and does not become "ノ" (0x83 0x4E).
std::string SjisUpperCase(std::string_view text);

// Equality without regard to letter case, by the same character rules.
bool SjisSameText(std::string_view a, std::string_view b);

// What to do with a character that CP932 cannot hold.
enum class TUnmappable {
    CharacterReference, // write it as "&#NNNN;" (page text)
    Fail,               // throw EConvertError (file names, where a reference makes no sense)
};

// UTF-8 to CP932. Bytes that are not valid UTF-8 are passed through unchanged.
std::string Utf8ToSjis(std::string_view utf8, TUnmappable policy = TUnmappable::CharacterReference);

// The bytes of a text file as CP932 when they are UTF-8 text: a file that
// starts with a UTF-8 byte-order mark, or that is valid UTF-8 holding
// multi-byte characters. Checked and converted in one pass; nothing when the
// bytes are to be taken as CP932 as they are (plain ASCII included).
std::optional<std::string> Utf8TextToSjis(std::string_view fileBytes);
// The same into a byte buffer, for a whole text file: false, and `sjis`
// empty, when the bytes are to be taken as they are.
bool Utf8TextToSjis(std::string_view fileBytes, TByteBuffer& sjis);

// The character of each double-byte CP932 code (lead byte * 256 + trail
// byte) as one UTF-16 unit (CP932 holds only characters of the basic
// plane), U+FFFD for a code CP932 leaves unassigned. One converter serves
// the whole list.
std::vector<char16_t> SjisDoubleByteCharacters(const std::vector<std::uint16_t>& codes);

// CP932 to UTF-8. A byte sequence that is not valid CP932 becomes U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

// True when the bytes are valid UTF-8 and hold at least one multi-byte
// sequence: such a text file was written by a UTF-8 editor, not in CP932.
bool LooksLikeUtf8Text(std::string_view bytes);

// The length of the valid UTF-8 sequence at the start of `text` (its code
// point in `codePoint`), or 0 when the text starts with no valid sequence
// (cut, overlong, a surrogate, beyond U+10FFFF).
size_t Utf8CharacterLength(std::string_view text, char32_t& codePoint);

// A UTF-8 literal of the program (a message, a fixed page text) in CP932.
std::string Sjis(std::string_view utf8Literal);

} // namespace varnoke
