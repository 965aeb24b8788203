// The reusable controls: the numeric edit's key filter, the picture toolbar's transparent colour
// and failure rule, the summary panel's texts and keys.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>

#include "controls/CInstrumentPanel.h"
#include "controls/CNumericEdit.h"
#include "controls/CPictureToolBar.h"
#include "controls/CSummaryBar.h"
#include "controls/Pictures.h"

using namespace shakemeter;

TEST(NumericEditTest, PassesOnlyTheCharactersOfANumber)
{
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
QImage Strip(int count, int cx, QRgb ground = qRgb(255, 0, 255))
{
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

TEST(PictureToolBarTest, TheFirstStoredPixelsColourIsTransparentInEveryPicture)
{
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

TEST(PictureToolBarTest, OnlyWholePicturesAreCutAndAMissingHotStripStopsTheLists)
{
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

TEST(PictureToolBarTest, TheProgramsStripsHoldThirteenButtonPictures)
{
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

namespace {

// Pixels with a colour of their own (not a grey) in a picture.
int ColouredPixels(const QImage& picture)
{
    int n = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            const int spread = std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
            n += c.alpha() > 0 && spread > 24 ? 1 : 0;
        }
    }
    return n;
}

}  // namespace

TEST(PictureToolBarTest, GreyedPictureKeepsTheShapesInLightGreys)
{
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(0, 0, 0, 255));
    picture.setPixel(1, 0, qRgba(255, 255, 255, 255));
    picture.setPixel(2, 0, qRgba(0, 0, 200, 0));
    const QImage grey = CPictureToolBar::GreyedPicture(picture);
    EXPECT_EQ(grey.pixel(0, 0), qRgba(128, 128, 128, 255));
    EXPECT_EQ(grey.pixel(1, 0), qRgba(224, 224, 224, 255));
    EXPECT_EQ(qAlpha(grey.pixel(2, 0)), 0);
}

TEST(PictureToolBarTest, DisabledButtonsShowTheirPictureGreyed)
{
    // The main toolbar's strips: the disabled strip is the normal one.
    CPictureToolBar bar;
    std::vector<QAction*> actions;
    for (int i = 0; i < 13; ++i) {
        actions.push_back(new QAction(QStringLiteral("b%1").arg(i), &bar));
        bar.AddPictureButton(actions.back());
    }
    ASSERT_TRUE(bar.SetImageLists(28, 264, 263, 264));
    bar.show();
    auto* save = qobject_cast<QToolButton*>(bar.widgetForAction(actions[0]));
    ASSERT_NE(save, nullptr);
    QRect icon(QPoint(0, 0), bar.iconSize());
    icon.moveCenter(save->rect().center());
    const QImage enabled = save->grab().toImage().convertToFormat(QImage::Format_ARGB32).copy(icon);
    actions[0]->setEnabled(false);
    const QImage disabled = save->grab().toImage().convertToFormat(QImage::Format_ARGB32).copy(icon);
    if (const char* dir = std::getenv("SHELL_TEST_PICTURES")) {
        enabled.save(QString::fromUtf8(dir) + QStringLiteral("/save-enabled.png"));
        disabled.save(QString::fromUtf8(dir) + QStringLiteral("/save-disabled.png"));
    }
    EXPECT_GT(ColouredPixels(enabled), 20);
    EXPECT_EQ(ColouredPixels(disabled), 0) << "a disabled button looks like an enabled one";
    EXPECT_NE(disabled, enabled);
    // The disabled picture is the normal one greyed, transparent where the normal one is.
    const QImage normal = bar.Images(CPictureToolBar::Normal)[0].toImage();
    const QImage shown = actions[0]->icon().pixmap(bar.iconSize(), QIcon::Disabled).toImage();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              CPictureToolBar::GreyedPicture(normal).convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST(PictureToolBarTest, AFlatToolBarShowsHotPicturesAndOneThatIsNotDoesNot)
{
    const QImage normal = Strip(2, 28);
    QImage hot = Strip(2, 28);
    hot.fill(qRgb(250, 200, 60));
    hot.setPixel(0, hot.height() - 1, qRgb(255, 0, 255));  // keyed colour: magenta
    for (bool flat : {true, false}) {
        CPictureToolBar bar;
        bar.SetFlat(flat);
        auto* action = new QAction(QStringLiteral("b"), &bar);
        bar.AddPictureButton(action);
        ASSERT_TRUE(bar.SetImageLists(28, normal, hot, normal));
        const auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(action));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->autoRaise(), flat);
        const QImage active =
            action->icon().pixmap(QSize(28, 28), QIcon::Active).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(active.pixelColor(14, 14) == QColor(250, 200, 60), flat) << flat;
    }
}

TEST(InstrumentPanelTest, EveryButtonFitsInsideThePanel)
{
    CInstrumentPanel panel;
    EXPECT_EQ(panel.width(), 236);
    for (int id : {1045, 1174, 1175, 1046, 1048}) {
        const QPushButton* button = panel.Button(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->width(), 234) << id;
        EXPECT_TRUE(panel.rect().contains(button->geometry())) << id << " is cut";
    }
}

TEST(SummaryBarTest, ShowsTheTwentyTextsInTheirFields)
{
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

TEST(SummaryBarTest, EnterAndEscapeDoNothing)
{
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
