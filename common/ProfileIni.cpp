#include "common/ProfileIni.h"

#include "common/Errors.h"
#include "common/IniDocument.h"

namespace varnoke {

namespace {
// A file that cannot be read reads as empty, as the profile functions do.
TIniDocument LoadOrEmpty(const TNativePath& iniFile) {
    try {
        return TIniDocument(iniFile);
    } catch (const EVarnokeError&) {
        return TIniDocument();
    }
}

template <typename Change> void ChangeFile(const TNativePath& iniFile, Change change) {
    TIniDocument document;
    try {
        document = TIniDocument(iniFile);
    } catch (const EVarnokeError&) {
        throw EIniFileError(iniFile);
    }
    try {
        change(document); // a value with a line break is refused here
        document.UpdateFile();
    } catch (const EVarnokeError&) {
        throw EIniFileError(iniFile);
    }
}
} // namespace

std::string ProfileReadString(const TNativePath& iniFile, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
    return LoadOrEmpty(iniFile).ReadString(section, key, defaultValue);
}

void ProfileWriteString(const TNativePath& iniFile, std::string_view section, std::string_view key,
                        std::string_view value) {
    ChangeFile(iniFile, [&](TIniDocument& document) { document.WriteString(section, key, value); });
}

void ProfileEraseSection(const TNativePath& iniFile, std::string_view section) {
    ChangeFile(iniFile, [&](TIniDocument& document) { document.EraseSection(section); });
}

} // namespace varnoke
