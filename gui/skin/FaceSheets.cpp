#include "gui/skin/FaceSheets.h"

#include <QDir>
#include <QImage>

#include "gui/skin/SkinError.h"
#include "gui/skin/SkinFile.h"

namespace talvenix::gui {

int FaceSheets::Add(const QString& fileName) {
    for (std::size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].name == fileName) return static_cast<int>(i);
    // A missing picture is a broken installation: say so at start-up, not at the first paint.
    if (!skin_.HasPicture(fileName)) throw SkinError(QDir(skin_.Folder()).filePath(fileName));
    sheets_.push_back(Sheet{fileName, {}});
    return static_cast<int>(sheets_.size() - 1);
}

void FaceSheets::Want(int sheet, const QRect& source) {
    if (sheet < 0 || sheet >= static_cast<int>(sheets_.size()) || source.isEmpty()) return;
    sheets_[static_cast<std::size_t>(sheet)].faces.try_emplace(KeyOf(source));
}

const Face& FaceSheets::Cut(int sheet, const QRect& source) {
    Sheet& s = sheets_.at(static_cast<std::size_t>(sheet));
    const auto [it, added] = s.faces.try_emplace(KeyOf(source));
    if (!it->second.ready) CutAll(s);
    return it->second;
}

void FaceSheets::CutAll(Sheet& sheet) {
    const QImage picture = skin_.LoadPictureImage(sheet.name);
    ++decodes_;
    const qreal d = picture.devicePixelRatio();
    for (auto& [key, face] : sheet.faces) {
        if (face.ready) continue;
        face.ready = true;
        const auto [x, y, w, h] = key;
        // The whole picture pixels the piece touches, as a painter taking it from the full
        // picture would read them.
        const QRect cut = QRectF(x * d, y * d, w * d, h * d).toAlignedRect() & picture.rect();
        if (cut.isEmpty()) continue;
        QImage piece = picture.copy(cut);
        piece.setDevicePixelRatio(d);
        face.pixmap = QPixmap::fromImage(std::move(piece));
        face.origin = cut.topLeft();
    }
}

void FaceSheets::Load() {
    for (auto& sheet : sheets_) {
        for (const auto& [key, face] : sheet.faces) {
            if (!face.ready) {
                CutAll(sheet);
                break;
            }
        }
    }
}

void FaceSheets::Release() {
    for (auto& sheet : sheets_)
        for (auto& [key, face] : sheet.faces) face = Face{};
}

bool FaceSheets::Loaded() const {
    for (const auto& sheet : sheets_)
        for (const auto& [key, face] : sheet.faces)
            if (!face.ready) return false;
    return true;
}

std::size_t FaceSheets::Bytes() const {
    std::size_t bytes = 0;
    for (const auto& sheet : sheets_)
        for (const auto& [key, face] : sheet.faces)
            if (!face.pixmap.isNull())
                bytes += static_cast<std::size_t>(face.pixmap.width()) * face.pixmap.height() *
                         static_cast<std::size_t>(face.pixmap.depth() / 8);
    return bytes;
}

}  // namespace talvenix::gui
