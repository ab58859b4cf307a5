// The action list of a macro, shown and edited: key, direction and delay columns over the core
// ActionList. Each row shows its own action's delay (the wait before it) and a delay edit goes
// into that same row. Used by the key dialog's macro page and by the macro editor alike.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <span>

#include "core/macros/ActionList.h"

namespace talvenix::gui {

class Prompt;

class ActionListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kKey = 0, kDirection = 1, kDelay = 2 };

    ActionListModel(macros::ActionList& list, Prompt* prompt, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The list changed behind the model's back.
    void Reset();
    void BeginInsert(int row);
    void EndInsert();

Q_SIGNALS:
    void Edited();

private:
    macros::ActionList& list_;
    Prompt* prompt_;
};

class ActionListView : public QTableView {
    Q_OBJECT
public:
    // `roundToTen`: delay edits round down to 10 ms (the key dialog does).
    ActionListView(bool roundToTen, Prompt* prompt, QWidget* parent = nullptr);

    macros::ActionList& List() { return list_; }
    const macros::ActionList& List() const { return list_; }

    void Load(std::span<const macros::MacroAction> actions);
    // After the selection (or at the end), selected and scrolled into view. False when full.
    bool Insert(const macros::MacroAction& action);
    bool RemoveSelected();
    void ClearAll();
    enum class Move { Top, Up, Down, Bottom };
    bool MoveSelected(Move move);
    int SelectedRow() const { return list_.Selected(); }
    void SelectRow(int row);

Q_SIGNALS:
    // Any change the user made (edit, insert, delete, move).
    void Edited();
    // A cell editor opened: a running recording should stop first.
    void EditStarting();
    void SelectionChanged();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void SyncSelection();

    macros::ActionList list_;
    ActionListModel* model_;
};

}  // namespace talvenix::gui
