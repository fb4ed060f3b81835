// The real file dialogs, answered by the test as a user would: a name typed
// into the dialog, then the question about replacing a file.
#include "app/dialogs/Dialogs.h"
#include "Eventually.h"
#include "TestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace varnoke;
using namespace varnoke::test;

namespace {

// Runs a step once a visible modal window of the kind it wants is up; a
// step may queue the next one before it closes its window.
template <typename TWindow> void Then(const std::function<void(TWindow*)>& step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        auto* modal = qobject_cast<TWindow*>(QApplication::activeModalWidget());
        if (modal == nullptr || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        step(modal);
    });
    timer->start();
}

// Types a name into the file dialog and confirms it; shownAt gets the file
// the dialog offered. A dialog that offers a file selects it once it has
// read the folder, which must not happen after the typing.
void TypeName(QFileDialog* dialog, const QString& name, QString* shownAt = nullptr) {
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    if (!edit->text().isEmpty()) {
        const QString offered = dialog->directory().absoluteFilePath(edit->text());
        ASSERT_TRUE(Eventually([&] { return dialog->selectedFiles().value(0) == offered; }, 3000));
        if (shownAt != nullptr)
            *shownAt = offered;
    }
    // As the user's typing does, with the field in focus.
    dialog->activateWindow();
    edit->setFocus();
    ASSERT_TRUE(Eventually([&] { return edit->hasFocus(); }, 3000));
    edit->selectAll();
    QTest::keyClicks(edit, name);
    QMetaObject::invokeMethod(dialog, "accept");
}

// Answers the question with the button of that caption.
void Answer(QMessageBox* box, const QString& caption, QString* asked = nullptr) {
    if (asked != nullptr)
        *asked = box->text();
    for (QAbstractButton* button : box->buttons())
        if (button->text() == caption)
            button->click();
}

using TFileStep = std::function<void(QFileDialog*)>;
using TBoxStep = std::function<void(QMessageBox*)>;

class DialogsTest : public ::testing::Test {
  protected:
    QString Native(const std::string& name) { return QString::fromStdString(folder.File(name)); }
    TFileDialogOptions Options(const QString& suffix) {
        TFileDialogOptions options;
        options.Filter = QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙ (*.vkp)");
        options.DefaultSuffix = suffix;
        options.InitialPath = QString::fromStdString(folder.Path());
        return options;
    }

    TScratchFolder folder;
    QWidget owner;
    TQtDialogs dialogs{&owner};
};

TEST_F(DialogsTest, SavingAsksAboutTheNameWithItsSuffix) {
    WriteFile(folder.File("x.vkp"), "[PROJECT]\r\n");
    QString asked;
    QString shownAgainAt;
    Then<QFileDialog>(TFileStep([&](QFileDialog* dialog) {
        Then<QMessageBox>(TBoxStep([&](QMessageBox* box) {
            Then<QFileDialog>(
                TFileStep([&](QFileDialog* again) { TypeName(again, "y", &shownAgainAt); }));
            Answer(box, QStringLiteral("いいえ(&N)"), &asked);
        }));
        TypeName(dialog, "x");
    }));
    EXPECT_EQ(dialogs.SaveFile(Options("vkp")), Native("y.vkp"));
    EXPECT_TRUE(asked.startsWith(Native("x.vkp") + " は既に存在します")) << asked.toStdString();
    // Asked again at the name it refused.
    EXPECT_EQ(shownAgainAt, Native("x.vkp"));

    Then<QFileDialog>(TFileStep([&](QFileDialog* dialog) {
        Then<QMessageBox>(
            TBoxStep([&](QMessageBox* box) { Answer(box, QStringLiteral("はい(&Y)")); }));
        TypeName(dialog, "x");
    }));
    EXPECT_EQ(dialogs.SaveFile(Options("vkp")), Native("x.vkp"));

    // A new name is taken without a question; a name with its own suffix
    // keeps it.
    Then<QFileDialog>(TFileStep([&](QFileDialog* dialog) { TypeName(dialog, "z.txt"); }));
    EXPECT_EQ(dialogs.SaveFile(Options("vkp")), Native("z.txt"));
}

TEST_F(DialogsTest, OpeningAddsTheDefaultSuffixAndMayNameANewFile) {
    WriteFile(folder.File("picture.jpg"), "jpeg");
    Then<QFileDialog>(TFileStep([&](QFileDialog* dialog) { TypeName(dialog, "picture"); }));
    EXPECT_EQ(dialogs.OpenFile(Options("jpg")), Native("picture.jpg"));

    TFileDialogOptions project = Options("vkp");
    project.MustExist = false;
    Then<QFileDialog>(TFileStep([&](QFileDialog* dialog) { TypeName(dialog, "new"); }));
    EXPECT_EQ(dialogs.OpenFile(project), Native("new.vkp"));
}

TEST_F(DialogsTest, ADialogOpensAtTheFileItIsGiven) {
    WriteFile(folder.File("mine.vkp"), "[PROJECT]\r\n");
    TFileDialogOptions options = Options("vkp");
    options.InitialPath = Native("mine.vkp");
    QString shownAt;
    Then<QFileDialog>(TFileStep([&](QFileDialog* dialog) { TypeName(dialog, "other", &shownAt); }));
    dialogs.SaveFile(options);
    EXPECT_EQ(shownAt, Native("mine.vkp"));
}

TEST(SettleSaveName, TheSuffixComesBeforeTheQuestion) {
    TScratchFolder folder;
    WriteFile(folder.File("a.vkp"), "");
    const QString a = QString::fromStdString(folder.File("a"));
    std::vector<QString> questions;
    std::vector<QString> shownAt;
    std::vector<std::optional<QString>> picks = {a, a + ".vkp", std::nullopt};
    size_t next = 0;
    const auto pick = [&](const QString& at) {
        shownAt.push_back(at);
        return picks[next++];
    };
    const auto refuse = [&](const QString& name) {
        questions.push_back(name);
        return false;
    };
    EXPECT_EQ(SettleSaveName(pick, refuse, "vkp", "start"), std::nullopt);
    EXPECT_EQ(questions, (std::vector<QString>{a + ".vkp", a + ".vkp"}));
    EXPECT_EQ(shownAt, (std::vector<QString>{"start", a + ".vkp", a + ".vkp"}));

    EXPECT_EQ(WithDefaultSuffix("/d/a", "vkp"), "/d/a.vkp");
    EXPECT_EQ(WithDefaultSuffix("/d.x/a", "vkp"), "/d.x/a.vkp");
    EXPECT_EQ(WithDefaultSuffix("/d/a.txt", "vkp"), "/d/a.txt");
    EXPECT_EQ(WithDefaultSuffix("/d/a", ""), "/d/a");
}

} // namespace
