// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_hosting_export.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class HostedControl;
class QWidget;

// Creates hosted controls from their programmatic identifiers ("Library.Class"). Each control
// library registers its classes when it is loaded, through a static ControlRegistration.
//
// A host that creates controls only by their identifiers names nothing of the libraries that define
// them, and linkers leave such libraries out: GNU ld with --as-needed (Debian's and Ubuntu's default)
// records no dependency on a shared library that no object refers to, and on Windows a DLL from whose
// import library nothing is used is not loaded. The library is then never loaded and its controls are
// never registered ("no control is registered as ..."). So every library of controls is built with
// vesperon_add_library(... REGISTERS_CONTROLS), which
//   - defines the symbol vesperon_controls_<library> (vesperon_controls_Durix, ...) in the library, and
//   - gives the library's CMake target, in this build and in its installed package, a small source
//     (<library>_keep.cpp, as an INTERFACE source) that every target linking the library compiles:
//     it refers to that symbol, so the target refers to the library and the linker keeps it.
// A host that links Vesperon::Durix or Vesperon::Tamsel_Clock therefore loads the library at start,
// before main, and can create its controls by identifier without calling anything first and with the
// default linker flags. Passing the linker --undefined=<symbol> instead does not keep a shared library
// under --as-needed, and loading libraries by identifier at run time would need a second way to find
// them; a reference that the linker sees works the same with every linker.
class VESPERON_HOSTING_EXPORT ControlRegistry
{
public:
    using Factory = std::function<HostedControl *(QWidget *parent)>;

    static ControlRegistry &instance();

    void registerControl(const QString &programmaticId, Factory factory);
    bool contains(const QString &programmaticId) const;
    QStringList programmaticIds() const;

    // The new control, owned by parent; nullptr and errorString for an unknown identifier.
    HostedControl *create(const QString &programmaticId, QWidget *parent = nullptr,
                          QString *errorString = nullptr) const;

private:
    ControlRegistry() = default;
    QMap<QString, Factory> m_factories;
};

// Registers one control class for the lifetime of the library that defines it.
struct VESPERON_HOSTING_EXPORT ControlRegistration
{
    ControlRegistration(const QString &programmaticId, ControlRegistry::Factory factory);
};
