#!/usr/bin/python3
"""Builds the bench's large decks from real corpus slides.

Usage: make_decks.py CORPUS_FOLDER OUTPUT_FOLDER SLIDES [SLIDES...]

Writes OUTPUT_FOLDER/deck-<SLIDES>.ppt (PowerPoint 97-2003, LibreOffice's
"MS PowerPoint 97" filter) for each count whose deck is not there yet. A deck
is the slides of the corpus decks below pasted one deck after another in
Impress's slide sorter, round and round, cut to the count: text, pictures,
groups, lines and tables. Needs python3-uno (Debian) and soffice; runs
/usr/bin/python3 because that is where python3-uno installs.
"""
import os
import shutil
import sys
import tempfile
import time

import uno

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from headless_office import headless_office, prop  # noqa: E402

SOURCES = [
    "format-corpus/unc-+oxford2001.ppt",   # 38 slides: text, pictures, groups, lines
    "format-corpus/ecdl+paris2001.ppt",    # 16 slides: titles and bullet text
    "apache-tika/testPPT_various.ppt",     # a table and shapes
    "apache-tika/testPPT_2imgs.ppt",       # two pictures
    "apache-tika/testPPT_groups.ppt",      # a table and grouped shapes
    "oletools/embedded-simple-2007.ppt",   # a picture and bullet text
]


class Office:
    def __init__(self, context):
        manager = context.ServiceManager
        self.desktop = manager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        self.dispatcher = manager.createInstanceWithContext("com.sun.star.frame.DispatchHelper", context)

    def load(self, path):
        document = self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), "_blank", 0,
                                                     (prop("Hidden", True),))
        if document is None:
            sys.exit("make_decks: cannot open " + path)
        return document

    def run(self, document, command):
        frame = document.getCurrentController().getFrame()
        self.dispatcher.executeDispatch(frame, ".uno:" + command, "", 0, ())

    def copy_all_slides(self, document):
        self.run(document, "DiaMode")
        self.run(document, "SelectAll")
        self.run(document, "Copy")

    def paste_at_end(self, document):
        pages = document.getDrawPages()
        document.getCurrentController().setCurrentPage(pages.getByIndex(pages.getCount() - 1))
        self.run(document, "Paste")


def same_slide_size(documents):
    """Gives every deck the first one's slide size: Impress pastes slides of
    another size into a deck only after a question that nobody answers here."""
    first = documents[0].getDrawPages().getByIndex(0)
    for document in documents[1:]:
        pages = document.getDrawPages()
        for index in range(pages.getCount()):
            pages.getByIndex(index).Width = first.Width
            pages.getByIndex(index).Height = first.Height


def cut_to(document, count):
    pages = document.getDrawPages()
    while pages.getCount() > count:
        pages.remove(pages.getByIndex(pages.getCount() - 1))


def build_deck(office, copies, sources, count, target):
    deck = office.load(copies[0])
    office.run(deck, "DiaMode")
    turn = 1
    while deck.getDrawPages().getCount() < count:
        office.copy_all_slides(sources[turn % len(sources)])
        before = deck.getDrawPages().getCount()
        office.paste_at_end(deck)
        if deck.getDrawPages().getCount() == before:
            sys.exit("make_decks: pasting slides from %s added none" % SOURCES[turn % len(SOURCES)])
        turn += 1
    cut_to(deck, count)
    partial = target + ".partial.ppt"
    deck.storeToURL(uno.systemPathToFileUrl(partial), (prop("FilterName", "MS PowerPoint 97"),))
    deck.close(True)
    check = office.load(partial)
    saved = check.getDrawPages().getCount()
    check.close(True)
    if saved != count:
        sys.exit("make_decks: %s has %d slides after saving, not %d" % (partial, saved, count))
    os.replace(partial, target)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    corpus, folder, counts = sys.argv[1], sys.argv[2], [int(count) for count in sys.argv[3:]]
    os.makedirs(folder, exist_ok=True)
    missing = [count for count in counts if not os.path.exists(os.path.join(folder, "deck-%d.ppt" % count))]
    if not missing:
        return
    with tempfile.TemporaryDirectory(prefix="pelvantz-decks-") as scratch:
        # Copies, so that the office's lock files never land in the shared corpus.
        copies = [shutil.copy(os.path.join(corpus, name), os.path.join(scratch, "source-%d.ppt" % index))
                  for index, name in enumerate(SOURCES)]
        with headless_office("bench-decks") as context:
            office = Office(context)
            sources = [office.load(copy) for copy in copies]
            same_slide_size(sources)
            for count in missing:
                target = os.path.join(folder, "deck-%d.ppt" % count)
                started = time.monotonic()
                build_deck(office, copies, sources, count, target)
                print("built %s in %.0f s" % (target, time.monotonic() - started), flush=True)


if __name__ == "__main__":
    main()
