// The errors of the system. A failed file operation ends the current command
// and the front end shows the message: the window in its error box, the
// command-line tool on standard error. Messages are UTF-8 (what()), and so
// are the file names they carry: the names the system uses.
#pragma once

#include "common/NativePath.h"

#include <stdexcept>
#include <string>

namespace varnoke {

class EVarnokeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writing a page or a style sheet failed. The code follows the classic file
// system codes (3 path not found, 4 too many open files, 5 access denied,
// 101 disk full); the message is the one the user knows for that code.
class EInOutError : public EVarnokeError {
  public:
    EInOutError(int code, TNativePath fileName);
    int Code() const { return code_; }
    const TNativePath& FileName() const { return fileName_; }

  private:
    int code_;
    TNativePath fileName_;
};

// "ファイル "%s". %s は開けません": an existing file could not be read.
class EFOpenError : public EVarnokeError {
  public:
    EFOpenError(const TNativePath& fileName, const std::string& reason);
};

// "ファイル "%s". %s を作成できません": a file could not be created or replaced.
class EFCreateError : public EVarnokeError {
  public:
    EFCreateError(const TNativePath& fileName, const std::string& reason);
};

// "%s に書き込めません": a key of the INI file could not be written.
class EIniFileError : public EVarnokeError {
  public:
    explicit EIniFileError(const TNativePath& fileName);
};

// "ファイル "%s". プロジェクトファイルではありません": a file that was to
// be opened as a project holds no project.
class ENotProjectFile : public EVarnokeError {
  public:
    explicit ENotProjectFile(const TNativePath& fileName);
};

// A build would write one of its own inputs (the text, the project or the
// styles) over: the file to be written is that input, under its own name
// or another one (a link, another spelling of the path). Nothing is
// written.
class EOverwritesInput : public EVarnokeError {
  public:
    EOverwritesInput(const TNativePath& outputFile, const TNativePath& inputFile);
    const TNativePath& OutputFile() const { return outputFile_; }
    const TNativePath& InputFile() const { return inputFile_; }

  private:
    TNativePath outputFile_;
    TNativePath inputFile_;
};

// A text that Shift-JIS cannot hold, where no character reference will do.
class EConvertError : public EVarnokeError {
  public:
    using EVarnokeError::EVarnokeError;
};

// The message shown for an input/output error code.
std::string InOutErrorMessage(int code);

// Maps a Linux errno of a failed create or write onto the classic codes.
int InOutCodeFromErrno(int error);

// A short reason for an errno, in the words of the user interface.
std::string SystemErrorReason(int error);

} // namespace varnoke
