#include "gui/lighting/KeyColourView.h"

#include <QImage>

#include "gui/main/KeyGrid.h"
#include "gui/skin/PngButton.h"

namespace talvenix::gui {

using lighting::Colour;
using lighting::PaintButton;

CKeyColourView::Buttons CKeyColourView::ButtonsOf(const CKeyGrid& grid) {
    Buttons b{};
    for (int i = 0; i < lighting::kKeyButtonCount; ++i) b[static_cast<std::size_t>(i)] = grid.KeyButton(i);
    for (int n = 0; n < lighting::kGButtonCount; ++n)
        b[static_cast<std::size_t>(lighting::GButton(n))] = grid.GButton(n);
    b[static_cast<std::size_t>(lighting::kFnButton)] = grid.FnButton();
    return b;
}

void CKeyColourView::SetBackdrop(const QPixmap& windowBackground) {
    for (auto* b : buttons_)
        if (b) {
            // In the screen's pixel format the piece is copied, not converted, on each repaint.
            QImage piece = windowBackground.copy(b->geometry()).toImage();
            piece.convertTo(QImage::Format_RGB32);
            b->SetColourBackdrop(QPixmap::fromImage(std::move(piece)));
        }
}

QColor CKeyColourView::ToQColor(Colour c) {
    return QColor(lighting::RedOf(c), lighting::GreenOf(c), lighting::BlueOf(c));
}

Colour CKeyColourView::FromQColor(const QColor& c) {
    return lighting::MakeColour(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                                static_cast<std::uint8_t>(c.blue()));
}

CPngButton* CKeyColourView::Button(PaintButton button) const {
    return lighting::IsPaintButton(button) ? buttons_[static_cast<std::size_t>(button)] : nullptr;
}

void CKeyColourView::Show(PaintButton button, std::optional<Colour> colour) {
    if (!lighting::IsPaintButton(button)) return;
    auto& shown = shown_[static_cast<std::size_t>(button)];
    if (shown == colour) return;
    shown = colour;
    if (auto* b = buttons_[static_cast<std::size_t>(button)]) {
        if (colour)
            b->SetColourMode(true, ToQColor(*colour));
        else
            b->SetColourMode(false);
    }
}

void CKeyColourView::Show(const lighting::PreviewFrame& frame) {
    if (frame.unchanged) return;
    for (PaintButton b = 0; b < lighting::kPaintButtonCount; ++b)
        Show(b, frame.colours[static_cast<std::size_t>(b)]);
}

void CKeyColourView::ShowAll(const std::function<Colour(PaintButton)>& colourOf) {
    for (PaintButton b = 0; b < lighting::kPaintButtonCount; ++b) Show(b, colourOf(b));
}

void CKeyColourView::Clear() {
    for (PaintButton b = 0; b < lighting::kPaintButtonCount; ++b) Show(b, std::nullopt);
}

std::optional<Colour> CKeyColourView::Shown(PaintButton button) const {
    if (!lighting::IsPaintButton(button)) return std::nullopt;
    return shown_[static_cast<std::size_t>(button)];
}

std::optional<PaintButton> CKeyColourView::ButtonOf(const QObject* widget) const {
    for (PaintButton b = 0; b < lighting::kPaintButtonCount; ++b)
        if (buttons_[static_cast<std::size_t>(b)] == widget) return b;
    return std::nullopt;
}

}  // namespace talvenix::gui
