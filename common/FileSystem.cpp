#include "common/FileSystem.h"

#include "common/Errors.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnoke {

namespace {
// The most one read takes: a few milliseconds of copying.
constexpr size_t ReadPiece = 8 * 1024 * 1024;

TWriteFaultHook& WriteFaultHook() {
    static TWriteFaultHook hook;
    return hook;
}

class TDescriptor {
  public:
    explicit TDescriptor(int fd) : fd_(fd) {}
    ~TDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return fd_; }
    int Release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};
} // namespace

bool FileExists(const TNativePath& path) {
    struct stat info {};
    return !path.Empty() && ::stat(path.CStr(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const TNativePath& path) {
    struct stat info {};
    return !path.Empty() && ::stat(path.CStr(), &info) == 0 && S_ISDIR(info.st_mode);
}

void ForceDirectories(const TNativePath& path) {
    std::string native = path.Name();
    while (native.size() > 1 && native.back() == PathDelimiter)
        native.pop_back();
    if (native.empty())
        return;
    for (size_t slash = native.find(PathDelimiter, 1);;
         slash = native.find(PathDelimiter, slash + 1)) {
        std::string part = native.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            throw EFCreateError(path, SystemErrorReason(errno));
        }
        if (slash == std::string::npos)
            break;
    }
    if (!DirectoryExists(path))
        throw EFCreateError(path, SystemErrorReason(ENOTDIR));
}

int OpenFileForReading(const TNativePath& path, size_t& size) {
    // Without blocking: opening a FIFO would wait for a writer that may
    // never come, before fstat could tell that it is no file.
    TDescriptor file(::open(path.CStr(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return -1;
        throw EFOpenError(path, SystemErrorReason(errno));
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0)
        throw EFOpenError(path, SystemErrorReason(errno));
    if (S_ISDIR(info.st_mode))
        throw EFOpenError(path, SystemErrorReason(EISDIR));
    // A device or a pipe would be read until memory runs out (/dev/zero)
    // or wait forever: only regular files hold a text or a project.
    if (!S_ISREG(info.st_mode))
        throw EFOpenError(path, "通常のファイルではありません。");
    // A regular file reads as it always does; a network or user-space file
    // system might otherwise answer "try again".
    ::fcntl(file.Get(), F_SETFL, ::fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK);
    size = static_cast<size_t>(info.st_size);
    return file.Release();
}

bool ReadWholeFile(const TNativePath& path, std::string& bytes) {
    bytes.clear();
    size_t size = 0;
    TDescriptor file(OpenFileForReading(path, size));
    if (file.Get() < 0)
        return false;
    // Straight into the string, with room for a file that grows meanwhile.
    bytes.resize(size + 1);
    size_t got = 0;
    for (;;) {
        if (got == bytes.size())
            bytes.resize(bytes.size() * 2);
        ssize_t count = ::read(file.Get(), bytes.data() + got, bytes.size() - got);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw EFOpenError(path, SystemErrorReason(errno));
        if (count == 0)
            break;
        got += static_cast<size_t>(count);
    }
    bytes.resize(got);
    return true;
}

bool ReadWholeFile(const TNativePath& path, TByteBuffer& bytes) {
    bytes.Resize(0);
    size_t size = 0;
    TDescriptor file(OpenFileForReading(path, size));
    if (file.Get() < 0)
        return false;
    bytes.Reserve(size + 1); // one byte more tells the end without another read
    for (;;) {
        if (bytes.Size() == bytes.Capacity())
            bytes.Reserve(bytes.Capacity() * 2);
        // In pieces: a read from a file runs to its end before a signal is
        // taken, and a text of hundreds of megabytes would hold off Ctrl+C.
        ssize_t count = ::read(file.Get(), bytes.Data() + bytes.Size(),
                               std::min<size_t>(bytes.Capacity() - bytes.Size(), ReadPiece));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw EFOpenError(path, SystemErrorReason(errno));
        if (count == 0)
            return true;
        bytes.Resize(bytes.Size() + static_cast<size_t>(count));
    }
}

int WriteAllToDescriptor(int descriptor, const char* data, size_t size) {
    if (WriteFaultHook()) {
        if (int error = WriteFaultHook()(size))
            return error;
    }
    while (size > 0) {
        ssize_t written = ::write(descriptor, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

namespace {
enum class TDurability { PageCache, Disk };

// The file a name finally stands for: a symbolic link is followed (also one
// whose file does not exist yet), so that a save replaces the file it points
// to and the link stays a link. A name that is no link stays as it is.
std::string LinkTarget(std::string native) {
    // As many links as the system itself follows before it gives up.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(native.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return native;
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
        const ssize_t length = ::readlink(native.c_str(), target.data(), target.size());
        if (length <= 0)
            return native;
        target.resize(static_cast<size_t>(length));
        native = target.front() == PathDelimiter ? target : ExtractFilePath(native) + target;
    }
    return native;
}

// `fileName` names the file in error messages. With TDurability::Disk the
// bytes reach the disk before the rename, so that a power failure right
// after a save cannot leave an empty file in place of the old one.
void WriteNativeAtomically(const std::string& native, const TNativePath& fileName,
                           std::string_view bytes, TDurability durability, TFileAccess access) {
    std::string temporary = native + ".XXXXXX";
    TDescriptor file(::mkstemp(temporary.data()));
    if (file.Get() < 0)
        throw EFCreateError(fileName, SystemErrorReason(errno));
    auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        throw EFCreateError(fileName, SystemErrorReason(error));
    };
    // mkstemp creates the file private to the user; a settings or project
    // file should get the usual permissions, or keep those it had.
    struct stat old {};
    mode_t mode = 0666;
    if (::stat(native.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            fail(EISDIR);
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (access == TFileAccess::OwnerOnly)
        mode = S_IRUSR | S_IWUSR;
    ::fchmod(file.Get(), mode);
    if (int error = WriteAllToDescriptor(file.Get(), bytes.data(), bytes.size()))
        fail(error);
    if (durability == TDurability::Disk && ::fsync(file.Get()) != 0)
        fail(errno);
    if (::close(file.Release()) != 0)
        fail(errno);
    if (::rename(temporary.c_str(), native.c_str()) != 0)
        fail(errno);
}
} // namespace

void WriteFileAtomically(const TNativePath& path, std::string_view bytes, TFileAccess access) {
    WriteNativeAtomically(LinkTarget(path.Name()), path, bytes, TDurability::PageCache, access);
}

void SaveUserFile(const TNativePath& path, std::string_view bytes) {
    const std::string target = LinkTarget(path.Name());
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        throw EFCreateError(path, SystemErrorReason(errno));
    WriteNativeAtomically(target, path, bytes, TDurability::Disk, TFileAccess::Usual);
}

std::optional<std::int64_t> FileModifiedMs(const TNativePath& path) {
    struct stat info {};
    if (::stat(path.CStr(), &info) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
}

void SetWriteFaultHookForTesting(TWriteFaultHook hook) {
    WriteFaultHook() = std::move(hook);
}

} // namespace varnoke
