// skingen: paints every picture of the skin from its layout files.
//
//   skingen <layout folder> <output folder>
//
// Reads Main.ini, Profile.ini, Key.ini, Macro.ini, Composite.ini and UpdateDlg.ini, and writes each
// dialog's background and mask, the state picture sets (every button face at its rectangle, cut by
// the program at x - 1, y - 1), Arrow.jpg, the lighting-panel bitmaps, busy frames, slider faces and
// tray icons. Any problem (unreadable layout, missing rectangle, overlapping faces in one picture,
// unwritable file) ends with a message naming it and a non-zero exit code, so the build stops.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <cstdio>
#include <map>

#include "Faces.h"
#include "Painter.h"
#include "SkinIni.h"

using namespace skingen;

namespace {

[[noreturn]] void Fail(const QString& message) {
    std::fprintf(stderr, "skingen: %s\n", qPrintable(message));
    std::exit(1);
}

struct Generator {
    QDir out;
    std::map<QString, SkinIni> layouts;  // by file name
    QHash<QString, QImage> backgrounds;  // by layout file name
    Painter painter{Palette{}};
    int written = 0;

    // "main_bg.bmp" at 1x, "main_bg@2x.bmp" at 2x: the program picks the set for its screen.
    QString ScaledName(const QString& name) const {
        if (painter.Scale() == 1) return name;
        const int dot = name.lastIndexOf(u'.');
        return name.left(dot) + QStringLiteral("@%1x").arg(painter.Scale()) + name.mid(dot);
    }

    void Save(const QImage& image, const QString& name, int quality = 95) {
        const QString path = out.filePath(ScaledName(name));
        const QString suffix = QFileInfo(name).suffix().toLower();
        const char* format = suffix == "jpg" ? "JPEG" : suffix == "bmp" ? "BMP" : "PNG";
        if (!image.save(path, format, suffix == "jpg" ? quality : -1)) Fail("cannot write " + path);
        ++written;
    }

    const SkinIni& Layout(const QString& name) const { return layouts.at(name); }

    QSize SizeOf(const QString& name) const {
        QRect r;
        if (!ParseRect(QStringLiteral("0,0,") + Layout(name).Value("SCREEN", "Size"), &r) || r.width() <= 0 ||
            r.height() <= 0)
            Fail(name + ": [SCREEN] Size must be \"width,height\"");
        if (r.width() > 1280 || r.height() > 800) Fail(name + ": the window is larger than 1280 x 800");
        return r.size();
    }

    QRect RectOf(const QString& layout, const QString& key) const {
        QRect r;
        if (!Layout(layout).Rect("BUTTONINFO", key, &r)) Fail(layout + ": no rectangle for " + key);
        return r;
    }

    void LoadLayouts(const QDir& dir) {
        for (const QString& name : LayoutFiles()) {
            SkinIni ini;
            if (!ini.Load(dir.filePath(name))) Fail("cannot read " + dir.filePath(name) + ": " + ini.error());
            layouts.emplace(name, std::move(ini));
        }
        Palette palette;
        palette.Override(Layout("Main.ini"));
        painter = Painter(palette);
    }

    void Backgrounds() {
        for (const auto& [name, ini] : layouts) {
            const QSize size = SizeOf(name);
            const QString bg = ini.Value("SCREEN", "Main");
            const QString mask = ini.Value("SCREEN", "Mask", bg);
            if (bg.isEmpty()) Fail(name + ": [SCREEN] Main is missing");
            QImage image = painter.Background(name, ini, size);
            backgrounds.insert(name, image);
            Save(image, bg);
            // Two colours only: a one-bit picture keeps the mask small. The program scales the
            // 1x mask itself, so there is no 2x one.
            if (mask != bg && painter.Scale() == 1)
                Save(painter.Mask(size).convertToFormat(QImage::Format_Mono), mask);
        }
    }

    // A state picture starts as the dialog's background moved up and left by one pixel, so the
    // rounded corners of a face blend into what surrounds the button on screen.
    QImage Base(const QString& layout, QSize size) const {
        QImage image(size * painter.Scale(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(painter.Scale());
        QPainter g(&image);
        g.drawImage(QPoint(-1, -1), backgrounds.value(layout));
        // Source rectangles are in the background's own pixels.
        const int s = painter.Scale();
        g.drawImage(QPoint(size.width() - 1, 0), backgrounds.value(layout),
                    QRect((size.width() - 1) * s, 0, s, size.height() * s));
        g.drawImage(QPoint(0, size.height() - 1), backgrounds.value(layout),
                    QRect(0, (size.height() - 1) * s, size.width() * s, s));
        return image;
    }

    void StateSets() {
        for (const PictureSet& set : PictureSets()) {
            QSize size;
            for (const QString& l : set.layouts) size = size.expandedTo(SizeOf(l));
            // Faces of different dialogs may share a picture only where they are the same face.
            struct Placed {
                QString layout, key;
                QRect rect;
                Face face;
            };
            QList<Placed> placed;
            for (const QString& l : set.layouts) {
                for (const auto& [key, value] : Layout(l).Entries("BUTTONINFO")) {
                    const Face face = FaceFor(key, Layout(l));
                    if (face.kind == FaceKind::None) continue;
                    QRect r;
                    if (!ParseRect(value, &r)) Fail(l + ": bad rectangle for " + key + ": " + value);
                    for (const Placed& p : placed) {
                        if (!p.rect.intersects(r)) continue;
                        if (p.layout == l || p.rect != r || p.face.kind != face.kind ||
                            p.face.glyph != face.glyph)
                            Fail(QStringLiteral("%1 %2 overlaps %3 %4 in the %5 pictures")
                                     .arg(l, key, p.layout, p.key, set.prefix));
                    }
                    placed.append({l, key, r, face});
                }
            }
            int page = -1;
            if (set.prefix == "key") page = 0;
            if (set.prefix == "macro" || set.prefix == "macro2") page = 1;
            if (set.prefix == "media") page = 2;
            if (set.prefix == "function") page = 3;
            for (const QString& state : set.states) {
                Variant v;
                v.activePage = page;
                v.dimmed = set.prefix == "macro2";
                if (state == "over" || state == "color1") v.state = State::Over;
                if (state == "down") v.state = State::Down;
                if (state == "disable") v.state = State::Disabled;
                v.assigned = state.startsWith(QLatin1String("color"));
                v.other = state == "other";
                QImage picture = Base(set.layouts.first(), size);
                for (const Placed& p : placed) painter.PaintFace(picture, p.key, p.rect, p.face, v);
                Save(picture.convertToFormat(QImage::Format_RGB32), StatePictureName(set.prefix, state));
            }
        }
    }

    void Arrows() {
        const QSize size = SizeOf("Main.ini");
        QImage picture = Base("Main.ini", size);
        for (const auto& [key, value] : Layout("Main.ini").Entries("BUTTONINFO2")) {
            QRect r;
            if (!ParseRect(value, &r)) Fail("Main.ini: bad rectangle for " + key);
            painter.PaintArrowFace(picture, key, r);
        }
        Save(picture.convertToFormat(QImage::Format_RGB32), "Arrow.jpg");
    }

    void LightingBitmaps() {
        const QString m = "Main.ini";
        const QSize lamp = RectOf(m, "CONTROL_DengStaPic").size();
        Save(painter.LampSwitch(lamp, false), "dengup.bmp");
        Save(painter.LampSwitch(lamp, true), "dengdown.bmp");

        const QSize dir = RectOf(m, "CONTROL_BLFXLStaPic").size();
        for (const char* kind : {"left", "right", "up", "down"}) {
            Save(painter.Direction(dir, kind, false), QString::fromLatin1(kind) + "up.bmp");
            Save(painter.Direction(dir, kind, true), QString::fromLatin1(kind) + "down.bmp");
        }
        for (const char* kind : {"julong", "kuosan"}) {
            Save(painter.Direction(dir, kind, false), QString::fromLatin1(kind) + ".bmp");
            Save(painter.Direction(dir, kind, true), QString::fromLatin1(kind) + "down.bmp");
        }

        const QSize preset = RectOf(m, "CONTROL_HONGPIC").size();
        const struct {
            const char* name;
            QColor colour;
        } presets[] = {{"hong", QColor(0xFF, 0x00, 0x00)},
                       {"huang", QColor(0xFF, 0xFF, 0x00)},
                       {"lv", QColor(0x00, 0xFF, 0x00)},
                       {"lan", QColor(0x00, 0x00, 0xFF)}};
        for (const auto& p : presets) {
            Save(painter.Preset(preset, p.colour, false), QString::fromLatin1(p.name) + ".bmp");
            Save(painter.Preset(preset, p.colour, true), QString::fromLatin1(p.name) + "ok.bmp");
        }

        const QSize random = RectOf(m, "CONTROL_HXsjsStaPic").size();
        Save(painter.RandomToggle(random, false), "sjsup.bmp");
        Save(painter.RandomToggle(random, true), "sjsdown.bmp");

        const QSize tool = RectOf(m, "CONTROL_USERgjStaPic1").size();
        for (int t = 0; t < 2; ++t) {
            Save(painter.Tool(tool, t, false), QStringLiteral("user%1up.bmp").arg(t + 1));
            Save(painter.Tool(tool, t, true), QStringLiteral("user%1down.bmp").arg(t + 1));
        }

        const QRect busy = RectOf(m, "CONTROL_JDTStatic");
        const QColor under = backgrounds.value(m).pixelColor(busy.center() * painter.Scale());
        for (int f = 0; f < 10; ++f)
            Save(painter.BusyFrame(busy.size(), f, under), QStringLiteral("jdt%1.bmp").arg(f + 1));

        const QSize slider = RectOf(m, "CONTROL_LightSlider").size();
        for (int k = 0; k <= 25; ++k) {
            QImage face = k < 6    ? painter.Slider(slider, k, 6, 0)
                          : k < 12 ? painter.Slider(slider, k - 6, 6, 1)
                                   : painter.Slider(slider, k - 12, 14, 2);
            Save(face, QStringLiteral("%1.bmp").arg(k));
        }
    }

    void TrayIcons() {
        for (int id : {128, 141, 142}) Save(painter.TrayIcon(id), QStringLiteral("icon_%1.png").arg(id));
    }
};

}  // namespace

int main(int argc, char** argv) {
    // Painting text needs a GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: skingen <layout folder> <output folder>\n");
        return 2;
    }
    Generator gen;
    gen.out = QDir(args.at(2));
    if (!gen.out.mkpath(QStringLiteral("."))) Fail("cannot create " + args.at(2));
    gen.LoadLayouts(QDir(args.at(1)));
    for (int scale : {1, 2}) {
        gen.painter.SetScale(scale);
        gen.Backgrounds();
        gen.StateSets();
        gen.Arrows();
        gen.LightingBitmaps();
        if (scale == 1) gen.TrayIcons();
    }
    std::printf("skingen: %d pictures in %s\n", gen.written, qPrintable(gen.out.absolutePath()));
    return 0;
}
