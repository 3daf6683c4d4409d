#!/usr/bin/python3
"""The show's page in headless Chromium.

Serves the folder that `make web` writes on 127.0.0.1, opens the page in
headless Chromium (WebGL on SwiftShader) driven over the DevTools protocol on
a pipe, and checks what a visitor sees:

  page_test.py --site DIR [--diff-dir DIR] [--update]

Frames: ?seed=7&hold=N plays the show to frame N and keeps it; a screenshot
at 320x240 is compared with the native reference frame of the same number
(tests/render/reference/) wherever lighting plays no part, and the whole
frame with the web's own reference (tests/web/reference/) where the model is
lit: the browser's OpenGL emulation lights from a direction, not a point, so
the turning model's shading differs a little from the native one there.
A pixel differs when a channel is off by more than CHANNEL_TOLERANCE; a
frame fails when more than PIXEL_SHARE of its pixels differ. --update writes
the web references. Every wait is bounded; the server and the browser end
with the test.
"""
import argparse
import base64
import functools
import http.server
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from PIL import Image, ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))
NATIVE_REFERENCE = os.path.join(HERE, "..", "render", "reference")
WEB_REFERENCE = os.path.join(HERE, "reference")
SEED = 7
SIZE = (320, 240)
CHANNEL_TOLERANCE = 16
PIXEL_SHARE = 0.005
WAIT_SECONDS = 60


class Browser:
    """Headless Chromium over the DevTools protocol on a pipe (no port to find or share)."""

    def __init__(self, scratch):
        chromium = shutil.which("chromium") or "/usr/bin/chromium"
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        # The protocol talks on the child's descriptors 3 (in) and 4 (out);
        # copied out of the way first, in case the pipes are 3 and 4 crossed.
        def descriptors():
            reading, writing = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(reading, 3)
            os.dup2(writing, 4)
        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
             "--remote-debugging-pipe", "--user-data-dir=" + os.path.join(scratch, "profile"),
             "--no-first-run", "--no-default-browser-check", "--hide-scrollbars", "--mute-audio",
             "--disable-background-timer-throttling", "--disable-renderer-backgrounding", "about:blank"],
            pass_fds=(3, 4), preexec_fn=descriptors,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(scratch, "chromium.log"), "wb"))
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.pending = b""
        self.next_id = 0
        self.session = None

    def close(self):
        self.process.kill()
        self.process.wait(timeout=10)
        os.close(self.to_browser)
        os.close(self.from_browser)

    def _read_message(self, deadline):
        import select
        while b"\0" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.from_browser], [], [], left)[0]:
                raise TimeoutError("Chromium did not answer in time")
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("Chromium ended")
            self.pending += chunk
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=True, timeout=WAIT_SECONDS):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise RuntimeError("%s: %s" % (method, answer["error"]))
                return answer["result"]

    def open_tab(self):
        target = self.send("Target.createTarget", {"url": "about:blank"}, session=False)["targetId"]
        self.session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True},
                                 session=False)["sessionId"]
        self.send("Page.enable")
        self.send("Runtime.enable")

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        return result["result"].get("value")

    def wait_for(self, expression, seconds=WAIT_SECONDS):
        """Polls a page expression until it is true; False when the time runs out."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.evaluate(expression):
                return True
            time.sleep(0.1)
        return False

    def size(self, width, height, ratio=1):
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": False})

    def open(self, url):
        self.send("Page.navigate", {"url": url})

    def screenshot(self):
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        return Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(site):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server
