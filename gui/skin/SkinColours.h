// The colours the program draws its own texts in, matching the default skin's pictures. Every
// text stays readable (at least 4.5 : 1) on the surfaces the skin paints; a test checks it.
#pragma once

#include <QColor>
#include <QPalette>
#include <QToolTip>
#include <QWidget>

namespace talvenix::gui::skincolours {

inline constexpr QRgb kText = 0xE4E4E4;          // captions, labels
inline constexpr QRgb kDimText = 0xB4BAC4;       // secondary texts: title, version
inline constexpr QRgb kDisabledText = 0xA0A7B4;  // captions of disabled buttons
inline constexpr QRgb kAccent = 0x00B4FF;        // the focus ring
inline constexpr QRgb kToolTipBase = 0x1E2128;   // tooltips sit on the panel colour
inline constexpr QRgb kToolTipBorder = 0x343944;

// A label's text colour through its palette: a style sheet would also colour the label's
// tooltip text and leave it on Qt's pale tooltip background.
inline void SetTextColour(QWidget& widget, QRgb colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(colour));
    widget.setPalette(palette);
}

// Tooltips of the whole program: light text on the skin's panel colour.
inline void ApplyToolTipColours(QPalette palette) {
    palette.setColor(QPalette::ToolTipBase, QColor::fromRgb(kToolTipBase));
    palette.setColor(QPalette::ToolTipText, QColor::fromRgb(kText));
    palette.setColor(QPalette::Window, QColor::fromRgb(kToolTipBase));
    palette.setColor(QPalette::WindowText, QColor::fromRgb(kText));
    QToolTip::setPalette(palette);
}

}  // namespace talvenix::gui::skincolours
