#include "Painter.h"

#include <QConicalGradient>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace skingen {

namespace {

constexpr int kWindowRadius = 10;

QFont UiFont(qreal pixels, int weight = QFont::Normal) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qMax(1, qRound(pixels)));
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QColor Alpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QColor Mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QPainterPath Rounded(const QRectF& r, qreal radius) {
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

int PageOfTab(const QString& key) {
    const QString k = key.toUpper();
    if (k == "CONTROL_KEY") return 0;
    if (k == "CONTROL_MACRO") return 1;
    if (k == "CONTROL_MEDIA") return 2;
    if (k == "CONTROL_FUNCTION") return 3;
    return -1;
}

bool IsTitleBarKey(const QString& key) {
    const QString k = key.toUpper();
    return k == "CONTROL_HELP" || k == "CONTROL_MENU" || k == "CONTROL_MINIMIZE" || k == "CONTROL_CLOSE";
}

}  // namespace

void Palette::Override(const SkinIni& layout) {
    const struct {
        const char* key;
        QColor* colour;
    } entries[] = {{"Window", &window}, {"Panel", &panel},   {"Field", &field},          {"Border", &border},
                   {"Text", &text},     {"Accent", &accent}, {"AccentDeep", &accentDeep}};
    for (const auto& e : entries) {
        const QString v = layout.Value("STYLE", QString::fromLatin1(e.key));
        if (!v.isEmpty() && QColor::isValidColorName(v)) *e.colour = QColor::fromString(v);
    }
    // Shades that follow from the main colours.
    windowLow = window.darker(130);
    titleBar = window.lighter(118);
    panelBorder = Mix(panel, border, 0.5);
    capTop = panel.lighter(170);
    capBottom = panel.lighter(120);
}

// ---------------------------------------------------------------------------------------------
// Backgrounds and masks

QImage Painter::Mask(QSize size) const {
    QImage mask(size, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter g(&mask);
    g.setRenderHint(QPainter::Antialiasing, false);
    g.fillPath(Rounded(QRectF(0, 0, size.width(), size.height()), kWindowRadius), Qt::black);
    return mask;
}

void Painter::ColourWheel(QImage& image, QPoint centre, int radius) const {
    // Pixels whose integer distance from the centre is within the radius carry pure colours, so a
    // click anywhere inside picks a clean hue (angle) and saturation (distance) at full value.
    const int reach = radius + 2;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const qreal d = std::sqrt(qreal(dx * dx + dy * dy));
            const QPoint at = centre + QPoint(dx, dy);
            if (!image.rect().contains(at)) continue;
            qreal hue = qRadiansToDegrees(std::atan2(qreal(-dy), qreal(dx)));
            if (hue < 0) hue += 360.0;
            const QColor colour = QColor::fromHsvF(static_cast<float>(hue / 360.0),
                                                   static_cast<float>(qMin<qreal>(1.0, d / radius)), 1.0f);
            if (dx * dx + dy * dy <= radius * radius) {
                image.setPixelColor(at, colour);
            } else if (d < radius + 1.5) {
                const qreal cover = qBound<qreal>(0.0, radius + 1.5 - d, 1.0) * 0.6;
                image.setPixelColor(at, Mix(image.pixelColor(at), colour, cover));
            }
        }
    }
}

QImage Painter::NewImage(QSize size) const {
    // Drawn in layout pixels; the device pixel ratio makes every stroke land on scale x scale pixels.
    QImage image(size * scale_, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale_);
    return image;
}

QImage Painter::Background(const QString& layoutName, const SkinIni& layout, QSize size) const {
    QImage image = NewImage(size);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, size.width(), size.height());
    const bool main = layoutName.compare("Main.ini", Qt::CaseInsensitive) == 0;
    const int titleHeight = main ? 48 : 42;

    QLinearGradient body(0, 0, 0, size.height());
    body.setColorAt(0, p_.window);
    body.setColorAt(1, p_.windowLow);
    g.fillRect(all, body);

    // Title bar with a short accent line under its left end.
    g.fillRect(QRectF(0, 0, size.width(), titleHeight), p_.titleBar);
    g.fillRect(QRectF(0, titleHeight - 1, size.width(), 1), p_.panelBorder);
    QLinearGradient line(0, 0, 260, 0);
    line.setColorAt(0, Alpha(p_.accent, 200));
    line.setColorAt(1, Alpha(p_.accent, 0));
    g.fillRect(QRectF(0, titleHeight - 2, 260, 2), line);

    auto field = [&](const QRectF& r) {
        g.setPen(QPen(p_.border, 1));
        g.setBrush(p_.field);
        g.drawRoundedRect(r.adjusted(-1.5, -1.5, 1.5, 1.5), 4, 4);
    };
    auto card = [&](const QRectF& r) {
        g.setPen(QPen(p_.panelBorder, 1));
        g.setBrush(p_.panel);
        g.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    };
    auto rectOf = [&](const char* key, QRect* r) {
        return layout.Rect("BUTTONINFO", QString::fromLatin1(key), r);
    };

    if (main) {
        // Lighting panel: a flat card, so its bitmaps (painted on the card colour) blend in.
        card(QRectF(12, 52, 252, 454));
        g.fillRect(QRectF(24, 243, 232, 1), p_.panelBorder);
        g.fillRect(QRectF(24, 459, 232, 1), p_.panelBorder);
        // The colour wheel's bezel; the wheel itself is painted pixel by pixel below.
        g.setPen(QPen(p_.border, 1));
        g.setBrush(p_.field);
        g.drawEllipse(QPointF(140, 144), 68.5, 68.5);
        g.setPen(QPen(Alpha(p_.accent, 70), 1));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(QPointF(140, 144), 71.5, 71.5);
        // Keyboard plate with a soft accent glow along its lower edge.
        const QRectF plate(276, 104, 980, 282);
        QLinearGradient plateFill(0, plate.top(), 0, plate.bottom());
        plateFill.setColorAt(0, QColor(0x23, 0x27, 0x2F));
        plateFill.setColorAt(1, QColor(0x19, 0x1C, 0x22));
        g.setPen(QPen(p_.panelBorder, 1));
        g.setBrush(plateFill);
        g.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        g.fillRect(QRectF(plate.left() + 10, plate.top() + 1, plate.width() - 20, 1),
                   QColor(255, 255, 255, 14));
        QLinearGradient glow(plate.left(), 0, plate.right(), 0);
        glow.setColorAt(0, Alpha(p_.accent, 0));
        glow.setColorAt(0.5, Alpha(p_.accent, 150));
        glow.setColorAt(1, Alpha(p_.accent, 0));
        g.fillRect(QRectF(plate.left() + 24, plate.bottom() - 2, plate.width() - 48, 2), glow);
        // Separator between the G keys and the main block.
        g.fillRect(QRectF(334, 118, 1, 250), p_.panelBorder);
        // Bottom bar separator on the right side.
        g.fillRect(QRectF(276, 451, 980, 1), p_.panelBorder);
        // Keys in colour mode show only a coloured frame over the background: quiet caps with their
        // legends under every key button keep the keyboard readable then.
        Variant ghost;
        ghost.state = State::Disabled;
        ghost.ghost = true;
        for (const auto& [key, value] : layout.Entries("BUTTONINFO")) {
            const Face face = FaceFor(key, layout);
            QRect r;
            if ((face.kind != FaceKind::KeyCap && face.kind != FaceKind::GCap) || !ParseRect(value, &r))
                continue;
            g.save();
            g.translate(r.topLeft());
            KeyCap(g, QRectF(0, 0, r.width(), r.height()), face.glyph, ghost, face.kind == FaceKind::GCap);
            g.restore();
        }
        for (const char* key : {"m_edit_rgbr", "m_edit_rgbg", "m_edit_rgbb"}) {
            QRect r;
            if (rectOf(key, &r)) field(r);
        }
    } else {
        // Dialog mark in the title bar.
        QPainterPath mark;
        const QPointF c(26, 21);
        for (int i = 0; i < 6; ++i) {
            const qreal a = qDegreesToRadians(60.0 * i - 90.0);
            const QPointF pt = c + QPointF(std::cos(a) * 8, std::sin(a) * 8);
            i == 0 ? mark.moveTo(pt) : mark.lineTo(pt);
        }
        mark.closeSubpath();
        g.setPen(QPen(p_.accent, 2));
        g.setBrush(Alpha(p_.accent, 40));
        g.drawPath(mark);
        const QString name = layoutName.toLower();
        if (name == "composite.ini") card(QRectF(20, 120, 564, 296));
        // Key and Macro share picture sets with Composite: their cards cover the same button areas,
        // so the anti-aliased corners of a face blend the same way in all three.
        if (name == "key.ini" || name == "macro.ini") card(QRectF(20, 48, 564, 368));
        if (name != "main.ini" && size.height() > 300)
            g.fillRect(QRectF(20, size.height() - 52, size.width() - 40, 1), p_.panelBorder);
        for (const char* key : {"PROGRAM_LIST", "PROGRAM_LIST2", "FUNC_EXTRA_1", "FUNC_EXTRA_2",
                                "FUNC_EXTRA_3", "FUNC_EXTRA_4", "CONTROL_UPCombox"}) {
            QRect r;
            if (rectOf(key, &r)) field(r);
        }
    }

    // Window outline (the mask cuts the corners).
    g.setPen(QPen(p_.border, 1));
    g.setBrush(Qt::NoBrush);
    g.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), kWindowRadius, kWindowRadius);
    g.end();

    // The wheel is set pixel by pixel, in the picture's own pixels.
    if (main) ColourWheel(image, QPoint(140, 144) * scale_, 63 * scale_);
    return image.convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------------------------
// Faces

void Painter::Button(QPainter& g, const QRectF& r, const Variant& v, bool selected) const {
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(0, r.top(), 0, r.bottom());
    QColor border = p_.border;
    if (v.state == State::Disabled) {
        fill.setColorAt(0, p_.panel);
        fill.setColorAt(1, p_.panel);
        border = p_.panelBorder;
    } else if (v.state == State::Down || selected) {
        fill.setColorAt(0, p_.accentDeep.darker(130));
        fill.setColorAt(1, p_.accentDeep);
        border = p_.accent;
    } else if (v.state == State::Over) {
        fill.setColorAt(0, p_.capTop.lighter(125));
        fill.setColorAt(1, p_.capBottom.lighter(120));
        border = p_.accent;
    } else {
        fill.setColorAt(0, p_.capTop);
        fill.setColorAt(1, p_.capBottom);
    }
    g.setPen(QPen(border, 1));
    g.setBrush(fill);
    g.drawRoundedRect(body, 5, 5);
    if (v.state != State::Disabled && v.state != State::Down && !selected)
        g.fillRect(QRectF(r.left() + 5, r.top() + 1.5, r.width() - 10, 1), QColor(255, 255, 255, 22));
}

void Painter::KeyCap(QPainter& g, const QRectF& r, const QString& legend, const Variant& v, bool gKey) const {
    const bool disabled = v.state == State::Disabled;
    const bool down = v.state == State::Down;
    const bool over = v.state == State::Over;

    // Skirt of the cap, then its top surface (lower when pressed).
    g.setPen(QPen(over || down ? p_.accent : QColor(0x0C, 0x0E, 0x11), 1));
    g.setBrush(disabled ? p_.panel : QColor(0x17, 0x1A, 0x1F));
    g.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    const QRectF top = down ? r.adjusted(2.5, 3, -2.5, -2) : r.adjusted(2.5, 1.5, -2.5, -4);
    QLinearGradient surface(0, top.top(), 0, top.bottom());
    if (disabled) {
        surface.setColorAt(0, p_.panel.lighter(110));
        surface.setColorAt(1, p_.panel);
    } else if (down) {
        surface.setColorAt(0, p_.capBottom.darker(115));
        surface.setColorAt(1, p_.capBottom);
    } else {
        const int lift = over ? 118 : 100;
        surface.setColorAt(0, p_.capTop.lighter(lift));
        surface.setColorAt(1, p_.capBottom.lighter(lift));
    }
    g.setPen(Qt::NoPen);
    g.setBrush(surface);
    g.drawRoundedRect(top, 3, 3);
    if (!disabled && !down)
        g.fillRect(QRectF(top.left() + 3, top.top() + 0.5, top.width() - 6, 1), QColor(255, 255, 255, 28));
    if (down) {
        g.setPen(QPen(Alpha(p_.accent, 150), 1));
        g.setBrush(Qt::NoBrush);
        g.drawRoundedRect(top.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
    if (gKey)
        g.fillRect(QRectF(top.left() + 1, top.top() + 4, 2, top.height() - 8),
                   Alpha(p_.accent, disabled ? 50 : 160));

    const QColor ink = v.ghost    ? p_.dimText
                       : disabled ? p_.disabledText
                                  : (v.assigned ? p_.accent : (down ? Qt::white : p_.text));
    if (v.assigned && !disabled)
        g.fillRect(QRectF(top.center().x() - top.width() * 0.2, top.bottom() - 3, top.width() * 0.4, 2),
                   p_.accent);
    if (legend.isEmpty()) return;
    g.setPen(ink);
    const qsizetype bar = legend.indexOf(QLatin1Char('|'));
    if (bar > 0) {
        const QRectF upper(top.left(), top.top() + 1, top.width(), top.height() / 2);
        const QRectF lower(top.left(), top.top() + top.height() / 2 - 2, top.width(), top.height() / 2);
        g.setFont(UiFont(10));
        g.drawText(upper, Qt::AlignCenter, legend.left(bar));
        g.setFont(UiFont(11, QFont::DemiBold));
        g.drawText(lower, Qt::AlignCenter, legend.mid(bar + 1));
        return;
    }
    QFont font = legend.size() == 1 ? UiFont(13, QFont::DemiBold) : UiFont(9.5);
    while (QFontMetricsF(font).horizontalAdvance(legend) > top.width() - 4 && font.pixelSize() > 6)
        font.setPixelSize(font.pixelSize() - 1);
    g.setFont(font);
    g.drawText(top.adjusted(1, 0, -1, -1), Qt::AlignCenter, legend);
}

void Painter::Glyph(QPainter& g, const QRectF& box, const QString& name, const QColor& c) const {
    const qreal s = qMin(box.width(), box.height());
    const QRectF r(box.center().x() - s / 2, box.center().y() - s / 2, s, s);
    QPen pen(c, qMax<qreal>(1.6, s / 9.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    g.setPen(pen);
    g.setBrush(Qt::NoBrush);
    const qreal l = r.left(), t = r.top(), w = r.width(), h = r.height();
    auto P = [&](qreal fx, qreal fy) { return QPointF(l + fx * w, t + fy * h); };
    auto arrowHead = [&](QPointF tip, qreal angleDeg, qreal len) {
        const qreal a = qDegreesToRadians(angleDeg);
        for (qreal side : {-35.0, 35.0}) {
            const qreal b = a + qDegreesToRadians(180.0 + side);
            g.drawLine(tip, tip + QPointF(std::cos(b) * len, std::sin(b) * len));
        }
    };
    if (name == "help") {
        g.drawEllipse(r.adjusted(w * 0.12, h * 0.12, -w * 0.12, -h * 0.12));
        g.setFont(UiFont(h * 0.5, QFont::Bold));
        g.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
    } else if (name == "menu") {
        for (qreal y : {0.3, 0.5, 0.7}) g.drawLine(P(0.22, y), P(0.78, y));
    } else if (name == "minimize") {
        g.drawLine(P(0.25, 0.62), P(0.75, 0.62));
    } else if (name == "close") {
        g.drawLine(P(0.28, 0.28), P(0.72, 0.72));
        g.drawLine(P(0.72, 0.28), P(0.28, 0.72));
    } else if (name == "layers") {
        QPolygonF top({P(0.5, 0.18), P(0.85, 0.36), P(0.5, 0.54), P(0.15, 0.36)});
        g.drawPolygon(top);
        g.drawPolyline(QPolygonF({P(0.15, 0.52), P(0.5, 0.7), P(0.85, 0.52)}));
        g.drawPolyline(QPolygonF({P(0.15, 0.67), P(0.5, 0.85), P(0.85, 0.67)}));
    } else if (name == "left" || name == "right" || name == "up" || name == "down") {
        if (name == "left") g.drawPolyline(QPolygonF({P(0.6, 0.25), P(0.35, 0.5), P(0.6, 0.75)}));
        if (name == "right") g.drawPolyline(QPolygonF({P(0.4, 0.25), P(0.65, 0.5), P(0.4, 0.75)}));
        if (name == "up") {
            g.drawLine(P(0.5, 0.78), P(0.5, 0.25));
            arrowHead(P(0.5, 0.22), -90, w * 0.22);
        }
        if (name == "down") {
            g.drawLine(P(0.5, 0.22), P(0.5, 0.75));
            arrowHead(P(0.5, 0.78), 90, w * 0.22);
        }
    } else if (name == "chevup") {
        g.drawPolyline(QPolygonF({P(0.25, 0.6), P(0.5, 0.35), P(0.75, 0.6)}));
    } else if (name == "chevdown") {
        g.drawPolyline(QPolygonF({P(0.25, 0.4), P(0.5, 0.65), P(0.75, 0.4)}));
    } else if (name == "top" || name == "bottom") {
        const bool up = name == "top";
        g.drawLine(P(0.25, up ? 0.2 : 0.8), P(0.75, up ? 0.2 : 0.8));
        g.drawLine(P(0.5, up ? 0.35 : 0.65), P(0.5, up ? 0.82 : 0.18));
        arrowHead(P(0.5, up ? 0.33 : 0.67), up ? -90 : 90, w * 0.2);
    } else if (name.startsWith("flip")) {
        g.drawArc(r.adjusted(w * 0.2, h * 0.14, -w * 0.2, -h * 0.26), 30 * 16, 280 * 16);
        arrowHead(P(0.77, 0.32), -60, w * 0.16);
        const int dots = name.right(1).toInt() + 1;
        g.setBrush(c);
        for (int i = 0; i < dots; ++i)
            g.drawEllipse(P(0.5 + (i - (dots - 1) / 2.0) * 0.16, 0.86), w * 0.03, w * 0.03);
    } else if (name == "plus" || name == "minus") {
        g.drawLine(P(0.25, 0.5), P(0.75, 0.5));
        if (name == "plus") g.drawLine(P(0.5, 0.25), P(0.5, 0.75));
    } else if (name == "trash") {
        g.drawLine(P(0.22, 0.28), P(0.78, 0.28));
        g.drawLine(P(0.4, 0.28), P(0.44, 0.18));
        g.drawLine(P(0.44, 0.18), P(0.56, 0.18));
        g.drawLine(P(0.56, 0.18), P(0.6, 0.28));
        g.drawPolyline(QPolygonF({P(0.28, 0.32), P(0.33, 0.82), P(0.67, 0.82), P(0.72, 0.32)}));
        g.drawLine(P(0.44, 0.42), P(0.45, 0.72));
        g.drawLine(P(0.56, 0.42), P(0.55, 0.72));
    } else if (name == "clear") {
        for (qreal y : {0.3, 0.5, 0.7}) g.drawLine(P(0.18, y), P(y > 0.6 ? 0.42 : 0.58, y));
        g.drawLine(P(0.58, 0.56), P(0.82, 0.8));
        g.drawLine(P(0.82, 0.56), P(0.58, 0.8));
    } else if (name == "folder") {
        QPolygonF f({P(0.15, 0.3), P(0.4, 0.3), P(0.47, 0.38), P(0.85, 0.38), P(0.85, 0.75), P(0.15, 0.75)});
        g.drawPolygon(f);
        g.drawLine(P(0.15, 0.46), P(0.85, 0.46));
    } else if (name == "save") {
        g.drawPolygon(QPolygonF({P(0.2, 0.2), P(0.7, 0.2), P(0.8, 0.3), P(0.8, 0.8), P(0.2, 0.8)}));
        g.drawRect(QRectF(P(0.33, 0.2), P(0.62, 0.38)));
        g.drawRect(QRectF(P(0.32, 0.55), P(0.68, 0.8)));
    } else if (name == "update") {
        g.drawRoundedRect(QRectF(P(0.22, 0.5), P(0.78, 0.82)), 2, 2);
        g.drawLine(P(0.5, 0.62), P(0.5, 0.16));
        arrowHead(P(0.5, 0.14), -90, w * 0.18);
    } else if (name == "reset") {
        g.drawArc(r.adjusted(w * 0.2, h * 0.2, -w * 0.2, -h * 0.2), 60 * 16, 290 * 16);
        arrowHead(P(0.66, 0.23), 10, w * 0.16);
    } else if (name == "keyboard") {
        g.drawRoundedRect(QRectF(P(0.12, 0.28), P(0.88, 0.74)), 3, 3);
        g.setBrush(c);
        for (int row = 0; row < 2; ++row)
            for (int i = 0; i < 5; ++i) g.drawPoint(P(0.24 + i * 0.13, 0.4 + row * 0.12));
        g.drawLine(P(0.33, 0.63), P(0.67, 0.63));
    } else if (name == "keycap") {
        g.drawRoundedRect(QRectF(P(0.2, 0.2), P(0.8, 0.8)), 3, 3);
        g.drawRoundedRect(QRectF(P(0.3, 0.26), P(0.7, 0.62)), 2, 2);
    } else if (name == "macro") {
        for (qreal y : {0.3, 0.5, 0.7}) g.drawLine(P(0.15, y), P(0.5, y));
        g.setBrush(c);
        g.drawPolygon(QPolygonF({P(0.6, 0.35), P(0.88, 0.5), P(0.6, 0.65)}));
    } else if (name == "note") {
        g.drawLine(P(0.42, 0.72), P(0.42, 0.2));
        g.drawLine(P(0.42, 0.2), P(0.75, 0.28));
        g.drawLine(P(0.75, 0.28), P(0.75, 0.64));
        g.setBrush(c);
        g.drawEllipse(P(0.34, 0.74), w * 0.09, h * 0.07);
        g.drawEllipse(P(0.67, 0.66), w * 0.09, h * 0.07);
    } else if (name == "briefcase") {
        g.drawRoundedRect(QRectF(P(0.15, 0.34), P(0.85, 0.78)), 3, 3);
        g.drawRect(QRectF(P(0.38, 0.22), P(0.62, 0.34)));
        g.drawLine(P(0.15, 0.52), P(0.85, 0.52));
    } else if (name == "brush") {
        g.drawLine(P(0.75, 0.2), P(0.45, 0.55));
        g.setBrush(c);
        QPainterPath tip;
        tip.moveTo(P(0.42, 0.52));
        tip.cubicTo(P(0.25, 0.55), P(0.3, 0.75), P(0.18, 0.82));
        tip.cubicTo(P(0.4, 0.82), P(0.52, 0.7), P(0.5, 0.6));
        tip.closeSubpath();
        g.drawPath(tip);
    } else if (name == "drop") {
        QPainterPath d;
        d.moveTo(P(0.5, 0.15));
        d.cubicTo(P(0.62, 0.35), P(0.78, 0.5), P(0.72, 0.66));
        d.cubicTo(P(0.66, 0.86), P(0.34, 0.86), P(0.28, 0.66));
        d.cubicTo(P(0.22, 0.5), P(0.38, 0.35), P(0.5, 0.15));
        g.drawPath(d);
        g.drawLine(P(0.4, 0.62), P(0.44, 0.72));
    } else if (name == "shuffle") {
        g.drawLine(P(0.15, 0.32), P(0.35, 0.32));
        g.drawLine(P(0.35, 0.32), P(0.62, 0.68));
        g.drawLine(P(0.62, 0.68), P(0.82, 0.68));
        g.drawLine(P(0.15, 0.68), P(0.35, 0.68));
        g.drawLine(P(0.35, 0.68), P(0.62, 0.32));
        g.drawLine(P(0.62, 0.32), P(0.82, 0.32));
        arrowHead(P(0.85, 0.32), 0, w * 0.12);
        arrowHead(P(0.85, 0.68), 0, w * 0.12);
    } else if (name == "arrowleft" || name == "arrowright") {
        const bool left = name == "arrowleft";
        g.drawLine(P(0.2, 0.5), P(0.8, 0.5));
        arrowHead(left ? P(0.18, 0.5) : P(0.82, 0.5), left ? 180 : 0, w * 0.2);
    } else if (name == "check") {
        g.drawPolyline(QPolygonF({P(0.25, 0.52), P(0.42, 0.7), P(0.76, 0.3)}));
    }
}

void Painter::PaintFace(QImage& picture, const QString& key, const QRect& rect, const Face& face,
                        const Variant& v) const {
    if (face.kind == FaceKind::None || rect.width() <= 1 || rect.height() <= 1) return;
    // Faces are drawn on a transparent layer first so a dimmed set can fade them as a whole.
    QImage layer = NewImage(rect.size());
    layer.fill(Qt::transparent);
    QPainter g(&layer);
    g.setRenderHint(QPainter::Antialiasing);
    g.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r(0, 0, rect.width(), rect.height());
    const bool disabled = v.state == State::Disabled;
    const QColor ink = disabled                 ? p_.disabledText
                       : v.state == State::Down ? Qt::white
                       : v.state == State::Over ? Qt::white
                                                : QColor(0xC9, 0xCE, 0xD8);

    switch (face.kind) {
        case FaceKind::KeyCap:
        case FaceKind::GCap:
            KeyCap(g, r, face.glyph, v, face.kind == FaceKind::GCap);
            break;
        case FaceKind::LockLed:
        case FaceKind::LockAB: {
            if (v.state == State::Over) {
                g.setPen(QPen(Alpha(p_.accent, 120), 1));
                g.setBrush(Qt::NoBrush);
                g.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            }
            auto led = [&](QPointF c, bool lit) {
                if (lit && !disabled) {
                    QRadialGradient halo(c, 9);
                    halo.setColorAt(0, Alpha(p_.accent, 160));
                    halo.setColorAt(1, Alpha(p_.accent, 0));
                    g.setPen(Qt::NoPen);
                    g.setBrush(halo);
                    g.drawEllipse(c, 9, 9);
                }
                g.setPen(QPen(QColor(0x0C, 0x0E, 0x11), 1));
                g.setBrush(lit && !disabled ? p_.accent : QColor(0x2A, 0x2E, 0x36));
                g.drawEllipse(c, 3.5, 3.5);
            };
            g.setFont(UiFont(8, QFont::DemiBold));
            if (face.kind == FaceKind::LockLed) {
                led(QPointF(r.center().x(), 11), v.state == State::Down);
                g.setPen(disabled ? p_.disabledText : (v.state == State::Down ? p_.text : p_.dimText));
                g.drawText(QRectF(0, 18, r.width(), 14), Qt::AlignCenter, face.glyph);
            } else {
                const bool bankB = v.state == State::Down;
                led(QPointF(r.width() * 0.3, 11), !bankB);
                led(QPointF(r.width() * 0.7, 11), bankB);
                g.setFont(UiFont(10, QFont::Bold));
                g.setPen(!bankB && !disabled ? p_.text : p_.disabledText);
                g.drawText(QRectF(0, 18, r.width() * 0.6, 14), Qt::AlignCenter, QStringLiteral("A"));
                g.setPen(bankB && !disabled ? p_.text : p_.disabledText);
                g.drawText(QRectF(r.width() * 0.4, 18, r.width() * 0.6, 14), Qt::AlignCenter,
                           QStringLiteral("B"));
            }
            break;
        }
        case FaceKind::TextButton:
            Button(g, r, v, v.other && key.compare("CONTROL2_APPLY", Qt::CaseInsensitive) == 0);
            break;
        case FaceKind::Record:
            if (v.other && !disabled) {
                QLinearGradient red(0, 0, 0, r.height());
                red.setColorAt(0, p_.record.lighter(110));
                red.setColorAt(1, p_.record.darker(140));
                g.setPen(QPen(p_.record.lighter(140), 1));
                g.setBrush(red);
                g.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
            } else {
                Button(g, r, v, false);
                g.setPen(Qt::NoPen);
                g.setBrush(disabled ? p_.disabledText : p_.record);
                g.drawRoundedRect(QRectF(3, 5, 3, r.height() - 10), 1.5, 1.5);
            }
            break;
        case FaceKind::Tab: {
            const bool active = v.state == State::Down || PageOfTab(key) == v.activePage;
            QColor fill = active ? p_.panel.lighter(125) : p_.panel;
            if (v.state == State::Over) fill = fill.lighter(112);
            if (disabled) fill = p_.window;
            QPainterPath tab;
            tab.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, 6), 6, 6);
            g.setClipRect(r);
            g.setPen(QPen(active && !disabled ? p_.border : p_.panelBorder, 1));
            g.setBrush(fill);
            g.drawPath(tab);
            g.setClipping(false);
            if (active && !disabled)
                g.fillRect(QRectF(6, r.height() - 3, r.width() - 12, 3), p_.accent);
            else if (v.state == State::Over)
                g.fillRect(QRectF(10, r.height() - 2, r.width() - 20, 2), Alpha(p_.accent, 120));
            break;
        }
        case FaceKind::Labelled: {
            Button(g, r, v, false);
            g.setFont(UiFont(11, QFont::DemiBold));
            g.setPen(disabled ? p_.disabledText : (v.state == State::Down ? Qt::white : p_.text));
            g.drawText(r, Qt::AlignCenter, face.glyph);
            break;
        }
        case FaceKind::Icon: {
            if (IsTitleBarKey(key)) {
                const bool closeKey = key.compare("CONTROL_CLOSE", Qt::CaseInsensitive) == 0;
                if (v.state == State::Over || v.state == State::Down) {
                    QColor hover = closeKey ? QColor(0xC4, 0x2B, 0x1C) : p_.capTop;
                    if (v.state == State::Down) hover = closeKey ? hover.darker(130) : p_.accentDeep;
                    g.setPen(Qt::NoPen);
                    g.setBrush(hover);
                    g.drawRoundedRect(r, 5, 5);
                }
                Glyph(g, r.adjusted(4, 4, -4, -4), face.glyph, ink);
            } else {
                Button(g, r, v, false);
                const qreal pad = qMin(r.width(), r.height()) * 0.18;
                Glyph(g, r.adjusted(pad, pad, -pad, -pad), face.glyph, ink);
            }
            break;
        }
        case FaceKind::Radio:
        case FaceKind::Check: {
            const QRectF box(4.5, r.height() / 2 - 7, 14, 14);
            g.setPen(QPen(
                disabled ? p_.panelBorder : (v.state == State::Normal ? QColor(0x6A, 0x71, 0x80) : p_.accent),
                1.5));
            g.setBrush(p_.field);
            if (face.kind == FaceKind::Radio)
                g.drawEllipse(box);
            else
                g.drawRoundedRect(box, 3, 3);
            if (v.state == State::Down) {
                if (face.kind == FaceKind::Radio) {
                    g.setPen(Qt::NoPen);
                    g.setBrush(p_.accent);
                    g.drawEllipse(box.center(), 3.5, 3.5);
                } else {
                    Glyph(g, box, QStringLiteral("check"), p_.accent);
                }
            }
            break;
        }
        case FaceKind::Brand: {
            const QColor c =
                v.state == State::Down ? p_.accent : (v.state == State::Over ? Qt::white : p_.text);
            QPainterPath mark;
            const QPointF centre(14, r.height() / 2);
            for (int i = 0; i < 6; ++i) {
                const qreal a = qDegreesToRadians(60.0 * i - 90.0);
                const QPointF pt = centre + QPointF(std::cos(a) * 10, std::sin(a) * 10);
                i == 0 ? mark.moveTo(pt) : mark.lineTo(pt);
            }
            mark.closeSubpath();
            g.setPen(QPen(p_.accent, 2));
            g.setBrush(Alpha(p_.accent, v.state == State::Over ? 90 : 45));
            g.drawPath(mark);
            g.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
            g.drawLine(centre + QPointF(-4.5, -3.5), centre + QPointF(4.5, -3.5));
            g.drawLine(centre + QPointF(0, -3.5), centre + QPointF(0, 5));
            QFont f = UiFont(15, QFont::Bold);
            f.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
            g.setFont(f);
            g.setPen(c);
            g.drawText(r.adjusted(32, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("TALVENIX"));
            break;
        }
        case FaceKind::Banner: {
            QLinearGradient band(0, 0, r.width(), 0);
            band.setColorAt(0, Alpha(p_.accent, disabled ? 20 : 55));
            band.setColorAt(0.6, Alpha(p_.accent, 8));
            band.setColorAt(1, Alpha(p_.accent, 0));
            g.setPen(Qt::NoPen);
            g.setBrush(band);
            g.drawRoundedRect(r, 4, 4);
            g.fillRect(QRectF(0, 4, 3, r.height() - 8), disabled ? p_.disabledText : p_.accent);
            static const char* glyphs[] = {"keycap", "macro", "note", "briefcase"};
            if (v.activePage >= 0 && v.activePage < 4)
                Glyph(g, QRectF(10, 3, r.height() - 6, r.height() - 6),
                      QString::fromLatin1(glyphs[v.activePage]), disabled ? p_.disabledText : p_.accent);
            break;
        }
        case FaceKind::None:
            break;
    }
    g.end();

    QPainter out(&picture);
    out.setOpacity(v.dimmed ? 0.42 : 1.0);
    out.drawImage(QPoint(rect.x() - 1, rect.y() - 1), layer);
}

void Painter::PaintArrowFace(QImage& picture, const QString& faceKey, const QRect& rect) const {
    Variant v;
    v.state = faceKey.endsWith(QLatin1Char('2')) ? State::Down : State::Normal;
    Face face{FaceKind::Icon,
              faceKey.startsWith(QLatin1String("UP"), Qt::CaseInsensitive) ? "chevup" : "chevdown"};
    PaintFace(picture, QStringLiteral("ARROW"), rect, face, v);
}

// ---------------------------------------------------------------------------------------------
// Lighting-panel bitmaps

namespace {

QImage Canvas(QSize size, const QColor& base, int scale) {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(base);
    return image;
}

}  // namespace

QImage Painter::LampSwitch(QSize size, bool on) const {
    QImage image = Canvas(size, Card(), scale_);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    const QRectF track(1.5, 2.5, size.width() - 3, size.height() - 5);
    const qreal radius = track.height() / 2;
    if (on) {
        QLinearGradient fill(track.topLeft(), track.topRight());
        fill.setColorAt(0, p_.accentDeep);
        fill.setColorAt(1, p_.accent);
        g.setPen(QPen(p_.accent, 1));
        g.setBrush(fill);
    } else {
        g.setPen(QPen(p_.border, 1));
        g.setBrush(QColor(0x2A, 0x2E, 0x36));
    }
    g.drawRoundedRect(track, radius, radius);
    const qreal d = track.height() - 4;
    const QPointF knob(on ? track.right() - 2 - d / 2 : track.left() + 2 + d / 2, track.center().y());
    g.setPen(Qt::NoPen);
    g.setBrush(on ? QColor(Qt::white) : p_.dimText);
    g.drawEllipse(knob, d / 2, d / 2);
    // A small lamp mark on the free side of the track.
    const QPointF mark(on ? track.left() + track.width() * 0.3 : track.right() - track.width() * 0.3,
                       track.center().y());
    g.setBrush(on ? QColor(255, 255, 255, 200) : p_.disabledText);
    g.drawEllipse(mark, 2.5, 2.5);
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painter::Direction(QSize size, const QString& kind, bool pressed) const {
    QImage image = Canvas(size, Card(), scale_);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    Variant v;
    Button(g, QRectF(0, 0, size.width(), size.height()), v, pressed);
    QString glyph = kind;
    if (kind == "left") glyph = "arrowleft";
    if (kind == "right") glyph = "arrowright";
    if (kind == "julong") glyph = "converge";
    if (kind == "kuosan") glyph = "spread";
    const QColor ink = pressed ? QColor(Qt::white) : p_.text;
    const qreal s = size.height() - 6;
    if (glyph == "converge" || glyph == "spread") {
        // Two arrows meeting at (converge) or leaving (spread) a centre bar.
        const bool in = glyph == "converge";
        const qreal cx = size.width() / 2.0, cy = size.height() / 2.0, reach = qMin<qreal>(24, cx - 6);
        g.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        g.drawLine(QPointF(cx, cy - 6), QPointF(cx, cy + 6));
        for (int side : {-1, 1}) {
            const qreal nearX = cx + side * 5, farX = cx + side * reach;
            g.drawLine(QPointF(nearX, cy), QPointF(farX, cy));
            const qreal tipX = in ? nearX : farX;
            const qreal back = in ? side * 5.0 : -side * 5.0;
            g.drawLine(QPointF(tipX, cy), QPointF(tipX + back, cy - 4));
            g.drawLine(QPointF(tipX, cy), QPointF(tipX + back, cy + 4));
        }
    } else {
        // A long arrow reads better on these wide buttons than the square glyph.
        const qreal cx = size.width() / 2.0, cy = size.height() / 2.0;
        const bool horizontal = glyph == "arrowleft" || glyph == "arrowright";
        const qreal half = horizontal ? qMin<qreal>(14, cx - 8) : s / 2;
        const int sign = (glyph == "arrowright" || glyph == "down") ? 1 : -1;
        const QPointF axis = horizontal ? QPointF(1, 0) : QPointF(0, 1);
        const QPointF across = horizontal ? QPointF(0, 1) : QPointF(1, 0);
        const QPointF tip = QPointF(cx, cy) + axis * (sign * half);
        g.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        g.drawLine(QPointF(cx, cy) - axis * (sign * half), tip);
        g.drawLine(tip, tip - axis * (sign * 5.0) + across * 4.5);
        g.drawLine(tip, tip - axis * (sign * 5.0) - across * 4.5);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painter::Preset(QSize size, QColor colour, bool chosen) const {
    QImage image = Canvas(size, Card(), scale_);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    const QRectF outer(0.5, 0.5, size.width() - 1, size.height() - 1);
    if (chosen) {
        g.setPen(QPen(p_.accent, 1.5));
        g.setBrush(Qt::NoBrush);
        g.drawRoundedRect(outer.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    }
    const QRectF swatch = outer.adjusted(3, 3, -3, -3);
    QLinearGradient fill(0, swatch.top(), 0, swatch.bottom());
    fill.setColorAt(0, colour.lighter(115));
    fill.setColorAt(1, colour.darker(115));
    g.setPen(QPen(chosen ? QColor(Qt::white) : colour.darker(160), chosen ? 1.5 : 1));
    g.setBrush(fill);
    g.drawRoundedRect(swatch, 3, 3);
    if (chosen) {
        const qreal s = swatch.height() - 4;
        Glyph(g, QRectF(swatch.center().x() - s / 2, swatch.top() + 2, s, s), QStringLiteral("check"),
              colour.lightness() > 150 ? QColor(0x15, 0x17, 0x1C) : QColor(Qt::white));
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painter::RandomToggle(QSize size, bool on) const {
    QImage image = Canvas(size, Card(), scale_);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size.width() - 1, size.height() - 1);
    if (on) {
        QLinearGradient rainbow(r.topLeft(), r.topRight());
        for (int i = 0; i <= 6; ++i) rainbow.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 200, 230));
        g.setPen(QPen(QColor(255, 255, 255, 160), 1));
        g.setBrush(rainbow);
        g.drawRoundedRect(r, 5, 5);
    } else {
        Variant v;
        Button(g, QRectF(0, 0, size.width(), size.height()), v, false);
    }
    const qreal s = size.height() - 6;
    Glyph(g, QRectF(size.width() / 2.0 - s / 2, 3, s, s), QStringLiteral("shuffle"),
          on ? QColor(Qt::white) : p_.dimText);
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painter::Tool(QSize size, int tool, bool chosen) const {
    QImage image = Canvas(size, Card(), scale_);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    Variant v;
    Button(g, QRectF(0, 0, size.width(), size.height()), v, chosen);
    const qreal s = size.height() - 6;
    Glyph(g, QRectF(size.width() / 2.0 - s / 2, 3, s, s),
          tool == 0 ? QStringLiteral("brush") : QStringLiteral("drop"), chosen ? QColor(Qt::white) : p_.text);
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painter::BusyFrame(QSize size, int frame, const QColor& base) const {
    QImage image = Canvas(size, base, scale_);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size.width() / 2.0, size.height() / 2.0);
    const qreal outer = qMin(size.width(), size.height()) / 2.0 - 1.5;
    const qreal inner = outer * 0.5;
    for (int i = 0; i < 10; ++i) {
        const int age = (frame - i + 10) % 10;  // 0 = the head of the sweep
        const qreal a = qDegreesToRadians(i * 36.0 - 90.0);
        const QPointF dir(std::cos(a), std::sin(a));
        g.setPen(QPen(Alpha(p_.accent, qMax(40, 255 - age * 30)), 2.4, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(c + dir * inner, c + dir * outer);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painter::Slider(QSize size, int position, int positions, int style) const {
    QImage image = Canvas(size, Card(), scale_);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    const qreal margin = 9;
    const qreal cy = size.height() / 2.0;
    const qreal span = size.width() - 2 * margin;
    const qreal x = margin + span * position / qMax(1, positions - 1);
    const QRectF track(margin - 3, cy - 3, span + 6, 6);
    g.setPen(QPen(p_.border, 1));
    g.setBrush(p_.field);
    g.drawRoundedRect(track, 3, 3);
    QLinearGradient fill(track.left(), 0, track.right(), 0);
    if (style == 0) {
        fill.setColorAt(0, p_.accentDeep.darker(160));
        fill.setColorAt(1, p_.accent.lighter(130));
    } else if (style == 1) {
        fill.setColorAt(0, p_.accent);
        fill.setColorAt(1, QColor(0xFF, 0x8A, 0x00));
    } else {
        fill.setColorAt(0, p_.dimText);
        fill.setColorAt(1, p_.text);
    }
    g.setPen(Qt::NoPen);
    g.setBrush(fill);
    g.setClipRect(QRectF(0, 0, x, size.height()));
    g.drawRoundedRect(track.adjusted(1, 1, -1, -1), 2, 2);
    g.setClipping(false);
    for (int i = 0; i < positions; ++i) {
        const qreal tx = margin + span * i / qMax(1, positions - 1);
        g.setBrush(tx <= x ? QColor(255, 255, 255, 140) : p_.border);
        g.drawEllipse(QPointF(tx, cy + 8.5), 1.2, 1.2);
    }
    QRadialGradient knob(QPointF(x - 2, cy - 3), 10);
    knob.setColorAt(0, Qt::white);
    knob.setColorAt(1, QColor(0xB8, 0xC0, 0xCC));
    g.setPen(QPen(style == 1 ? QColor(0xFF, 0x8A, 0x00) : p_.accent, 2));
    g.setBrush(knob);
    g.drawEllipse(QPointF(x, cy), 6.5, 6.5);
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painter::TrayIcon(int id) const {
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    QColor top = QColor(0x4A, 0x50, 0x5C), bottom = QColor(0x2A, 0x2E, 0x36);
    if (id == 141) top = p_.accent, bottom = p_.accentDeep;
    if (id == 142) top = QColor(0xFF, 0xB0, 0x3A), bottom = QColor(0xC8, 0x6B, 0x00);
    QLinearGradient fill(0, 0, 0, 64);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    g.setPen(QPen(QColor(0, 0, 0, 120), 2));
    g.setBrush(fill);
    g.drawRoundedRect(QRectF(3, 3, 58, 58), 14, 14);
    Glyph(g, QRectF(8, 8, 48, 48), QStringLiteral("keyboard"),
          id == 128 ? QColor(0xC9, 0xCE, 0xD8) : QColor(Qt::white));
    if (id == 142) {
        g.setPen(QPen(QColor(0x15, 0x17, 0x1C), 2));
        g.setBrush(Qt::white);
        g.drawEllipse(QPointF(50, 14), 7, 7);
    }
    return image;
}

}  // namespace skingen
