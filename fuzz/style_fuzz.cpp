// The style file: any bytes load; every loaded style writes a complete
// style sheet with finite numbers; saving and loading again keeps every
// style as it was.
#include "FuzzSupport.h"
#include "css/CSSPropertyClass.h"

#include <algorithm>

using namespace varnoke;
using namespace varnoke::fuzz;

namespace {

// Everything a style stores, in the file's own words.
std::string Stored(const TCSSPropertyClass& styles) {
    TIniDocument ini;
    for (int i = 0; i < styles.Count(); ++i) {
        ini.WriteString("NAMES", std::to_string(i), styles.Items(i).Name);
        styles.Items(i).SaveToIni(ini);
    }
    return ini.ToBytes();
}

// A length is always a plain number with one decimal, "-12.5em;" or
// "0.0px;": never "nan", "inf" or an exponent, whatever the file held.
// (Image file names are written as they are, so only length lines count.)
void CheckLengths(const std::string& css) {
    size_t start = 0;
    while (start < css.size()) {
        size_t end = css.find("\r\n", start);
        if (end == std::string::npos)
            end = css.size();
        const std::string line = css.substr(start, end - start);
        start = end + 2;
        const bool em = line.size() > 3 && line.compare(line.size() - 3, 3, "em;") == 0;
        const bool px = line.size() > 3 && line.compare(line.size() - 3, 3, "px;") == 0;
        if (line.rfind("\tbackground-image", 0) == 0 || !(em || px))
            continue;
        const size_t colon = line.rfind(": ");
        FUZZ_CHECK(colon != std::string::npos);
        std::string_view number(line);
        number = number.substr(colon + 2, number.size() - colon - 5);
        if (!number.empty() && number.front() == '-')
            number.remove_prefix(1);
        const size_t stop = number.find('.');
        FUZZ_CHECK(stop != std::string::npos && stop > 0 && stop + 2 == number.size());
        for (size_t i = 0; i < number.size(); ++i)
            FUZZ_CHECK(i == stop || (number[i] >= '0' && number[i] <= '9'));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string path = ScratchFile("styles.INI");
    WriteBytes(path, std::string(reinterpret_cast<const char*>(data), size));

    TCSSPropertyClass styles;
    styles.LoadFromFile(TNativePath(path));
    // A COUNT past the keys is capped, whatever it says.
    FUZZ_CHECK(static_cast<size_t>(styles.Count()) <= std::max<size_t>(size / 2, 4096));

    // Styles past the named ones are alike (empty names read the same
    // sections), so the first few and the last stand for them all.
    const std::string sheet = ScratchFile("style.css");
    const auto checkSheet = [&](int i) {
        styles.WriteCSS(i, TNativePath(sheet));
        const std::string css = ReadBytes(sheet);
        FUZZ_CHECK(css.compare(0, 7, "body {\r") == 0);
        FUZZ_CHECK(css.size() >= 8 && css.compare(css.size() - 5, 5, "}\r\n\r\n") == 0);
        CheckLengths(css);
    };
    for (int i = 0; i < std::min(styles.Count(), 64); ++i)
        checkSheet(i);
    if (styles.Count() > 64)
        checkSheet(styles.Count() - 1);

    // A long list of alike styles only repeats the round trip of a short
    // one, at a cost that would leave the fuzzer a run or two a second.
    if (styles.Count() > 256)
        return 0;
    const std::string before = Stored(styles);
    styles.SaveToFile(TNativePath(path));
    TCSSPropertyClass reloaded;
    reloaded.LoadFromFile(TNativePath(path));
    FUZZ_CHECK(reloaded.Count() == styles.Count());
    FUZZ_CHECK(Stored(reloaded) == before);
    return 0;
}
