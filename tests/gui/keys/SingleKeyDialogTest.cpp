// The single-key dialog: the kinds only it offers, what it refuses, and what it stores.
#include <QPlainTextEdit>

#include "core/keys/KeyTable.h"
#include "core/text/LanguageTable.h"
#include "gui/keys/SingleKeyDialog.h"
#include "tests/gui/keys/KeyDialogHost.h"

using namespace talvenix;
using namespace talvenix::test;

namespace {

const int kASlot = keys::KeyIndexOf(0x01E);

class SingleKeyDialog : public KeyDialogTest {
protected:
    std::unique_ptr<gui::CTalvenix_DlgKey> Open(int slot = kASlot) {
        auto dlg = std::make_unique<gui::CTalvenix_DlgKey>(host_);
        dlg->Open({slot, 0, false}, QStringLiteral("A"));
        dlg->show();
        return dlg;
    }
    keys::KeyAssignment Record(int slot = kASlot) { return host_.working.Lock()->AssignmentOf(0, slot); }
    std::u16string String(int slot = kASlot) {
        return host_.working.Lock()->strings.Text(keys::RecordIndex(0, slot));
    }
};

TEST_F(SingleKeyDialog, LaunchProgramStoresTheChosenPathAndNothingElseRuns) {
    auto dlg = Open();
    dlg->ChooseKind(3);
    dlg->Apply();  // no path yet
    ASSERT_EQ(host_.prompt.messages.size(), 1);
    EXPECT_EQ(Record().kind, 0);
    host_.prompt.openFile = QStringLiteral("/opt/tools/run-me");
    dlg->Browse();
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record().kind, 3);
    EXPECT_EQ(String(), u"/opt/tools/run-me");

    // Choosing another kind later releases the string.
    dlg = Open();
    EXPECT_EQ(dlg->Kind(), 3);
    dlg->ChooseKind(1);
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record().kind, 1);
    EXPECT_FALSE(host_.working.Lock()->strings.Has(keys::RecordIndex(0, kASlot)));
}

TEST_F(SingleKeyDialog, TextBlockIsBoundedToItsField) {
    auto dlg = Open();
    dlg->ChooseKind(6);
    dlg->findChild<QPlainTextEdit*>("FUNC_EXTRA_4")->setPlainText(QString(6000, QLatin1Char('t')));
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record().kind, 6);
    EXPECT_EQ(String().size(), keys::kMaxTextBlockUnits);
}

TEST_F(SingleKeyDialog, RefusesWithoutKeyboardOrMacroAndKeepsTheRecord) {
    keys::KeyAssignment stop;
    stop.kind = 5;
    host_.working.Lock()->StoreAssignment(0, kASlot, stop);
    auto dlg = Open();
    dlg->ChooseKind(4);  // no macro exists
    EXPECT_FALSE(dlg->Apply());
    host_.currentProfile = -1;
    dlg->ChooseKind(1);
    EXPECT_FALSE(dlg->Apply());
    EXPECT_EQ(host_.prompt.messages.size(), 2);
    EXPECT_EQ(host_.prompt.messages[1],
              QString::fromStdString(text::LanguageText(text::TextId::APPLY_PROMPT)));
    EXPECT_EQ(Record().kind, 5);
}

TEST_F(SingleKeyDialog, AnotherKeyAndAMacroAreStoredByTheirLists) {
    host_.working.Lock()->macros = {MacroNamed(3, u"Three"), MacroNamed(9, u"Nine")};
    auto dlg = Open();
    dlg->ChooseKind(2);
    dlg->findChild<QComboBox*>("FUNC_EXTRA_1")->setCurrentIndex(*keys::ListPositionOf(0x001));
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record().kind, 2);
    EXPECT_EQ(Record().value, 0x001u);
    dlg->ChooseKind(4);
    dlg->findChild<QComboBox*>("FUNC_EXTRA_3")->setCurrentIndex(1);
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(Record().kind, 4);
    EXPECT_EQ(Record().value, 9u);
}

}  // namespace
