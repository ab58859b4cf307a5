// Key events of one window, taken before any widget sees them: the application-wide filter
// that key capture and macro recording listen through. Each native key event becomes the
// Windows form (virtual key, key-message flags) the capture and recording rules are written
// for; the handler says whether the event is swallowed. Keys the native key table does not
// know reach the window untouched.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/keys/NativeKeys.h"

class QKeyEvent;

namespace talvenix::gui {

class KeyEventFilter : public QObject {
    Q_OBJECT
public:
    // Returns true to swallow the event.
    using Handler = std::function<bool(std::uint32_t vk, std::uint32_t flags)>;

    KeyEventFilter(QWidget* window, Handler handler, QObject* parent = nullptr);
    ~KeyEventFilter() override;

    void SetActive(bool on);
    bool Active() const { return active_; }

    // The Windows form of a Qt key event (auto-repeat sets the previous-state bit).
    static std::optional<keys::WindowsKeyEvent> Translate(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    Handler handler_;
    bool active_ = false;
};

}  // namespace talvenix::gui
