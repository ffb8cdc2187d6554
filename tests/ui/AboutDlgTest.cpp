// The about dialog: window, picture, link and OK.
#include "ui/JpegPicture.h"
#include "ui/TAboutDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct RecordingOpener : ui::LinkOpener {
    QList<QUrl> opened;
    void open(const QUrl& url) override { opened << url; }
};

struct AboutDialog : testing::Test {
    RecordingOpener* opener = new RecordingOpener;
    ui::TAboutDlg dialog{nullptr, std::unique_ptr<ui::LinkOpener>(opener)};
};

TEST_F(AboutDialog, IsAFixedWindowWithItsCaption)
{
    EXPECT_EQ(dialog.windowTitle(), "About The Tessaric Design Tool");
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.picture()->geometry(), QRect(8, 8, 273, 209));
    EXPECT_TRUE(dialog.findChild<QLabel*>("Label1")->font().italic());
    EXPECT_EQ(dialog.link()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(AboutDialog, ShowsThePhotographScaledDownByLibjpeg)
{
    dialog.show();
    dialog.picture()->decodeNow();
    EXPECT_EQ(dialog.picture()->image().size(), QSize(326, 235));
    const QImage shown = dialog.picture()->grab().toImage();
    EXPECT_NE(shown.pixelColor(136, 20), shown.pixelColor(136, 200));   // sky above, land below
}

TEST_F(AboutDialog, ClickingTheLinkTwiceOpensItTwiceAndStaysOpen)
{
    dialog.show();
    QTest::mouseClick(dialog.link(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseClick(dialog.link(), Qt::LeftButton, {}, QPoint(10, 20));
    ASSERT_EQ(opener->opened.size(), 2);
    EXPECT_EQ(opener->opened[0], QUrl("http://tango.freedesktop.org/Tango_Desktop_Project"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AboutDialog, OkClosesWithTheResultOk)
{
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("BitBtn1"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(JpegPicture, ACorruptPictureShowsEmptyWithoutACrash)
{
    ui::JpegPicture picture;
    picture.resize(273, 209);
    picture.setJpegData(QByteArray("\xFF\xD8\xFF\xE0 broken", 12));
    picture.show();
    picture.decodeNow();
    EXPECT_TRUE(picture.decoded());
    EXPECT_TRUE(picture.image().isNull());
    EXPECT_FALSE(picture.error().isEmpty());
    EXPECT_FALSE(picture.grab().isNull());
}

} // namespace
