// Small helpers the key and macro dialogs share: texts from the language table, the skin's
// field styles, picture sets and skinned buttons.
#pragma once

#include <QString>

#include "core/keys/KeyAssignment.h"
#include "core/text/LanguageTable.h"
#include "gui/skin/PngButton.h"
#include "gui/skin/SkinFile.h"

class QWidget;

namespace talvenix::gui::kit {

QString Tx(text::TextId id);
// A key the windows read from the language file themselves; `fallback` when absent.
QString Fx(const char* key, const char* fallback = "");
// What the dialogs say when the keyboard cannot store `wanted` for the key of `slot`: what was
// chosen and what the key will do on the keyboard instead. Empty when it is stored as chosen,
// and for slots no key-block entry carries (the G keys).
QString UnstorableKeyNote(int slot, const keys::KeyAssignment& wanted);
inline constexpr const char* kWarnColour = "#E8B33C";

// A language text with one integer (its format is data, never given to printf).
QString TxNumber(text::TextId id, long long value);

// The style of edit fields, combos and lists on the dark skin.
QString FieldStyle();
QString ListStyle();
inline constexpr const char* kTextColour = "#E4E4E4";
inline constexpr const char* kDimColour = "#8C93A0";

// The state pictures "<prefix>_normal.jpg" ... of the skin; `other` replaces the set picture
// when given (e.g. "other"). Throws SkinError naming a missing picture.
StatePictures LoadPictureSet(const SkinFile& skin, const QString& prefix, bool withDisabled = true,
                             const QString& setState = {});

// A skinned button at the layout key `key` (object name = key).
CPngButton* MakeButton(QWidget* parent, const SkinFile& skin, const QString& key,
                       const StatePictures& pictures);
// Caption drawn over a blank face (OK, tabs, radios, check boxes).
void SetCaption(CPngButton& button, const QString& text, int leftMargin = 0);

}  // namespace talvenix::gui::kit
