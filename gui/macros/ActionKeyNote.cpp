#include "gui/macros/ActionKeyNote.h"

#include <QEvent>
#include <QFontMetrics>
#include <algorithm>
#include <map>

#include "core/keys/KeyTable.h"
#include "core/profiles/Storable.h"
#include "gui/keys/DialogKit.h"
#include "gui/macros/ActionListView.h"

namespace talvenix::gui {

namespace {
constexpr int kKeysNamed = 4;  // beyond that the marked rows tell the rest
}

ActionKeyNote::ActionKeyNote(ActionListView* view, QWidget* parent)
    : QLabel(parent), view_(view), full_(view->geometry()) {
    setObjectName(QStringLiteral("MacroKeyNote"));
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setStyleSheet(QStringLiteral("color:%1;").arg(QLatin1String(kit::kWarnColour)));
    hide();
    QAbstractItemModel* model = view->model();
    connect(model, &QAbstractItemModel::modelReset, this, &ActionKeyNote::Refresh);
    connect(model, &QAbstractItemModel::rowsInserted, this, &ActionKeyNote::Refresh);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ActionKeyNote::Refresh);
    connect(model, &QAbstractItemModel::dataChanged, this, &ActionKeyNote::Refresh);
    view->installEventFilter(this);
}

bool ActionKeyNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        Refresh();
    return QLabel::eventFilter(watched, event);
}

void ActionKeyNote::Refresh() {
    // Action numbers per key, in the order the keys first appear.
    std::vector<keys::KeyCode> order;
    std::map<keys::KeyCode, QStringList> actions;
    const auto& rows = view_->List().Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const keys::KeyCode code = rows[i].keyCode;
        if (profiles::MacroMemoryHolds(code)) continue;
        if (!actions.count(code)) order.push_back(code);
        actions[code] << QString::number(i + 1);
    }
    if (order.empty() || view_->isHidden()) {
        hide();
        setText({});
        view_->setGeometry(full_);
        return;
    }
    QStringList named;
    for (std::size_t k = 0; k < order.size() && k < static_cast<std::size_t>(kKeysNamed); ++k) {
        named << kit::Fx("MACRO_STORE_ITEM", "%1 (action %2)")
                     .arg(QString::fromStdString(keys::KeyNameOf(order[k])),
                          actions[order[k]].join(QStringLiteral(", ")));
    }
    QString list = named.join(QStringLiteral(", "));
    if (order.size() > static_cast<std::size_t>(kKeysNamed)) list += QStringLiteral(", …");
    setText(kit::Fx("MACRO_STORE_NOTE",
                    "The keyboard's macro memory cannot hold %1; the macro will press nothing there.")
                .arg(list));
    // As tall as the wrapped text needs (a fallback font for CJK text is taller than the
    // label's own), and never more than half the list.
    const int wanted = std::max(heightForWidth(full_.width()), QFontMetrics(font()).lineSpacing() * 2) + 6;
    const int height = std::min(wanted, full_.height() / 2);
    view_->setGeometry(full_.x(), full_.y(), full_.width(), full_.height() - height);
    setGeometry(full_.x(), full_.bottom() + 1 - height + 2, full_.width(), height - 2);
    show();
    raise();
}

}  // namespace talvenix::gui
