#include "gui/app/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>

namespace talvenix::gui {

QIcon TrayStateIcon(TrayState state) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor body = QColor(34, 37, 43);
        QColor accent;
        switch (state) {
            case TrayState::NoKeyboard:
                accent = QColor(120, 124, 132);
                break;
            case TrayState::Attached:
                accent = QColor(0, 190, 255);
                break;
            case TrayState::Event:
                accent = QColor(255, 140, 0);
                break;
        }
        const qreal s = size;
        const QRectF board(s * 0.06, s * 0.22, s * 0.88, s * 0.56);
        p.setPen(QPen(accent, std::max(1.0, s / 16)));
        p.setBrush(body);
        p.drawRoundedRect(board, s * 0.12, s * 0.12);
        // Three rows of key caps.
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        const qreal key = s * 0.11;
        for (int row = 0; row < 3; ++row) {
            const int keys = row == 2 ? 1 : 5;
            for (int k = 0; k < keys; ++k) {
                const qreal w = row == 2 ? s * 0.5 : key;
                const qreal x = row == 2 ? s * 0.25 : board.left() + s * 0.08 + k * (key + s * 0.045);
                const qreal y = board.top() + s * 0.08 + row * (key + s * 0.045);
                p.drawRect(QRectF(x, y, w, key * 0.8));
            }
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

CTrayIcon::CTrayIcon(QObject* parent) : QObject(parent) {
    menu_ = new QMenu();
    auto* show = menu_->addAction(QStringLiteral(" "));
    auto* about = menu_->addAction(QStringLiteral(" "));
    auto* quit = menu_->addAction(QStringLiteral(" "));
    menu_->setDefaultAction(show);
    connect(show, &QAction::triggered, this, &CTrayIcon::ShowRequested);
    connect(about, &QAction::triggered, this, &CTrayIcon::AboutRequested);
    connect(quit, &QAction::triggered, this, &CTrayIcon::QuitRequested);
}

CTrayIcon::~CTrayIcon() {
    Remove();
    delete menu_;
}

void CTrayIcon::Add(const QString& tip) {
    tip_ = tip;
    if (!tray_) {
        tray_ = new QSystemTrayIcon(TrayStateIcon(state_), this);
        tray_->setContextMenu(menu_);
        connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick) Q_EMIT ShowRequested();
        });
    }
    tray_->setToolTip(tip_.left(127));
    tray_->show();
    added_ = true;
}

void CTrayIcon::Remove() {
    if (tray_) tray_->hide();
    added_ = false;
}

bool CTrayIcon::Visible() const {
    return tray_ && tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void CTrayIcon::SetState(TrayState state) {
    state_ = state;
    if (tray_) tray_->setIcon(TrayStateIcon(state_));
}

void CTrayIcon::SetTip(const QString& tip) {
    tip_ = tip;
    if (tray_) tray_->setToolTip(tip_.left(127));
}

void CTrayIcon::SetMenuTexts(const QString& show, const QString& about, const QString& quit) {
    const auto actions = menu_->actions();
    actions[0]->setText(show);
    actions[1]->setText(about);
    actions[2]->setText(quit);
}

}  // namespace talvenix::gui
