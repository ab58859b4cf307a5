// The panel rules against the default skin's layout: for every effect, the controls it shows
// are placed where nothing else it shows sits, so none of them ends up covered.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/lighting/LightingPanelRules.h"
#include "core/text/IniFile.h"

using namespace talvenix;
using namespace talvenix::lighting;

namespace {

struct Rect {
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
    bool Overlaps(const Rect& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};

class PanelLayout : public ::testing::Test {
protected:
    Rect Place(const std::string& name, std::string_view suffix = {}) const {
        const std::string key = name + std::string(suffix);
        const std::string value = layout.Get("BUTTONINFO", key);
        Rect r{key};
        EXPECT_EQ(std::sscanf(value.c_str(), "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h), 4)
            << key << "=" << value;
        return r;
    }

    std::vector<Rect> Shown(EffectCode code) const {
        const EffectControls c = VisibleControls(code);
        std::vector<Rect> out;
        auto add = [&](std::initializer_list<const char*> names, bool on, std::string_view suffix = {}) {
            if (!on) return;
            for (const char* n : names) out.push_back(Place(n, suffix));
        };
        add({"CONTROL_XGcombox"}, c.effectCombo);
        add({"CONTROL_LightStatic", "CONTROL_LightSlider"}, c.brightness);
        add({"CONTROL_SpeedStatic", "CONTROL_SpeedSlider"}, c.speed);
        add({"CONTROL_BLFXStatic", "CONTROL_BLFXLStaPic", "CONTROL_BLFXRStaPic"}, c.direction,
            c.directionLayoutSuffix);
        add({"CONTROL_HONGPIC", "CONTROL_HUANGPIC", "CONTROL_LVPIC", "CONTROL_LANPIC"}, c.presetColours);
        add({"CONTROL_FYysStatic", "CONTROL_FYYSButton", "CONTROL_FYsjsStatic", "CONTROL_FYSJSStaPic"},
            c.fyGroup);
        add({"CONTROL_HXysStatic", "CONTROL_HXysButton", "CONTROL_HXsjsStatic", "CONTROL_HXsjsStaPic"},
            c.hxGroup);
        add({"CONTROL_USERysStatic", "CONTROL_USERysButton", "CONTROL_USERjsStatic", "CONTROL_USERjsButton",
             "CONTROL_USERgjStatic", "CONTROL_USERgjStaPic1", "CONTROL_USERgjStaPic2", "CONTROL_umCombo"},
            c.userGroup);
        return out;
    }

    text::IniFile layout{TALVENIX_SKIN_LAYOUT_DIR "/Main.ini"};
};

}  // namespace

TEST_F(PanelLayout, NoShownControlCoversAnother) {
    ASSERT_TRUE(layout.Loaded());
    for (EffectCode code = 0; code <= 21; ++code) {
        const auto shown = Shown(code);
        for (std::size_t i = 0; i < shown.size(); ++i)
            for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i].Overlaps(shown[j]))
                    << "effect " << code << ": " << shown[i].name << " and " << shown[j].name;
    }
}

TEST_F(PanelLayout, DirectionRowFollowsTheSpeedRow) {
    // Effects with speed put the direction row below it; 18 has no speed and takes its row.
    for (EffectCode code : {1, 2, 3, 12, 18}) {
        const EffectControls c = VisibleControls(code);
        ASSERT_TRUE(c.direction) << code;
        const Rect picture = Place("CONTROL_BLFXLStaPic", c.directionLayoutSuffix);
        const Rect speed = Place("CONTROL_SpeedSlider");
        if (c.speed)
            EXPECT_GE(picture.y, speed.y + speed.h) << code;
        else
            EXPECT_EQ(picture.y, speed.y) << code;
    }
    EXPECT_EQ(VisibleControls(3).directionPictures, DirectionPictures::LeftRight);
    EXPECT_EQ(DirectionPicturesOf(3).secondNormal, "rightup.bmp");
}
