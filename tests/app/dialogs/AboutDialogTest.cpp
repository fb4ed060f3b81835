#include "app/dialogs/AboutDialog.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace varnoke;

namespace {

constexpr int ImageRight = 80;

class AboutDialogTest : public ::testing::Test {
  protected:
    // The main window's box.
    static void SetUpLikeMainWindow(TAboutDialog& about) {
        about.SetAppName(QStringLiteral("Varnoke V2"));
        about.SetCaption(QStringLiteral("VARNOKE2について"));
        about.SetCloseButton(QStringLiteral("閉じる"));
        about.SetFormWidth(304);
        about.SetFormHeight(104);
        about.SetVersion(QStringLiteral("バージョン 2.00α 【2004年3月31日(水)】"));
        about.SetMemo(QStringLiteral("Varnoke V2"));
        QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
        font.setPixelSize(12);
        about.SetFont(font);
    }

    static QLabel* Label(QDialog& box, const char* name) {
        return box.findChild<QLabel*>(QString::fromLatin1(name));
    }

    // A label's centre lies in the middle of the area right of the image,
    // less the right margin; the division may leave half a pixel.
    static void ExpectCentredRightOfImage(const QLabel& label, int clientWidth) {
        int twiceCentre = 2 * label.x() + label.width();
        EXPECT_NEAR(twiceCentre, ImageRight + clientWidth - 8, 1)
            << label.objectName().toStdString();
    }
};

TEST_F(AboutDialogTest, ABoxItsTextsFitKeepsTheDesignedPlaces) {
    TAboutDialog about;
    SetUpLikeMainWindow(about);
    about.SetVersion(QStringLiteral("2.00"));
    std::unique_ptr<QDialog> box = about.CreateDialog();

    EXPECT_EQ(box->windowTitle(), QStringLiteral("VARNOKE2について"));
    // The designed width; the height grows by what the lines need (the
    // designed 104 pixels put the credit line over the version line).
    EXPECT_EQ(box->width(), 304);
    EXPECT_GE(box->height(), 104);
    EXPECT_EQ(box->minimumSize(), box->maximumSize()); // a dialog border: no resizing
    EXPECT_FALSE(box->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(box->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));

    auto* close = box->findChild<QPushButton*>(QStringLiteral("CloseButton"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->geometry(), QRect(120, box->height() - 32, 64, 24));
    EXPECT_EQ(close->text(), QStringLiteral("閉じる"));

    QLabel* image = Label(*box, "Image");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->geometry(), QRect(16, 8, 64, 64));

    QLabel* name = Label(*box, "AppName");
    QLabel* version = Label(*box, "Version");
    QLabel* memo = Label(*box, "Memo");
    ASSERT_TRUE(name && version && memo);
    EXPECT_EQ(name->text(), QStringLiteral("Varnoke V2"));
    EXPECT_EQ(name->y(), 8);
    EXPECT_EQ(version->y(), std::max(36, 8 + name->height()));
    EXPECT_EQ(name->font().pointSize(), 16);
    EXPECT_EQ(version->font().pointSize(), 10);
    EXPECT_EQ(memo->font().pointSize(), 10);
    EXPECT_EQ(memo->font().family(), box->font().family());
    // The credit line ends 8 pixels above the close button.
    EXPECT_EQ(memo->y() + QFontMetrics(memo->font()).height(), close->y() - 8);
    for (QLabel* label : {name, version, memo})
        ExpectCentredRightOfImage(*label, box->width());
}

TEST_F(AboutDialogTest, TheMainWindowsBoxGrowsSoThatNothingOverlaps) {
    TAboutDialog about;
    SetUpLikeMainWindow(about);
    about.SetMemo(QStringLiteral("Linux 版 (Qt 6)"));
    std::unique_ptr<QDialog> box = about.CreateDialog();
    EXPECT_GE(box->width(), 304);
    EXPECT_GE(box->height(), 104);
    const QRect image = Label(*box, "Image")->geometry();
    const QRect close = box->findChild<QPushButton*>("CloseButton")->geometry();
    std::vector<QRect> labels;
    for (const char* name : {"AppName", "Version", "Memo"}) {
        const QRect label = Label(*box, name)->geometry();
        EXPECT_GE(label.left(), image.right() + 1) << name; // not under the image
        EXPECT_LE(label.right(), box->width() - 1) << name;
        EXPECT_LE(label.bottom(), close.top() - 1) << name;
        for (const QRect& other : labels)
            EXPECT_FALSE(label.intersects(other)) << name;
        labels.push_back(label);
    }
    EXPECT_EQ(close.bottom(), box->height() - 8 - 1);
    EXPECT_EQ(close.left(), (box->width() - 64) / 2);
}

TEST_F(AboutDialogTest, DefaultsPlaceTheBoxWhereDesigned) {
    TAboutDialog about;
    EXPECT_EQ(about.FormWidth(), 320);
    EXPECT_EQ(about.FormHeight(), 120);
    EXPECT_EQ(about.FormPosition(), TFPosition::fpDesigned);
    about.SetFormLeft(30);
    about.SetFormTop(-5);
    std::unique_ptr<QDialog> box = about.CreateDialog();
    EXPECT_EQ(box->pos(), QPoint(30, -5));
    EXPECT_EQ(box->findChild<QPushButton*>("CloseButton")->geometry(), QRect(128, 88, 64, 24));
}

TEST_F(AboutDialogTest, AWideLabelWidensTheBoxRatherThanRunUnderTheImage) {
    TAboutDialog about;
    SetUpLikeMainWindow(about);
    about.SetVersion(QString(60, QChar('W')));
    std::unique_ptr<QDialog> box = about.CreateDialog();
    QLabel* version = Label(*box, "Version");
    ASSERT_GT(version->width(), 304 - ImageRight - 8);
    EXPECT_GE(version->x(), ImageRight);
    EXPECT_GT(box->width(), 304);
    ExpectCentredRightOfImage(*version, box->width());
}

TEST_F(AboutDialogTest, CentresOverTheMainWindowEvenPartlyOffScreen) {
    QMainWindow main;
    main.setGeometry(-250, 40, 601, 400);
    TAboutDialog about(&main);
    SetUpLikeMainWindow(about);
    about.SetFormPosition(TFPosition::fpMainFormCenter);
    std::unique_ptr<QDialog> box = about.CreateDialog();
    const QRect frame = main.frameGeometry();
    const QSize outer = box->frameGeometry().size();
    EXPECT_EQ(box->pos(), QPoint(frame.x() + (frame.width() - outer.width()) / 2,
                                 frame.y() + (frame.height() - outer.height()) / 2));
    EXPECT_EQ(box->parentWidget(), &main);

    about.SetFormPosition(TFPosition::fpScreenCenter);
    box = about.CreateDialog();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(box->pos(),
              QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
}

TEST_F(AboutDialogTest, ExecuteIsModalAndReturnsWhenClosed) {
    TAboutDialog about;
    SetUpLikeMainWindow(about);
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        wasModal = box->windowTitle() == QStringLiteral("VARNOKE2について");
        box->findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
    });
    about.Execute();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

struct TVersionLineCase {
    const char* Version;
    const char* Date;
    const char* Line;
};

TEST(AboutVersionLine, NamesTheReleaseAndItsDayOfTheWeek) {
    const TVersionLineCase rows[] = {
        {"2.00α", "2004-03-31", "バージョン 2.00α 【2004年3月31日(水)】"},
        {"2.0.0", "2026-12-08", "バージョン 2.0.0 【2026年12月8日(火)】"},
        {"2.1.0", "2026-12-13", "バージョン 2.1.0 【2026年12月13日(日)】"},
        {"2.1.0", "2027-02-01", "バージョン 2.1.0 【2027年2月1日(月)】"},
        {"2.0.0", "", "バージョン 2.0.0"},
        {"2.0.0", "2026-13-01", "バージョン 2.0.0"},
    };
    for (const TVersionLineCase& row : rows)
        EXPECT_EQ(AboutVersionLine(QString::fromUtf8(row.Version), QString::fromUtf8(row.Date)),
                  QString::fromUtf8(row.Line))
            << row.Date;
}

} // namespace
