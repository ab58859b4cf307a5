// One skin layout file ("Main.ini", "Key.ini", ...): control rectangles in "BUTTONINFO",
// the background and mask names in "SCREEN", captions in the other sections. Read-only.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

namespace talvenix::text {
class IniFile;
}

namespace talvenix::gui {

// A layout rectangle "x,y,w,h". A missing key reads as "1,1,1,1,x": a 1 x 1 control at
// (1, 1), which placement treats as "not used here" and disables.
struct SkinRect {
    int x = 1;
    int y = 1;
    int w = 1;
    int h = 1;

    QRect Rect() const { return QRect(x, y, w, h); }
    bool Unused() const { return x == 1 && y == 1; }
};

// Parses "x,y,w,h" as the layout files write it: leading numbers separated by commas, any
// trailing text ignored; fields that are absent keep their default of 1.
SkinRect ParseSkinRect(const QString& value);

inline constexpr const char* kSkinRectDefault = "1,1,1,1,x";

// The skin's zoom: window pixels per layout pixel. 1 unless the windows would not fit on the
// screen (a large scale factor on a small screen); then every rectangle, picture and caption
// shrinks by it. Set once at start, before any window is built.
void SetSkinZoom(double zoom);
double SkinZoom();
// The zoom that fits a window of `window` layout pixels into `available`: at most 1.
double FitZoom(QSize window, QSize available);
// The zoom that fits the window of the layout file `layoutPath` (its background picture's
// size) into `available`.
double FitZoom(const QString& layoutPath, QSize available);
// `r` on the zoomed window; unused rectangles stay as they are.
SkinRect ZoomRect(const SkinRect& r, double zoom);
class SkinFile {
public:
    // Opens a layout file. A file that does not exist reads as empty (every key default).
    explicit SkinFile(const QString& path);
    ~SkinFile();
    SkinFile(SkinFile&&) noexcept;
    SkinFile& operator=(SkinFile&&) noexcept;

    const QString& Path() const { return path_; }
    bool Exists() const;
    // The folder the layout file lives in; pictures are named relative to it.
    QString Folder() const;

    QString Get(const QString& section, const QString& key, const QString& fallback = {}) const;
    SkinRect Rect(const QString& key, const QString& section = QStringLiteral("BUTTONINFO")) const;

    // "SCREEN"/"Main" and "SCREEN"/"Mask" (the mask defaults to the background).
    QString BackgroundName() const;
    QString MaskName() const;

    // Loads a picture named relative to the layout file's folder; throws SkinError naming the
    // file when it is missing or cannot be decoded. Pictures come zoomed and in the screen's
    // pixels (from the "@2x" set where the skin has one and the screen is dense enough).
    QPixmap LoadPicture(const QString& name) const;
    // The same picture before it becomes a pixmap: callers that keep only pieces of it convert
    // just those pieces to the screen's format.
    QImage LoadPictureImage(const QString& name) const;
    // Whether the picture's file (or its "@2x" version) is there, without decoding it.
    bool HasPicture(const QString& name) const;
    // An image in window pixels (zoomed, one pixel per window pixel), for masks.
    QImage LoadImage(const QString& name) const;

private:
    QString FilePath(const QString& name) const;
    // The file as painted: at 1x, or the "@2x" version when `preferDense` and it exists;
    // `scale` tells which.
    QImage LoadRaw(const QString& name, bool preferDense, int* scale) const;

    QString path_;
    std::unique_ptr<text::IniFile> ini_;
};

}  // namespace talvenix::gui
