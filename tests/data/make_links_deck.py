#!/usr/bin/python3
"""Writes links.ppt: a three-slide deck whose first slide links out to a web
address (a text field) and into the deck (a box whose click goes to the last
slide, slide 3), saved by LibreOffice as PowerPoint 97-2003. Needs python3-uno.

Usage: make_links_deck.py OUTPUT.ppt
"""
import os
import sys

import uno
from com.sun.star.awt import Point, Size
from com.sun.star.presentation.ClickAction import LASTPAGE

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from headless_office import headless_office, prop  # noqa: E402


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
    with headless_office("links-deck") as context:
        desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        deck = desktop.loadComponentFromURL("private:factory/simpress", "_blank", 0, (prop("Hidden", True),))
        build(deck)
        deck.storeToURL(uno.systemPathToFileUrl(target), (prop("FilterName", "MS PowerPoint 97"),))
        deck.close(True)


if __name__ == "__main__":
    main()
