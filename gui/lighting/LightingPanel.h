// The lighting panel of the main window: the colour-keys mode switch, the effect list, the
// sliders, direction, colours, preset colours, report rate, R/G/B boxes, the colour wheel, the
// per-key colour tools and the colour-set list, and the effect preview on the key buttons.
//
// Threads: the lighting controller and the per-key colours belong to the keyboard worker; the
// panel posts every operation as a keyboard job and shows the state each job publishes. The UI
// thread never waits on the keyboard and never holds a lock across a keyboard exchange.
// ReadOnWorker and ResetOnWorker are for bodies of jobs other windows post.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/lighting/LightingController.h"
#include "core/lighting/PaintStroke.h"
#include "core/lighting/UserColours.h"
#include "gui/app/AppPaths.h"
#include "gui/lighting/KeyColourView.h"
#include "gui/lighting/KeyPreview.h"
#include "gui/lighting/PacedWrite.h"
#include "gui/skin/BitmapSlider.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

class CKeyGrid;
class CPngButton;
class DialogRegistry;
class KeyboardJobs;
class KeyboardSession;
class Prompt;

// What the panel may use: the window it sits on, its skin, the keyboard worker and session, the
// prompt, the open-editor check, and the program's paths. Never the main window itself.
struct LightingPanelContext {
    QWidget& host;
    const SkinFile& skin;
    device::ReportTransport& transport;  // only ever used inside keyboard jobs
    const AppPaths& paths;
    KeyboardJobs* jobs = nullptr;
    KeyboardSession* keyboard = nullptr;
    Prompt* prompt = nullptr;
    DialogRegistry* dialogs = nullptr;
};

// What the panel shows, as the keyboard worker last published it.
struct LightingState {
    bool colourKeysMode = false;
    int profile = 0;
    lighting::LightingMirror mirror;
    std::vector<lighting::EffectComboItem> items;
    bool offersPerKey = false;
    int set = 0;
    int tool = 0;
    lighting::Colour paintColour = lighting::kBlack;
    lighting::Colour baseColour = lighting::kBlack;
    std::array<std::string, lighting::kColourSets> setNames{};
    std::array<lighting::Colour, lighting::kPaintButtonCount> keyColours{};
};

class LightingPanel : public QObject {
    Q_OBJECT
public:
    // Control ids the skin names.
    static constexpr int kIdLamp = 1167;
    static constexpr int kIdEffectCombo = 1146;
    static constexpr int kIdBrightness = 1178;
    static constexpr int kIdSpeed = 1179;

    enum class ColourTarget { Hx, Fy, UserPaint, UserBase };

    explicit LightingPanel(LightingPanelContext context);
    ~LightingPanel() override;

    void Build();  // creates and places the controls; throws SkinError for a missing picture
    // The key buttons the preview animates and the paint tools paint.
    void AttachKeys(const CKeyGrid& grid);
    // Shows the last published state: effect list, sliders, colours, pictures, which controls
    // show, the key colours, and whether the preview runs.
    void Refresh();
    // Captions follow the language.
    void ApplyTexts(bool chinese);
    bool ColourKeysMode() const { return shown_.colourKeysMode; }
    const LightingState& Shown() const { return shown_; }

    // A profile is shown (chosen in the profile bar, the quick-switch menu or the manager, or on
    // the keyboard): another profile than the one the colour-keys mode was on for turns it off.
    void ProfileChosen(int profile);
    // The keyboard came or went; the window was shown or hidden (the preview follows).
    void UpdatePreviewRunning();
    // True while a key click paints instead of opening the assignment dialog.
    bool KeysPaint() const;

    // --- user actions (the controls call these; tests may too) ---
    void ToggleColourKeysMode();
    void ChooseColour(ColourTarget target, const QColor& colour);
    void PickWheelColour(QPoint hostPos);  // a point on the colour wheel
    void SetRgbBoxes(int r, int g, int b);
    // Paints keys as one drag across them would (screenshots and scripted tours use it).
    void PaintKeys(const std::vector<lighting::PaintButton>& buttons);

    // --- keyboard thread (inside a job) ---
    // Reads the lighting of `profile` (0..2; anything else reads profile 0) and the per-key
    // colours, and publishes them.
    void ReadOnWorker(int profile, int languageIndex);
    // The lighting half of "restore the default settings" (only while the mode is on).
    void ResetOnWorker();

    CKeyColourView& Keys() { return keys_; }
    CKeyPreview* Preview() const { return preview_; }

Q_SIGNALS:
    // A keyboard write finished (result as the lighting operations give it).
    void WriteFinished(int result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Operation = std::function<int(lighting::LightingController&, lighting::UserColours&)>;
    // Posts an operation on the keyboard worker; `key` non-empty replaces a queued job of the
    // same key. The state it publishes is shown when it ends; a failure re-reads the keyboard.
    void Run(const std::string& key, Operation op, std::function<void()> after = {});
    void Finished(int result);
    void Publish();  // keyboard thread: copies the controller's state for the UI
    LightingState Published() const;

    CPngButton* Picture(int id, const char* key, const char* bitmap);
    CPngButton* ColourButton(const char* key, QColor colour);
    void SetPicture(const char* control, const QString& bitmap);
    void SetButtonColour(const char* control, lighting::Colour colour);
    void ShowControls();
    void ShowKeyColours();
    void ShowUserControls();
    void OpenColourPopup(ColourTarget target, CPngButton* anchor);
    void ApplyRgb(lighting::Colour colour);
    void OnEffectChosen(int index);
    void OnSlider(int id, int position);
    void OnRgbEdited();
    std::optional<lighting::Colour> Brush() const;
    void PassKey(lighting::PaintButton button);
    void EndStroke();
    void SetColourFaces(bool colours);
    bool WheelHit(QPoint hostPos) const;

    LightingPanelContext ctx_;
    QWidget& host_;
    const SkinFile& skin_;
    QComboBox* effectCombo_ = nullptr;
    QComboBox* setCombo_ = nullptr;
    CBitmapSlider* brightness_ = nullptr;
    CBitmapSlider* speed_ = nullptr;
    std::array<QLineEdit*, 3> rgbEdits_{};
    CPngButton* switchButton_ = nullptr;

    // Keyboard thread only (the mutex keeps the UI's construction and jobs apart).
    std::unique_ptr<lighting::LightingController> lighting_;
    std::unique_ptr<lighting::UserColours> colours_;
    mutable std::mutex publishMutex_;  // guards published_ only; never held across a keyboard exchange
    LightingState published_;

    // UI thread.
    LightingState shown_;
    CKeyColourView keys_;
    CKeyPreview* preview_ = nullptr;
    bool keysAttached_ = false;
    int modeProfile_ = -1;     // the profile the colour-keys mode was turned on for
    bool colourFaces_ = true;  // the Switch button: keys show colours (true) or their functions
    lighting::PaintStroke stroke_;
    bool stroking_ = false;
    bool wheelDragging_ = false;
    bool failureReported_ = false;
    QImage wheelPicture_;  // the window background, for the colour wheel; only while shown
    std::unique_ptr<PacedWrite<int>> brightnessWrite_;
    std::unique_ptr<PacedWrite<int>> speedWrite_;
    std::unique_ptr<PacedWrite<lighting::Colour>> rgbWrite_;
};

}  // namespace talvenix::gui
