// Every text colour of the default skin against every surface the skin paints text on: at
// least 4.5 : 1 (WCAG relative luminance), so dimmed and disabled texts stay readable.
#include <gtest/gtest.h>

#include <cmath>

#include "Painter.h"
#include "SkinTestSupport.h"

using namespace skingen;
using namespace skintest;

namespace {

double Luminance(const QColor& c) {
    auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(Contrast, TheFormulaMatchesKnownRatios) {
    EXPECT_NEAR(Contrast(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(Contrast(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(Contrast(Qt::red, Qt::red), 1.0, 1e-9);
}

TEST(Contrast, EveryTextOfTheDefaultSkinIsReadableOnEverySurface) {
    Palette palette;
    palette.Override(LoadIni(SourceDir().filePath(QStringLiteral("layout/Main.ini"))));
    const std::pair<const char*, QColor> texts[] = {{"text", palette.text},
                                                    {"dim text", palette.dimText},
                                                    {"disabled text", palette.disabledText},
                                                    {"accent", palette.accent}};
    const std::pair<const char*, QColor> surfaces[] = {
        {"window", palette.window},       {"window low", palette.windowLow}, {"title bar", palette.titleBar},
        {"panel", palette.panel},         {"field", palette.field},          {"cap top", palette.capTop},
        {"cap bottom", palette.capBottom}};
    for (const auto& [textName, text] : texts)
        for (const auto& [surfaceName, surface] : surfaces)
            EXPECT_GE(Contrast(text, surface), 4.5) << textName << " " << qPrintable(text.name()) << " on "
                                                    << surfaceName << " " << qPrintable(surface.name());
}

}  // namespace
