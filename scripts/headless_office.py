"""A private headless LibreOffice for the scripts that write bench and test
decks. Needs python3-uno, so the scripts run with /usr/bin/python3."""
import contextlib
import os
import subprocess
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    result = PropertyValue()
    result.Name = name
    result.Value = value
    return result


def _connect(pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    for _ in range(300):
        try:
            return resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except Exception:
            time.sleep(0.2)
    raise RuntimeError("the office did not answer on its pipe")


@contextlib.contextmanager
def headless_office(name):
    """Starts soffice on a new profile of its own and yields its component
    context; the office and its profile are gone afterwards."""
    with tempfile.TemporaryDirectory(prefix="pelvantz-office-") as profile:
        command = ["soffice", "-env:UserInstallation=" + uno.systemPathToFileUrl(profile), "--headless",
                   "--invisible", "--norestore", "--nologo"]
        # A new profile's first start restarts the office once: done before connecting.
        subprocess.run(command + ["--terminate_after_init"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False, timeout=120)
        pipe = "pelvantz-%s-%d" % (name, os.getpid())
        office = subprocess.Popen(command + ["--accept=pipe,name=%s;urp;" % pipe],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            yield _connect(pipe)
        finally:
            office.terminate()
            try:
                office.wait(timeout=60)
            except subprocess.TimeoutExpired:
                office.kill()
                office.wait()
