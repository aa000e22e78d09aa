#!/usr/bin/python3
"""Writes links.ppt: a three-slide deck whose first slide links out to a web
address (a text field) and into the deck (a box whose click goes to the last
slide, slide 3), saved by LibreOffice as PowerPoint 97-2003. Needs python3-uno.

Usage: make_links_deck.py OUTPUT.ppt
"""
import os
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.presentation.ClickAction import LASTPAGE
from com.sun.star.awt import Point, Size
from com.sun.star.beans import PropertyValue


def prop(name, value):
    result = PropertyValue()
    result.Name = name
    result.Value = value
    return result


def connect(pipe, profile):
    office = subprocess.Popen(["soffice", "-env:UserInstallation=" + uno.systemPathToFileUrl(profile),
                               "--headless", "--invisible", "--norestore", "--nologo",
                               "--accept=pipe,name=%s;urp;" % pipe],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(600):
        try:
            return office, resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            time.sleep(0.1)
    raise RuntimeError("the office did not answer")


def text_box(deck, slide, text, y):
    box = deck.createInstance("com.sun.star.drawing.TextShape")
    slide.add(box)
    box.setPosition(Point(2000, y))
    box.setSize(Size(20000, 2000))
    box.setString(text)
    return box


def build(deck):
    slides = deck.DrawPages
    while slides.Count < 3:
        slides.insertNewByIndex(slides.Count - 1)
    for number in range(3):
        text_box(deck, slides.getByIndex(number), "Page of slide %d" % (number + 1), 2000)
    first = slides.getByIndex(0)
    web = text_box(deck, first, "", 6000)
    field = deck.createInstance("com.sun.star.text.TextField.URL")
    field.URL = "http://example.com/pelvantz"
    field.Representation = "Visit example"
    web.getText().insertTextContent(web.getText().getEnd(), field, False)
    jump = text_box(deck, first, "Go to the last slide", 10000)
    jump.OnClick = LASTPAGE


def main():
    target = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as profile:
        office, context = connect("pelvantz-links-%d" % os.getpid(), profile)
        try:
            desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
            deck = desktop.loadComponentFromURL("private:factory/simpress", "_blank", 0, (prop("Hidden", True),))
            build(deck)
            deck.storeToURL(uno.systemPathToFileUrl(target), (prop("FilterName", "MS PowerPoint 97"),))
            deck.close(True)
            desktop.terminate()
        finally:
            office.wait(timeout=60)


if __name__ == "__main__":
    main()
