#include "gui/macros/ActionListView.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

#include "core/keys/KeyTable.h"
#include "core/profiles/Storable.h"
#include "gui/common/Prompt.h"
#include "gui/keys/DialogKit.h"

namespace talvenix::gui {

namespace {

QString DirectionLabel(std::uint16_t direction) {
    return QString::fromUtf8(std::string(macros::DirectionText(direction)));
}

// Key cell: the target-key list; direction cell: the two directions; delay cell: digits.
class ActionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        switch (index.column()) {
            case ActionListModel::kKey: {
                auto* combo = new QComboBox(parent);
                combo->setObjectName(QStringLiteral("ActionKeyEditor"));
                for (int p = 0; p < keys::kListPositionCount; ++p)
                    combo->addItem(QString::fromStdString(keys::NameOfListPosition(p)));
                return combo;
            }
            case ActionListModel::kDirection: {
                auto* combo = new QComboBox(parent);
                combo->setObjectName(QStringLiteral("ActionDirectionEditor"));
                combo->addItem(DirectionLabel(0));
                combo->addItem(DirectionLabel(1));
                return combo;
            }
            default: {
                auto* edit = new QLineEdit(parent);
                edit->setObjectName(QStringLiteral("ActionDelayEditor"));
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit));
                return edit;
            }
        }
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const QVariant v = index.data(Qt::EditRole);
        if (auto* combo = qobject_cast<QComboBox*>(editor))
            combo->setCurrentIndex(v.toInt());
        else if (auto* edit = qobject_cast<QLineEdit*>(editor))
            edit->setText(v.toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() != index.data(Qt::EditRole).toInt())
                model->setData(index, combo->currentIndex(), Qt::EditRole);
        } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            model->setData(index, edit->text(), Qt::EditRole);
        }
    }
};

}  // namespace

ActionListModel::ActionListModel(macros::ActionList& list, Prompt* prompt, QObject* parent)
    : QAbstractTableModel(parent), list_(list), prompt_(prompt) {}

int ActionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.Count();
}
int ActionListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant ActionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.Count()) return {};
    const macros::MacroAction& a = list_.Rows()[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case kKey:
                return QString::fromStdString(keys::KeyNameOf(a.keyCode));
            case kDirection:
                return DirectionLabel(a.direction);
            default:
                return QString::number(a.delayMs);
        }
    }
    if (role == Qt::EditRole) {
        switch (index.column()) {
            case kKey:
                return keys::ListPositionOf(a.keyCode).value_or(-1);
            case kDirection:
                return static_cast<int>(macros::NormalisedDirection(a.direction));
            default:
                return QString::number(a.delayMs);
        }
    }
    // A key the macro memory cannot hold plays back as nothing: the row says so.
    const bool lost = index.column() == kKey && !profiles::MacroMemoryHolds(a.keyCode);
    if (role == Qt::ForegroundRole && lost) return QColor(0xFF, 0x5A, 0x5A);
    if (role == Qt::ToolTipRole && lost)
        return kit::Fx(
            "MACRO_STORE_ROW",
            "The keyboard's macro memory cannot hold this key; the macro will press nothing here.");
    if (role == Qt::ForegroundRole && index.column() != kDelay) return QColor(0x8C, 0x93, 0xA0);
    if (role == Qt::TextAlignmentRole && index.column() == kDelay)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ActionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case kKey:
            return kit::Tx(text::TextId::MACRO_KEYS_TISHI);
        case kDirection:
            return kit::Tx(text::TextId::MACRO_ACTION_TISHI);
        default:
            return kit::Tx(text::TextId::MACRO_DELAY_MS);
    }
}

Qt::ItemFlags ActionListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool ActionListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    bool changed = false;
    switch (index.column()) {
        case kKey:
            changed = list_.EditKey(index.row(), value.toInt());
            break;
        case kDirection:
            changed = list_.EditDirection(index.row(), static_cast<std::uint16_t>(value.toInt()));
            break;
        default: {
            const auto edit = list_.EditDelay(index.row(), value.toString().toStdString());
            if (edit.clamped && prompt_)
                prompt_->ShowMessage(
                    kit::TxNumber(text::TextId::MACRO_ACTION_ERR_DELAY_MAX, macros::kMaxEditorDelayMs));
            changed = edit.accepted;
            break;
        }
    }
    if (changed) {
        Q_EMIT dataChanged(index, index);
        Q_EMIT Edited();
    }
    return changed;
}

void ActionListModel::Reset() {
    beginResetModel();
    endResetModel();
}

void ActionListModel::BeginInsert(int row) { beginInsertRows({}, row, row); }
void ActionListModel::EndInsert() { endInsertRows(); }

ActionListView::ActionListView(bool roundToTen, Prompt* prompt, QWidget* parent)
    : QTableView(parent), list_(roundToTen), model_(new ActionListModel(list_, prompt, this)) {
    setModel(model_);
    setItemDelegate(new ActionDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setStretchLastSection(true);
    setColumnWidth(ActionListModel::kKey, 150);
    setColumnWidth(ActionListModel::kDirection, 80);
    setStyleSheet(kit::ListStyle());
    connect(model_, &ActionListModel::Edited, this, &ActionListView::Edited);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& cur) {
        list_.Select(cur.isValid() ? cur.row() : -1);
        Q_EMIT SelectionChanged();
    });
}

bool ActionListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() && (editTriggers() & trigger)) Q_EMIT EditStarting();
    return QTableView::edit(index, trigger, event);
}

void ActionListView::Load(std::span<const macros::MacroAction> actions) {
    list_.Load(actions);
    model_->Reset();
    Q_EMIT SelectionChanged();
}

void ActionListView::SyncSelection() {
    const int row = list_.Selected();
    QSignalBlocker block(selectionModel());
    if (row < 0) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = model_->index(row, 0);
        selectionModel()->setCurrentIndex(index,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    Q_EMIT SelectionChanged();
}

void ActionListView::SelectRow(int row) {
    list_.Select(row);
    SyncSelection();
}

bool ActionListView::Insert(const macros::MacroAction& action) {
    if (list_.Full()) return false;
    const int at = list_.Selected() >= 0 ? list_.Selected() + 1 : list_.Count();
    model_->BeginInsert(at);
    list_.Insert(action);
    model_->EndInsert();
    SyncSelection();
    Q_EMIT Edited();
    return true;
}

bool ActionListView::RemoveSelected() {
    if (!list_.Remove(list_.Selected())) return false;
    model_->Reset();
    SyncSelection();
    Q_EMIT Edited();
    return true;
}

void ActionListView::ClearAll() {
    list_.Clear();
    model_->Reset();
    SyncSelection();
    Q_EMIT Edited();
}

bool ActionListView::MoveSelected(Move move) {
    bool moved = false;
    switch (move) {
        case Move::Top:
            moved = list_.MoveToTop();
            break;
        case Move::Up:
            moved = list_.MoveUp();
            break;
        case Move::Down:
            moved = list_.MoveDown();
            break;
        case Move::Bottom:
            moved = list_.MoveToBottom();
            break;
    }
    if (!moved) return false;
    model_->Reset();
    SyncSelection();
    setFocus();
    Q_EMIT Edited();
    return true;
}

}  // namespace talvenix::gui
