// SPDX-License-Identifier: GPL-3.0-or-later
#include "quillory.h"
#include "shapedsurface.h"

#include <QPainterPath>
#include <QtTest>

namespace {

class RecordingSurface final : public QWidget, public ShapedSurface
{
public:
    using QWidget::QWidget;
    void setVisibleShape(const QPainterPath &shape) override { shapes.append(shape); }
    QList<QPainterPath> shapes;
};

} // namespace

class tst_Quillory : public QObject
{
    Q_OBJECT

private slots:
    void circleCoversTheSurface();
    void plainWidgetsGetAMask();
    void onlyTheAttachedSurfaceIsShaped();
    void circlesWithoutAreaHideTheSurface();
};

void tst_Quillory::circleCoversTheSurface()
{
    RecordingSurface surface;
    surface.resize(358, 358);
    Quillory region;
    // A face of 358 pixels: radius 2685 twips, one pixel (15 twips) more across.
    float centreX = 2692.5f;
    float centreY = 2692.5f;
    float radius = 2692.5f;
    region.attach(&surface);
    region.setCircle(centreX, centreY, radius);
    region.apply(&surface);
    QCOMPARE(centreX, 2692.5f);
    QCOMPARE(radius, 2692.5f);
    QCOMPARE(region.appliedDisc(), QRectF(0, 0, 358, 358));
    QCOMPARE(surface.shapes.size(), 1);
    const QPainterPath &shape = surface.shapes.first();
    QVERIFY(shape.contains(QPointF(179, 1)));
    QVERIFY(shape.contains(QPointF(179, 179)));
    QVERIFY(!shape.contains(QPointF(3, 3)));
    QVERIFY(!shape.contains(QPointF(355, 355)));
}

void tst_Quillory::plainWidgetsGetAMask()
{
    QWidget surface;
    surface.resize(100, 100);
    Quillory region;
    float centre = 757.5f; // (100 + 1) / 2 pixels
    region.attach(&surface);
    region.setCircle(centre, centre, centre);
    region.apply(&surface);
    const QRegion mask = surface.mask();
    QVERIFY(mask.contains(QPoint(50, 50)));
    QVERIFY(mask.contains(QPoint(50, 1)));
    QVERIFY(!mask.contains(QPoint(2, 2)));
    QVERIFY(!mask.contains(QPoint(97, 97)));
}

void tst_Quillory::onlyTheAttachedSurfaceIsShaped()
{
    RecordingSurface attached;
    RecordingSurface other;
    Quillory region;
    float value = 100.0f;
    region.attach(&attached);
    region.setCircle(value, value, value);
    region.apply(&other);
    QVERIFY(other.shapes.isEmpty());
    region.apply(&attached);
    QCOMPARE(attached.shapes.size(), 1);
}

void tst_Quillory::circlesWithoutAreaHideTheSurface()
{
    RecordingSurface surface;
    Quillory region;
    float centre = 50.0f;
    float none = 0.0f;
    region.attach(&surface);
    region.setCircle(centre, centre, none);
    region.apply(&surface);
    QCOMPARE(surface.shapes.size(), 1);
    QVERIFY(surface.shapes.first().isEmpty());

    float notANumber = std::numeric_limits<float>::quiet_NaN();
    region.attach(&surface);
    region.setCircle(notANumber, centre, centre);
    region.apply(&surface);
    QVERIFY(surface.shapes.last().isEmpty());
}

QTEST_MAIN(tst_Quillory)
#include "tst_quillory.moc"
