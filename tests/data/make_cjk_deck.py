#!/usr/bin/python3
"""Makes cjk-text.ppt: one slide with a Chinese title and Japanese body text,
in the East Asian fonts a real deck names (SimSun, MS Mincho), saved with
LibreOffice's "MS PowerPoint 97" filter. Kept beside the deck so it can be
made again: /usr/bin/python3 make_cjk_deck.py OUTPUT.ppt (needs python3-uno).
"""
import os
import sys

import uno

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from headless_office import headless_office, prop  # noqa: E402

TITLE = "中文演示文稿"            # Chinese: "Chinese presentation"
BODY = "日本語のスライドです"      # Japanese: "This is a Japanese slide"


def set_text(shape, text, asian_font):
    shape.setString(text)
    shape.CharFontNameAsian = asian_font


def main(output):
    with headless_office("cjk-deck") as context:
        desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        document = desktop.loadComponentFromURL("private:factory/simpress", "_blank", 0, (prop("Hidden", True),))
        slide = document.DrawPages.getByIndex(0)
        slide.Layout = 1  # title and content
        set_text(slide.getByIndex(0), TITLE, "SimSun")
        set_text(slide.getByIndex(1), BODY, "MS Mincho")
        document.storeToURL(uno.systemPathToFileUrl(os.path.abspath(output)),
                            (prop("FilterName", "MS PowerPoint 97"),))
        document.close(True)


if __name__ == "__main__":
    main(sys.argv[1])
