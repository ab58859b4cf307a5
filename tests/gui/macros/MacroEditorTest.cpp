// The macro editor against a real working configuration: naming rules, delays shown on their
// own rows, play modes, text typed as actions, and the gauge.
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>

#include "core/macros/MacroImage.h"
#include "core/text/LanguageTable.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/MacroEditorDialog.h"
#include "gui/macros/MacroGauge.h"
#include "tests/gui/keys/KeyDialogHost.h"

using namespace talvenix;
using namespace talvenix::test;

namespace {

class MacroEditor : public KeyDialogTest {
protected:
    std::unique_ptr<gui::CTalvenix_DlgMacro> Open() {
        auto dlg = std::make_unique<gui::CTalvenix_DlgMacro>(host_);
        dlg->Open();
        dlg->show();
        return dlg;
    }
    QTableWidget* Table(gui::CTalvenix_DlgMacro& dlg) { return dlg.findChild<QTableWidget*>("PROGRAM_LIST"); }
};

TEST_F(MacroEditor, RenameRules) {
    host_.working.Lock()->macros = {MacroNamed(1, u"Alpha"), MacroNamed(2, u"Beta")};
    auto dlg = Open();
    QTableWidgetItem* item = Table(*dlg)->item(0, 0);
    item->setText(QStringLiteral("Alpha "));  // unchanged after trimming: no message, no change
    EXPECT_TRUE(host_.prompt.messages.isEmpty());
    EXPECT_FALSE(dlg->Modified());
    item->setText(QStringLiteral("BETA"));
    item->setText(QStringLiteral("empty macro"));
    ASSERT_EQ(host_.prompt.messages.size(), 2);
    EXPECT_EQ(host_.prompt.messages[0],
              QString::fromStdString(text::LanguageText(text::TextId::MACRO_ERR_SAME)));
    EXPECT_EQ(host_.prompt.messages[1],
              QString::fromStdString(text::LanguageText(text::TextId::MACRO_ERR_NAME_SYSTEM)));
    EXPECT_EQ(item->text(), QStringLiteral("Alpha"));
    item->setText(QStringLiteral("Gamma"));
    EXPECT_TRUE(dlg->Modified());
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(host_.working.Lock()->macros[0].Name(), u"Gamma");
}

TEST_F(MacroEditor, EachRowShowsItsOwnDelayAndEditsAreNotRounded) {
    macros::MacroRecord m = MacroNamed(1, u"M", 3);
    m.actions[0].delayMs = 10;
    m.actions[1].delayMs = 20;
    m.actions[2].delayMs = 30;
    host_.working.Lock()->macros = {m};
    auto dlg = Open();
    auto* model = dlg->Actions()->model();
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("10"));
    EXPECT_EQ(model->index(2, 2).data().toString(), QStringLiteral("30"));
    model->setData(model->index(1, 2), QStringLiteral("1234"));
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(host_.working.Lock()->macros[0].actions[1].delayMs, 1234u);
}

TEST_F(MacroEditor, PlayModeIsEditedAndCommitted) {
    host_.working.Lock()->macros = {MacroNamed(1, u"M")};
    auto dlg = Open();
    auto* mode = qobject_cast<QComboBox*>(Table(*dlg)->cellWidget(0, 1));
    ASSERT_NE(mode, nullptr);
    mode->setCurrentIndex(2);
    dlg->Ok();
    EXPECT_EQ(host_.working.Lock()->macros[0].playMode, 2);
}

TEST_F(MacroEditor, TextBecomesActionsAndUntypableCharactersAreNamed) {
    auto dlg = Open();
    dlg->AddMacro();
    auto* edit = dlg->findChild<QLineEdit*>("FUNC_TEXT_MACRO_EDIT");
    dlg->findChild<QSpinBox*>("FUNC_TEXT_MACRO_DELAY")->setValue(20);
    edit->setText(QStringLiteral("Hi ü"));
    dlg->AddTextAsActions();
    ASSERT_EQ(host_.prompt.messages.size(), 1);
    EXPECT_TRUE(host_.prompt.messages[0].endsWith(QStringLiteral("ü")));
    EXPECT_EQ(dlg->Actions()->List().Count(), 0);
    edit->setText(QStringLiteral("Hi!"));
    dlg->AddTextAsActions();
    EXPECT_EQ(dlg->Actions()->List().Count(), 10);  // Shift+H, i, Shift+1
    EXPECT_EQ(dlg->Actions()->List().Rows()[1], (macros::MacroAction{20, 0x23, 0}));
    ASSERT_TRUE(dlg->Apply());
    EXPECT_EQ(host_.working.Lock()->macros[0].actionCount, 10);
}

TEST_F(MacroEditor, GaugeCountsAsTheImageAndWarnsBeforeCommittingTooMuch) {
    host_.working.Lock()->macros = {MacroNamed(1, u"Long", 1000)};
    host_.macroSpace = 2048;
    auto dlg = Open();
    const auto figures = dlg->Gauge()->Figures();
    const auto image = macros::EncodeMacroImage(host_.working.Lock()->macros, true);
    EXPECT_EQ(figures.sizes.withNames, image->size());
    EXPECT_FALSE(figures.Fits());
    dlg->AddMacro();
    host_.prompt.answers = {false};
    EXPECT_FALSE(dlg->Apply());
    EXPECT_EQ(host_.working.Lock()->MacroCount(), 1);
    host_.prompt.answers = {true};
    EXPECT_TRUE(dlg->Apply());
    EXPECT_EQ(host_.working.Lock()->MacroCount(), 2);
}

TEST_F(MacroEditor, RecordingBlocksSelectingAnotherMacroAndRecordsWithoutDelays) {
    host_.working.Lock()->macros = {MacroNamed(1, u"A"), MacroNamed(2, u"B")};
    auto dlg = Open();
    dlg->ToggleRecording();
    Table(*dlg)->setCurrentCell(1, 0);
    ASSERT_EQ(host_.prompt.messages.size(), 1);
    EXPECT_EQ(dlg->Macros().Selected(), 0);
    TapKey(dlg.get(), kEvA);
    dlg->ToggleRecording();
    ASSERT_EQ(dlg->Actions()->List().Count(), 2);
    EXPECT_EQ(dlg->Actions()->List().Rows()[0].delayMs, 0u);
    dlg->Cancel();
    EXPECT_EQ(host_.working.Lock()->macros[0].actionCount, 0);
}

}  // namespace
