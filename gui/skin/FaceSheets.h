// The full-window state pictures of a skinned window (normal, over, down, ...), kept only as the
// pieces its buttons show. A picture is decoded when a piece of it is first needed; every piece
// wanted from it is cut at once, each converted to the screen's format on its own, and the
// decoded picture is dropped. Release() drops the pieces as well (the window is hidden); the next
// Load() or paint cuts them again from the file. UI thread only.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstddef>
#include <map>
#include <tuple>
#include <vector>

namespace talvenix::gui {

class SkinFile;

// One cut piece: the part of the picture (in its own pixels) that begins at `origin`.
struct Face {
    QPixmap pixmap;  // null when the piece lies wholly outside the picture
    QPoint origin;
    bool ready = false;  // cut since the last Release()
};

class FaceSheets {
public:
    explicit FaceSheets(const SkinFile& skin) : skin_(skin) {}

    // Names a picture of the skin. Its file must be there (SkinError otherwise); it is not
    // decoded yet. Naming a picture twice gives the same index.
    int Add(const QString& fileName);
    const QString& Name(int sheet) const { return sheets_[static_cast<std::size_t>(sheet)].name; }

    // A piece `sheet` must provide: `source` in window pixels of the picture.
    void Want(int sheet, const QRect& source);
    // The piece, cut now if it is not at hand (its picture decoded once for every piece wanted
    // from it). Throws SkinError when the picture cannot be decoded.
    const Face& Cut(int sheet, const QRect& source);

    // Every wanted piece at hand now (rather than as each is first painted).
    void Load();
    // Every piece dropped; what is wanted stays known.
    void Release();
    bool Loaded() const;

    // --- for tests and benchmarks ---
    std::size_t Bytes() const;  // what the pieces hold
    int Decodes() const { return decodes_; }

private:
    using Key = std::tuple<int, int, int, int>;
    struct Sheet {
        QString name;
        std::map<Key, Face> faces;  // every wanted piece; a null pixmap until cut
    };
    static Key KeyOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
    void CutAll(Sheet& sheet);

    const SkinFile& skin_;
    std::vector<Sheet> sheets_;
    int decodes_ = 0;
};

}  // namespace talvenix::gui
