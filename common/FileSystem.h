// The few file-system operations the system needs, on CP932 path strings
// (converted to the UTF-8 names of the Linux file system here, and nowhere
// else).
#pragma once

#include "common/ByteBuffer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace varnoke {

// The UTF-8 name of a CP932 path, as the file system wants it.
std::string NativePath(std::string_view sjisPath);
// The CP932 path of a UTF-8 file-system name; throws EConvertError, naming
// the file and the character, when a character has no CP932 form.
std::string SjisPathFromNative(std::string_view nativePath);

bool FileExists(std::string_view sjisPath); // a file, not a folder
bool DirectoryExists(std::string_view sjisPath);

// Creates the folder and its missing parents; throws EFCreateError.
void ForceDirectories(std::string_view sjisPath);

// Opens an existing regular file for reading and tells its size. Returns
// -1 when it does not exist; throws EFOpenError when it cannot be read or
// is no regular file (a folder, a device, a pipe).
int OpenFileForReading(std::string_view sjisPath, size_t& size);

// Reads a whole file. Throws EFOpenError when it exists but cannot be read
// (a folder, no permission); returns false when it does not exist.
bool ReadWholeFile(std::string_view sjisPath, std::string& bytes);
// The same into a byte buffer: a text file of any size.
bool ReadWholeFile(std::string_view sjisPath, TByteBuffer& bytes);

// Who may read a file the programs write: the usual permissions (those the
// file had, or those of a new file), or its owner only.
enum class TFileAccess { Usual, OwnerOnly };

// Replaces a file's content whole: the bytes go to a temporary file beside
// it, which is then renamed over it, so a failed or interrupted save leaves
// the old content. A symbolic link keeps naming its file: the file it points
// to is replaced, not the link. Throws EFCreateError naming the file.
void WriteFileAtomically(std::string_view sjisPath, std::string_view bytes,
                         TFileAccess access = TFileAccess::Usual);

// Saves a file the author edits, atomically and through links as above,
// with two more guards: the bytes reach the disk before the rename, and an
// existing file without write permission is refused rather than replaced
// behind the user's back. Throws EFCreateError.
void SaveUserFile(std::string_view sjisPath, std::string_view bytes);

// The time a file was last written, in milliseconds since the epoch; empty
// when it does not exist.
std::optional<std::int64_t> FileModifiedMs(std::string_view sjisPath);

// Writes all bytes to an open descriptor, retrying short writes; returns 0
// or the errno of the failure.
int WriteAllToDescriptor(int descriptor, const char* data, size_t size);

// Test seam: a hook consulted before every write to a file. It returns 0 to
// let the write happen, or an errno to make it fail as if the system had.
// Lets tests produce a full disk or a failing device without either.
using TWriteFaultHook = std::function<int(size_t bytesAboutToBeWritten)>;
void SetWriteFaultHookForTesting(TWriteFaultHook hook);

} // namespace varnoke
