#include "gui/skin/SkinFile.h"

#include <QDir>
#include <QFileInfo>

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
    return ParseSkinRect(Get(section, key, QString::fromLatin1(kSkinRectDefault)));
}

QString SkinFile::BackgroundName() const { return Get(QStringLiteral("SCREEN"), QStringLiteral("Main")); }

QString SkinFile::MaskName() const {
    const QString mask = Get(QStringLiteral("SCREEN"), QStringLiteral("Mask"));
    return mask.trimmed().isEmpty() ? BackgroundName() : mask;
}

QImage SkinFile::LoadImage(const QString& name) const {
    // Layout files written on Windows may name sub-folders with backslashes.
    QString relative = name.trimmed();
    relative.replace(u'\\', u'/');
    const QString file = QDir(Folder()).filePath(relative);
    QImage image;
    if (name.trimmed().isEmpty() || !image.load(file)) throw SkinError(file);
    return image;
}

QPixmap SkinFile::LoadPicture(const QString& name) const { return QPixmap::fromImage(LoadImage(name)); }

}  // namespace talvenix::gui
