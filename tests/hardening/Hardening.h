// Helpers of the hardening tests: a folder in memory for tests that write a
// lot, and a snapshot of a folder to prove that nothing in it changed.
#pragma once

#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>

namespace varnoke::test {

// /dev/shm when the machine has it: hundreds of megabytes go there without
// touching a disk.
inline std::filesystem::path MemoryBase() {
    if (::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

// A whole file in one read: the row tests read files of a hundred megabytes,
// where a stream iterator takes seconds.
inline std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    std::string bytes(static_cast<size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// Every file below a folder, by its relative path, with a digest of its
// bytes (a large file is not kept in memory twice).
struct TFileDigest {
    std::uintmax_t Size;
    size_t Hash;
    bool operator==(const TFileDigest& other) const {
        return Size == other.Size && Hash == other.Hash;
    }
};
using TFolderSnapshot = std::map<std::string, TFileDigest>;

inline TFolderSnapshot Snapshot(const std::string& folder) {
    TFolderSnapshot files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string relative = std::filesystem::relative(entry.path(), folder).string() +
                                     (entry.is_directory() ? "/" : "");
        if (entry.is_directory()) {
            files[relative] = TFileDigest{0, 0};
            continue;
        }
        // A pipe, a socket or a device is named, never read: reading a pipe
        // would wait for a writer.
        if (!entry.is_regular_file()) {
            files[relative] = TFileDigest{0, 2};
            continue;
        }
        const std::string bytes = ReadWhole(entry.path().string());
        files[relative] = TFileDigest{bytes.size(), std::hash<std::string>()(bytes)};
    }
    return files;
}

inline bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace varnoke::test
