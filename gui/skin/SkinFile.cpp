#include "gui/skin/SkinFile.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <algorithm>
#include <atomic>

#include "core/text/IniFile.h"
#include "gui/skin/SkinError.h"

namespace talvenix::gui {

SkinRect ParseSkinRect(const QString& value) {
    int fields[4] = {1, 1, 1, 1};
    const QString trimmed = value.trimmed();
    int pos = 0;
    for (int i = 0; i < 4; ++i) {
        // One decimal number with an optional sign, as "%d" reads it.
        int start = pos;
        while (start < trimmed.size() && trimmed[start].isSpace()) ++start;
        int end = start;
        if (end < trimmed.size() && (trimmed[end] == u'-' || trimmed[end] == u'+')) ++end;
        const int digitsStart = end;
        while (end < trimmed.size() && trimmed[end].isDigit()) ++end;
        if (end == digitsStart) break;
        bool ok = false;
        const int v = trimmed.mid(start, end - start).toInt(&ok);
        if (!ok) break;
        fields[i] = v;
        if (i == 3) break;
        if (end >= trimmed.size() || trimmed[end] != u',') break;
        pos = end + 1;
    }
    return SkinRect{fields[0], fields[1], fields[2], fields[3]};
}

SkinFile::SkinFile(const QString& path)
    : path_(path), ini_(std::make_unique<text::IniFile>(QFile::encodeName(path).toStdString())) {}
SkinFile::~SkinFile() = default;
SkinFile::SkinFile(SkinFile&&) noexcept = default;
SkinFile& SkinFile::operator=(SkinFile&&) noexcept = default;

bool SkinFile::Exists() const { return QFileInfo::exists(path_); }

QString SkinFile::Folder() const { return QFileInfo(path_).absolutePath(); }

QString SkinFile::Get(const QString& section, const QString& key, const QString& fallback) const {
    return QString::fromStdString(
        ini_->Get(section.toStdString(), key.toStdString(), fallback.toStdString()));
}

SkinRect SkinFile::Rect(const QString& key, const QString& section) const {
    return ZoomRect(ParseSkinRect(Get(section, key, QString::fromLatin1(kSkinRectDefault))), SkinZoom());
}

namespace {
std::atomic<double> g_zoom{1.0};
}

void SetSkinZoom(double zoom) { g_zoom = zoom > 0 && zoom < 1 ? zoom : 1.0; }
double SkinZoom() { return g_zoom; }

double FitZoom(QSize window, QSize available) {
    if (window.isEmpty() || available.isEmpty()) return 1.0;
    return std::min(
        {1.0, double(available.width()) / window.width(), double(available.height()) / window.height()});
}

double FitZoom(const QString& layoutPath, QSize available) {
    const SkinFile layout(layoutPath);
    const QString background = QDir(layout.Folder()).filePath(layout.BackgroundName().trimmed());
    return FitZoom(QImageReader(background).size(), available);
}

SkinRect ZoomRect(const SkinRect& r, double zoom) {
    if (zoom == 1.0 || r.Unused()) return r;
    // Edges are zoomed, not sizes, so neighbouring controls stay neighbours.
    const int left = qRound(r.x * zoom), top = qRound(r.y * zoom);
    SkinRect z{left, top, qRound((r.x + r.w) * zoom) - left, qRound((r.y + r.h) * zoom) - top};
    if (z.Unused()) z.x = 0;  // must not read as a missing key
    return z;
}

QString SkinFile::BackgroundName() const { return Get(QStringLiteral("SCREEN"), QStringLiteral("Main")); }

QString SkinFile::MaskName() const {
    const QString mask = Get(QStringLiteral("SCREEN"), QStringLiteral("Mask"));
    return mask.trimmed().isEmpty() ? BackgroundName() : mask;
}

QString SkinFile::FilePath(const QString& name) const {
    // Layout files written on Windows may name sub-folders with backslashes.
    QString relative = name.trimmed();
    relative.replace(u'\\', u'/');
    return QDir(Folder()).filePath(relative);
}

QImage SkinFile::LoadRaw(const QString& name, bool preferDense, int* scale) const {
    const QString file = FilePath(name);
    *scale = 1;
    QImage image;
    if (preferDense) {
        const QFileInfo info(file);
        const QString dense =
            info.dir().filePath(info.completeBaseName() + QStringLiteral("@2x.") + info.suffix());
        if (QFileInfo::exists(dense) && image.load(dense)) {
            image.setDevicePixelRatio(1);
            *scale = 2;
            return image;
        }
    }
    if (name.trimmed().isEmpty() || !image.load(file)) throw SkinError(file);
    image.setDevicePixelRatio(1);
    return image;
}

QImage SkinFile::LoadImage(const QString& name) const {
    int scale = 1;
    QImage image = LoadRaw(name, false, &scale);
    const double zoom = SkinZoom();
    if (zoom == 1.0) return image;
    // Nearest pixel: a mask must keep its two pure colours.
    return image.scaled(qRound(image.width() * zoom), qRound(image.height() * zoom), Qt::IgnoreAspectRatio,
                        Qt::FastTransformation);
}

QPixmap SkinFile::LoadPicture(const QString& name) const {
    return QPixmap::fromImage(LoadPictureImage(name));
}

QImage SkinFile::LoadPictureImage(const QString& name) const {
    const double zoom = SkinZoom();
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const double pixels = zoom * ratio;  // screen pixels per layout pixel
    int scale = 1;
    QImage image = LoadRaw(name, pixels > 1.0, &scale);
    if (pixels == scale) {
        image.setDevicePixelRatio(ratio);
        return image;
    }
    const QSize layout = image.size() / scale;
    QImage fitted = image.scaled(qRound(layout.width() * pixels), qRound(layout.height() * pixels),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    fitted.setDevicePixelRatio(ratio);
    return fitted;
}

bool SkinFile::HasPicture(const QString& name) const {
    return !name.trimmed().isEmpty() && QFileInfo(FilePath(name)).isFile();
}

}  // namespace talvenix::gui
