// The dialogs say, while the choice is made, when the keyboard cannot store it: a key set to act
// as a key with no Keyboard-page usage becomes a dead key, and a macro action on such a key
// presses nothing. Each note names the key and what it will do on the keyboard.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "core/keys/KeyTable.h"
#include "gui/keys/CompositeKeyDialog.h"
#include "gui/keys/SingleKeyDialog.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/MacroEditorDialog.h"
#include "tests/gui/keys/KeyDialogHost.h"

using namespace talvenix;
using namespace talvenix::test;

namespace {

constexpr std::uint32_t kEvF13 = 183;
constexpr keys::KeyCode kF13 = 0x064, kPower = 0x15E;
const int kCapsSlot = keys::KeyIndexOf(0x03A);

QString Name(keys::KeyCode code) { return QString::fromStdString(keys::KeyNameOf(code)); }

class StoreNote : public KeyDialogTest {
protected:
    void SetRecord(int slot, std::uint16_t kind, std::uint32_t value) {
        keys::KeyAssignment r;
        r.kind = kind;
        r.value = value;
        host_.working.Lock()->StoreAssignment(0, slot, r);
    }
};

TEST_F(StoreNote, TheKeyDialogNamesACapturedKeyTheKeyboardCannotStore) {
    gui::Talvenix_DlgComposite dlg(host_);
    dlg.Open({kCapsSlot, 0, false}, QStringLiteral("Caps Lock"));
    dlg.show();
    auto* note = dlg.findChild<QLabel*>(QStringLiteral("FUNC_KEY_NOTE"));
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isVisible());

    TapKey(&dlg, kEvF13);
    ASSERT_EQ(dlg.Captured(), kF13);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(dlg.KeyNote().contains(Name(kF13))) << dlg.KeyNote().toStdString();
    EXPECT_TRUE(dlg.KeyNote().contains(QStringLiteral("do nothing"))) << dlg.KeyNote().toStdString();
    // A note, not a box: nothing was asked, and Apply still stores what the user chose.
    EXPECT_TRUE(host_.prompt.messages.isEmpty());

    TapKey(&dlg, kEvEsc);
    EXPECT_TRUE(dlg.KeyNote().isEmpty());
    EXPECT_FALSE(note->isVisible());

    TapKey(&dlg, kEvF13);
    dlg.OnPageButton(gui::Talvenix_DlgComposite::kMedia);  // media the keyboard stores
    EXPECT_FALSE(note->isVisible());
    dlg.OnClear();
    EXPECT_FALSE(note->isVisible());
}

TEST_F(StoreNote, ARecordLoadedFromAFileIsNamedWhenTheDialogOpens) {
    SetRecord(kCapsSlot, 2, kPower);
    gui::Talvenix_DlgComposite composite(host_);
    composite.Open({kCapsSlot, 0, false}, QStringLiteral("Caps Lock"));
    composite.show();
    EXPECT_TRUE(composite.KeyNote().contains(Name(kPower))) << composite.KeyNote().toStdString();

    gui::CTalvenix_DlgKey single(host_);
    single.Open({kCapsSlot, 0, false}, QStringLiteral("Caps Lock"));
    single.show();
    EXPECT_TRUE(single.Note().contains(Name(kPower))) << single.Note().toStdString();
    EXPECT_TRUE(single.Note().contains(QStringLiteral("do nothing")));
    single.ChooseKind(1);  // disabled, on purpose: nothing to say
    EXPECT_FALSE(single.Note().contains(Name(kPower)));
    single.ChooseKind(2);
    EXPECT_TRUE(single.Note().contains(Name(kPower)));
    single.findChild<QComboBox*>(QStringLiteral("FUNC_EXTRA_1"))->setCurrentIndex(0);
    EXPECT_FALSE(single.Note().contains(Name(kPower))) << single.Note().toStdString();
}

TEST_F(StoreNote, MacroActionsTheMemoryCannotHoldAreMarkedAndNamed) {
    macros::MacroRecord m = MacroNamed(1, u"M", 4);
    m.actions[1].keyCode = kF13;
    m.actions[3].keyCode = kF13;
    host_.working.Lock()->macros = {m};
    gui::CTalvenix_DlgMacro dlg(host_);
    dlg.Open();
    dlg.show();
    auto* note = dlg.findChild<QLabel*>(QStringLiteral("MacroKeyNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains(Name(kF13) + QStringLiteral(" (action 2, 4)")))
        << note->text().toStdString();
    EXPECT_TRUE(note->text().contains(QStringLiteral("press nothing")));
    // The note has room of its own: it does not cover the list.
    EXPECT_FALSE(note->geometry().intersects(dlg.Actions()->geometry()));
    auto* model = dlg.Actions()->model();
    EXPECT_FALSE(model->index(1, 0).data(Qt::ToolTipRole).toString().isEmpty());
    EXPECT_TRUE(model->index(0, 0).data(Qt::ToolTipRole).toString().isEmpty());

    // Editing the key away clears the note and gives the list its room back.
    const QRect shrunk = dlg.Actions()->geometry();
    dlg.Actions()->SelectRow(3);
    ASSERT_TRUE(dlg.Actions()->RemoveSelected());
    model->setData(model->index(1, 0), 0, Qt::EditRole);  // list position 0
    EXPECT_FALSE(note->isVisible());
    EXPECT_GT(dlg.Actions()->geometry().height(), shrunk.height());

    // Recording the key (as the key dialog's recorder does) brings it back.
    macros::MacroAction f13;
    f13.keyCode = kF13;
    dlg.Actions()->Insert(f13);
    EXPECT_TRUE(note->isVisible());
}

TEST_F(StoreNote, TheKeyDialogsMacroPageShowsTheNoteOnlyOnThatPage) {
    macros::MacroRecord m = MacroNamed(1, u"M", 2);
    m.actions[0].keyCode = kF13;
    host_.working.Lock()->macros = {m};
    gui::Talvenix_DlgComposite dlg(host_);
    dlg.Open({kCapsSlot, 0, false}, QStringLiteral("Caps Lock"));
    dlg.show();
    auto* note = dlg.findChild<QLabel*>(QStringLiteral("MacroKeyNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isVisible());
    dlg.OnPageButton(gui::Talvenix_DlgComposite::kMacro);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().contains(Name(kF13) + QStringLiteral(" (action 1)")))
        << note->text().toStdString();
    dlg.OnPageButton(gui::Talvenix_DlgComposite::kFunction);
    EXPECT_FALSE(note->isVisible());
}

}  // namespace
