// SPDX-License-Identifier: GPL-3.0-or-later
#include "designerwidget.h"

#include <QIcon>

DesignerWidget::DesignerWidget(Description description, QObject *parent)
    : QObject(parent)
    , m_description(std::move(description))
{
}

QString DesignerWidget::group() const
{
    return QStringLiteral("Vesperon");
}

QIcon DesignerWidget::icon() const
{
    return QIcon();
}

QWidget *DesignerWidget::createWidget(QWidget *parent)
{
    return m_description.create(parent);
}

void DesignerWidget::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}
