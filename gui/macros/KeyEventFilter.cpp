#include "gui/macros/KeyEventFilter.h"

#include <QApplication>
#include <QKeyEvent>

#include "core/keys/KeyCapture.h"

namespace talvenix::gui {

KeyEventFilter::KeyEventFilter(QWidget* window, Handler handler, QObject* parent)
    : QObject(parent), window_(window), handler_(std::move(handler)) {}

KeyEventFilter::~KeyEventFilter() { SetActive(false); }

void KeyEventFilter::SetActive(bool on) {
    if (on == active_) return;
    active_ = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

std::optional<keys::WindowsKeyEvent> KeyEventFilter::Translate(const QKeyEvent& event) {
    const bool released = event.type() == QEvent::KeyRelease;
    auto k = keys::TranslateNativeKey(event.nativeScanCode(), event.nativeVirtualKey(), released);
    if (!k) return std::nullopt;
    if (event.isAutoRepeat() && !released) k->flags |= keys::kFlagPreviousDown;
    return k;
}

bool KeyEventFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!active_ || !window_ || !widget || widget->window() != window_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const auto k = Translate(*key);
    if (!k) return false;
    if (type == QEvent::ShortcutOverride) {
        // Keep shortcuts from eating keys the handler wants; the press follows as a KeyPress.
        key->accept();
        return true;
    }
    // An auto-repeat release is no real release: the key is still held.
    if (type == QEvent::KeyRelease && key->isAutoRepeat()) return true;
    return handler_ && handler_(k->vk, k->flags);
}

}  // namespace talvenix::gui
