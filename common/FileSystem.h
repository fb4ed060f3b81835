// The few file-system operations the system needs. They take native
// (UTF-8) names only: a name the model keeps in CP932 comes through
// NativePath first, and an error names the file as the system does.
#pragma once

#include "common/ByteBuffer.h"
#include "common/NativePath.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varnoke {

bool FileExists(const TNativePath& path); // a file, not a folder
bool DirectoryExists(const TNativePath& path);

// Creates the folder and its missing parents; throws EFCreateError.
void ForceDirectories(const TNativePath& path);

// Opens an existing regular file for reading and tells its size. Returns
// -1 when it does not exist; throws EFOpenError when it cannot be read or
// is no regular file (a folder, a device, a pipe).
int OpenFileForReading(const TNativePath& path, size_t& size);

// Reads a whole file. Throws EFOpenError when it exists but cannot be read
// (a folder, no permission); returns false when it does not exist.
bool ReadWholeFile(const TNativePath& path, std::string& bytes);
// The same into a byte buffer: a text file of any size.
bool ReadWholeFile(const TNativePath& path, TByteBuffer& bytes);

// Who may read a file the programs write: the usual permissions (those the
// file had, or those of a new file), or its owner only.
enum class TFileAccess { Usual, OwnerOnly };

// Replaces a file's content whole: the bytes go to a temporary file beside
// it, which is then renamed over it, so a failed or interrupted save leaves
// the old content. A symbolic link keeps naming its file: the file it points
// to is replaced, not the link. Throws EFCreateError naming the file.
void WriteFileAtomically(const TNativePath& path, std::string_view bytes,
                         TFileAccess access = TFileAccess::Usual);

// Saves a file the author edits, atomically and through links as above,
// with two more guards: the bytes reach the disk before the rename, and an
// existing file without write permission is refused rather than replaced
// behind the user's back. Throws EFCreateError.
void SaveUserFile(const TNativePath& path, std::string_view bytes);

// The time a file was last written, in milliseconds since the epoch; empty
// when it does not exist.
std::optional<std::int64_t> FileModifiedMs(const TNativePath& path);

// Writes all bytes to an open descriptor, retrying short writes; returns 0
// or the errno of the failure.
int WriteAllToDescriptor(int descriptor, const char* data, size_t size);

// Test seam: a hook consulted before every write to a file. It returns 0 to
// let the write happen, or an errno to make it fail as if the system had.
// Lets tests produce a full disk or a failing device without either.
using TWriteFaultHook = std::function<int(size_t bytesAboutToBeWritten)>;
void SetWriteFaultHookForTesting(TWriteFaultHook hook);

} // namespace varnoke
