// The main window driven as a user would, headless: settings and temp folder
// in a scratch folder, dialogs answered by the test, the preview replaced by
// a recorder of the pages it is asked to show, and the desktop's browser by
// a recorder of the pages it is asked to open.
#pragma once

#include "Eventually.h"
#include "FakeDialogs.h"
#include "TestSupport.h"
#include "app/preview/PreviewPane.h"
#include "app/window/Platform.h"

#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <deque>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace varnoke::test {

class TRecordingPreview : public TPreviewNavigator {
  public:
    std::vector<std::string> Pages;
    void Navigate(const TNativePath& path) override { Pages.push_back(path.Name()); }
};

class TWindowTest : public ::testing::Test {
  protected:
    // Starts the window over a settings file of the given content (none
    // when empty); `answers` answer the questions of the start-up. A window
    // already open is closed first.
    void Open(const std::string& ini = "", std::deque<TAnswer> answers = {}) {
        window.reset();
        if (!ini.empty())
            WriteFile(folder.File(places + "varnoke.INI"), ini);
        TPlatformEnvironment environment;
        environment.SettingsFile = folder.Native(places + "varnoke.INI");
        environment.TempFolder = folder.Native(places + "temp/");
        environment.RecoveryFolder = TNativePath(recoveryFolder);
        environment.RecoveryDelayMs = recoveryDelayMs;
        environment.DocumentsFolder = documentsFolder;
        environment.GuideFolder = guideFolder;
        auto fakeDialogs = std::make_unique<TFakeDialogs>();
        dialogs = fakeDialogs.get();
        dialogs->Answers = std::move(answers);
        environment.Dialogs = std::move(fakeDialogs);
        if (!realPreview) {
            environment.MakePreview = [this](QWidget*, QWidget*& widget) {
                widget = nullptr;
                return &preview;
            };
        }
        environment.OpenUrl = [this](const QUrl& url) {
            OpenedUrls.push_back(url);
            return true;
        };
        window = std::make_unique<TPlatform>(std::move(environment));
        window->OfferRecoveryAtStartUp();
    }

    // Shows the window and makes it the active one, so that focus moves as
    // a user's clicks and tabs move it.
    void ShowActive() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QApplication::processEvents();
    }

    template <typename T> T* Find(const char* name) {
        T* control = window->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QAction* Item(const char* name) { return window->Action(name); }
    std::string Temp(const std::string& name) { return folder.File(places + "temp/" + name); }
    QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

    // Writes a project and its text into the scratch folder.
    std::string Project(const std::string& name, const std::string& body,
                        const std::string& text = "A\r\n\tb\r\n") {
        WriteFile(folder.File(name + ".txt"), text);
        WriteFile(folder.File(name + ".vkp"),
                  "[PROJECT]\r\nTEXTNAME=" + folder.File(name + ".txt") + "\r\n" + body);
        return folder.File(name + ".vkp");
    }

    // The error boxes shown so far.
    QStringList Errors() const { return dialogs->Shown.filter(QRegularExpression("^error: ")); }

    TScratchFolder folder;
    // The folder of the settings file and the temp folder, inside the
    // scratch folder ("" for the scratch folder itself; ends with "/").
    std::string places;
    // Where recovery copies go (none when empty), and after how much idle time.
    std::string recoveryFolder;
    int recoveryDelayMs = 2000;
    // The user's documents folder and the bundled guide (none when empty).
    QString documentsFolder;
    QString guideFolder;
    TRecordingPreview preview;
    bool realPreview = false; // the embedded browser instead of the recorder
    std::vector<QUrl> OpenedUrls;
    TFakeDialogs* dialogs = nullptr;
    std::unique_ptr<TPlatform> window;
};

} // namespace varnoke::test
