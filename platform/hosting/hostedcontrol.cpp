// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostedcontrol.h"

HostedControl::HostedControl(QWidget *parent)
    : QWidget(parent)
{
}

HostedControl::~HostedControl() = default;
