#include "common/TextFileWriter.h"

#include "common/Errors.h"
#include "common/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace varnoke {

TTextFileWriter::TTextFileWriter(TNativePath fileName) : fileName_(std::move(fileName)) {
    descriptor_ = ::open(fileName_.CStr(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0)
        Fail(errno);
}

TTextFileWriter::~TTextFileWriter() {
    // A writer left by an exception closes without another error; the
    // caller already has the first one.
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void TTextFileWriter::WriteBeyondBuffer(std::string_view bytes) {
    Flush();
    if (bytes.size() <= BufferSize) {
        std::memcpy(buffer_.get(), bytes.data(), bytes.size());
        used_ = bytes.size();
        return;
    }
    if (int error = WriteAllToDescriptor(descriptor_, bytes.data(), bytes.size()))
        Fail(error);
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
    if (used_ == 0)
        return;
    int error = WriteAllToDescriptor(descriptor_, buffer_.get(), used_);
    used_ = 0;
    if (error)
        Fail(error);
}

void TTextFileWriter::Fail(int error) {
    throw EInOutError(InOutCodeFromErrno(error), fileName_);
}

} // namespace varnoke
