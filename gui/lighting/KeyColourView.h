// The on-screen keyboard's buttons as the lighting sees them: each paint button (the 104 keys,
// G1..G9, Fn) either shows a colour (the button's colour mode) or its ordinary face. Only
// buttons whose colour actually changes are touched, so a preview frame that moves a few keys
// repaints a few buttons and a frame that changes nothing repaints none.
#pragma once

#include <QColor>
#include <QObject>
#include <QPixmap>
#include <array>
#include <functional>
#include <optional>

#include "core/lighting/Colour.h"
#include "core/lighting/EffectPreview.h"
#include "core/lighting/PaintButton.h"

namespace talvenix::gui {

class CPngButton;
class CKeyGrid;

class CKeyColourView {
public:
    using Buttons = std::array<CPngButton*, lighting::kPaintButtonCount>;

    CKeyColourView() = default;
    explicit CKeyColourView(const Buttons& buttons) : buttons_(buttons) {}
    // The grid's buttons in paint-button order.
    static Buttons ButtonsOf(const CKeyGrid& grid);
    // Gives every button the piece of the window background under it, so a button whose
    // colour changes repaints alone.
    void SetBackdrop(const QPixmap& windowBackground);

    // Colours travel as 0xBBGGRR.
    static QColor ToQColor(lighting::Colour c);
    static lighting::Colour FromQColor(const QColor& c);

    // One colour, or none for the ordinary face.
    void Show(lighting::PaintButton button, std::optional<lighting::Colour> colour);
    // A preview frame; a frame marked unchanged leaves every button as it is.
    void Show(const lighting::PreviewFrame& frame);
    // Every button from a colour source (the stored per-key colours).
    void ShowAll(const std::function<lighting::Colour(lighting::PaintButton)>& colourOf);
    // Every button back to its ordinary face.
    void Clear();

    std::optional<lighting::Colour> Shown(lighting::PaintButton button) const;
    // The paint button a widget is, or nullopt.
    std::optional<lighting::PaintButton> ButtonOf(const QObject* widget) const;
    CPngButton* Button(lighting::PaintButton button) const;

private:
    Buttons buttons_{};
    std::array<std::optional<lighting::Colour>, lighting::kPaintButtonCount> shown_{};
};

}  // namespace talvenix::gui
