// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmsplash.h"
#include "appresources.h"
#include "ui_frmsplash.h"

#include <clickandbrowse.h>

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

frmSplash::frmSplash(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint)
    , ui(std::make_unique<Ui::frmSplash>())
{
    AppResources::ensureLoaded();
    ui->setupUi(this);
    const auto setPointSize = [](QWidget *widget, qreal size) {
        QFont font = widget->font();
        font.setPointSizeF(size);
        widget->setFont(font);
    };
    setPointSize(this, 8.25);
    setPointSize(ui->lblProductName, 32.25);
    setPointSize(ui->lblIAdress, 9.75);

    QPalette blue = ui->lblIAdress->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    ui->lblIAdress->setPalette(blue);
    ui->lblIAdress->setCursor(QCursor(QPixmap(QStringLiteral(":/images/hand-cursor.png")), 12, 1));

    ui->lblVersion->setText(versionText());
    const int right = ui->lblVersion->geometry().right();
    ui->lblVersion->adjustSize();
    ui->lblVersion->move(right - ui->lblVersion->width() + 1, ui->lblVersion->y());
    for (QWidget *grown : {ui->lblProductName, ui->lblCompanyProduct})
        grown->setMinimumHeight(grown->heightForWidth(grown->width()));

    connect(ui->cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    for (QObject *watched : std::initializer_list<QObject *>{ui->Frame1, ui->lblProductName, ui->lblCompanyProduct,
                                                             ui->lblVersion, ui->imgLogo, ui->lblIAdress})
        watched->installEventFilter(this);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

frmSplash::~frmSplash() = default;

QString frmSplash::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(VESPERON_VERSION_MAJOR)
        .arg(VESPERON_VERSION_MINOR)
        .arg(VESPERON_VERSION_PATCH);
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease && event->type() != QEvent::MouseButtonPress)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == ui->Frame1)
            accept();
        else if (watched == ui->lblIAdress)
            lblIAdress_Click();
    }
    // Clicks on the labels and the logo stay with them and never reach the frame.
    return true;
}

void frmSplash::lblIAdress_Click()
{
    ClickAndBrowse::OpenInBrowser(ui->lblIAdress->text());
}
