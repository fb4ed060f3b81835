#include "FileNameKeeper/FileNameKeep.h"

#include "common/FileSystem.h"
#include "common/ProfileIni.h"

#include <algorithm>
#include <cstdio>

namespace varnoke {

namespace {
constexpr const char* Section = "KeepFileNames";

std::string KeyName(int slot) {
    return "FileName" + std::to_string(slot);
}
} // namespace

TFileNameKeep::TFileNameKeep(TNativePath iniFile, TFileExists fileExists)
    : iniFile_(std::move(iniFile)), fileExists_(std::move(fileExists)) {
    if (!fileExists_)
        fileExists_ = [](const std::string& name) { return FileExists(NativePathOrEmpty(name)); };
}

void TFileNameKeep::LoadList() {
    for (int slot = KeepCount; slot >= 1; --slot) {
        std::string name = ProfileReadString(iniFile_, Section, KeyName(slot), "");
        if (!name.empty() && fileExists_(name))
            Add(name);
    }
}

void TFileNameKeep::SaveList() const {
    ProfileEraseSection(iniFile_, Section);
    for (int slot = 1; slot <= KeepCount; ++slot)
        ProfileWriteString(iniFile_, Section, KeyName(slot), Name(slot));
}

bool TFileNameKeep::MoveToFront(const std::string& fileName) {
    for (size_t k = 0; k < names_.size(); ++k) {
        if (names_[k] == fileName) {
            for (size_t i = k; i > 0; --i)
                names_[i] = std::move(names_[i - 1]);
            names_[0] = fileName;
            return true;
        }
    }
    return false;
}

void TFileNameKeep::Add(const std::string& fileName) {
    if (fileName.empty() || MoveToFront(fileName))
        return;
    if (itemCount_ < KeepCount)
        ++itemCount_;
    for (size_t i = names_.size() - 1; i > 0; --i)
        names_[i] = std::move(names_[i - 1]);
    names_[0] = fileName;
}

std::string TFileNameKeep::Caption(int slot) const {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "&%x ", static_cast<unsigned>(slot));
    return prefix + Name(slot);
}

std::string TFileNameKeep::NameFromCaption(const std::string& caption) {
    // Without "&", one digit and the space; the space left over by the
    // two-digit number of slot 16 goes with the other leading spaces.
    const size_t start = caption.find_first_not_of(' ', std::min<size_t>(3, caption.size()));
    return start == std::string::npos ? std::string() : caption.substr(start);
}

} // namespace varnoke
