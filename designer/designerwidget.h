// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <functional>

// One widget in Qt Designer's widget box, in the "Vesperon" group: what the box shows about it, the
// form text a newly placed one starts with, and how one is made. The form text (domXml) must name
// the widget's initial values, so that a form shows what a new widget holds.
class DesignerWidget final : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    struct Description
    {
        QString name;        // the class name, as forms write it
        QString includeFile; // the header that declares the class
        QString toolTip;
        QString whatsThis;
        QString domXml;
        std::function<QWidget *(QWidget *parent)> create;
    };

    explicit DesignerWidget(Description description, QObject *parent = nullptr);

    QString name() const override { return m_description.name; }
    QString group() const override;
    QString toolTip() const override { return m_description.toolTip; }
    QString whatsThis() const override { return m_description.whatsThis; }
    QString includeFile() const override { return m_description.includeFile; }
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override { return m_initialized; }
    void initialize(QDesignerFormEditorInterface *core) override;
    QString domXml() const override { return m_description.domXml; }

private:
    Description m_description;
    bool m_initialized = false;
};
