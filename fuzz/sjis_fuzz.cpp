// CP932 and UTF-8: conversions never fail on any bytes, produce what they
// promise (valid UTF-8, the same length when upper-casing), and a text that
// went through both directions once comes back unchanged the second time.
#include "FuzzSupport.h"
#include "common/Errors.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"

using namespace varnoke;
using namespace varnoke::fuzz;

namespace {

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool IsUtf8(std::string_view text) {
    return IsAscii(text) || LooksLikeUtf8Text(text);
}

constexpr std::string_view Replacement = "\xEF\xBF\xBD";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The bytes as CP932.
    const std::string utf8 = SjisToUtf8(bytes);
    FUZZ_CHECK(IsUtf8(utf8));
    if (utf8.find(Replacement) == std::string::npos) {
        // Every character has a CP932 form, so nothing may fail; CP932
        // maps a few characters twice, so the first return trip may pick
        // the other code, the second must be exact.
        const std::string sjis = Utf8ToSjis(utf8, TUnmappable::Fail);
        FUZZ_CHECK(SjisToUtf8(sjis) == utf8);
        FUZZ_CHECK(Utf8ToSjis(SjisToUtf8(sjis), TUnmappable::Fail) == sjis);
    }

    // The bytes as UTF-8: characters without a CP932 form become references,
    // bytes that are not UTF-8 pass unchanged.
    const std::string referenced = Utf8ToSjis(bytes);
    std::string failed;
    bool threw = false;
    try {
        failed = Utf8ToSjis(bytes, TUnmappable::Fail);
    } catch (const EConvertError&) {
        threw = true;
    }
    if (!threw)
        FUZZ_CHECK(failed == referenced);
    if (IsUtf8(bytes)) {
        const std::string back = SjisToUtf8(referenced);
        FUZZ_CHECK(back.find(Replacement) == std::string::npos ||
                   bytes.find(Replacement) != std::string::npos);
        FUZZ_CHECK(Utf8ToSjis(back) == referenced);
    }

    // A text file: a byte-order mark or UTF-8 content is converted, any
    // other file taken as it is. UTF-16, known by its mark, is the text
    // file target's.
    const std::string decoded = DecodeTextFile(bytes);
    const std::string_view mark = bytes.substr(0, 2);
    const bool utf16 = mark == "\xFF\xFE" || mark == "\xFE\xFF";
    if (utf16)
        FUZZ_CHECK(decoded.find('\0') == std::string::npos ||
                   bytes.find(std::string_view("\0\0", 2)) != std::string_view::npos);
    else if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        FUZZ_CHECK(decoded == Utf8ToSjis(bytes.substr(3)));
    else if (LooksLikeUtf8Text(bytes))
        FUZZ_CHECK(decoded == referenced);
    else
        FUZZ_CHECK(decoded == bytes);

    // Upper-casing keeps the length and is done after one pass.
    const std::string upper = SjisUpperCase(bytes);
    FUZZ_CHECK(upper.size() == bytes.size());
    FUZZ_CHECK(SjisUpperCase(upper) == upper);
    FUZZ_CHECK(SjisSameText(bytes, upper));
    return 0;
}
