// The author's text file and its recovery copy: reading any bytes never
// fails and gives valid UTF-8 without CR; a text written back in its own
// form and read again gives the same characters and the same form; a
// recovery copy is taken whole or not at all, and every copy comes back.
#include "FuzzSupport.h"
#include "common/Errors.h"
#include "common/RecoveryCopy.h"
#include "common/ShiftJis.h"
#include "common/TextEncoding.h"

using namespace varnoke;
using namespace varnoke::fuzz;

namespace {

bool IsUtf8(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return LooksLikeUtf8Text(text);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const TDecodedText text = DecodeText(bytes);
    FUZZ_CHECK(IsUtf8(text.Utf8));
    FUZZ_CHECK(text.Utf8.find('\r') == std::string::npos);
    // Two bytes of UTF-16 may need three in UTF-8.
    const bool utf16 = text.Format.Encoding == TTextEncoding::Utf16Le ||
                       text.Format.Encoding == TTextEncoding::Utf16Be;
    if (text.Format.Encoding != TTextEncoding::ShiftJis && !text.HasUnreadableBytes)
        FUZZ_CHECK(text.Utf8.size() <= (utf16 ? bytes.size() / 2 * 3 : bytes.size()));
    try {
        const std::string written = EncodeText(text.Utf8, text.Format);
        const TDecodedText again = DecodeText(written);
        FUZZ_CHECK(again.Utf8 == text.Utf8);
        // A text with no line break reads as CR LF, whatever it was meant to be.
        if (text.Utf8.find('\n') != std::string::npos)
            FUZZ_CHECK(again.Format.LineBreak == text.Format.LineBreak);
        // An ASCII-only text has nothing that tells UTF-8 without a byte-order
        // mark from Shift-JIS; every other form is recognised again.
        if (text.Format.Encoding != TTextEncoding::Utf8 || !IsUtf8(written) ||
            LooksLikeUtf8Text(written))
            FUZZ_CHECK(again.Format.Encoding == text.Format.Encoding);
    } catch (const EConvertError&) {
        // Only a Shift-JIS text can hold a character Shift-JIS lacks: U+FFFD
        // for bytes it could not read.
        FUZZ_CHECK(text.Format.Encoding == TTextEncoding::ShiftJis && text.HasUnreadableBytes);
    }

    if (const std::optional<TRecoveryCopy> copy = DecodeRecoveryCopy(bytes))
        FUZZ_CHECK(EncodeRecoveryCopy(*copy) == bytes);
    const size_t cut = size / 3;
    const TRecoveryCopy made{std::string(bytes.substr(0, cut)), static_cast<std::int64_t>(size),
                             std::string(bytes.substr(cut)), static_cast<std::int64_t>(cut)};
    const std::string encoded = EncodeRecoveryCopy(made);
    const std::optional<TRecoveryCopy> back = DecodeRecoveryCopy(encoded);
    FUZZ_CHECK(back && back->TextFile == made.TextFile && back->Text == made.Text &&
               back->SavedAtMs == made.SavedAtMs && back->WriterPid == made.WriterPid);
    FUZZ_CHECK(!DecodeRecoveryCopy(encoded.substr(0, encoded.size() - 1)));
    return 0;
}
