// The INI document: any bytes load; what a save writes loads back to the
// same sections, keys and values; numbers written are read back exactly.
#include "FuzzSupport.h"
#include "common/IniDocument.h"

#include <cmath>
#include <cstring>

using namespace varnoke;
using namespace varnoke::fuzz;

namespace {

// Every value of every section, by the reader's own lookups: the lines of
// the normalised bytes name the sections and keys to ask for.
void ExpectSameValues(const TIniDocument& a, const TIniDocument& b, const std::string& bytes) {
    std::string section;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        FUZZ_CHECK(end != std::string::npos); // every written line ends with CR LF
        std::string_view line(bytes.data() + start, end - start);
        start = end + 2;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            FUZZ_CHECK(b.SectionExists(section));
            FUZZ_CHECK(a.KeyCount(section) == b.KeyCount(section));
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        std::string key(line.substr(0, equals));
        FUZZ_CHECK(a.ReadString(section, key, "\x01missing") ==
                   b.ReadString(section, key, "\x01missing"));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    TFuzzInput input(data, size);
    const std::uint8_t numberBytes[8] = {input.Byte(), input.Byte(), input.Byte(), input.Byte(),
                                         input.Byte(), input.Byte(), input.Byte(), input.Byte()};
    const std::string path = ScratchFile("fuzz.ini");

    // Load from bytes, save through the file (the atomic replace), load again.
    TIniDocument first{TNativePath(path)};
    first.LoadFromBytes(input.Rest());
    const std::string written = first.ToBytes();
    first.UpdateFile();
    const TIniDocument second{TNativePath(path)};
    FUZZ_CHECK(ReadBytes(path) == written);
    // One load normalises (comments, blank lines, blanks around values
    // go); from then on a save writes back exactly what it loaded.
    FUZZ_CHECK(second.ToBytes() == written);
    FUZZ_CHECK(second.SectionNames() == first.SectionNames());
    ExpectSameValues(first, second, written);

    // Numbers keep their value through their text form.
    std::uint32_t bits32 = 0;
    std::memcpy(&bits32, numberBytes, sizeof bits32);
    double real = 0;
    std::memcpy(&real, numberBytes, sizeof real);
    TIniDocument numbers;
    numbers.WriteInteger("N", "I", static_cast<int>(bits32));
    numbers.WriteFloat("N", "F", real);
    TIniDocument reread;
    reread.LoadFromBytes(numbers.ToBytes());
    FUZZ_CHECK(reread.ReadInteger("n", "i", 0) == static_cast<int>(bits32));
    const double back = reread.ReadFloat("n", "f", -1.0);
    if (std::isfinite(real) && std::fabs(real) < 1e308) {
        // (Within 15 digits of the largest double the rounded text lies
        // beyond it; the files only ever hold single-precision values.)
        // Fifteen significant digits: equal within that precision, and the
        // text is a fixed point.
        FUZZ_CHECK(std::fabs(back - real) <= std::fabs(real) * 1e-14 || std::fabs(real) < 1e-300);
        FUZZ_CHECK(FormatIniFloat(back) == FormatIniFloat(real));
    } else if (!std::isfinite(real)) {
        FUZZ_CHECK(back == 0.0); // written as "0"
    }
    return 0;
}
