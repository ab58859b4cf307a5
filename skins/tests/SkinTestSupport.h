// Shared helpers of the skin tests: where the built skin lives and how to read its files.
#pragma once

#include <QDir>
#include <QImage>
#include <QString>

#include "SkinIni.h"

namespace skintest {

inline QDir SkinDir() { return QDir(QStringLiteral(TALVENIX_SKIN_DIR)); }
inline QDir SourceDir() { return QDir(QStringLiteral(TALVENIX_SKIN_SOURCE_DIR)); }

inline skingen::SkinIni LoadIni(const QString& path) {
    skingen::SkinIni ini;
    ini.Load(path);
    return ini;
}

inline skingen::SkinIni Layout(const QString& name) { return LoadIni(SkinDir().filePath(name)); }

inline QSize WindowSize(const skingen::SkinIni& layout) {
    QRect r;
    if (!skingen::ParseRect(QStringLiteral("0,0,") + layout.Value("SCREEN", "Size"), &r)) return {};
    return r.size();
}

// Mean absolute difference of two equally sized regions, over the three colour channels.
inline double MeanDifference(const QImage& a, const QImage& b, const QRect& region) {
    double sum = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            sum +=
                std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue());
        }
    return sum / (3.0 * region.width() * region.height());
}

}  // namespace skintest
