// The lighting panel of the main window: its controls, placed on the window from the skin,
// and the lighting controller behind them. Reads and writes of the lighting run as keyboard
// jobs (ReadOnWorker, ResetOnWorker are for job bodies); everything else is UI-thread only.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QObject>
#include <array>
#include <memory>
#include <mutex>

#include "core/lighting/LightingController.h"
#include "gui/app/AppPaths.h"
#include "gui/skin/BitmapSlider.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

class LightingPanel : public QObject {
    Q_OBJECT
public:
    // Control ids the skin names.
    static constexpr int kIdLamp = 1167;
    static constexpr int kIdEffectCombo = 1146;
    static constexpr int kIdBrightness = 1178;
    static constexpr int kIdSpeed = 1179;

    // `host` is the window the controls sit on; `skin` its skin. The controller talks to the
    // keyboard through `transport`, only ever from keyboard jobs.
    LightingPanel(QWidget& host, const SkinFile& skin, device::ReportTransport& transport,
                  const AppPaths& paths);
    ~LightingPanel() override;

    void Build();  // creates and places the controls; throws SkinError for a missing picture
    // Shows the controller's state: effect list, sliders, colours, pictures, which controls show.
    void Refresh();
    // Captions follow the language.
    void ApplyTexts(bool chinese);
    bool ColourKeysMode() const;

    // --- keyboard thread (inside a job) ---
    // Reads the lighting of `profile` (0..2; anything else reads profile 1's slot 0).
    void ReadOnWorker(int profile, int languageIndex);
    void ResetOnWorker();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetPicture(const char* control, const QString& bitmap);

    QWidget& host_;
    const SkinFile& skin_;
    QComboBox* effectCombo_ = nullptr;
    CBitmapSlider* brightness_ = nullptr;
    CBitmapSlider* speed_ = nullptr;
    std::array<QLineEdit*, 3> rgbEdits_{};
    mutable std::mutex mutex_;  // the controller: read by the UI, written by keyboard jobs
    std::unique_ptr<lighting::LightingController> lighting_;
};

}  // namespace talvenix::gui
