// Files that are no plain files, met where the window reads: each is
// refused with its name, and the window goes on. A pipe is the sharp case:
// opening one to read waits until some program writes to it.
#include "WindowTest.h"
#include "app/preview/HtmlThumbnail.h"
#include "app/window/ExternalFiles.h"
#include "common/PathNames.h"
#include "common/RecoveryCopy.h"

#include <functional>
#include <sys/stat.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class UnusualFiles : public TWindowTest {
  protected:
    std::string Pipe(const std::string& name) {
        const std::string path = folder.File(name);
        std::filesystem::remove(path); // the settings file of an earlier start
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
        return path;
    }
};

TEST_F(UnusualFiles, APipeWhereTheWindowReadsIsRefusedAndTheWindowGoesOn) {
    recoveryFolder = folder.File("recovery/");
    const struct {
        const char* Name;
        std::function<void()> Act; // ends with the window open
        QString Said;              // part of what the window says, with the pipe's name
    } rows[] = {
        {"FileArgumentText",
         [&] {
             Open();
             OpenExternalFile(*window, Q(Pipe("t.txt")));
         },
         Q("error: ファイル \"" + folder.File("t.txt") + "\". 通常のファイルではありません")},
        {"FileArgumentProject",
         [&] {
             Open();
             OpenExternalFile(*window, Q(Pipe("p.vkp")));
         },
         Q("error: ファイル \"" + folder.File("p.vkp") + "\". 通常のファイルではありません")},
        {"TextOfAProject",
         [&] {
             Open();
             WriteFile(folder.File("q.vkp"), "[PROJECT]\r\nTEXTNAME=" + Pipe("q.txt") + "\r\n");
             dialogs->FileNames = {Q(folder.File("q.vkp"))};
             Item("O1")->trigger();
         },
         Q("error: ファイル \"" + folder.File("q.txt") + "\". 通常のファイルではありません")},
        {"RecoveryCopy",
         [&] {
             const TRecoveryFolder recovery(TNativePath{recoveryFolder});
             ForceDirectories(recovery.Folder());
             Pipe("recovery/" + ExtractFileName(recovery.CopyFileOf("").Name()));
             Open();
         },
         Q("warning: 復元用のコピー \"" +
           TRecoveryFolder(TNativePath{recoveryFolder}).CopyFileOf("").Name())},
        // Last: every later start would meet it.
        {"SettingsFile",
         [&] {
             Pipe("varnoke.INI");
             Open();
         },
         Q("error: ファイル \"" + folder.File("varnoke.INI") + "\". 通常のファイルではありません")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        row.Act();
        ASSERT_TRUE(window);
        EXPECT_FALSE(dialogs->Shown.filter(row.Said).isEmpty())
            << dialogs->Shown.join('\n').toStdString();
    }
}

TEST(UnusualFileThumbnail, APipeAsThePictureOrTheSheetIsPassedOver) {
    TScratchFolder folder;
    WriteFile(folder.File("page.html"),
              "<html><head><link href=\"s.css\" rel=\"stylesheet\" type=\"text/css\">"
              "<link href=\"pipe.css\" rel=\"stylesheet\" type=\"text/css\"></head>"
              "<body><p>x</p></body></html>");
    WriteFile(
        folder.File("s.css"),
        "body {\r\n\tbackground-color: #00ff00;\r\n\tbackground-image: url(\"pic.png\");\r\n}\r\n");
    for (const char* pipe : {"pic.png", "pipe.css"})
        ASSERT_EQ(::mkfifo(folder.File(pipe).c_str(), 0600), 0);
    QImage image(228, 120, QImage::Format_RGB32);
    EXPECT_TRUE(ExtractHtmlThumbnail(folder.Native("page.html"), image, 0x206));
    EXPECT_EQ(image.pixelColor(200, 110), QColor(0, 255, 0));
}

} // namespace
