#include "app/window/QtTranslation.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace varnoke;

namespace {

// Words of Qt's own dialogs: the standard buttons (input box, file
// dialogs) and the file dialog's title when opening.
struct TQtWord {
    const char* Context;
    const char* English;
    const char* Japanese;
};

const TQtWord Words[] = {
    {"QPlatformTheme", "Cancel", "キャンセル"},
    {"QPlatformTheme", "Save", "保存"},
    {"QFileDialog", "Open", "開く"},
};

QString Translated(const TQtWord& word) {
    return QCoreApplication::translate(word.Context, word.English);
}

TEST(QtTranslation, QtsDialogsSpeakJapaneseWhateverTheLocale) {
    std::unique_ptr<QTranslator> translator(InstallQtJapanese());
    // scripts/install-deps installs it, and the package depends on it.
    ASSERT_NE(translator, nullptr)
        << "no qtbase_ja in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
    for (const TQtWord& word : Words)
        EXPECT_EQ(Translated(word), QString::fromUtf8(word.Japanese)) << word.English;
    translator.reset();
    for (const TQtWord& word : Words)
        EXPECT_EQ(Translated(word), QString::fromUtf8(word.English)) << word.English;
}

TEST(QtTranslation, AMissingTranslationLeavesQtsWordsAlone) {
    QTemporaryDir empty;
    EXPECT_EQ(InstallQtJapanese(empty.path()), nullptr);
    for (const TQtWord& word : Words)
        EXPECT_EQ(Translated(word), QString::fromUtf8(word.English)) << word.English;
}

} // namespace
