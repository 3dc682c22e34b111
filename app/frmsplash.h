// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmSplash;
}

// Vesperon's About window: product name, year and maker, version, logo and the maker's web
// address. It closes on "OK" or a click into the empty area of its frame; a click on the address
// opens it in the user's web browser.
class frmSplash final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSplash)

public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

    static QString versionText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void lblIAdress_Click();

    std::unique_ptr<Ui::frmSplash> ui;
};
