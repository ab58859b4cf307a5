// The skin machinery: layout rectangles, faces cut from state pictures, window shapes,
// missing pictures, the image button's states and the bitmap slider.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "gui/skin/BaseDialog.h"
#include "gui/skin/BitmapSlider.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {
namespace {

TEST(SkinRect, ParsesFourNumbersAndIgnoresTrailingText) {
    const SkinRect r = ParseSkinRect(QStringLiteral("20,30,80,24"));
    EXPECT_EQ(r.Rect(), QRect(20, 30, 80, 24));
    EXPECT_EQ(ParseSkinRect(QStringLiteral("10,20,30,40,x")).Rect(), QRect(10, 20, 30, 40));
    EXPECT_EQ(ParseSkinRect(QStringLiteral(" 7, 8,9,10 extra")).Rect(), QRect(7, 8, 9, 10));
    // As "%d,%d" reads: a blank before a comma ends the reading.
    EXPECT_EQ(ParseSkinRect(QStringLiteral("7,8 ,9,10")).Rect(), QRect(7, 8, 1, 1));
    EXPECT_EQ(ParseSkinRect(QStringLiteral("-5,6,7,8")).Rect(), QRect(-5, 6, 7, 8));
}

TEST(SkinRect, MissingOrBrokenFieldsKeepTheirDefaultOfOne) {
    EXPECT_EQ(ParseSkinRect(QStringLiteral("1,1,1,1,x")).Rect(), QRect(1, 1, 1, 1));
    EXPECT_TRUE(ParseSkinRect(QStringLiteral("1,1,1,1,x")).Unused());
    EXPECT_EQ(ParseSkinRect(QStringLiteral("5,6")).Rect(), QRect(5, 6, 1, 1));
    EXPECT_EQ(ParseSkinRect(QString()).Rect(), QRect(1, 1, 1, 1));
    EXPECT_EQ(ParseSkinRect(QStringLiteral("abc")).Rect(), QRect(1, 1, 1, 1));
    EXPECT_EQ(ParseSkinRect(QStringLiteral("4,x,9,9")).Rect(), QRect(4, 1, 1, 1));
}

class SkinFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    void WriteLayout(const QString& text) {
        QFile f(Path(QStringLiteral("Test.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    void SavePicture(const QString& name, const QImage& image) { ASSERT_TRUE(image.save(Path(name))); }
    QTemporaryDir dir_;
};

TEST_F(SkinFolder, PlaceControlCutsTheFaceOneUpAndLeftOfThePosition) {
    WriteLayout(QStringLiteral("[BUTTONINFO]\nCONTROL_OK=20,30,80,24\n"));
    const SkinFile skin(Path(QStringLiteral("Test.ini")));
    QImage normal(200, 100, QImage::Format_RGB32);
    normal.fill(Qt::black);
    normal.setPixel(19, 29, qRgb(255, 0, 0));  // the face's top-left pixel
    normal.setPixel(20, 30, qRgb(0, 255, 0));
    StatePictures pictures;
    pictures.normal = QPixmap::fromImage(normal);
    QWidget parent;
    CPngButton button(&parent);
    PlaceControl(button, skin, QStringLiteral("BUTTONINFO"), QStringLiteral("CONTROL_OK"), pictures);
    EXPECT_EQ(button.geometry(), QRect(20, 30, 80, 24));
    EXPECT_EQ(button.FaceSource(), QPoint(20, 30));
    EXPECT_TRUE(button.isEnabled());
    const QImage face = button.grab().toImage();
    EXPECT_EQ(face.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(face.pixel(1, 1), qRgb(0, 255, 0));
}

TEST_F(SkinFolder, AMissingKeyGivesADisabledOnePixelControlAtOneOne) {
    WriteLayout(QStringLiteral("[BUTTONINFO]\nOTHER=5,5,5,5\n"));
    const SkinFile skin(Path(QStringLiteral("Test.ini")));
    QWidget parent;
    CPngButton button(&parent);
    PlaceControl(button, skin, QStringLiteral("BUTTONINFO"), QStringLiteral("CONTROL_OK"), StatePictures{});
    EXPECT_EQ(button.geometry(), QRect(1, 1, 1, 1));
    EXPECT_FALSE(button.isEnabled());

    QWidget other(&parent);
    other.resize(40, 30);
    PlaceWindowKeepSize(other, skin, QStringLiteral("BUTTONINFO"), QStringLiteral("OTHER"));
    EXPECT_EQ(other.geometry(), QRect(5, 5, 40, 30));
    PlaceWindow(other, skin, QStringLiteral("BUTTONINFO"), QStringLiteral("OTHER"));
    EXPECT_EQ(other.geometry(), QRect(5, 5, 5, 5));
}

TEST_F(SkinFolder, PlaceWithFaceTakesThePositionFromOneKeyAndTheFaceFromAnother) {
    WriteLayout(
        QStringLiteral("[BUTTONINFO]\nLEFT_ARROW=50,60,10,12\n[BUTTONINFO2]\nUP_ARROW_LEFT1=3,4,10,12\n"));
    const SkinFile skin(Path(QStringLiteral("Test.ini")));
    QImage arrow(40, 40, QImage::Format_RGB32);
    arrow.fill(Qt::black);
    arrow.setPixel(2, 3, qRgb(0, 0, 255));
    QWidget parent;
    CPngButton button(&parent);
    PlaceWithFace(button, skin, QStringLiteral("BUTTONINFO"), QStringLiteral("LEFT_ARROW"),
                  QStringLiteral("BUTTONINFO2"), QStringLiteral("UP_ARROW_LEFT1"), QPixmap::fromImage(arrow));
    EXPECT_EQ(button.geometry(), QRect(50, 60, 10, 12));
    EXPECT_EQ(button.grab().toImage().pixel(0, 0), qRgb(0, 0, 255));
}

TEST(WindowShape, NonWhiteRunsMakeTheRegionAndAnAllWhiteMaskIsEmpty) {
    QImage white(30, 20, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_TRUE(RegionFromMask(white).isEmpty());

    QImage mask = white;
    for (int x = 2; x < 6; ++x) mask.setPixel(x, 1, qRgb(0, 0, 0));
    for (int x = 10; x < 12; ++x) mask.setPixel(x, 1, qRgb(254, 255, 255));  // nearly white is inside
    const QRegion region = RegionFromMask(mask);
    EXPECT_TRUE(region.contains(QPoint(2, 1)));
    EXPECT_TRUE(region.contains(QPoint(5, 1)));
    EXPECT_FALSE(region.contains(QPoint(6, 1)));
    EXPECT_TRUE(region.contains(QPoint(11, 1)));
    EXPECT_FALSE(region.contains(QPoint(2, 0)));
    EXPECT_EQ(region.boundingRect(), QRect(2, 1, 10, 1));
}

TEST(WindowShape, LargeMasksAreUnitedAcrossBatches) {
    // A checkerboard of runs gives far more than one batch of rectangles.
    QImage mask(400, 100, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 0; y < 100; ++y)
        for (int x = (y % 2); x < 400; x += 4) mask.setPixel(x, y, qRgb(0, 0, 0));
    const QRegion region = RegionFromMask(mask);
    EXPECT_TRUE(region.contains(QPoint(396, 98)));
    EXPECT_TRUE(region.contains(QPoint(1, 99)));
    EXPECT_FALSE(region.contains(QPoint(2, 99)));
}

TEST_F(SkinFolder, TheDialogTakesItsSizeAndShapeFromThePictures) {
    WriteLayout(QStringLiteral("[SCREEN]\nMain=bg.bmp\nMask=mask.bmp\n"));
    QImage bg(120, 80, QImage::Format_RGB32);
    bg.fill(Qt::darkGray);
    QImage mask = bg;
    mask.fill(Qt::black);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) mask.setPixel(x, y, qRgb(255, 255, 255));
    SavePicture(QStringLiteral("bg.bmp"), bg);
    SavePicture(QStringLiteral("mask.bmp"), mask);
    CBaseDialog dialog(Path(QStringLiteral("Test.ini")));
    dialog.InitSkin();
    EXPECT_EQ(dialog.size(), QSize(120, 80));
    EXPECT_FALSE(dialog.Shape().contains(QPoint(5, 5)));
    EXPECT_TRUE(dialog.Shape().contains(QPoint(50, 50)));
    EXPECT_EQ(dialog.mask(), dialog.Shape());
}

TEST_F(SkinFolder, TheMaskDefaultsToTheBackground) {
    WriteLayout(QStringLiteral("[SCREEN]\nMain=bg.bmp\n"));
    QImage bg(30, 30, QImage::Format_RGB32);
    bg.fill(Qt::black);
    SavePicture(QStringLiteral("bg.bmp"), bg);
    CBaseDialog dialog(Path(QStringLiteral("Test.ini")));
    EXPECT_EQ(dialog.Skin().MaskName(), QStringLiteral("bg.bmp"));
    dialog.InitSkin();
    EXPECT_EQ(dialog.Shape().boundingRect(), QRect(0, 0, 30, 30));
}

TEST_F(SkinFolder, AMissingOrBrokenPictureNamesTheFile) {
    WriteLayout(QStringLiteral("[SCREEN]\nMain=bg.bmp\nMask=mask.bmp\n"));
    QImage bg(30, 30, QImage::Format_RGB32);
    bg.fill(Qt::black);
    SavePicture(QStringLiteral("bg.bmp"), bg);
    {
        CBaseDialog dialog(Path(QStringLiteral("Test.ini")));
        try {
            dialog.InitSkin();
            ADD_FAILURE() << "a missing mask must fail";
        } catch (const SkinError& e) {
            EXPECT_TRUE(e.File().endsWith(QStringLiteral("mask.bmp"))) << e.what();
        }
    }
    QFile broken(Path(QStringLiteral("mask.bmp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    CBaseDialog dialog(Path(QStringLiteral("Test.ini")));
    EXPECT_THROW(dialog.InitSkin(), SkinError);
}

TEST_F(SkinFolder, AMissingLayoutFileOrBackgroundKeyNamesTheLayoutFile) {
    const QString layout = Path(QStringLiteral("Test.ini"));
    {
        CBaseDialog dialog(layout);
        try {
            dialog.InitSkin();
            ADD_FAILURE() << "a missing layout file must fail";
        } catch (const SkinError& e) {
            EXPECT_EQ(e.File(), layout) << e.what();
        }
    }
    WriteLayout(QStringLiteral("[SCREEN]\nMask=mask.bmp\n"));
    CBaseDialog dialog(layout);
    try {
        dialog.InitSkin();
        ADD_FAILURE() << "a layout without a background must fail";
    } catch (const SkinError& e) {
        EXPECT_EQ(e.File(), layout) << e.what();
    }
}

TEST_F(SkinFolder, EnterAndEscapeNeitherAcceptNorCloseADialog) {
    WriteLayout(QStringLiteral("[SCREEN]\nMain=bg.bmp\n"));
    QImage bg(30, 30, QImage::Format_RGB32);
    bg.fill(Qt::black);
    SavePicture(QStringLiteral("bg.bmp"), bg);
    CBaseDialog dialog(Path(QStringLiteral("Test.ini")));
    dialog.InitSkin();
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Enter);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_EQ(rejected.count(), 0);
}

StatePictures DistinctPictures() {
    auto fill = [](QColor c) {
        QPixmap pm(40, 40);
        pm.fill(c);
        return pm;
    };
    return StatePictures{fill(Qt::gray), fill(Qt::yellow), fill(Qt::blue), fill(Qt::darkGray),
                         fill(Qt::magenta)};
}

TEST(PngButton, ChoosesThePictureOfItsState) {
    QWidget parent;
    CPngButton button(&parent);
    button.setGeometry(1, 1, 20, 10);
    const StatePictures p = DistinctPictures();
    button.SetStatePictures(p);
    EXPECT_EQ(button.CurrentPicture()->cacheKey(), p.normal.cacheKey());
    button.SetSetState(true);
    EXPECT_EQ(button.CurrentPicture()->cacheKey(), p.set.cacheKey());
    button.setDown(true);
    EXPECT_EQ(button.CurrentPicture()->cacheKey(), p.down.cacheKey());
    button.setDown(false);
    QPixmap alt(40, 40);
    alt.fill(Qt::green);
    button.SetAlternativePicture(alt);
    EXPECT_EQ(button.CurrentPicture()->cacheKey(), alt.cacheKey());
    button.setEnabled(false);
    EXPECT_EQ(button.CurrentPicture()->cacheKey(), p.disabled.cacheKey());
    EXPECT_EQ(button.grab().toImage().pixel(5, 5), QColor(Qt::darkGray).rgb());
}

TEST(PngButton, ColourModeDrawsATwoPixelFrameInsetByOne) {
    QWidget parent;
    CPngButton button(&parent);
    button.setGeometry(0, 0, 20, 12);
    button.SetStatePictures(DistinctPictures());
    button.SetColourMode(true, QColor(255, 0, 0));
    EXPECT_EQ(button.CurrentPicture(), nullptr);
    const QImage img = button.grab().toImage();
    const QRgb red = qRgb(255, 0, 0);
    EXPECT_NE(img.pixel(0, 6), red);
    EXPECT_EQ(img.pixel(1, 6), red);
    EXPECT_EQ(img.pixel(2, 6), red);
    EXPECT_NE(img.pixel(3, 6), red);
    EXPECT_EQ(img.pixel(18, 6), red);
    EXPECT_NE(img.pixel(19, 6), red);
    EXPECT_EQ(img.pixel(10, 1), red);
    EXPECT_NE(img.pixel(10, 6), red);  // no fill
    button.SetColourMode(false);
    EXPECT_EQ(button.grab().toImage().pixel(10, 6), QColor(Qt::gray).rgb());
}

TEST(BitmapSlider, ReportsUserMovesButNotRefreshes) {
    QWidget parent;
    CBitmapSlider slider(1178, 6, &parent);
    slider.setGeometry(0, 0, 120, 20);
    QSignalSpy moved(&slider, &CBitmapSlider::PositionChanged);
    slider.SetPosition(3);
    EXPECT_EQ(slider.Position(), 3);
    EXPECT_EQ(moved.count(), 0);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(115, 10));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][0].toInt(), 1178);
    EXPECT_EQ(moved[0][1].toInt(), 5);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(115, 10));  // same position: nothing new
    EXPECT_EQ(moved.count(), 1);
    slider.SetPosition(99);
    EXPECT_EQ(slider.Position(), 5);
}

}  // namespace
}  // namespace talvenix::gui
