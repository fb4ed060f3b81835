// What the fuzz targets share: a scratch folder in memory (tmpfs) so that
// the file round trips cost little, and a check that stops the run with the
// input when a property does not hold.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace varnoke::fuzz {

// abort() makes libFuzzer save the input as a crash, like a sanitizer would.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// The folder with its trailing "/". VARNOKE_FUZZ_SCRATCH names one that the
// caller owns (scripts/run-fuzz); otherwise one is made in /dev/shm, or in
// the temp folder where there is no /dev/shm, and removed at exit.
inline const std::string& ScratchFolder() {
    static const std::string folder = [] {
        if (const char* given = std::getenv("VARNOKE_FUZZ_SCRATCH"); given && *given) {
            std::filesystem::create_directories(given);
            return std::string(given) + "/";
        }
        std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        std::string pattern = (base / "varnoke-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::string made = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(made, ignored);
        });
        return pattern + "/";
    }();
    return folder;
}

inline std::string ScratchFile(const std::string& name) {
    return ScratchFolder() + name;
}

// Removes what an earlier input left in a sub-folder of the scratch folder
// and returns the sub-folder, empty and with its trailing "/".
inline std::string EmptySubFolder(const std::string& name) {
    const std::string folder = ScratchFolder() + name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder + "/";
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Hands out the input piece by piece: a few control bytes first, the rest
// as the text under test.
class TFuzzInput {
  public:
    TFuzzInput(const std::uint8_t* data, size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t Byte() {
        if (bytes_.empty())
            return 0;
        auto value = static_cast<std::uint8_t>(bytes_.front());
        bytes_.remove_prefix(1);
        return value;
    }
    std::string_view Rest() const { return bytes_; }

  private:
    std::string_view bytes_;
};

} // namespace varnoke::fuzz
