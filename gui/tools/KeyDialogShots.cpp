#include "gui/tools/KeyDialogShots.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableWidget>
#include <cstdio>

#include "core/macros/TextToMacro.h"
#include "core/text/Utf.h"
#include "gui/common/Prompt.h"
#include "gui/keys/CompositeKeyDialog.h"
#include "gui/keys/DialogKit.h"
#include "gui/keys/KeyEditHost.h"
#include "gui/keys/SingleKeyDialog.h"
#include "gui/macros/ActionListView.h"
#include "gui/macros/MacroEditorDialog.h"

namespace talvenix::gui {

namespace {

class ShotPrompt : public Prompt {
public:
    void ShowMessage(const QString& text, const QString&, PromptIcon) override {
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
    }
    bool AskYesNo(const QString&, const QString&) override { return false; }
    QString ChooseOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
};

class ShotHost : public KeyEditHost {
public:
    explicit ShotHost(QString skins) : skins_(std::move(skins)) {}
    macros::WorkingConfig& Working() override { return working_; }
    int CurrentProfile() const override { return 0; }
    int ShownProfile() const override { return 0; }
    std::size_t MacroSpace() const override { return 16384; }
    Prompt& Ask() override { return prompt_; }
    QString SkinFolder() const override { return skins_; }
    bool RecordDelay() override { return true; }
    void SetRecordDelay(bool) override {}
    void KeysChanged(const std::vector<int>&) override {}

private:
    QString skins_;
    macros::WorkingConfig working_;
    ShotPrompt prompt_;
};

void Settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget& widget, const QString& file) {
    Settle(100);
    const bool ok = widget.grab().save(file);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "FAILED", file.toLocal8Bit().constData());
    return ok;
}

void SampleMacros(macros::Configuration& cfg) {
    const char* names[] = {"Greeting", "Build and run", "Reload"};
    const char* typed[] = {"Hello!", "make run", "r"};
    for (int i = 0; i < 3; ++i) {
        macros::MacroRecord m;
        m.id = static_cast<std::uint16_t>(i + 1);
        m.SetName(text::Utf8ToUtf16(names[i]));
        m.cycles = 1;
        m.playMode = static_cast<std::uint16_t>(i);
        const auto actions = macros::TextToActions(text::Utf8ToUtf16(typed[i]), 30).actions;
        for (std::size_t a = 0; a < actions.size(); ++a) m.actions[a] = actions[a];
        m.actionCount = static_cast<std::uint16_t>(actions.size());
        cfg.macros.push_back(m);
    }
    keys::KeyAssignment macro;
    macro.kind = 4;
    macro.value = 1;
    macro.tag = 1;
    cfg.StoreAssignment(0, keys::kGSlotBankA, macro);
    keys::KeyAssignment media;
    media.kind = 7;
    media.value = 6;
    cfg.StoreAssignment(0, keys::kGSlotBankA + 1, media);
    keys::KeyAssignment function;
    function.kind = 8;
    function.value = 4;
    cfg.StoreAssignment(0, keys::kGSlotBankA + 2, function);
    keys::KeyAssignment esc;
    esc.kind = 2;
    esc.value = 0x001;
    cfg.StoreAssignment(0, keys::KeyIndexOf(0x03A), esc);
    keys::KeyAssignment launch;
    launch.kind = 3;
    cfg.StoreAssignment(0, keys::KeyIndexOf(0x03B), launch);
    cfg.strings.Set(keys::RecordIndex(0, keys::KeyIndexOf(0x03B)), u"/usr/bin/gnome-calculator");
}

}  // namespace

bool SaveKeyDialogShots(const QString& out, const QString& skinFolder) {
    ShotHost host(skinFolder);
    SampleMacros(*host.Working().Lock());
    bool ok = true;
    const QString caps = QString::fromStdString(keys::KeyNameOf(0x03A));
    {
        Talvenix_DlgComposite dlg(host);
        dlg.Open({keys::KeyIndexOf(0x03A), 0, false}, caps);
        dlg.show();
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("key-dialog-key.png")));
        dlg.Cancel();
        dlg.Open(*keys::TargetOfGButton(0, false), QStringLiteral("G1"));
        dlg.show();
        dlg.Actions()->SelectRow(2);
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("key-dialog-macro.png")));
        dlg.Cancel();
        dlg.Open(*keys::TargetOfGButton(1, false), QStringLiteral("G2"));
        dlg.show();
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("key-dialog-media.png")));
        dlg.Cancel();
        dlg.Open(*keys::TargetOfGButton(2, false), QStringLiteral("G3"));
        dlg.show();
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("key-dialog-function.png")));
        dlg.Cancel();
        dlg.Open(keys::MacroEditTarget(false), QStringLiteral("G9"));
        dlg.show();
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("key-dialog-macro-only.png")));
        dlg.Cancel();
    }
    {
        CTalvenix_DlgKey dlg(host);
        dlg.Open({keys::KeyIndexOf(0x03B), 0, false}, QString::fromStdString(keys::KeyNameOf(0x03B)));
        dlg.show();
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("single-key-dialog.png")));
        dlg.reject();
    }
    {
        CTalvenix_DlgMacro dlg(host);
        dlg.Open();
        dlg.show();
        dlg.findChild<QLineEdit*>(QStringLiteral("FUNC_TEXT_MACRO_EDIT"))->setText(QStringLiteral("See you"));
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("macro-editor.png")));
        dlg.reject();
    }
    // What the keyboard cannot store: F2 set to act as Power, a macro pressing F13.
    {
        auto cfg = host.Working().Lock();
        keys::KeyAssignment power;
        power.kind = 2;
        power.value = 0x15E;
        cfg->StoreAssignment(0, keys::KeyIndexOf(0x03C), power);
        macros::MacroRecord m;
        m.id = 4;
        m.SetName(u"Zoom");
        m.cycles = 1;
        const keys::KeyCode codes[] = {0x01D, 0x064, 0x064, 0x01D};
        for (std::uint16_t a = 0; a < 4; ++a)
            m.actions[a] = {30, codes[a], static_cast<std::uint16_t>(a >= 2)};
        m.actionCount = 4;
        cfg->macros.push_back(m);
    }
    {
        Talvenix_DlgComposite dlg(host);
        dlg.Open({keys::KeyIndexOf(0x03C), 0, false}, QString::fromStdString(keys::KeyNameOf(0x03C)));
        dlg.show();
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("key-dialog-not-stored.png")));
        dlg.Cancel();
    }
    {
        CTalvenix_DlgMacro dlg(host);
        dlg.Open();
        dlg.show();
        if (auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("PROGRAM_LIST")))
            table->setCurrentCell(3, 0);
        ok &= Save(dlg, QDir(out).filePath(QStringLiteral("macro-editor-not-stored.png")));
        dlg.reject();
    }
    return ok;
}

}  // namespace talvenix::gui
