#!/usr/bin/python3
# The desktop's notification service, standing in: owns
# org.freedesktop.Notifications on the session bus and writes each Notify's
# application, summary and body to the file given, one line each (the file
# made, empty, once the name is owned).
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

INTERFACE = "org.freedesktop.Notifications"


class Notifications(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.record = record
        self.sent = 0

    @dbus.service.method(INTERFACE, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.sent += 1
        with open(self.record, "a", encoding="utf-8") as record:
            record.write(f"{app}|{summary}|{body}\n")
        return self.sent

    @dbus.service.method(INTERFACE, out_signature="as")
    def GetCapabilities(self):
        return ["body"]


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
owned = dbus.service.BusName(INTERFACE, bus, do_not_queue=True)
Notifications(bus, sys.argv[1])
open(sys.argv[1], "a", encoding="utf-8").close()
GLib.MainLoop().run()
