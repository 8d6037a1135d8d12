#!/usr/bin/python3
"""Reads an application over the AT-SPI bus, as a screen reader does.

  atspi_reader.py tree APP     prints "role|name|description" for every object of APP, then exits
  atspi_reader.py events APP   prints "ready", then "event|type|role|name" for each showing,
                               name, description or announcement event of APP, until its input closes
"""
import sys

import pyatspi
from gi.repository import GLib


def app_named(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def walk(obj, depth=0):
    if obj is None or depth > 40:
        return
    print("%s|%s|%s" % (obj.getRoleName(), obj.name, obj.description), flush=True)
    for child in obj:
        walk(child, depth + 1)


def tree(name):
    app = app_named(name)
    if app is None:
        print("no application " + name, file=sys.stderr)
        return 1
    walk(app)
    return 0


def events(name):
    def heard(event):
        try:
            source = event.source
            if source is None or source.getApplication().name != name:
                return
            if event.type.startswith("object:state-changed:showing") and not event.detail1:
                return
            print("event|%s|%s|%s" % (event.type, source.getRoleName(), source.name), flush=True)
        except Exception as error:  # an object gone before it could be read
            print("gone|%s" % error, file=sys.stderr, flush=True)

    pyatspi.Registry.registerEventListener(heard, "object:state-changed:showing",
                                           "object:property-change:accessible-name",
                                           "object:property-change:accessible-description",
                                           "object:announcement")

    def stdin_closed(*_):
        pyatspi.Registry.stop()
        return False

    GLib.io_add_watch(sys.stdin.fileno(), GLib.IO_IN | GLib.IO_HUP, stdin_closed)
    GLib.idle_add(lambda: print("ready", flush=True) and False)
    pyatspi.Registry.start()
    return 0


if __name__ == "__main__":
    mode, app = sys.argv[1], sys.argv[2]
    sys.exit(tree(app) if mode == "tree" else events(app))
