#include "common/Errors.h"

#include "common/ShiftJis.h"

#include <cerrno>
#include <cstring>

namespace varnoke {

namespace {
std::string Utf8Name(const std::string& sjisFileName) {
    return SjisToUtf8(sjisFileName);
}
} // namespace

EInOutError::EInOutError(int code, std::string fileName)
    : EVarnokeError(InOutErrorMessage(code)), code_(code), fileName_(std::move(fileName)) {}

EFOpenError::EFOpenError(const std::string& fileName, const std::string& reason)
    : EVarnokeError("ファイル \"" + Utf8Name(fileName) + "\". " + reason + " は開けません") {}

EFCreateError::EFCreateError(const std::string& fileName, const std::string& reason)
    : EVarnokeError("ファイル \"" + Utf8Name(fileName) + "\". " + reason + " を作成できません") {}

ENotProjectFile::ENotProjectFile(const std::string& fileName)
    : EVarnokeError("ファイル \"" + Utf8Name(fileName) + "\". プロジェクトファイルではありません") {
}

EIniFileError::EIniFileError(const std::string& fileName)
    : EVarnokeError(Utf8Name(fileName) + " に書き込めません") {}

EOverwritesInput::EOverwritesInput(const std::string& outputFile, const std::string& inputFile)
    : EVarnokeError("ファイル \"" + Utf8Name(outputFile) + "\" は入力のファイル \"" +
                    Utf8Name(inputFile) +
                    "\" と同じファイルです。上書きしないよう、何も書き込みませんでした"),
      outputFile_(outputFile), inputFile_(inputFile) {}

std::string InOutErrorMessage(int code) {
    switch (code) {
    case 2:
        return "ファイルが見つかりません";
    case 3:
        return "ファイル名の指定が間違っています";
    case 4:
        return "オープンしたファイルが多すぎます";
    case 5:
        return "ファイルへのアクセスが拒否されました";
    case 100:
        return "ファイルの末尾以降を読み込みました";
    case 101:
        return "ディスクがいっぱいです";
    case 106:
        return "入力値が数値ではありません";
    default:
        return "I/O エラー (" + std::to_string(code) + ")";
    }
}

int InOutCodeFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
        return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101;
    default:
        return error;
    }
}

std::string SystemErrorReason(int error) {
    switch (error) {
    case ENOENT:
        return "指定されたファイルが見つかりません。";
    case ENOTDIR:
        return "指定されたパスが見つかりません。";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました。";
    case EROFS:
        return "書き込み禁止のメディアです。";
    case EISDIR:
        return "フォルダです。";
    case ENOSPC:
    case EDQUOT:
        return "ディスクに十分な空き領域がありません。";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます。";
    default:
        return std::strerror(error);
    }
}

} // namespace varnoke
