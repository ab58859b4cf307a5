#pragma once
// Skin names shared by the lighting panel's source files.

#include <QString>
#include <array>
#include <string_view>

namespace talvenix::gui::lighting_panel {

inline const QString kSection = QStringLiteral("BUTTONINFO");

inline QString Latin(std::string_view v) {
    return QString::fromLatin1(v.data(), static_cast<qsizetype>(v.size()));
}

inline constexpr std::array<const char*, 4> kReportButtons = {"FUNC_REPORT1", "FUNC_REPORT2", "FUNC_REPORT3",
                                                              "FUNC_REPORT4"};
inline constexpr std::array<const char*, 4> kPresetPictures = {"CONTROL_HONGPIC", "CONTROL_HUANGPIC",
                                                               "CONTROL_LVPIC", "CONTROL_LANPIC"};
inline constexpr std::array<const char*, 4> kPresetNames = {"hong", "huang", "lv", "lan"};

}  // namespace talvenix::gui::lighting_panel
