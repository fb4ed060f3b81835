#include "common/TextFileWriter.h"

#include "common/Errors.h"
#include "common/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace varnoke {

namespace {
constexpr size_t BufferSize = 256 * 1024;
}

TTextFileWriter::TTextFileWriter(std::string fileName) : fileName_(std::move(fileName)) {
    descriptor_ =
        ::open(NativePath(fileName_).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0)
        Fail(errno);
    buffer_.reserve(16 * 1024);
}

TTextFileWriter::~TTextFileWriter() {
    // A writer left by an exception closes without another error; the
    // caller already has the first one.
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void TTextFileWriter::WriteLine(std::string_view line) {
    Write(line);
    Write("\r\n");
}

void TTextFileWriter::WriteLine(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces)
        Write(piece);
    Write("\r\n");
}

void TTextFileWriter::Write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > BufferSize) {
        Flush();
        if (bytes.size() > BufferSize) {
            if (int error = WriteAllToDescriptor(descriptor_, bytes.data(), bytes.size()))
                Fail(error);
            return;
        }
    }
    buffer_.append(bytes);
}

void TTextFileWriter::Close() {
    if (descriptor_ < 0)
        return;
    Flush();
    int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0)
        Fail(errno);
}

void TTextFileWriter::Flush() {
    if (buffer_.empty())
        return;
    int error = WriteAllToDescriptor(descriptor_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (error)
        Fail(error);
}

void TTextFileWriter::Fail(int error) {
    throw EInOutError(InOutCodeFromErrno(error), fileName_);
}

} // namespace varnoke
