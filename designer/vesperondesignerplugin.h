// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// The Qt Designer plugin of Vesperon's widgets: Durix's Spanfield and Tamsel_Clock's TamselClock.
// Newly placed widgets keep their initial values: a Spanfield shows hours, minutes and seconds
// (days hidden) with the captions "T;h;m;s" and is editable; a TamselClock is square, with 60 small
// and 12 big ticks, the second hand shown, the minute hand fine-adjusted and the current time.
class VesperonDesignerPlugin final : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit VesperonDesignerPlugin(QObject *parent = nullptr);

    QList<QDesignerCustomWidgetInterface *> customWidgets() const override { return m_widgets; }

private:
    QList<QDesignerCustomWidgetInterface *> m_widgets;
};
