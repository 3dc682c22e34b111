// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_common_export.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>

struct MessageBoxRequest
{
    QPointer<QWidget> parent;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Every modal message box of Vesperon and its controls goes through here, so that a test (or a
// host without a person in front of it) can answer them. Without a handler a real box is shown.
class VESPERON_COMMON_EXPORT MessageBoxHook
{
public:
    using Handler = std::function<QMessageBox::StandardButton(const MessageBoxRequest &request)>;

    // Shows the box, or asks the handler, and gives the button that closed it.
    static QMessageBox::StandardButton show(const MessageBoxRequest &request);

    // Installs handler (an empty one restores the real boxes) and gives the one it replaces.
    static Handler setHandler(Handler handler);
};
