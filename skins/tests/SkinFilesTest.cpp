// The built skin: layout files, their rectangles, and every picture the program loads.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <array>
#include <cmath>

#include "Faces.h"
#include "SkinTestSupport.h"

using namespace skingen;
using namespace skintest;

namespace {

// Key indices of the 104 key buttons, in the order the main window walks them.
constexpr std::array<int, 104> kKeyButtonIndices = {
    0x01E, 0x030, 0x02E, 0x020, 0x012, 0x021, 0x022, 0x023, 0x017, 0x024, 0x025, 0x026, 0x032, 0x031, 0x018,
    0x019, 0x010, 0x013, 0x01F, 0x014, 0x016, 0x02F, 0x011, 0x02D, 0x015, 0x02C, 0x002, 0x003, 0x004, 0x005,
    0x006, 0x007, 0x008, 0x009, 0x00A, 0x00B, 0x01C, 0x001, 0x00E, 0x00F, 0x039, 0x00C, 0x00D, 0x01A, 0x01B,
    0x02B, 0x027, 0x028, 0x029, 0x033, 0x034, 0x035, 0x03B, 0x03C, 0x03D, 0x03E, 0x03F, 0x040, 0x041, 0x042,
    0x043, 0x044, 0x057, 0x058, 0x0B7, 0x045, 0x0D2, 0x0D3, 0x0C7, 0x0CF, 0x0C9, 0x0D1, 0x0C8, 0x0D0, 0x0CB,
    0x0CD, 0x046, 0x03A, 0x0DD, 0x01D, 0x09D, 0x02A, 0x036, 0x038, 0x0B8, 0x0DB, 0x0DC, 0x04F, 0x050, 0x051,
    0x04B, 0x04C, 0x04D, 0x047, 0x048, 0x049, 0x052, 0x0C5, 0x09C, 0x053, 0x0B5, 0x037, 0x04A, 0x04E};

QString KeyName(int index) { return QStringLiteral("KEY_%1").arg(index, 3, 16, QLatin1Char('0')).toUpper(); }

QList<QPair<QString, QRect>> Rects(const SkinIni& layout, const QString& section) {
    QList<QPair<QString, QRect>> out;
    for (const auto& [key, value] : layout.Entries(section)) {
        QRect r;
        EXPECT_TRUE(ParseRect(value, &r))
            << qPrintable(layout.path()) << " " << qPrintable(key) << "=" << qPrintable(value);
        out.append({key, r});
    }
    return out;
}

QImage Load(const QString& name) { return QImage(SkinDir().filePath(name)); }

}  // namespace

TEST(SkinLayout, EveryLayoutFileIsInstalledWithItsWindowSize) {
    for (const QString& name : LayoutFiles()) {
        ASSERT_TRUE(SkinDir().exists(name)) << qPrintable(name);
        const SkinIni layout = Layout(name);
        const QSize size = WindowSize(layout);
        EXPECT_GT(size.width(), 0) << qPrintable(name);
        EXPECT_LE(size.width(), 1280) << qPrintable(name);
        EXPECT_LE(size.height(), 800) << qPrintable(name);
        EXPECT_FALSE(layout.Value("SCREEN", "Main").isEmpty()) << qPrintable(name);
        EXPECT_FALSE(layout.Value("SCREEN", "Mask").isEmpty()) << qPrintable(name);
    }
    EXPECT_FALSE(Layout("Main.ini").Value("SCREEN", "Link").isEmpty());
}

TEST(SkinLayout, EveryRectangleLiesInsideItsWindow) {
    for (const QString& name : LayoutFiles()) {
        const SkinIni layout = Layout(name);
        const QSize size = WindowSize(layout);
        for (const auto& [key, r] : Rects(layout, "BUTTONINFO") + Rects(layout, "BUTTONINFO2")) {
            // Faces are cut at (x - 1, y - 1), so a control must start at 1 or later.
            EXPECT_GE(r.x(), 1) << qPrintable(name) << " " << qPrintable(key);
            EXPECT_GE(r.y(), 1) << qPrintable(name) << " " << qPrintable(key);
            EXPECT_GT(r.width(), 1) << qPrintable(name) << " " << qPrintable(key);
            EXPECT_GT(r.height(), 1) << qPrintable(name) << " " << qPrintable(key);
            EXPECT_LE(r.right(), size.width() - 1) << qPrintable(name) << " " << qPrintable(key);
            EXPECT_LE(r.bottom(), size.height() - 1) << qPrintable(name) << " " << qPrintable(key);
        }
    }
}

TEST(SkinLayout, MainWindowPlacesEveryKeyButtonWithALegend) {
    const SkinIni main = Layout("Main.ini");
    QSet<QString> expected;
    for (int index : kKeyButtonIndices) expected.insert(KeyName(index));
    ASSERT_EQ(expected.size(), 104);
    expected << "KEY_FN";
    QSet<QString> found;
    static const QRegularExpression keyButton(QStringLiteral("^KEY_([0-9A-F]{3}|FN)$"));
    for (const auto& [key, value] : main.Entries("BUTTONINFO"))
        if (keyButton.match(key).hasMatch()) {
            EXPECT_FALSE(found.contains(key)) << "placed twice: " << qPrintable(key);
            found.insert(key);
        }
    EXPECT_EQ(found, expected);
    for (const QString& key : expected) {
        EXPECT_TRUE(main.HasKey("KEYCAPS", key)) << "no legend for " << qPrintable(key);
    }
    for (int g = 1; g <= 9; ++g) EXPECT_TRUE(main.HasKey("BUTTONINFO", QStringLiteral("FUNC_G%1").arg(g)));
}

TEST(SkinLayout, KeyboardButtonsNeverOverlap) {
    const SkinIni main = Layout("Main.ini");
    static const QRegularExpression keyboard(QStringLiteral("^(KEY_([0-9A-F]{3}|FN)|FUNC_G[1-9]|LOCK_.*)$"));
    QList<QPair<QString, QRect>> keys;
    for (const auto& entry : Rects(main, "BUTTONINFO"))
        if (keyboard.match(entry.first).hasMatch()) keys.append(entry);
    ASSERT_EQ(keys.size(), 104 + 1 + 9 + 4);
    for (qsizetype i = 0; i < keys.size(); ++i)
        for (qsizetype j = i + 1; j < keys.size(); ++j)
            EXPECT_FALSE(keys[i].second.intersects(keys[j].second))
                << qPrintable(keys[i].first) << " overlaps " << qPrintable(keys[j].first);
}

TEST(SkinLayout, MainWindowPlacesEveryControlOfItsPanels) {
    const SkinIni main = Layout("Main.ini");
    const QStringList required = {"CONTROL_OK",
                                  "CONTROL_CANCEL",
                                  "CONTROL2_APPLY",
                                  "CONTROL_CLOSE",
                                  "CONTROL_MINIMIZE",
                                  "CONTROL_MENU",
                                  "CONTROL_HELP",
                                  "KALTEV_LINK",
                                  "KALTEV_VER",
                                  "FUNC_PROFILES",
                                  "FUNC_MACRO",
                                  "FUNC_PROFILE1",
                                  "FUNC_PROFILE2",
                                  "FUNC_PROFILE3",
                                  "FUNC_DEFAULT",
                                  "FUNC_SWITCH",
                                  "FUNC_REPORT1",
                                  "FUNC_REPORT2",
                                  "FUNC_REPORT3",
                                  "FUNC_REPORT4",
                                  "LOCK_AB",
                                  "LOCK_CAPS",
                                  "LOCK_NUM",
                                  "LOCK_SCROLL",
                                  "CONTROL_DengStaPic",
                                  "CONTROL_XGcombox",
                                  "CONTROL_LightSlider",
                                  "CONTROL_SpeedSlider",
                                  "CONTROL_BLFXLStaPic",
                                  "CONTROL_BLFXRStaPic",
                                  "CONTROL_BLFXLStaPic2",
                                  "CONTROL_BLFXRStaPic2",
                                  "CONTROL_BLFXLStaPic3",
                                  "CONTROL_BLFXRStaPic3",
                                  "CONTROL_BLFXStatic",
                                  "CONTROL_BLFXStatic2",
                                  "CONTROL_BLFXStatic3",
                                  "CONTROL_HXysButton",
                                  "CONTROL_HXsjsStaPic",
                                  "CONTROL_FYYSButton",
                                  "CONTROL_FYSJSStaPic",
                                  "CONTROL_HONGPIC",
                                  "CONTROL_HUANGPIC",
                                  "CONTROL_LVPIC",
                                  "CONTROL_LANPIC",
                                  "CONTROL_FYdjcfStaPic",
                                  "CONTROL_FYggcfStaPic",
                                  "CONTROL_JTysButton",
                                  "CONTROL_TSysButton",
                                  "CONTROL_TSsjsStaPic",
                                  "CONTROL_CDysButton",
                                  "CONTROL_CDsjsStaPic",
                                  "CONTROL_USERysButton",
                                  "CONTROL_USERjsButton",
                                  "CONTROL_USERgjStaPic1",
                                  "CONTROL_USERgjStaPic2",
                                  "CONTROL_umCombo",
                                  "m_edit_rgbr",
                                  "m_edit_rgbg",
                                  "m_edit_rgbb",
                                  "m_rgbr_static",
                                  "m_rgbg_static",
                                  "m_rgbb_static",
                                  "CONTROL_UsbStatic",
                                  "CONTROL_DengStatic",
                                  "CONTROL_LightStatic",
                                  "CONTROL_SpeedStatic",
                                  "CONTROL_USERjsStatic",
                                  "CONTROL_USERgjStatic",
                                  "CONTROL_JDTStatic",
                                  "CONTROL_TITLE"};
    for (const QString& key : required) EXPECT_TRUE(main.HasKey("BUTTONINFO", key)) << qPrintable(key);
    for (const char* face : {"UP_ARROW_LEFT", "DOWN_ARROW_LEFT", "UP_ARROW_RIGHT", "DOWN_ARROW_RIGHT"})
        for (int state = 1; state <= 2; ++state)
            EXPECT_TRUE(
                main.HasKey("BUTTONINFO2", QStringLiteral("%1%2").arg(QLatin1String(face)).arg(state)));
}

TEST(SkinLayout, DialogsPlaceTheControlsTheirWindowsRead) {
    const struct {
        const char* file;
        QStringList keys;
    } dialogs[] = {
        {"Profile.ini",
         {"CONTROL_OK", "CONTROL_CANCEL", "FUNC_ADD", "FUNC_LOAD", "FUNC_DELETE", "CONTROL2_APPLY",
          "PROGRAM_LIST"}},
        {"Macro.ini",
         {"PROGRAM_LIST", "PROGRAM_LIST2", "FUNC_ADD", "FUNC_DELETE", "FUNC_RECORD", "FUNC_DELETE2",
          "FUNC_CLEAR", "FUNC_UP_TOP", "FUNC_UP", "FUNC_DOWN", "FUNC_DOWN_BOTTOM", "FUNC_RECORD_DELAY",
          "CONTROL_OK", "CONTROL_CANCEL", "CONTROL2_APPLY", "FUNC_MACRO_GAUGE", "FUNC_TEXT_MACRO_EDIT",
          "FUNC_TEXT_MACRO_DELAY", "FUNC_TEXT_MACRO"}},
        {"Composite.ini",
         {"CONTROL_KEY",
          "CONTROL_MACRO",
          "CONTROL_MEDIA",
          "CONTROL_FUNCTION",
          "CONTROL_CLEAR",
          "CONTROL_MASK",
          "CONTROL_TITLE",
          "CONTROL_OSK",
          "CONTROL_OK",
          "CONTROL_CANCEL",
          "FUNC_MACRO_ADD",
          "FUNC_MACRO_DELETE",
          "FUNC_MACRO_RECORD",
          "FUNC_MACRO_DELETE2",
          "FUNC_MACRO_CLEAR",
          "FUNC_MACRO_UP_TOP",
          "FUNC_MACRO_UP",
          "FUNC_MACRO_DOWN",
          "FUNC_MACRO_DOWN_BOTTOM",
          "FUNC_MACRO_RECORD_DELAY",
          "FUNC_MACRO_LIST2",
          "FUNC_MACRO_CYCLES",
          "FUNC_MACRO_CYCLES_PROMPT",
          "FUNC_MACRO_GAUGE"}},
        {"Key.ini",
         {"FUNC_EXTRA_1", "FUNC_EXTRA_2", "FUNC_EXTRA_3", "FUNC_EXTRA_4", "FUNC_EXTRA_2_2", "FUNC_SEL_1",
          "FUNC_SEL_2", "FUNC_SEL_3", "FUNC_SEL_4", "FUNC_SEL_5", "FUNC_SEL_6", "FUNC_SEL_7", "CONTROL_OK",
          "CONTROL_CANCEL"}},
        {"UpdateDlg.ini",
         {"CONTROL_UPStatic", "CONTROL_UPCombox", "CONTROL_CUPButton", "CONTROL_UPButton",
          "CONTROL_OPENButton", "CONTROL_BACKUPButton"}},
    };
    for (const auto& d : dialogs) {
        const SkinIni layout = Layout(QString::fromLatin1(d.file));
        for (const QString& key : d.keys)
            EXPECT_TRUE(layout.HasKey("BUTTONINFO", key)) << d.file << " " << qPrintable(key);
    }
}

TEST(SkinLayout, ColourWheelIsUncoveredAndShowsPureColours) {
    const QPoint centre(140, 144);
    const int radius = 63;
    const QRect wheel(centre.x() - radius, centre.y() - radius, 2 * radius + 1, 2 * radius + 1);
    // Only the wheel's own press area may lie on it.
    for (const auto& [key, r] : Rects(Layout("Main.ini"), "BUTTONINFO")) {
        if (key == QLatin1String("CONTROL_ColourWheel")) continue;
        EXPECT_FALSE(r.intersects(wheel)) << qPrintable(key) << " covers the colour wheel";
    }

    const QImage bg = Load(Layout("Main.ini").Value("SCREEN", "Main"));
    ASSERT_FALSE(bg.isNull());
    for (int angle = 0; angle < 360; angle += 30) {
        for (int distance : {20, 45, 63}) {
            const double a = angle * M_PI / 180.0;
            const int dx = int(std::lround(std::cos(a) * distance)),
                      dy = -int(std::lround(std::sin(a) * distance));
            if (dx * dx + dy * dy > radius * radius) continue;
            const QColor c = bg.pixelColor(centre + QPoint(dx, dy));
            EXPECT_GE(c.value(), 250) << angle << "deg at " << distance;
            EXPECT_NEAR(c.hsvSaturationF(), std::sqrt(dx * dx + dy * dy) / radius, 0.06)
                << angle << "deg at " << distance;
            if (distance >= 45) {
                const int hueError = std::abs(c.hsvHue() - angle) % 360;
                EXPECT_LE(std::min(hueError, 360 - hueError), 6) << angle << "deg at " << distance;
            }
        }
    }
}

TEST(SkinLayout, EffectNamesAndLightingCaptionsExistInBothLanguages) {
    const SkinIni main = Layout("Main.ini");
    for (const char* section : {"Mode", "Mode1"})
        for (int code = 1; code <= 20; ++code)
            EXPECT_FALSE(main.Value(section, QString::number(code)).isEmpty()) << section << " " << code;
    EXPECT_NE(main.Value("Mode", "5"), main.Value("Mode1", "5"));
    for (const char* section : {"Control_Name", "Control_Name1"})
        for (const char* key :
             {"Usb", "Deng", "Light", "FX", "Speed", "Color", "JColor", "DC", "Tool", "Other"})
            EXPECT_FALSE(main.Value(section, QString::fromLatin1(key)).isEmpty()) << section << " " << key;
}

TEST(SkinPictures, BackgroundsAndMasksMatchTheirWindows) {
    for (const QString& name : LayoutFiles()) {
        const SkinIni layout = Layout(name);
        const QSize size = WindowSize(layout);
        const QImage bg = Load(layout.Value("SCREEN", "Main"));
        const QImage mask = Load(layout.Value("SCREEN", "Mask"));
        ASSERT_FALSE(bg.isNull()) << qPrintable(name);
        ASSERT_FALSE(mask.isNull()) << qPrintable(name);
        EXPECT_EQ(bg.size(), size) << qPrintable(name);
        EXPECT_EQ(mask.size(), size) << qPrintable(name);
        // White (outside) only in the rounded corners; everything else is inside the window.
        EXPECT_EQ(mask.pixelColor(0, 0), QColor(Qt::white)) << qPrintable(name);
        EXPECT_EQ(mask.pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::white))
            << qPrintable(name);
        EXPECT_NE(mask.pixelColor(size.width() / 2, 0), QColor(Qt::white)) << qPrintable(name);
        EXPECT_NE(mask.pixelColor(0, size.height() / 2), QColor(Qt::white)) << qPrintable(name);
        EXPECT_NE(mask.pixelColor(size.width() / 2, size.height() / 2), QColor(Qt::white))
            << qPrintable(name);
    }
}

TEST(SkinPictures, EveryStatePictureCoversTheDialogsThatUseIt) {
    for (const PictureSet& set : PictureSets()) {
        for (const QString& state : set.states) {
            const QString name = StatePictureName(set.prefix, state);
            const QImage picture = Load(name);
            ASSERT_FALSE(picture.isNull()) << qPrintable(name);
            for (const QString& layout : set.layouts) {
                const QSize size = WindowSize(Layout(layout));
                EXPECT_GE(picture.width(), size.width()) << qPrintable(name) << " " << qPrintable(layout);
                EXPECT_GE(picture.height(), size.height()) << qPrintable(name) << " " << qPrintable(layout);
            }
        }
    }
    // The names the program loads by themselves.
    for (const char* name :
         {"main_normal.jpg", "main_over.jpg", "main_down.jpg", "main_disable.jpg", "Arrow.jpg",
          "main_color0.jpg", "main_color1.jpg", "key_disable.jpg", "macro_other.jpg", "macro2_disable.jpg",
          "media_down.jpg", "function_over.jpg", "Profile_down.jpg", "update_over.jpg"})
        EXPECT_TRUE(SkinDir().exists(QString::fromLatin1(name))) << name;
}

TEST(SkinPictures, FacesChangeWithStateExactlyWhereTheirButtonsAre) {
    for (const PictureSet& set : PictureSets()) {
        const QImage normal = Load(StatePictureName(set.prefix, "normal"));
        const QImage over = Load(StatePictureName(set.prefix, "over"));
        ASSERT_FALSE(normal.isNull());
        ASSERT_FALSE(over.isNull());
        for (const QString& layoutName : set.layouts) {
            const SkinIni layout = Layout(layoutName);
            for (const auto& [key, r] : Rects(layout, "BUTTONINFO")) {
                const Face face = FaceFor(key, layout);
                if (face.kind == FaceKind::None || face.kind == FaceKind::Banner) continue;
                const QRect cut(r.x() - 1, r.y() - 1, r.width(), r.height());
                EXPECT_GT(MeanDifference(normal, over, cut), 0.5)
                    << qPrintable(set.prefix) << " " << qPrintable(layoutName) << " " << qPrintable(key);
            }
        }
    }
    // Far from any button the state pictures agree (the colour wheel's centre on the main window).
    const QImage normal = Load("main_normal.jpg"), over = Load("main_over.jpg");
    EXPECT_LT(MeanDifference(normal, over, QRect(120, 124, 40, 40)), 1.0);
}

TEST(SkinPictures, KeyFaceIsCutOnePixelUpAndLeftOfItsButton) {
    // The hover face has an accent outline on its outermost column, which must sit at x - 1.
    QRect a;
    ASSERT_TRUE(Layout("Main.ini").Rect("BUTTONINFO", "KEY_001", &a));  // Esc: nothing to its left
    const QImage over = Load("main_over.jpg");
    const int y = a.y() - 1 + a.height() / 2;
    const QColor edge = over.pixelColor(a.x() - 1, y);
    const QColor outside = over.pixelColor(a.x() - 5, y);
    const QColor inside = over.pixelColor(a.x() + a.width() - 2, y);
    EXPECT_GT(edge.blue() - edge.red(), 60) << "outline not at x - 1";
    EXPECT_GT(inside.blue() - inside.red(), 60) << "outline not at x + w - 2";
    EXPECT_LT(outside.blue() - outside.red(), 30) << "face starts before x - 1";
}

TEST(SkinPictures, SharedPictureSetsNeverMixTwoDifferentFaces) {
    for (const PictureSet& set : PictureSets()) {
        struct Placed {
            QString where;
            QRect rect;
            Face face;
        };
        QList<Placed> placed;
        for (const QString& layoutName : set.layouts) {
            const SkinIni layout = Layout(layoutName);
            for (const auto& [key, r] : Rects(layout, "BUTTONINFO")) {
                const Face face = FaceFor(key, layout);
                if (face.kind == FaceKind::None) continue;
                for (const Placed& p : placed) {
                    if (!p.rect.intersects(r)) continue;
                    EXPECT_TRUE(p.rect == r && p.face.kind == face.kind && p.face.glyph == face.glyph)
                        << qPrintable(set.prefix) << ": " << qPrintable(layoutName + " " + key) << " vs "
                        << qPrintable(p.where);
                }
                placed.append({layoutName + " " + key, r, face});
            }
        }
    }
}

TEST(SkinPictures, LightingBitmapsFitTheirControls) {
    for (const QString& name : FixedPictureNames()) EXPECT_FALSE(Load(name).isNull()) << qPrintable(name);
    const SkinIni main = Layout("Main.ini");
    auto sizeOf = [&](const char* key) {
        QRect r;
        EXPECT_TRUE(main.Rect("BUTTONINFO", QString::fromLatin1(key), &r)) << key;
        return r.size();
    };
    const struct {
        const char* control;
        QStringList pictures;
    } groups[] = {
        {"CONTROL_DengStaPic", {"dengup.bmp", "dengdown.bmp"}},
        {"CONTROL_BLFXLStaPic",
         {"leftup.bmp", "leftdown.bmp", "rightup.bmp", "rightdown.bmp", "upup.bmp", "updown.bmp",
          "downup.bmp", "downdown.bmp", "julong.bmp", "julongdown.bmp", "kuosan.bmp", "kuosandown.bmp"}},
        {"CONTROL_BLFXRStaPic3", {"upup.bmp", "downdown.bmp"}},
        {"CONTROL_HONGPIC",
         {"hong.bmp", "hongok.bmp", "huang.bmp", "huangok.bmp", "lv.bmp", "lvok.bmp", "lan.bmp",
          "lanok.bmp"}},
        {"CONTROL_HXsjsStaPic", {"sjsup.bmp", "sjsdown.bmp"}},
        {"CONTROL_FYSJSStaPic", {"sjsup.bmp", "sjsdown.bmp"}},
        {"CONTROL_USERgjStaPic2", {"user1up.bmp", "user1down.bmp", "user2up.bmp", "user2down.bmp"}},
        {"CONTROL_JDTStatic", {"jdt1.bmp", "jdt5.bmp", "jdt10.bmp"}},
        {"CONTROL_LightSlider", {"0.bmp", "4.bmp", "5.bmp"}},
        {"CONTROL_SpeedSlider", {"6.bmp", "10.bmp", "11.bmp"}},
    };
    for (const auto& g : groups)
        for (const QString& picture : g.pictures)
            EXPECT_EQ(Load(picture).size(), sizeOf(g.control)) << g.control << " " << qPrintable(picture);
    // Slider faces differ from one position to the next.
    for (int k = 0; k < 25; ++k)
        EXPECT_NE(Load(QStringLiteral("%1.bmp").arg(k)), Load(QStringLiteral("%1.bmp").arg(k + 1))) << k;
    for (int id : {128, 141, 142})
        EXPECT_TRUE(Load(QStringLiteral("icon_%1.png").arg(id)).hasAlphaChannel()) << id;
}

TEST(SkinTemplate, ColourSetTemplateHoldsTenSetsForEveryKey) {
    ASSERT_TRUE(SkinDir().exists("UserDengColor_3.userd"));
    const SkinIni t = LoadIni(SkinDir().filePath("UserDengColor_3.userd"));
    EXPECT_EQ(t.Value("PRESENTMODE", "mode"), "0");
    static const QRegularExpression rgb(QStringLiteral("^(\\d{1,3}),(\\d{1,3}),(\\d{1,3})(,([01]))?$"));
    auto checkColour = [](const QString& value, bool withFlag, const QString& where) {
        const auto m = rgb.match(value);
        ASSERT_TRUE(m.hasMatch()) << qPrintable(where) << "=" << qPrintable(value);
        for (int i = 1; i <= 3; ++i) EXPECT_LE(m.captured(i).toInt(), 255) << qPrintable(where);
        EXPECT_EQ(m.hasCaptured(5), withFlag) << qPrintable(where);
    };
    for (int set = 0; set < 10; ++set) {
        EXPECT_FALSE(t.Value("MODENAME", QString::number(set)).isEmpty()) << set;
        const QString section = QStringLiteral("Mode%1").arg(set);
        const QString tool = t.Value(section, "tool");
        EXPECT_TRUE(tool == "0" || tool == "1") << qPrintable(section);
        checkColour(t.Value(section, "jcolor"), false, section + "/jcolor");
        checkColour(t.Value(section, "color"), false, section + "/color");
        int keys = 0;
        for (const auto& [key, value] : t.Entries(section)) {
            bool number = false;
            const int slot = key.toInt(&number);
            if (!number) continue;
            EXPECT_TRUE(slot >= 0 && slot < 126) << slot;
            checkColour(value, true, section + "/" + key);
            ++keys;
        }
        EXPECT_EQ(keys, 105) << qPrintable(section) << ": the 104 keys and Fn";
        EXPECT_TRUE(t.HasKey(section, "110")) << "Fn";
        EXPECT_TRUE(t.HasKey(section, "108")) << "Space";
    }
}

// The key dialogs and the macro editor: no two controls a user sees at the same time overlap.
// The composite dialog shows one page at a time, so its pages may reuse each other's places.
TEST(SkinLayout, KeyAndMacroDialogControlsNeverOverlap) {
    const QStringList single = {"KEY_SETTING", "FUNC_KEY_INPUT", "TISHI_SINGLE_STATIC"};
    const QStringList media = {"MEDIA_SETTING_TISHI", "FUNC_MEDIA_SELECT"};
    const QStringList function = {"FUNCTION_KEY_SETTING_TISHI", "FUNC_FUNCTION_SELECT"};
    const auto isMacroPage = [](const QString& k) {
        return k.startsWith("FUNC_MACRO") || k == "MARCO_NAME_SETTING";
    };
    for (const char* file : {"Composite.ini", "Key.ini", "Macro.ini"}) {
        const auto rects = Rects(Layout(QString::fromLatin1(file)), "BUTTONINFO");
        const bool paged = QString::fromLatin1(file) == "Composite.ini";
        const auto pageOf = [&](const QString& k) -> int {
            if (!paged) return 0;
            if (single.contains(k)) return 1;
            if (isMacroPage(k)) return 2;
            if (media.contains(k)) return 3;
            if (function.contains(k)) return 4;
            return 0;  // shown on every page
        };
        for (int i = 0; i < rects.size(); ++i) {
            for (int j = i + 1; j < rects.size(); ++j) {
                const int a = pageOf(rects[i].first), b = pageOf(rects[j].first);
                if (a != 0 && b != 0 && a != b) continue;
                EXPECT_FALSE(rects[i].second.intersects(rects[j].second))
                    << file << ": " << qPrintable(rects[i].first) << " overlaps "
                    << qPrintable(rects[j].first);
            }
        }
    }
}
