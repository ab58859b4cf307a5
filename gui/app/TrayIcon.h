// CTrayIcon: the notification-area icon and its menu (Show, About, Quit). Where the desktop
// has no notification area the program runs without one; Qt docks the icon again when a
// notification area appears later.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>

class QMenu;
class QSystemTrayIcon;

namespace talvenix::gui {

// The three icon images: no keyboard, keyboard attached, the keyboard's own icon event.
enum class TrayState { NoKeyboard = 128, Attached = 141, Event = 142 };

// Drawn, not loaded: the icons are part of the program, not of the skin.
QIcon TrayStateIcon(TrayState state);

class CTrayIcon : public QObject {
    Q_OBJECT
public:
    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    // Adds the icon (when a notification area exists now or later).
    void Add(const QString& tip);
    void Remove();
    bool Added() const { return added_; }
    // Whether the desktop shows it right now.
    bool Visible() const;

    void SetState(TrayState state);
    TrayState State() const { return state_; }
    void SetTip(const QString& tip);
    QString Tip() const { return tip_; }
    // Menu item texts: Show, About, Quit.
    void SetMenuTexts(const QString& show, const QString& about, const QString& quit);
    QMenu* Menu() const { return menu_; }

Q_SIGNALS:
    void ShowRequested();
    void AboutRequested();
    void QuitRequested();

private:
    QSystemTrayIcon* tray_ = nullptr;
    QMenu* menu_ = nullptr;
    TrayState state_ = TrayState::NoKeyboard;
    QString tip_;
    bool added_ = false;
};

}  // namespace talvenix::gui
