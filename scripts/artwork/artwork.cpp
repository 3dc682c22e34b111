// SPDX-License-Identifier: GPL-3.0-or-later
// Draws Vesperon's pictures with QPainter and writes them as PNG files into the folder given:
// the revolver icons of the tray and the program, the pistol, the two face pictures of the clock
// and the pointing-hand cursor.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <cstdio>

namespace {

const QColor Window(64, 0, 0); // the main window and the clock face

struct MetalColours
{
    QColor light;
    QColor body;
    QColor dark;
    QColor outline;
};

struct RevolverColours
{
    MetalColours metal;
    QColor gripLight;
    QColor grip;
    QColor gripDark;
    QColor gripOutline;
};

const RevolverColours Natural{{QColor(176, 192, 210), QColor(104, 124, 146), QColor(62, 76, 94), QColor(24, 30, 40)},
                              QColor(176, 112, 60),
                              QColor(124, 72, 34),
                              QColor(84, 46, 20),
                              QColor(44, 22, 8)};
const RevolverColours Red{{QColor(255, 150, 130), QColor(220, 40, 36), QColor(150, 12, 12), QColor(64, 0, 0)},
                          QColor(200, 60, 50),
                          QColor(150, 22, 22),
                          QColor(100, 8, 8),
                          QColor(56, 0, 0)};

QLinearGradient metalGradient(const MetalColours &colours, qreal top, qreal bottom)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0.0, colours.light);
    gradient.setColorAt(0.45, colours.body);
    gradient.setColorAt(1.0, colours.dark);
    return gradient;
}

// A revolver pointing right, drawn in a 32 by 32 box and scaled to size.
QImage revolver(int size, const RevolverColours &colours)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const qreal line = 0.9;
    const QPen metalPen(colours.metal.outline, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QPen gripPen(colours.gripOutline, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // Grip, angled down and back, with a rounded butt.
    QPainterPath grip;
    grip.moveTo(11.0, 17.0);
    grip.lineTo(9.6, 22.0);
    grip.cubicTo(8.6, 25.5, 8.4, 28.6, 6.2, 29.0);
    grip.lineTo(3.4, 29.0);
    grip.cubicTo(1.8, 28.8, 1.6, 27.4, 2.0, 26.0);
    grip.lineTo(4.4, 15.6);
    grip.cubicTo(4.8, 14.2, 6.0, 13.6, 7.2, 14.0);
    grip.closeSubpath();
    QLinearGradient wood(2, 0, 11, 0);
    wood.setColorAt(0.0, colours.gripDark);
    wood.setColorAt(0.4, colours.grip);
    wood.setColorAt(0.75, colours.gripLight);
    wood.setColorAt(1.0, colours.grip);
    p.setPen(gripPen);
    p.setBrush(wood);
    p.drawPath(grip);
    // Chequering and the grip screw.
    p.setPen(QPen(colours.gripDark, 0.6));
    p.drawLine(QPointF(5.2, 18.0), QPointF(8.4, 19.0));
    p.drawLine(QPointF(4.6, 21.0), QPointF(8.0, 22.0));
    p.drawLine(QPointF(4.0, 24.0), QPointF(7.4, 25.0));
    p.setPen(Qt::NoPen);
    p.setBrush(colours.metal.light);
    p.drawEllipse(QPointF(6.4, 20.4), 0.8, 0.8);

    // Trigger guard and trigger.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colours.metal.outline, 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath guard;
    guard.moveTo(10.8, 17.2);
    guard.cubicTo(10.6, 21.8, 16.2, 22.4, 17.4, 17.2);
    p.drawPath(guard);
    p.setPen(QPen(colours.metal.body, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(guard);
    p.setPen(QPen(colours.metal.outline, 1.1, Qt::SolidLine, Qt::RoundCap));
    QPainterPath trigger;
    trigger.moveTo(13.6, 17.0);
    trigger.quadTo(13.8, 19.2, 12.6, 20.0);
    p.drawPath(trigger);

    // Hammer.
    QPainterPath hammer;
    hammer.moveTo(5.2, 11.6);
    hammer.lineTo(3.2, 8.2);
    hammer.quadTo(3.4, 7.0, 4.6, 7.4);
    hammer.lineTo(8.2, 9.4);
    hammer.lineTo(8.0, 11.6);
    hammer.closeSubpath();
    p.setPen(metalPen);
    p.setBrush(colours.metal.dark);
    p.drawPath(hammer);

    // Frame: top strap over the cylinder, the recoil shield behind it and the part over the grip.
    QPainterPath frame;
    frame.moveTo(6.0, 9.4);
    frame.lineTo(18.0, 9.0);
    frame.lineTo(18.0, 17.6);
    frame.lineTo(10.6, 17.6);
    frame.lineTo(7.2, 14.4);
    frame.cubicTo(5.4, 13.6, 4.8, 12.2, 5.0, 10.8);
    frame.closeSubpath();
    p.setBrush(metalGradient(colours.metal, 9, 17.6));
    p.drawPath(frame);

    // Barrel with the ejector shroud under it and the front sight.
    QPainterPath barrel;
    barrel.addRoundedRect(QRectF(17.0, 9.4, 13.6, 3.8), 0.8, 0.8);
    QPainterPath shroud;
    shroud.addRoundedRect(QRectF(17.0, 12.6, 11.2, 2.4), 0.9, 0.9);
    p.setBrush(metalGradient(colours.metal, 12.6, 15.0));
    p.drawPath(shroud);
    p.setBrush(metalGradient(colours.metal, 9.4, 13.2));
    p.drawPath(barrel);
    QPainterPath sight;
    sight.moveTo(28.0, 9.6);
    sight.lineTo(29.2, 7.6);
    sight.lineTo(30.2, 7.6);
    sight.lineTo(30.4, 9.6);
    p.setBrush(colours.metal.dark);
    p.drawPath(sight);
    // The muzzle.
    p.setPen(Qt::NoPen);
    p.setBrush(colours.metal.outline);
    p.drawRect(QRectF(30.0, 10.4, 0.8, 1.8));

    // Cylinder with its flutes.
    p.setPen(metalPen);
    p.setBrush(metalGradient(colours.metal, 9.8, 16.6));
    p.drawRoundedRect(QRectF(9.4, 9.8, 7.2, 6.8), 1.6, 1.6);
    p.setPen(QPen(colours.metal.dark, 0.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.8, 12.0), QPointF(15.2, 12.0));
    p.drawLine(QPointF(10.8, 14.4), QPointF(15.2, 14.4));
    // A glint along the barrel.
    p.setPen(QPen(colours.metal.light, 0.7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18.6, 10.5), QPointF(28.4, 10.5));
    return image;
}

// A self-loading pistol pointing right, steel with wooden grips, in a 64 by 64 box.
QImage pistol()
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const MetalColours steel{QColor(196, 204, 214), QColor(112, 120, 132), QColor(58, 62, 70), QColor(20, 22, 26)};
    const QPen outline(steel.outline, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    // Grip.
    QPainterPath grip;
    grip.moveTo(11.0, 29.0);
    grip.lineTo(27.0, 29.0);
    grip.lineTo(24.6, 36.0);
    grip.lineTo(21.4, 55.0);
    grip.quadTo(21.0, 58.0, 18.0, 58.0);
    grip.lineTo(8.6, 58.0);
    grip.quadTo(5.6, 58.0, 6.2, 55.0);
    grip.lineTo(10.0, 33.0);
    grip.closeSubpath();
    QLinearGradient wood(6, 0, 26, 0);
    wood.setColorAt(0.0, QColor(84, 46, 20));
    wood.setColorAt(0.5, QColor(140, 82, 38));
    wood.setColorAt(1.0, QColor(100, 56, 24));
    p.setPen(outline);
    p.setBrush(wood);
    p.drawPath(grip);
    // The grip panel's chequering and screw.
    p.save();
    p.setClipPath(grip);
    p.setPen(QPen(QColor(70, 38, 16), 0.8));
    for (int i = -4; i < 10; ++i) {
        p.drawLine(QPointF(4.0 + i * 3.0, 56.0), QPointF(16.0 + i * 3.0, 34.0));
        p.drawLine(QPointF(4.0 + i * 3.0, 34.0), QPointF(16.0 + i * 3.0, 56.0));
    }
    p.restore();
    p.setPen(QPen(steel.outline, 0.8));
    p.setBrush(steel.light);
    p.drawEllipse(QPointF(16.2, 43.0), 1.6, 1.6);

    // Trigger guard and trigger.
    p.setBrush(Qt::NoBrush);
    QPainterPath guard;
    guard.moveTo(26.0, 32.0);
    guard.cubicTo(25.0, 44.0, 40.0, 44.0, 40.0, 32.0);
    p.setPen(QPen(steel.outline, 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(guard);
    p.setPen(QPen(steel.body, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(guard);
    QPainterPath trigger;
    trigger.moveTo(31.0, 31.0);
    trigger.quadTo(32.0, 35.0, 29.6, 38.0);
    p.setPen(QPen(steel.outline, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(trigger);

    // Frame under the slide.
    QPainterPath frame;
    frame.moveTo(10.0, 27.0);
    frame.lineTo(54.0, 27.0);
    frame.lineTo(54.0, 33.0);
    frame.lineTo(24.0, 33.0);
    frame.lineTo(11.0, 31.0);
    frame.closeSubpath();
    p.setPen(outline);
    p.setBrush(metalGradient(steel, 27, 33));
    p.drawPath(frame);

    // Slide with serrations, ejection port and sights, and the muzzle.
    const QRectF slide(8.0, 15.0, 50.0, 12.0);
    p.setBrush(metalGradient(steel, 15, 27));
    p.drawRoundedRect(slide, 2.0, 2.0);
    p.setPen(QPen(steel.dark, 1.0));
    for (int x = 11; x <= 19; x += 2)
        p.drawLine(QPointF(x, 17.0), QPointF(x, 25.0));
    p.setPen(QPen(steel.outline, 1.0));
    p.setBrush(QColor(30, 32, 36));
    p.drawRoundedRect(QRectF(31.0, 17.0, 9.0, 4.0), 1.0, 1.0);
    p.setBrush(steel.dark);
    p.drawRect(QRectF(53.0, 12.6, 2.4, 2.6));
    p.drawRect(QRectF(10.0, 12.4, 4.0, 2.8));
    p.setPen(Qt::NoPen);
    p.setBrush(steel.outline);
    p.drawRect(QRectF(57.4, 19.0, 1.6, 4.0));
    // Glints.
    p.setPen(QPen(steel.light, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22.0, 16.6), QPointF(55.0, 16.6));
    p.drawLine(QPointF(24.0, 28.2), QPointF(52.0, 28.2));
    return image;
}

QPainterPath skullPath()
{
    QPainterPath skull;
    skull.moveTo(250, 86);
    skull.cubicTo(348, 86, 392, 158, 390, 232);
    skull.cubicTo(389, 274, 372, 300, 350, 318);
    skull.lineTo(344, 352);
    skull.quadTo(340, 364, 326, 364);
    skull.lineTo(314, 364);
    skull.lineTo(308, 398);
    skull.quadTo(304, 412, 288, 412);
    skull.lineTo(212, 412);
    skull.quadTo(196, 412, 192, 398);
    skull.lineTo(186, 364);
    skull.lineTo(174, 364);
    skull.quadTo(160, 364, 156, 352);
    skull.lineTo(150, 318);
    skull.cubicTo(128, 300, 111, 274, 110, 232);
    skull.cubicTo(108, 158, 152, 86, 250, 86);
    return skull;
}

QPainterPath eyeSocket(bool left)
{
    const qreal s = left ? -1 : 1;
    QPainterPath eye;
    eye.moveTo(250 + s * 22, 222);
    eye.cubicTo(250 + s * 30, 196, 250 + s * 96, 188, 250 + s * 108, 226);
    eye.cubicTo(250 + s * 116, 256, 250 + s * 84, 284, 250 + s * 56, 280);
    eye.cubicTo(250 + s * 28, 276, 250 + s * 16, 246, 250 + s * 22, 222);
    return eye;
}

QPainterPath nose()
{
    QPainterPath nose;
    nose.moveTo(250, 290);
    nose.cubicTo(238, 304, 228, 322, 232, 334);
    nose.quadTo(242, 338, 250, 330);
    nose.quadTo(258, 338, 268, 334);
    nose.cubicTo(272, 322, 262, 304, 250, 290);
    return nose;
}

struct FaceColours
{
    QColor bone;
    QColor boneEdge;
    QColor outline;
    QColor hollow;
};

void drawBones(QPainter &p, const FaceColours &colours)
{
    p.save();
    p.translate(250, 300);
    for (const int angle : {35, -35}) {
        p.save();
        p.rotate(angle);
        QPainterPath bone;
        bone.addRoundedRect(QRectF(-200, -14, 400, 28), 14, 14);
        for (const int end : {-196, 196}) {
            bone.addEllipse(QPointF(end, -16), 20, 20);
            bone.addEllipse(QPointF(end, 16), 20, 20);
        }
        bone.setFillRule(Qt::WindingFill);
        p.setPen(QPen(colours.outline, 5));
        p.setBrush(colours.boneEdge);
        p.drawPath(bone.simplified());
        p.restore();
    }
    p.restore();
}

// A face picture of the clock: a skull on the window's dark red, which the hands and ticks are
// drawn over. The armed one glows and has crossed bones and burning eyes.
QImage face(bool armed)
{
    QImage image(500, 500, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const FaceColours colours = armed
        ? FaceColours{QColor(128, 20, 12), QColor(92, 8, 6), QColor(206, 70, 26), QColor(36, 0, 0)}
        : FaceColours{QColor(100, 14, 12), QColor(82, 6, 6), QColor(118, 28, 22), QColor(44, 0, 0)};

    if (armed) {
        QRadialGradient glow(250, 250, 250);
        glow.setColorAt(0.0, QColor(150, 16, 4));
        glow.setColorAt(0.6, QColor(96, 4, 0));
        glow.setColorAt(1.0, Window);
        p.fillRect(image.rect(), glow);
        drawBones(p, colours);
    } else {
        p.fillRect(image.rect(), Window);
    }

    const QPainterPath skull = skullPath();
    QRadialGradient bone(250, 190, 230);
    bone.setColorAt(0.0, colours.bone);
    bone.setColorAt(1.0, colours.boneEdge);
    p.setPen(QPen(colours.outline, armed ? 6 : 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(bone);
    p.drawPath(skull);

    // The teeth: gaps between them and the line of the bite.
    p.setPen(QPen(colours.hollow, 5, Qt::SolidLine, Qt::RoundCap));
    for (const int x : {212, 237, 263, 288})
        p.drawLine(QPointF(x, 370), QPointF(x, 404));
    p.drawLine(QPointF(196, 386), QPointF(304, 386));
    p.drawLine(QPointF(174, 364), QPointF(326, 364));

    p.setPen(QPen(colours.outline, 3));
    p.setBrush(colours.hollow);
    p.drawPath(nose());
    for (const bool left : {true, false}) {
        const QPainterPath eye = eyeSocket(left);
        if (armed) {
            const QPointF centre(left ? 185 : 315, 240);
            QRadialGradient fire(centre, 46);
            fire.setColorAt(0.0, QColor(255, 236, 140));
            fire.setColorAt(0.3, QColor(255, 150, 20));
            fire.setColorAt(0.7, QColor(170, 30, 0));
            fire.setColorAt(1.0, colours.hollow);
            p.setBrush(fire);
        } else {
            p.setBrush(colours.hollow);
        }
        p.drawPath(eye);
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

// The pointing hand over the web address. Its hot spot, the tip of the index finger, is at column
// 12, row 1; whoever makes a cursor of hand-cursor.png gives it that hot spot.
QImage handCursor()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath hand;
    hand.moveTo(10.5, 15.5);
    hand.lineTo(10.5, 3.5);
    hand.cubicTo(10.5, 0.8, 14.5, 0.8, 14.5, 3.5);
    hand.lineTo(14.5, 11.0);
    hand.cubicTo(14.5, 9.2, 18.5, 9.2, 18.5, 11.5);
    hand.cubicTo(18.5, 10.0, 22.5, 10.0, 22.5, 12.5);
    hand.cubicTo(22.5, 11.6, 25.5, 11.6, 25.5, 14.0);
    hand.lineTo(25.5, 21.0);
    hand.cubicTo(25.5, 24.0, 24.0, 25.5, 23.5, 27.5);
    hand.lineTo(12.5, 27.5);
    hand.cubicTo(11.5, 25.0, 9.0, 22.0, 5.8, 18.2);
    hand.cubicTo(4.4, 16.4, 6.6, 14.2, 8.4, 15.6);
    hand.closeSubpath();

    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    // The folded fingers and the cuff.
    p.drawLine(QPointF(14.5, 11.0), QPointF(14.5, 15.5));
    p.drawLine(QPointF(18.5, 11.5), QPointF(18.5, 15.5));
    p.drawLine(QPointF(22.5, 12.5), QPointF(22.5, 15.5));
    p.drawRect(QRectF(12.5, 27.5, 11.0, 3.0));
    return image;
}

bool save(const QImage &image, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    if (!image.save(path, "PNG", 0)) {
        std::fprintf(stderr, "vesperon-artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vesperon-artwork FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    // The tray's two pictures; the natural one is also the window's and the program's icon, which
    // the desktop's icon theme gets in more sizes.
    bool ok = save(revolver(32, Natural), folder, QStringLiteral("tray-natural.png"))
        && save(revolver(32, Red), folder, QStringLiteral("tray-red.png"));
    for (const int size : {48, 64, 128, 256})
        ok = ok && save(revolver(size, Natural), folder, QStringLiteral("vesperon-%1.png").arg(size));
    ok = ok && save(pistol(), folder, QStringLiteral("pistol.png"))
        && save(face(false), folder, QStringLiteral("face-disarmed.png"))
        && save(face(true), folder, QStringLiteral("face-armed.png"))
        && save(handCursor(), folder, QStringLiteral("hand-cursor.png")); // hot spot 12, 1
    return ok ? 0 : 1;
}
