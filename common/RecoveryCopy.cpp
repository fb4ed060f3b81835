#include "common/RecoveryCopy.h"

#include "common/FileSystem.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace varnoke {

namespace {

constexpr std::string_view Signature = "VARNOKE RECOVERY COPY 1\n";
constexpr std::string_view CopyExtension = ".recover";

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ULL) {
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string Hex(std::uint64_t value) {
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
    return digits;
}

std::uint64_t Checksum(const TRecoveryCopy& copy) {
    const std::string numbers =
        std::to_string(copy.SavedAtMs) + " " + std::to_string(copy.WriterPid);
    return Fnv1a(copy.Text, Fnv1a(numbers, Fnv1a(copy.TextFile)));
}

std::string ExecutableOf(const std::string& process) {
    char target[4096];
    const ssize_t length = ::readlink(("/proc/" + process + "/exe").c_str(), target, sizeof target);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

// Reads "<key> <number>\n" from the front of `in`.
template <typename T>
bool TakeNumberLine(std::string_view& in, std::string_view key, T& value, int base = 10) {
    if (in.substr(0, key.size()) != key || in.size() <= key.size() || in[key.size()] != ' ')
        return false;
    in.remove_prefix(key.size() + 1);
    const size_t end = in.find('\n');
    if (end == std::string_view::npos)
        return false;
    const auto [rest, error] = std::from_chars(in.data(), in.data() + end, value, base);
    if (error != std::errc() || rest != in.data() + end)
        return false;
    in.remove_prefix(end + 1);
    return true;
}

// Reads "<key> <length>\n<bytes>\n" from the front of `in`.
bool TakeBlock(std::string_view& in, std::string_view key, std::string& value) {
    size_t length = 0;
    // Compared as it is: a length near 2^64 wraps when anything is added.
    if (!TakeNumberLine(in, key, length) || length >= in.size() || in[length] != '\n')
        return false;
    value.assign(in.substr(0, length));
    in.remove_prefix(length + 1);
    return true;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

} // namespace

std::string EncodeRecoveryCopy(const TRecoveryCopy& copy) {
    std::string bytes(Signature);
    bytes += "TIME " + std::to_string(copy.SavedAtMs) + "\n";
    bytes += "PID " + std::to_string(copy.WriterPid) + "\n";
    bytes += "FILE " + std::to_string(copy.TextFile.size()) + "\n" + copy.TextFile + "\n";
    bytes += "TEXT " + std::to_string(copy.Text.size()) + "\n";
    bytes += copy.Text;
    bytes += "\nSUM " + Hex(Checksum(copy)) + "\n";
    return bytes;
}

std::optional<TRecoveryCopy> DecodeRecoveryCopy(std::string_view in) {
    if (in.substr(0, Signature.size()) != Signature)
        return std::nullopt;
    in.remove_prefix(Signature.size());
    TRecoveryCopy copy;
    std::uint64_t sum = 0;
    if (!TakeNumberLine(in, "TIME", copy.SavedAtMs) || !TakeNumberLine(in, "PID", copy.WriterPid) ||
        !TakeBlock(in, "FILE", copy.TextFile) || !TakeBlock(in, "TEXT", copy.Text) ||
        !TakeNumberLine(in, "SUM", sum, 16) || !in.empty() || sum != Checksum(copy))
        return std::nullopt;
    return copy;
}

bool HoldsUnsavedWork(const TRecoveryCopy& copy) {
    if (copy.TextFile.empty())
        return true;
    const std::optional<std::int64_t> fileTime = FileModifiedMs(NativePathOrEmpty(copy.TextFile));
    return !fileTime || copy.SavedAtMs > *fileTime;
}

bool WrittenByAnotherRunningWindow(const TRecoveryCopy& copy) {
    if (copy.WriterPid <= 0 || copy.WriterPid == ::getpid())
        return false;
    // A process number may have been given to another program since.
    const std::string writer = ExecutableOf(std::to_string(copy.WriterPid));
    return !writer.empty() && writer == ExecutableOf("self");
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TRecoveryFolder::TRecoveryFolder(TNativePath folder) : folder_(std::move(folder)) {}

TNativePath TRecoveryFolder::CopyFileOf(const std::string& textFile) const {
    const std::string name = textFile.empty() ? "untitled" : Hex(Fnv1a(textFile));
    return folder_ + name + std::string(CopyExtension);
}

void TRecoveryFolder::Write(const TRecoveryCopy& copy) const {
    if (!Enabled())
        return;
    // The copies hold the author's text, which may be private: only the
    // owner may list the folder or read a copy, whatever the text's own
    // file allows.
    ForceDirectories(folder_);
    ::chmod(folder_.CStr(), S_IRWXU);
    WriteFileAtomically(CopyFileOf(copy.TextFile), EncodeRecoveryCopy(copy),
                        TFileAccess::OwnerOnly);
}

void TRecoveryFolder::Remove(const std::string& textFile) const {
    if (Enabled())
        std::remove(CopyFileOf(textFile).CStr());
}

std::optional<TRecoveryCopy> TRecoveryFolder::Read(const TNativePath& copyFile,
                                                   std::vector<TNativePath>& damaged) const {
    std::string bytes;
    std::optional<TRecoveryCopy> copy;
    try {
        if (!ReadWholeFile(copyFile, bytes))
            return std::nullopt;
        copy = DecodeRecoveryCopy(bytes);
    } catch (const std::exception&) {
        // Unreadable: treated as damaged below.
    }
    if (!copy) {
        std::rename(copyFile.CStr(), (copyFile + ".damaged").CStr());
        damaged.push_back(copyFile);
    }
    return copy;
}

std::optional<TRecoveryCopy> TRecoveryFolder::Find(const std::string& textFile,
                                                   std::vector<TNativePath>& damaged) const {
    if (!Enabled())
        return std::nullopt;
    std::optional<TRecoveryCopy> copy = Read(CopyFileOf(textFile), damaged);
    // A copy under another text's name (a hash collision) is not this text's.
    if (copy && copy->TextFile != textFile)
        return std::nullopt;
    return copy;
}

std::vector<TRecoveryCopy> TRecoveryFolder::FindAll(std::vector<TNativePath>& damaged) const {
    std::vector<TRecoveryCopy> copies;
    if (!Enabled())
        return copies;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(folder_.CStr()), ::closedir);
    if (!folder)
        return copies;
    std::vector<TNativePath> names;
    while (const dirent* entry = ::readdir(folder.get())) {
        if (EndsWith(entry->d_name, CopyExtension))
            names.push_back(folder_ + entry->d_name);
    }
    for (const TNativePath& name : names) {
        if (std::optional<TRecoveryCopy> copy = Read(name, damaged))
            copies.push_back(std::move(*copy));
    }
    std::sort(copies.begin(), copies.end(), [](const TRecoveryCopy& a, const TRecoveryCopy& b) {
        return a.SavedAtMs > b.SavedAtMs;
    });
    return copies;
}

} // namespace varnoke
