// What the window says about its builds: Execute's result in the status
// line, a failing preview told once and then shown until a build succeeds,
// file errors that name their file, and a temp folder that holds the
// current build and nothing older.
#include "WindowTest.h"
#include "app/window/StatusLine.h"
#include "controls/ExtMemo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <filesystem>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class BuildStatus : public TWindowTest {
  protected:
    // Types an output folder as a user does: the field, then Enter.
    void TypeOutputFolder(const std::string& path) {
        auto* edit3 = Find<QLineEdit>("Edit3");
        edit3->clear();
        QTest::keyClicks(edit3, Q(path));
        QTest::keyClick(edit3, Qt::Key_Return);
    }
    TStatusLine& Status() { return window->StatusLine(); }
};

TEST_F(BuildStatus, ExecuteMakesAMissingFolderAndSaysWhenItHasFinished) {
    Open();
    window->Editor().setPlainText("One\n\tpart\n");
    TypeOutputFolder(folder.File("out/manual"));
    Find<QPushButton>("Button8")->click();
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
    EXPECT_TRUE(Exists(folder.File("out/manual/text.html")));

    const QString message = Status().MessageText();
    EXPECT_TRUE(message.contains(Q(folder.File("out/manual/")))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("7 ファイル"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral(" 秒)"))) << message.toStdString();
    QToolButton* open = Status().OpenButton();
    EXPECT_FALSE(open->isHidden());
    EXPECT_EQ(open->text(), QStringLiteral("text.html を開く"));
    open->click();
    ASSERT_EQ(OpenedUrls.size(), 1u);
    EXPECT_EQ(OpenedUrls[0], QUrl::fromLocalFile(Q(folder.File("out/manual/text.html"))));

    // A frame set opens at its frame page; the tool button builds the same.
    window->ProjectData().ContentsType = 1;
    Item("ToolButton7")->trigger();
    Status().OpenButton()->click();
    EXPECT_EQ(OpenedUrls.back(), QUrl::fromLocalFile(Q(folder.File("out/manual/frame.html"))));
}

TEST_F(BuildStatus, ARelativeOutputFolderOfTheBundledExampleIsMadeBesideTheProject) {
    Open();
    const std::string example = folder.File("example/");
    std::filesystem::create_directories(example);
    std::filesystem::copy(VARNOKE_EXAMPLES "/guide.vkp", example + "guide.vkp");
    std::filesystem::copy(VARNOKE_EXAMPLES "/guide.txt", example + "guide.txt");
    window->OpenProject(example + "guide.vkp");
    ASSERT_FALSE(window->ProjectData().OutputPath.empty());
    ASSERT_NE(window->ProjectData().OutputPath[0], '/');
    Find<QPushButton>("Button8")->click();
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
    EXPECT_TRUE(Exists(example + window->ProjectData().OutputPath + "/frame.html"));
}

TEST_F(BuildStatus, FileErrorsNameTheFile) {
    Open();
    std::filesystem::create_directories(folder.File("site/title.css"));
    TypeOutputFolder(folder.File("site"));
    Find<QPushButton>("Button8")->click();
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_EQ(Errors()[0], "error: ファイル \"" + Q(folder.File("site/title.css")) +
                               "\". ファイルへのアクセスが拒否されました.");
    EXPECT_TRUE(Status().MessageText().isEmpty());

    // A folder that cannot be made names itself as well.
    WriteFile(folder.File("plain"), "a file");
    TypeOutputFolder(folder.File("plain/sub"));
    Find<QPushButton>("Button8")->click();
    ASSERT_EQ(Errors().size(), 2);
    EXPECT_TRUE(Errors()[1].contains(Q(folder.File("plain/sub")))) << Errors()[1].toStdString();
}

TEST_F(BuildStatus, AFailingPreviewIsToldOnceThenShownUntilABuildSucceeds) {
    Open();
    auto* editor = &window->Editor();
    QTest::keyClicks(editor, "A");
    // The temp folder stops taking files: a folder now holds a page's name.
    std::filesystem::remove(Temp("title.css"));
    std::filesystem::create_directory(Temp("title.css"));
    QTest::keyClicks(editor, "bc");
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains(Q(Temp("title.css"))));
    EXPECT_TRUE(Status().PreviewFailing());
    EXPECT_TRUE(Status().PreviewFailureText().contains(Q(Temp("title.css"))));
    const size_t shown = preview.Pages.size();
    QTest::keyClicks(editor, "de");
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_EQ(preview.Pages.size(), shown); // nothing new to show

    std::filesystem::remove(Temp("title.css"));
    QTest::keyClicks(editor, "f");
    EXPECT_FALSE(Status().PreviewFailing());
    EXPECT_TRUE(Status().PreviewFailureText().isEmpty());
    EXPECT_NE(ReadFile(Temp("text.html")).find("Abcdef"), std::string::npos);

    // Failing again is news again.
    std::filesystem::remove(Temp("title.css"));
    std::filesystem::create_directory(Temp("title.css"));
    QTest::keyClicks(editor, "g");
    EXPECT_EQ(Errors().size(), 2);
}

TEST_F(BuildStatus, StartUpShowsTheRestoredStateNotAnEarlierRunsManual) {
    std::filesystem::create_directories(Temp(""));
    for (const char* page : {"text.html", "text5.html", "frame.html"})
        WriteFile(Temp(page), "earlier run");
    WriteFile(Temp("notes.txt"), "not a page");
    Open();
    EXPECT_EQ(ReadFile(Temp("text.html")).find("earlier run"), std::string::npos);
    EXPECT_EQ(ReadFile(Temp("frame.html")).find("earlier run"), std::string::npos);
    EXPECT_FALSE(Exists(Temp("text5.html")));
    EXPECT_TRUE(Exists(Temp("notes.txt")));
    ASSERT_FALSE(preview.Pages.empty());
    EXPECT_EQ(preview.Pages.back(), Temp("text.html"));
}

TEST_F(BuildStatus, ThePreviewFolderHoldsOnlyTheCurrentBuildTheOutputFolderIsKept) {
    Open();
    window->Editor().setPlainText("A\nB\nC\n");
    window->ProjectData().FileDivideFlag = true;
    window->MakePreview();
    EXPECT_TRUE(Exists(Temp("text2.html")));
    EXPECT_FALSE(Exists(Temp("text.html")));
    window->Editor().setPlainText("A\n");
    EXPECT_FALSE(Exists(Temp("text1.html")));
    EXPECT_TRUE(Exists(Temp("text0.html")));

    std::filesystem::create_directories(folder.File("site"));
    WriteFile(folder.File("site/text9.html"), "the reader's own");
    TypeOutputFolder(folder.File("site"));
    Find<QPushButton>("Button8")->click();
    EXPECT_TRUE(Exists(folder.File("site/text9.html")));
    EXPECT_TRUE(Exists(folder.File("site/text0.html")));
}

TEST_F(BuildStatus, AnUnusableTempFolderAtStartUpIsToldOnce) {
    WriteFile(folder.File("temp"), "a file where the folder should be");
    Open();
    ASSERT_EQ(Errors().size(), 1) << Errors().join("\n").toStdString();
    EXPECT_TRUE(Status().PreviewFailing());
    QTest::keyClicks(&window->Editor(), "abc");
    EXPECT_EQ(Errors().size(), 1);
}

} // namespace

// Execute refuses a manual whose pages would replace the author's files: the
// common error box names both, and nothing is written.
TEST_F(BuildStatus, ExecuteNeverWritesOverTheTextOrTheProject) {
    Open();
    for (const auto& [project, text] :
         {std::pair<const char*, const char*>{"g.vkp", "text.html"}, {"frame.html", "g.txt"}}) {
        const std::string site = folder.File(std::string("site-") + project + "/");
        std::filesystem::create_directories(site);
        WriteFile(site + text, "A\r\n\t\tauthor's text\r\n");
        WriteFile(site + project,
                  std::string("[PROJECT]\r\nTEXTNAME=") + text + "\r\nOUTPUTPATH=.\r\n");
        window->OpenProject(site + project);
        const size_t before = Errors().size();
        Find<QPushButton>("Button8")->click();
        ASSERT_EQ(Errors().size(), before + 1) << project;
        const std::string input = std::string(text) == "text.html" ? text : project;
        EXPECT_TRUE(Errors().last().contains(Q(site + input))) << Errors().last().toStdString();
        EXPECT_TRUE(Errors().last().contains(QStringLiteral("同じファイル")));
        EXPECT_EQ(ReadFile(site + text), "A\r\n\t\tauthor's text\r\n");
        EXPECT_FALSE(Exists(site + "title.css")) << project;
    }
}
