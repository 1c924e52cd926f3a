"""Velmora's folder verbs in Nautilus' menu, for every user of the package:
"Encriptar (seguro)..." (the padlock) first, then "Encriptar...", for
exactly one selected local folder; nothing for files, several items or the
background of an open folder. Each verb runs the package's wrapper, as the
other file managers' entries do. While the user's own registration still
has its Nautilus scripts (written before the package came), the verbs are
left to them, so Nautilus never shows one twice; starting Velmora once
removes the scripts.
"""
import os
import subprocess

import gi

gi.require_version("Nautilus", "4.0")
from gi.repository import GLib, GObject, Nautilus

WRAPPERS = "/usr/lib/velmora"
# id, Spanish name (the registered one), English name, icon.
VERBS = (
    ("encriptar-seguro", "Encriptar (seguro)...", "Encrypt (secure)...",
     "application-x-velmora-zol"),
    ("encriptar", "Encriptar...", "Encrypt...", "velmora-legacy"),
)


def spanish():
    return GLib.get_language_names()[0].startswith("es")


def user_scripts_present():
    data = os.environ.get("XDG_DATA_HOME") or os.path.expanduser("~/.local/share")
    return any(os.path.lexists(os.path.join(data, "nautilus", "scripts", name))
               for _, name, _, _ in VERBS)


def run(_item, verb_id, path):
    subprocess.Popen([os.path.join(WRAPPERS, "velmora-" + verb_id), path],
                     stdin=subprocess.DEVNULL, start_new_session=True)


class VelmoraMenu(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, files):
        if len(files) != 1:
            return []
        folder = files[0]
        if folder.get_uri_scheme() != "file" or not folder.is_directory():
            return []
        path = folder.get_location().get_path()
        if not path or user_scripts_present():
            return []
        items = []
        for verb_id, name, english, icon in VERBS:
            label = name if spanish() else english
            item = Nautilus.MenuItem(name="Velmora::" + verb_id, label=label, tip=label,
                                     icon=icon)
            item.connect("activate", run, verb_id, path)
            items.append(item)
        return items

    def get_background_items(self, _folder):
        return []
