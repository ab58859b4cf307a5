// What each layout key looks like on a state picture, and which pictures the skin consists of.
// Shared by the generator (to paint) and the skin tests (to check what was painted).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "SkinIni.h"

namespace skingen {

enum class FaceKind {
    None,        // not a picture button: statics, edits, lists, sliders, lighting pictures
    KeyCap,      // a key of the on-screen keyboard, legend from [KEYCAPS]
    GCap,        // a G key: blank cap, the program writes its label
    LockLed,     // Caps/Num/Scroll indicator: off in normal, lit in down
    LockAB,      // G-bank indicator: A lit in normal, B lit in down
    TextButton,  // blank button, the program draws the language text
    Tab,         // composite page tab (blank, program text)
    Labelled,    // button with a baked, language-neutral label (report rates)
    Icon,        // button with a baked glyph
    Radio,       // radio mark at the left, program text from x + 24
    Check,       // check box at the left, program text from x + 24
    Brand,       // the brand link
    Banner,      // the composite dialog's page banner
    Record,      // the record button (program text, red stripe; red fill in macro_other)
};

struct Face {
    FaceKind kind = FaceKind::None;
    QString glyph;  // Icon: glyph name; Labelled/KeyCap: the text; Banner: unused
};

// The face of one BUTTONINFO key of a layout file (the layout supplies key legends).
Face FaceFor(const QString& key, const SkinIni& layout);

// One dialog of the skin: its layout file and the picture sets that carry its faces.
struct DialogSkin {
    QString layout;           // "Main.ini"
    QStringList pictureSets;  // e.g. "main" → main_normal.jpg, ...
};

// One picture set: a prefix and the states it is painted in, e.g. "key" + normal/over/down/disable.
struct PictureSet {
    QString prefix;
    QStringList states;   // "normal", "over", "down", "disable", "color0", "color1", "other"
    QStringList layouts;  // layout files whose faces it carries
};

QList<PictureSet> PictureSets();
QStringList LayoutFiles();
// File name of one state picture: prefix + "_" + state + ".jpg" (the colour pictures keep the main prefix).
QString StatePictureName(const QString& prefix, const QString& state);
// Every picture the skin must provide besides the layouts' own SCREEN backgrounds and masks.
QStringList FixedPictureNames();

}  // namespace skingen
