#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A StatusNotifierItem watcher for tests, as the tray of a KDE Plasma desktop (or GNOME's
AppIndicator extension) runs one: org.kde.StatusNotifierWatcher at /StatusNotifierWatcher on the
session bus that DBUS_SESSION_BUS_ADDRESS names, which must be a test's own bus.

    statusnotifierwatcher.py INTROSPECTION_XML

Items and hosts register by RegisterStatusNotifierItem and RegisterStatusNotifierHost and are
forgotten when their bus name goes; each change is signalled. The watcher's introspection data is
the given file (platform/components/dbus/org.kde.StatusNotifierWatcher.xml), properties included,
since Qt reads IsStatusNotifierHostRegistered through it. Ends on SIGTERM.
"""
import signal
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
PATH = "/StatusNotifierWatcher"
PROPERTIES = "org.freedesktop.DBus.Properties"
STANDARD_INTERFACES = """
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="data" type="s" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/><arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/><arg name="values" type="a{sv}" direction="out"/>
    </method>
  </interface>
"""


class Watcher(dbus.service.Object):
    def __init__(self, bus, introspection):
        super().__init__(bus, PATH)
        self.bus = bus
        self.introspection = introspection.replace("</node>", STANDARD_INTERFACES + "</node>")
        self.items = []  # "service/path"
        self.hosts = []  # bus names
        bus.add_signal_receiver(self.name_owner_changed, "NameOwnerChanged", "org.freedesktop.DBus",
                                "org.freedesktop.DBus", "/org/freedesktop/DBus")

    def properties(self):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(bool(self.hosts)),
                "ProtocolVersion": dbus.Int32(0)}

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return self.introspection

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.properties()[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties()

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender):
        # An item names its bus name (and sits at the usual path) or its path on the caller's name.
        item = sender + service if service.startswith("/") else service + "/StatusNotifierItem"
        if item not in self.items:
            self.items.append(item)
            self.StatusNotifierItemRegistered(item)

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierHost(self, service, sender):
        if service not in self.hosts:
            self.hosts.append(service)
            self.StatusNotifierHostRegistered()

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    @dbus.service.signal(WATCHER)
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.signal(WATCHER)
    def StatusNotifierHostUnregistered(self):
        pass

    def name_owner_changed(self, name, old_owner, new_owner):
        if new_owner:
            return
        for item in [item for item in self.items if item.split("/", 1)[0] == name]:
            self.items.remove(item)
            self.StatusNotifierItemUnregistered(item)
        if name in self.hosts:
            self.hosts.remove(name)
            self.StatusNotifierHostUnregistered()


def main():
    with open(sys.argv[1]) as description:
        introspection = description.read()
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus, introspection)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
    # The name last: whoever sees it owned finds the object in place.
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    loop.run()
    del name, watcher


if __name__ == "__main__":
    main()
