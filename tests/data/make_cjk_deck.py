#!/usr/bin/python3
"""Makes cjk-text.ppt: one slide with a Chinese title and Japanese body text,
in the East Asian fonts a real deck names (SimSun, MS Mincho), saved with
LibreOffice's "MS PowerPoint 97" filter. Kept beside the deck so it can be
made again: /usr/bin/python3 make_cjk_deck.py OUTPUT.ppt (needs python3-uno).
"""
import os
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue

TITLE = "中文演示文稿"            # Chinese: "Chinese presentation"
BODY = "日本語のスライドです"      # Japanese: "This is a Japanese slide"
PIPE = "pelvantz-cjk-deck-%d" % os.getpid()


def prop(name, value):
    result = PropertyValue()
    result.Name = name
    result.Value = value
    return result


def connect(profile):
    command = ["soffice", "-env:UserInstallation=" + uno.systemPathToFileUrl(profile), "--headless",
               "--invisible", "--norestore", "--nologo"]
    subprocess.run(command + ["--terminate_after_init"], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False, timeout=120)
    office = subprocess.Popen(command + ["--accept=pipe,name=%s;urp;" % PIPE],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(300):
        try:
            return office, resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % PIPE)
        except Exception:
            time.sleep(0.2)
    office.kill()
    sys.exit("make_cjk_deck: the office did not answer")


def set_text(shape, text, asian_font):
    shape.setString(text)
    shape.CharFontNameAsian = asian_font


def main(output):
    with tempfile.TemporaryDirectory() as profile:
        office, context = connect(profile)
        try:
            desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
            document = desktop.loadComponentFromURL("private:factory/simpress", "_blank", 0,
                                                    (prop("Hidden", True),))
            slide = document.DrawPages.getByIndex(0)
            slide.Layout = 1  # title and content
            set_text(slide.getByIndex(0), TITLE, "SimSun")
            set_text(slide.getByIndex(1), BODY, "MS Mincho")
            document.storeToURL(uno.systemPathToFileUrl(os.path.abspath(output)),
                                (prop("FilterName", "MS PowerPoint 97"),))
            document.close(True)
        finally:
            office.terminate()
            office.wait(timeout=60)


if __name__ == "__main__":
    main(sys.argv[1])
