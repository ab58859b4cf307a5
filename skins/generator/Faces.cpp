#include "Faces.h"

#include <QHash>
#include <QRegularExpression>

namespace skingen {

namespace {

const QHash<QString, QString>& IconKeys() {
    static const QHash<QString, QString> icons = {
        {"CONTROL_HELP", "help"},
        {"CONTROL_MENU", "menu"},
        {"CONTROL_MINIMIZE", "minimize"},
        {"CONTROL_CLOSE", "close"},
        {"FUNC_PROFILES", "layers"},
        {"LEFT_ARROW", "left"},
        {"RIGHT_ARROW", "right"},
        {"FLIP_0", "flip0"},
        {"FLIP_1", "flip1"},
        {"FLIP_2", "flip2"},
        {"FUNC_ADD", "plus"},
        {"FUNC_MACRO_ADD", "plus"},
        {"FUNC_DELETE", "minus"},
        {"FUNC_MACRO_DELETE", "minus"},
        {"FUNC_DELETE2", "trash"},
        {"FUNC_MACRO_DELETE2", "trash"},
        {"FUNC_CLEAR", "clear"},
        {"FUNC_MACRO_CLEAR", "clear"},
        {"FUNC_UP_TOP", "top"},
        {"FUNC_MACRO_UP_TOP", "top"},
        {"FUNC_UP", "up"},
        {"FUNC_MACRO_UP", "up"},
        {"FUNC_DOWN", "down"},
        {"FUNC_MACRO_DOWN", "down"},
        {"FUNC_DOWN_BOTTOM", "bottom"},
        {"FUNC_MACRO_DOWN_BOTTOM", "bottom"},
        {"FUNC_LOAD", "folder"},
        {"FUNC_EXTRA_2_2", "folder"},
        {"CONTROL_OPENButton", "folder"},
        {"CONTROL_BACKUPButton", "save"},
        {"CONTROL_UPButton", "update"},
        {"CONTROL_CUPButton", "close"},
        {"CONTROL_CLEAR", "reset"},
        {"CONTROL_OSK", "keyboard"},
    };
    return icons;
}

QString Upper(const QString& s) { return s.toUpper(); }

}  // namespace

Face FaceFor(const QString& key, const SkinIni& layout) {
    const QString k = Upper(key);
    static const QRegularExpression keyCap(QStringLiteral("^KEY_([0-9A-F]{3}|FN)$"));
    static const QRegularExpression gKey(QStringLiteral("^FUNC_G[1-9]$"));
    static const QRegularExpression report(QStringLiteral("^FUNC_REPORT([1-4])$"));
    static const QRegularExpression radio(QStringLiteral("^FUNC_SEL_[1-7]$"));

    if (keyCap.match(k).hasMatch()) return {FaceKind::KeyCap, layout.Value("KEYCAPS", key)};
    if (gKey.match(k).hasMatch()) return {FaceKind::GCap, {}};
    if (k == "LOCK_CAPS") return {FaceKind::LockLed, "CAPS"};
    if (k == "LOCK_NUM") return {FaceKind::LockLed, "NUM"};
    if (k == "LOCK_SCROLL") return {FaceKind::LockLed, "SCRL"};
    if (k == "LOCK_AB") return {FaceKind::LockAB, {}};
    if (const auto m = report.match(k); m.hasMatch()) {
        static const char* rates[] = {"125", "250", "500", "1000"};
        return {FaceKind::Labelled, QString::fromLatin1(rates[m.captured(1).toInt() - 1])};
    }
    if (radio.match(k).hasMatch()) return {FaceKind::Radio, {}};
    if (k == "FUNC_RECORD_DELAY" || k == "FUNC_MACRO_RECORD_DELAY") return {FaceKind::Check, {}};
    if (k == "FUNC_RECORD" || k == "FUNC_MACRO_RECORD") return {FaceKind::Record, {}};
    if (k == "KALTEV_LINK") return {FaceKind::Brand, {}};
    if (k == "CONTROL_MASK") return {FaceKind::Banner, {}};
    if (k == "CONTROL_KEY" || k == "CONTROL_MACRO" || k == "CONTROL_MEDIA" || k == "CONTROL_FUNCTION")
        return {FaceKind::Tab, {}};
    static const QStringList text = {"CONTROL_OK",    "CONTROL_CANCEL", "CONTROL2_APPLY",
                                     "FUNC_PROFILE1", "FUNC_PROFILE2",  "FUNC_PROFILE3",
                                     "FUNC_MACRO",    "FUNC_DEFAULT",   "FUNC_SWITCH"};
    if (text.contains(k)) return {FaceKind::TextButton, {}};
    for (auto it = IconKeys().begin(); it != IconKeys().end(); ++it)
        if (Upper(it.key()) == k) return {FaceKind::Icon, it.value()};
    return {};
}

QList<PictureSet> PictureSets() {
    const QStringList four = {"normal", "over", "down", "disable"};
    const QStringList three = {"normal", "over", "down"};
    const QStringList family = {"Composite.ini", "Key.ini", "Macro.ini"};
    return {
        {"main", four + QStringList{"color0", "color1"}, {"Main.ini"}},
        {"Profile", three, {"Profile.ini"}},
        {"key", four, family},
        {"macro", four + QStringList{"other"}, family},
        {"macro2", four, family},
        {"media", three, family},
        {"function", three, family},
        {"update", {"normal", "over"}, {"UpdateDlg.ini"}},
    };
}

QStringList LayoutFiles() {
    return {"Main.ini", "Profile.ini", "Key.ini", "Macro.ini", "Composite.ini", "UpdateDlg.ini"};
}

QString StatePictureName(const QString& prefix, const QString& state) {
    return prefix + QLatin1Char('_') + state + ".jpg";
}

QStringList FixedPictureNames() {
    QStringList names = {"Arrow.jpg"};
    for (const char* base : {"deng", "left", "right", "up", "down", "sjs", "user1", "user2"}) {
        names << QString::fromLatin1(base) + "up.bmp" << QString::fromLatin1(base) + "down.bmp";
    }
    for (const char* base : {"julong", "kuosan"})
        names << QString::fromLatin1(base) + ".bmp" << QString::fromLatin1(base) + "down.bmp";
    for (const char* base : {"hong", "huang", "lv", "lan"})
        names << QString::fromLatin1(base) + ".bmp" << QString::fromLatin1(base) + "ok.bmp";
    for (int i = 1; i <= 10; ++i) names << QStringLiteral("jdt%1.bmp").arg(i);
    for (int i = 0; i <= 25; ++i) names << QStringLiteral("%1.bmp").arg(i);
    for (int id : {128, 141, 142}) names << QStringLiteral("icon_%1.png").arg(id);
    return names;
}

}  // namespace skingen
