// Placing controls from a layout file: rectangle from "BUTTONINFO", face and pictures for
// image buttons. A control whose rectangle is the missing-key default "1,1,1,1" is disabled.
#pragma once

#include <QString>

#include "gui/skin/PngButton.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

// Move and size to (x, y, w, h); face source (x, y); the five state pictures. Disabled when
// x = 1 and y = 1 (the key is missing, so the skin does not use this control).
SkinRect PlaceControl(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                      const StatePictures& pictures);
// The same with the faces cut from `sheets`.
SkinRect PlaceControl(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                      FaceSheets& sheets, const StateSheets& states);
// Move and size only.
SkinRect PlaceWindow(QWidget& widget, const SkinFile& skin, const QString& section, const QString& key);
// Move to (x, y), keep the current size.
SkinRect PlaceWindowKeepSize(QWidget& widget, const SkinFile& skin, const QString& section,
                             const QString& key);
// Position from `key`, face source from `faceKey` in `faceSection`, one picture for every state.
SkinRect PlaceWithFace(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                       const QString& faceSection, const QString& faceKey, const QPixmap& picture);
SkinRect PlaceWithFace(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                       const QString& faceSection, const QString& faceKey, FaceSheets& sheets, int sheet);

}  // namespace talvenix::gui
