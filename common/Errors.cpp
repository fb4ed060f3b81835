#include "common/Errors.h"

#include <cerrno>
#include <cstring>

namespace varnoke {

EInOutError::EInOutError(int code, TNativePath fileName)
    : EVarnokeError(InOutErrorMessage(code)), code_(code), fileName_(std::move(fileName)) {}

EFOpenError::EFOpenError(const TNativePath& fileName, const std::string& reason)
    : EVarnokeError("ファイル \"" + fileName.Name() + "\". " + reason + " は開けません") {}

EFCreateError::EFCreateError(const TNativePath& fileName, const std::string& reason)
    : EVarnokeError("ファイル \"" + fileName.Name() + "\". " + reason + " を作成できません") {}

ENotProjectFile::ENotProjectFile(const TNativePath& fileName)
    : EVarnokeError("ファイル \"" + fileName.Name() + "\". プロジェクトファイルではありません") {}

EIniFileError::EIniFileError(const TNativePath& fileName)
    : EVarnokeError(fileName.Name() + " に書き込めません") {}

EOverwritesInput::EOverwritesInput(const TNativePath& outputFile, const TNativePath& inputFile)
    : EVarnokeError("ファイル \"" + outputFile.Name() + "\" は入力のファイル \"" +
                    inputFile.Name() +
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
