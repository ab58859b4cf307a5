#include "gui/skin/SkinPlacement.h"

namespace talvenix::gui {

SkinRect PlaceControl(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                      const StatePictures& pictures) {
    const SkinRect r = skin.Rect(key, section);
    button.setGeometry(r.Rect());
    button.SetFaceSource(QPoint(r.x, r.y));
    button.SetStatePictures(pictures);
    if (r.Unused()) button.setEnabled(false);
    return r;
}

SkinRect PlaceControl(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                      FaceSheets& sheets, const StateSheets& states) {
    const SkinRect r = skin.Rect(key, section);
    button.setGeometry(r.Rect());
    button.SetFaceSource(QPoint(r.x, r.y));
    button.SetStateSheets(&sheets, states);
    if (r.Unused()) button.setEnabled(false);
    return r;
}

SkinRect PlaceWindow(QWidget& widget, const SkinFile& skin, const QString& section, const QString& key) {
    const SkinRect r = skin.Rect(key, section);
    widget.setGeometry(r.Rect());
    return r;
}

SkinRect PlaceWindowKeepSize(QWidget& widget, const SkinFile& skin, const QString& section,
                             const QString& key) {
    const SkinRect r = skin.Rect(key, section);
    widget.move(r.x, r.y);
    return r;
}

SkinRect PlaceWithFace(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                       const QString& faceSection, const QString& faceKey, const QPixmap& picture) {
    const SkinRect r = skin.Rect(key, section);
    const SkinRect face = skin.Rect(faceKey, faceSection);
    button.setGeometry(r.Rect());
    button.SetFaceSource(QPoint(face.x, face.y));
    button.SetStatePictures(StatePictures{picture, picture, picture, picture, picture});
    return r;
}

}  // namespace talvenix::gui

namespace talvenix::gui {

SkinRect PlaceWithFace(CPngButton& button, const SkinFile& skin, const QString& section, const QString& key,
                       const QString& faceSection, const QString& faceKey, FaceSheets& sheets, int sheet) {
    const SkinRect r = skin.Rect(key, section);
    const SkinRect face = skin.Rect(faceKey, faceSection);
    button.setGeometry(r.Rect());
    button.SetFaceSource(QPoint(face.x, face.y));
    button.SetStateSheets(&sheets, StateSheets{sheet, sheet, sheet, sheet, sheet});
    return r;
}

}  // namespace talvenix::gui
