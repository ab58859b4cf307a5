// The effect preview's cost: for every effect, the CPU time one second of preview takes while it
// animates the real key buttons of the on-screen keyboard (offscreen, painted through Qt's
// backing store as on a desktop), and the share of one core that is at 20 frames a second.
//
//   bench_preview [--seconds S] [--skin <Skins folder>]
//
// The skin defaults to the Skins folder beside the program (build it with the talvenix_skin
// target). Each effect runs with the random colour on and off; the worse of the two is its
// figure. The preview timer runs in a real event loop, so timer wake-ups are counted too.
#include <time.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/lighting/EffectCode.h"
#include "gui/lighting/KeyColourView.h"
#include "gui/lighting/KeyPreview.h"
#include "gui/main/KeyGrid.h"
#include "gui/skin/BaseDialog.h"
#include "gui/skin/FaceSheets.h"
#include "gui/skin/SkinFile.h"
#include "gui/skin/SkinPlacement.h"

namespace {

using namespace talvenix;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    double seconds = 1.0;
    QString skinFolder = QApplication::applicationDirPath() + QStringLiteral("/Skins");
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QStringLiteral("--seconds")) seconds = std::max(0.2, args[i + 1].toDouble());
        if (args[i] == QStringLiteral("--skin")) skinFolder = args[i + 1];
    }

    // The skinned dialog the main window is, with the key grid on it.
    gui::CBaseDialog window(skinFolder + QStringLiteral("/Main.ini"));
    const gui::SkinFile& skin = window.Skin();
    std::unique_ptr<gui::CKeyGrid> grid;
    gui::FaceSheets sheets(skin);
    try {
        window.InitSkin();
        gui::StateSheets faces;
        faces.normal = sheets.Add(QStringLiteral("main_normal.jpg"));
        faces.over = sheets.Add(QStringLiteral("main_over.jpg"));
        faces.down = sheets.Add(QStringLiteral("main_down.jpg"));
        faces.disabled = sheets.Add(QStringLiteral("main_disable.jpg"));
        faces.set = faces.down;
        grid = std::make_unique<gui::CKeyGrid>(&window, skin, sheets, faces, faces);
        grid->Build();
    } catch (const std::exception&) {
        std::fprintf(stderr, "bench_preview: the skin in %s is incomplete; build the talvenix_skin target\n",
                     qPrintable(QDir::toNativeSeparators(skinFolder)));
        return 2;
    }
    window.show();
    QApplication::processEvents();

    gui::CKeyColourView view(gui::CKeyColourView::ButtonsOf(*grid));
    view.SetBackdrop(window.Background());
    lighting::PreviewInput input;
    input.colour = lighting::MakeColour(0, 180, 255);
    input.direction = 0xFF;
    gui::CKeyPreview preview(view, [&input] { return input; });

    std::printf("Effect preview at %d frames a second, %.1f s per run, real key buttons offscreen\n",
                1000 / gui::CKeyPreview::kFrameMilliseconds, seconds);
    std::printf("%-8s %14s %14s %12s\n", "effect", "random on", "random off", "core share");
    double worst = 0;
    int worstEffect = 0;
    for (int code = lighting::kFirstEffect; code <= lighting::kLastEffect; ++code) {
        double perSecond[2] = {0, 0};
        for (int r = 0; r < 2; ++r) {
            input.effect = code;
            input.random = r == 0;
            view.Clear();
            QApplication::processEvents();
            QEventLoop loop;
            QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
            const double start = CpuSeconds();
            preview.SetRunning(true);
            loop.exec();
            preview.SetRunning(false);
            perSecond[r] = (CpuSeconds() - start) / seconds;
        }
        const double share = std::max(perSecond[0], perSecond[1]);
        if (share > worst) {
            worst = share;
            worstEffect = code;
        }
        std::printf("%-8d %11.2f ms %11.2f ms %11.2f %%\n", code, perSecond[0] * 1000, perSecond[1] * 1000,
                    share * 100);
    }
    std::printf("worst: effect %d, %.2f %% of one core (target: at most 3 %%)\n", worstEffect, worst * 100);
    std::printf("frames drawn: %d\n", preview.Frames());
    return 0;
}
