// Paints the program's icon (the picture of org.talvenix.Talvenix.svg) as a PNG of each size
// the hicolor theme wants: icongen OUTDIR SIZE... writes OUTDIR/SIZExSIZE/org.talvenix.Talvenix.png.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

namespace {

QImage Paint(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);  // drawn in the SVG's 256 x 256 units
    p.setPen(QPen(QColor(0x3a, 0x3f, 0x4b), 6));
    p.setBrush(QColor(0x1c, 0x1f, 0x26));
    p.drawRoundedRect(QRectF(8, 56, 240, 144), 24, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd8, 0xdd, 0xe6));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 5; ++col) {
            const double w = col == 4 ? 20 : 32;
            p.drawRoundedRect(QRectF(32 + col * 44, 80 + row * 40, w, 28), 6, 6);
        }
    }
    QLinearGradient glow(32, 0, 228, 0);
    glow.setColorAt(0, QColor(0xff, 0x3b, 0x30));
    glow.setColorAt(0.5, QColor(0x34, 0xc7, 0x59));
    glow.setColorAt(1, QColor(0x0a, 0x84, 0xff));
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(32, 160, 196, 24), 6, 6);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: icongen OUTDIR SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = QString(argv[i]).toInt();
        const QString dir = QString("%1/%2x%2").arg(argv[1]).arg(size);
        if (size <= 0 || !QDir().mkpath(dir) || !Paint(size).save(dir + "/org.talvenix.Talvenix.png")) {
            std::fprintf(stderr, "icongen: cannot write the %s icon into %s\n", argv[i], argv[1]);
            return 1;
        }
    }
    return 0;
}
