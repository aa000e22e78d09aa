#!/usr/bin/python3
"""Writes a PowerPoint 97-2003 deck whose one slide shows a picture linked
(not embedded) from a URL, for the test that the converter never fetches it.

Usage: make_linked_deck.py URL OUTPUT.ppt
Needs python3-uno and soffice. The office fetches the picture once while
linking it.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.awt import Point, Size
from com.sun.star.beans import PropertyValue


def prop(name, value):
    result = PropertyValue()
    result.Name = name
    result.Value = value
    return result


def connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(300):
        try:
            return resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            time.sleep(0.2)
    raise RuntimeError("the office did not answer on its pipe")


def write_deck(context, url, output):
    desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
    document = desktop.loadComponentFromURL("private:factory/simpress", "_blank", 0, (prop("Hidden", True),))
    provider = context.ServiceManager.createInstanceWithContext("com.sun.star.graphic.GraphicProvider", context)
    shape = document.createInstance("com.sun.star.drawing.GraphicObjectShape")
    document.DrawPages.getByIndex(0).add(shape)
    shape.setSize(Size(8000, 6000))
    shape.setPosition(Point(2000, 2000))
    shape.Graphic = provider.queryGraphic((prop("URL", url), prop("LoadAsLink", True)))
    document.storeToURL(uno.systemPathToFileUrl(os.path.abspath(output)), (prop("FilterName", "MS PowerPoint 97"),))
    document.close(True)


def main():
    url, output = sys.argv[1], sys.argv[2]
    profile = tempfile.mkdtemp()
    pipe = "pelvantz-linked-deck-%d" % os.getpid()
    command = ["soffice", "-env:UserInstallation=" + uno.systemPathToFileUrl(profile), "--headless",
               "--invisible", "--norestore", "--nologo"]
    office = None
    try:
        subprocess.run(command + ["--terminate_after_init"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False, timeout=120)
        office = subprocess.Popen(command + ["--accept=pipe,name=%s;urp;" % pipe],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        write_deck(connect(pipe), url, output)
    finally:
        if office is not None:
            office.kill()
            office.wait()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
