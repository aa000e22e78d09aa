#!/usr/bin/python3
"""Writes a PowerPoint 97-2003 deck whose one slide shows a picture linked
(not embedded) from a URL, for the test that the converter never fetches it.

Usage: make_linked_deck.py URL OUTPUT.ppt
Needs python3-uno and soffice. The office fetches the picture once while
linking it.
"""
import os
import sys

import uno
from com.sun.star.awt import Point, Size

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from headless_office import headless_office, prop  # noqa: E402


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
    with headless_office("linked-deck") as context:
        write_deck(context, url, output)


if __name__ == "__main__":
    main()
