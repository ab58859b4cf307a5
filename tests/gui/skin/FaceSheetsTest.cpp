// Faces cut from the window's pictures: the same pixels as a button drawing from the whole
// picture, decoded once per picture per showing, and nothing kept after Release().
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "gui/skin/FaceSheets.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinError.h"
#include "gui/skin/SkinFile.h"
#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {
namespace {

// Every pixel different from its neighbours, so a face cut one pixel off shows.
QImage Pattern(QSize size, int seed) {
    QImage image(size, QImage::Format_RGB888);  // as a JPEG decodes
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           qRgb((x * 7 + seed) & 0xFF, (y * 13 + seed * 3) & 0xFF, (x * y + seed) & 0xFF));
    return image;
}

QString FirstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("first difference at %1,%2: %3 against %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(b.pixel(x, y), 8, 16);
    return QStringLiteral("no pixel differs");
}

class FaceSheetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QFile f(dir_.filePath(QStringLiteral("Test.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // A button at the picture's edge, one running past it, one inside, one unused.
        f.write(
            "[BUTTONINFO]\nEDGE=1,1,30,20\nPAST=290,150,40,40\nINSIDE=57,33,61,27\n"
            "[SCREEN]\nMain=bg.bmp\n");
        f.close();
        ASSERT_TRUE(Pattern(QSize(320, 180), 1).save(dir_.filePath(QStringLiteral("a.bmp"))));
        ASSERT_TRUE(Pattern(QSize(320, 180), 2).save(dir_.filePath(QStringLiteral("b.bmp"))));
    }
    void TearDown() override { SetSkinZoom(1.0); }

    // The button's face drawn from the whole picture (the way every picture was kept before)
    // and from the cut pieces.
    void ExpectSamePixels(const SkinFile& skin, const QString& key) {
        CPngButton whole;
        const QPixmap a = skin.LoadPicture(QStringLiteral("a.bmp"));
        PlaceControl(whole, skin, QStringLiteral("BUTTONINFO"), key, StatePictures{a, a, a, a, a});
        FaceSheets sheets(skin);
        const int sheet = sheets.Add(QStringLiteral("a.bmp"));
        CPngButton cut;
        PlaceControl(cut, skin, QStringLiteral("BUTTONINFO"), key, sheets,
                     StateSheets{sheet, sheet, sheet, sheet, sheet});
        sheets.Load();
        const QImage got = cut.grab().toImage();
        const QImage want = whole.grab().toImage();
        EXPECT_EQ(got.size(), want.size()) << key.toStdString();
        EXPECT_EQ(got.format(), want.format()) << key.toStdString();
        EXPECT_TRUE(got == want) << key.toStdString() << " " << FirstDifference(got, want).toStdString();
    }

    QTemporaryDir dir_;
};

TEST_F(FaceSheetsTest, CutFacesShowExactlyThePixelsOfTheWholePicture) {
    const SkinFile skin(dir_.filePath(QStringLiteral("Test.ini")));
    for (const char* key : {"EDGE", "PAST", "INSIDE"}) ExpectSamePixels(skin, QString::fromLatin1(key));
    // A zoomed skin (a large scale factor on a small screen) cuts at fractional positions.
    SetSkinZoom(0.7);
    const SkinFile zoomed(dir_.filePath(QStringLiteral("Test.ini")));
    for (const char* key : {"EDGE", "PAST", "INSIDE"}) ExpectSamePixels(zoomed, QString::fromLatin1(key));
}

TEST_F(FaceSheetsTest, EachPictureIsDecodedOncePerShowingAndNothingIsKeptAfterRelease) {
    const SkinFile skin(dir_.filePath(QStringLiteral("Test.ini")));
    FaceSheets sheets(skin);
    const int a = sheets.Add(QStringLiteral("a.bmp"));
    const int b = sheets.Add(QStringLiteral("b.bmp"));
    EXPECT_EQ(sheets.Add(QStringLiteral("a.bmp")), a);
    std::vector<std::unique_ptr<CPngButton>> buttons;
    for (const char* key : {"EDGE", "PAST", "INSIDE"}) {
        buttons.push_back(std::make_unique<CPngButton>());
        PlaceControl(*buttons.back(), skin, QStringLiteral("BUTTONINFO"), QString::fromLatin1(key), sheets,
                     StateSheets{a, b, a, b, a});
    }
    EXPECT_EQ(sheets.Decodes(), 0) << "naming pictures decodes nothing";
    EXPECT_EQ(sheets.Bytes(), 0u);

    sheets.Load();
    EXPECT_EQ(sheets.Decodes(), 2);
    EXPECT_TRUE(sheets.Loaded());
    // Only the pieces under the buttons are kept, never the whole pictures.
    EXPECT_GT(sheets.Bytes(), 0u);
    EXPECT_LT(sheets.Bytes(), std::size_t{320 * 180 * 4});
    for (auto& button : buttons) button->grab();
    EXPECT_EQ(sheets.Decodes(), 2) << "painting uses the cut pieces";

    sheets.Release();
    EXPECT_EQ(sheets.Bytes(), 0u);
    EXPECT_FALSE(sheets.Loaded());
    // A paint while released (a screenshot of a hidden window) cuts what it needs.
    buttons[0]->grab();
    EXPECT_EQ(sheets.Decodes(), 3);
    sheets.Load();
    EXPECT_EQ(sheets.Decodes(), 4) << "the picture already cut again is not decoded twice";
}

TEST_F(FaceSheetsTest, AMissingPictureIsReportedWhenNamedNotAtTheFirstPaint) {
    const SkinFile skin(dir_.filePath(QStringLiteral("Test.ini")));
    FaceSheets sheets(skin);
    try {
        sheets.Add(QStringLiteral("missing.jpg"));
        FAIL() << "no SkinError";
    } catch (const SkinError& e) {
        EXPECT_TRUE(e.File().endsWith(QStringLiteral("missing.jpg"))) << e.File().toStdString();
    }
}

}  // namespace
}  // namespace talvenix::gui
