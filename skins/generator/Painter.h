// Drawing of the skin: window backgrounds and masks, button faces in each state, glyphs, and the
// small lighting-panel bitmaps. Pure QPainter work; which picture holds what is decided in main.cpp.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include "Faces.h"
#include "SkinIni.h"

namespace skingen {

// The look. Defaults give the dark style; a layout file may override any of them in [STYLE]
// (values "#RRGGBB").
struct Palette {
    QColor window{0x15, 0x17, 0x1C};
    QColor windowLow{0x10, 0x12, 0x16};
    QColor titleBar{0x1B, 0x1E, 0x24};
    QColor panel{0x1E, 0x21, 0x28};
    QColor panelBorder{0x2C, 0x30, 0x39};
    QColor field{0x10, 0x12, 0x16};
    QColor border{0x34, 0x39, 0x44};
    QColor capTop{0x33, 0x38, 0x42};
    QColor capBottom{0x24, 0x28, 0x30};
    QColor text{0xE4, 0xE4, 0xE4};
    // Every text, dimmed and disabled ones included, stays readable (4.5 : 1) on every surface
    // it is drawn on; disabled differs from normal by tone, not by fading out.
    QColor dimText{0xB4, 0xBA, 0xC4};
    QColor disabledText{0xA0, 0xA7, 0xB4};
    QColor accent{0x00, 0xB4, 0xFF};
    QColor accentDeep{0x00, 0x5F, 0x8C};
    QColor record{0xE5, 0x39, 0x35};

    void Override(const SkinIni& layout);
};

enum class State { Normal, Over, Down, Disabled };

// Variations of a whole picture set.
struct Variant {
    State state = State::Normal;
    bool assigned = false;  // main_color0/1: key and G caps in their "has an assignment" look
    bool dimmed = false;    // macro2: everything subdued (macro-only mode)
    bool other = false;     // macro_other: Record while recording, Apply highlighted
    int activePage = -1;    // composite sets: 0 key, 1 macro, 2 media, 3 function
    bool ghost = false;     // background caps: what shows inside a key drawn in colour mode
};

class Painter {
public:
    explicit Painter(const Palette& palette) : p_(palette) {}

    // Pictures come out `scale` device pixels per layout pixel (1, or 2 for high-density screens);
    // every size and position stays in layout pixels. The mask and the tray icons are 1x only.
    void SetScale(int scale) { scale_ = scale; }
    int Scale() const { return scale_; }

    // The background of one dialog (size from [SCREEN] Size); draws the panels its controls need.
    QImage Background(const QString& layoutName, const SkinIni& layout, QSize size) const;
    // The shape mask: black inside, pure white outside the rounded window.
    QImage Mask(QSize size) const;

    // Paints one face into its picture at (x - 1, y - 1), the place the button copies it from.
    void PaintFace(QImage& picture, const QString& key, const QRect& rect, const Face& face,
                   const Variant& variant) const;
    // An arrow face of Arrow.jpg (BUTTONINFO2 key such as "UP_ARROW_LEFT2").
    void PaintArrowFace(QImage& picture, const QString& faceKey, const QRect& rect) const;

    // Lighting-panel bitmaps, each the size of its control.
    QImage LampSwitch(QSize size, bool on) const;
    QImage Direction(QSize size, const QString& kind,
                     bool pressed) const;  // left right up down julong kuosan
    QImage Preset(QSize size, QColor colour, bool chosen) const;
    QImage RandomToggle(QSize size, bool on) const;
    QImage Tool(QSize size, int tool, bool chosen) const;
    QImage BusyFrame(QSize size, int frame, const QColor& base) const;  // frame 0..9
    QImage Slider(QSize size, int position, int positions,
                  int style) const;  // style 0 bright, 1 speed, 2 plain
    QImage TrayIcon(int id) const;

private:
    void Glyph(class QPainter& g, const QRectF& r, const QString& name, const QColor& c) const;
    void KeyCap(QPainter& g, const QRectF& r, const QString& legend, const Variant& v, bool gKey) const;
    void Button(QPainter& g, const QRectF& r, const Variant& v, bool selected) const;
    void ColourWheel(QImage& image, QPoint centre, int radius) const;
    QColor Card() const { return p_.panel; }
    QImage NewImage(QSize size) const;

    Palette p_;
    int scale_ = 1;
};

}  // namespace skingen
