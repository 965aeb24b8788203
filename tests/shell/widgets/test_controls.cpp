// The reusable controls: the numeric edit's key filter, the picture toolbar's transparent colour
// and failure rule, the summary panel's texts and keys.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include "ShellTestSupport.h"
#include "shell/widgets/controls/CNumericEdit.h"
#include "shell/widgets/controls/CPictureToolBar.h"
#include "shell/widgets/controls/CSummaryBar.h"
#include "shell/widgets/controls/Pictures.h"

using namespace shakemeter;

TEST(NumericEditTest, PassesOnlyTheCharactersOfANumber) {
    CNumericEdit edit;
    QTest::keyClicks(&edit, QStringLiteral("12a.5-"));
    EXPECT_EQ(edit.text(), QStringLiteral("12.5-"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("12.5"));
    QTest::keyClicks(&edit, QStringLiteral(" e+,x"));
    EXPECT_EQ(edit.text(), QStringLiteral("12.5"));
    // Pasting is not filtered; the dialogs normalise the text themselves.
    edit.insert(QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("12.5abc"));
}

namespace {

// A strip of `count` pictures of width cx on a magenta ground, each with a coloured square.
QImage Strip(int count, int cx, QRgb ground = qRgb(255, 0, 255)) {
    QImage image(count * cx, 28, QImage::Format_RGB32);
    image.fill(ground);
    for (int i = 0; i < count; ++i) {
        for (int y = 8; y < 20; ++y) {
            for (int x = 8; x < 20; ++x) {
                image.setPixel(i * cx + x, y, qRgb(0, 40 * i, 200));
            }
        }
    }
    return image;
}

}  // namespace

TEST(PictureToolBarTest, TheFirstStoredPixelsColourIsTransparentInEveryPicture) {
    QImage strip = Strip(3, 28);
    strip.setPixel(0, 0, qRgb(10, 10, 10));  // the top-left pixel does not decide
    std::vector<QPixmap> images;
    ASSERT_TRUE(CPictureToolBar::LoadImageList(strip, 28, images));
    ASSERT_EQ(images.size(), 3u);
    for (const QPixmap& p : images) {
        const QImage img = p.toImage();
        EXPECT_EQ(qAlpha(img.pixel(2, 2)), 0);
        EXPECT_EQ(qAlpha(img.pixel(27, 27)), 0);
        EXPECT_EQ(qAlpha(img.pixel(10, 10)), 255);
    }
    EXPECT_EQ(qAlpha(images[0].toImage().pixel(0, 0)), 255) << "another colour stays opaque";
    // A strip whose bottom-left pixel is another colour keys that colour instead of magenta.
    QImage grey = Strip(1, 28, qRgb(192, 192, 192));
    ASSERT_TRUE(CPictureToolBar::LoadImageList(grey, 28, images));
    EXPECT_EQ(qAlpha(images[0].toImage().pixel(1, 1)), 0);
}

TEST(PictureToolBarTest, OnlyWholePicturesAreCutAndAMissingHotStripStopsTheLists) {
    std::vector<QPixmap> images;
    ASSERT_TRUE(CPictureToolBar::LoadImageList(QImage(395, 28, QImage::Format_RGB32), 99, images));
    EXPECT_EQ(images.size(), 3u);
    EXPECT_FALSE(CPictureToolBar::LoadImageList(QImage(20, 28, QImage::Format_RGB32), 28, images));

    CPictureToolBar bar;
    for (int i = 0; i < 3; ++i) {
        bar.AddPictureButton(new QAction(QStringLiteral("b%1").arg(i), &bar));
    }
    EXPECT_FALSE(bar.SetImageLists(28, Strip(3, 28), QImage(), Strip(3, 28)));
    EXPECT_TRUE(bar.HasImageList(CPictureToolBar::Normal));
    EXPECT_FALSE(bar.HasImageList(CPictureToolBar::Hot));
    EXPECT_FALSE(bar.HasImageList(CPictureToolBar::Disabled)) << "the disabled list is not set after a failure";
    // A hot strip shorter than the toolbar: the later buttons keep their normal picture.
    EXPECT_TRUE(bar.SetImageLists(28, Strip(3, 28), Strip(2, 28), Strip(3, 28)));
    EXPECT_FALSE(bar.actions().at(2)->icon().isNull());
    EXPECT_EQ(bar.iconSize(), QSize(28, 28));
}

TEST(PictureToolBarTest, TheProgramsStripsHoldThirteenButtonPictures) {
    CPictureToolBar bar;
    EXPECT_TRUE(bar.SetImageLists(28, 264, 263, 264));
    EXPECT_EQ(bar.Images(CPictureToolBar::Normal).size(), 13u);
    EXPECT_EQ(bar.Images(CPictureToolBar::Hot).size(), 13u);
    EXPECT_FALSE(bar.SetImageLists(28, 264, 999, 264));
    for (int id : {229, 230, 231, 232, 234, 235, 236, 262}) {
        EXPECT_EQ(LoadBitmap(id).size(), QSize(99, 28)) << id;
    }
    EXPECT_EQ(LoadBitmap(252).size(), QSize(400, 372));
    EXPECT_EQ(LoadBitmap(270).size(), QSize(150, 49));
    EXPECT_EQ(LoadIconPicture(266).size(), QSize(25, 81));
}

TEST(SummaryBarTest, ShowsTheTwentyTextsInTheirFields) {
    CSummaryBar bar;
    SummaryTexts texts;
    texts.startTime = "05/03/23 14:07:09";
    texts.samplingRate = "0.050";
    texts.samples = "7";
    texts.unit = "g";
    texts.mode = "Motion Detection";
    texts.threshold = {"4", "NONE", "18"};
    texts.max = {"1.23 @ 05/03/23 14:07:09 500ms", "b", "c", "d"};
    texts.min = {"e", "f", "g", "h"};
    texts.avg = {"0.10", "0.20", "0.30", "0.40"};
    bar.SetTexts(texts);
    EXPECT_EQ(bar.Field(1014)->text(), QStringLiteral("05/03/23 14:07:09"));
    EXPECT_EQ(bar.Field(1080)->text(), QStringLiteral("0.050"));
    EXPECT_EQ(bar.Field(1091)->text(), QStringLiteral("NONE"));
    EXPECT_EQ(bar.Field(1076)->text(), QStringLiteral("1.23 @ 05/03/23 14:07:09 500ms"));
    EXPECT_EQ(bar.Field(1097)->text(), QStringLiteral("h"));
    EXPECT_EQ(bar.Field(1098)->text(), QStringLiteral("0.40"));
    for (int id : CSummaryBar::kFieldIds) {
        ASSERT_NE(bar.Field(id), nullptr);
        EXPECT_TRUE(bar.Field(id)->isReadOnly());
    }
    EXPECT_EQ(bar.palette().color(QPalette::Window), QColor(220, 220, 220));
    EXPECT_EQ(bar.Field(1014)->palette().color(QPalette::Base), QColor(220, 220, 220));
}

TEST(SummaryBarTest, EnterAndEscapeDoNothing) {
    QWidget host;
    auto* bar = new CSummaryBar(&host);
    int shortcuts = 0;
    auto* escape = new QAction(&host);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(escape, &QAction::triggered, [&] { ++shortcuts; });
    host.addAction(escape);
    host.show();
    bar->Field(1014)->setFocus();
    QTest::keyClick(bar->Field(1014), Qt::Key_Escape);
    QTest::keyClick(bar->Field(1014), Qt::Key_Return);
    QTest::keyClick(bar, Qt::Key_Enter);
    EXPECT_EQ(shortcuts, 0);
    EXPECT_TRUE(bar->isVisible());
}
