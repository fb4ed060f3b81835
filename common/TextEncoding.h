// The form of a text file on disk: its encoding and its line breaks.
// Reading a file gives its characters as they are (UTF-8, every line break
// as "\n") together with that form; writing puts the characters back into
// the same form, so that a text the author saves keeps its encoding, its
// byte-order mark and its line breaks. Conversion into the pages' Shift-JIS
// with character references happens elsewhere, on the way to the build.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnoke {

// The UTF-16 forms always carry their byte-order mark: without one nothing
// tells them from binary bytes (Windows Notepad's "Unicode" writes one).
enum class TTextEncoding { ShiftJis, Utf8, Utf8WithBom, Utf16Le, Utf16Be };
enum class TLineBreak { CrLf, Lf, Cr };

struct TTextFormat {
    // A text that has no file yet is written the way the tool has always
    // read its texts: Shift-JIS with CR LF.
    TTextEncoding Encoding = TTextEncoding::ShiftJis;
    TLineBreak LineBreak = TLineBreak::CrLf;
    // CP932 has two or three codes for some characters (Roman numerals,
    // the NEC and IBM extension kanji). Each such character the file wrote
    // with another code than the converter writes, with the file's code:
    // a save writes the file's own bytes again. Otherwise "\xCB\xFA\x50"
    // would come back as "\xCB\x87\x5A", which also reads as UTF-8.
    std::vector<std::pair<std::string, std::string>> KeptSjisCodes = {}; // written, file's code

    bool operator==(const TTextFormat& other) const {
        return Encoding == other.Encoding && LineBreak == other.LineBreak;
    }
    bool operator!=(const TTextFormat& other) const { return !(*this == other); }
};

struct TDecodedText {
    std::string Utf8; // the characters, every line break as "\n"
    TTextFormat Format;
    // Signs that the file is no text, or not in the encoding it was taken
    // for: NUL characters (in UTF-16, the NUL bytes of its other characters
    // do not count), and bytes the encoding cannot read (shown as U+FFFD).
    bool HasNulBytes = false;
    bool HasUnreadableBytes = false;

    bool Suspicious() const { return HasNulBytes || HasUnreadableBytes; }
};

// A file that starts with a UTF-16 byte-order mark (FF FE little-endian,
// FE FF big-endian) is UTF-16; one that starts with a UTF-8 byte-order mark,
// or that is valid UTF-8 holding multi-byte characters, is UTF-8; any other
// file is Shift-JIS (CP932). The first line break decides the form of all of them; a text
// without line breaks gets CR LF.
TDecodedText DecodeText(std::string_view fileBytes);

// The characters (UTF-8, "\n" line breaks) as the bytes of a file in the
// given form, a UTF-16 form with its byte-order mark. Throws EConvertError, naming the character,
// when the form is Shift-JIS and a character has no Shift-JIS form: a source text never gets
// character references written into it.
std::string EncodeText(std::string_view utf8, const TTextFormat& format);

// Whether file bytes start with a UTF-16 byte-order mark.
bool HasUtf16ByteOrderMark(std::string_view fileBytes);

// The name of an encoding as the user reads it ("Shift-JIS", "UTF-16 LE").
const char* EncodingName(TTextEncoding encoding);

} // namespace varnoke
