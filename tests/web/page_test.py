#!/usr/bin/python3
"""The show's page in headless Chromium.

Serves the folder that `make web` writes on 127.0.0.1, opens the page in
headless Chromium (WebGL on SwiftShader) driven over the DevTools protocol on
a pipe, and checks what a visitor sees:

  page_test.py --site DIR [--diff-dir DIR]

Frames: ?seed=7&hold=N plays the show to frame N and keeps it; its
screenshot is compared with the native reference frame of the same number
and size (tests/render/reference/). The page draws the same random sequence
as the Linux builds, so everything matches but the lit model's shading: the
browser's OpenGL emulation lights from a direction, not a point, and two
constants bring it close (scene/render_state.cpp). A pixel differs when no
reference pixel within one place of it is within CHANNEL_TOLERANCE in every
channel; a frame fails when more than PIXEL_SHARE of its pixels differ. The
model's edges and shading leave at most 0.2 % (frame 1400), the light's
native position taken as a direction 0.3 to 0.5 %, no lighting constants
4 %. Every wait is bounded; the server and the browser end with the test.
"""
import argparse
import base64
import functools
import http.server
import io
import json
import os
import select
import shutil
import signal
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
CHANNEL_TOLERANCE = 16
PIXEL_SHARE = 0.0025
WAIT_SECONDS = 90
# Frame, the window's size and pixel ratio, what it shows. 192x108 at ratio 2
# is a 384x216 canvas: the page draws at the device's pixels, not the page's.
FRAMES = [
    (400, (320, 240, 1), "the title whole"),
    (1000, (192, 108, 2), "title and caption half faded out"),
    (1250, (320, 240, 1), "the scene fading in: stars, floor, model and its mirror, sparkles, corner logo"),
    (1304, (320, 240, 1), "the steady state starts: the model opaque and lit"),
    (2000, (320, 240, 1), "the model turned and lit, a particle stream on the right"),
]


class Browser:
    """Headless Chromium over the DevTools protocol on a pipe (no port to find or share)."""

    def __init__(self, scratch):
        chromium = shutil.which("chromium") or "/usr/bin/chromium"
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        # The protocol talks on the child's descriptors 3 (in) and 4 (out);
        # copied out of the way first, in case the pipes are 3 and 4 crossed.
        # Python opens its descriptors close-on-exec, so only these two pass.
        def descriptors():
            reading, writing = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(reading, 3)
            os.dup2(writing, 4)
        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
             "--remote-debugging-pipe", "--user-data-dir=" + os.path.join(scratch, "profile"),
             "--no-first-run", "--no-default-browser-check", "--hide-scrollbars", "--mute-audio",
             "--disable-background-timer-throttling", "--disable-renderer-backgrounding", "about:blank"],
            close_fds=False, preexec_fn=descriptors, start_new_session=True,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.pending = b""
        self.next_id = 0
        self.session = None

    def close(self):
        # The browser and every helper process it started: its own process group.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait(timeout=10)
        os.close(self.to_browser)
        os.close(self.from_browser)

    def _read_message(self, deadline):
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


def differing(reference, frame):
    """The pixels where every reference pixel within one place is off by more
    than the tolerance in some channel: SwiftShader puts an edge a pixel
    away from where llvmpipe puts it (the floor's front edge, a thin streak)."""
    nearest = None
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            channels = ImageChops.difference(ImageChops.offset(reference, dx, dy), frame).split()
            worst = ImageChops.lighter(ImageChops.lighter(channels[0], channels[1]), channels[2])
            nearest = worst if nearest is None else ImageChops.darker(nearest, worst)
    return nearest.point(lambda v: 255 if v > CHANNEL_TOLERANCE else 0)


def frames_match_the_native_show(browser, base, diff_dir):
    failures = []
    for number, (width, height, ratio), why in FRAMES:
        browser.size(width, height, ratio)
        browser.open("%s?seed=%d&hold=%d" % (base, SEED, number))
        if not browser.wait_for("document.documentElement.dataset.held === '%d'" % number):
            failures.append("frame %d (%s): not reached in %d s" % (number, why, WAIT_SECONDS))
            continue
        frame = browser.screenshot()
        size = "%dx%d" % (width * ratio, height * ratio)
        reference = Image.open(os.path.join(NATIVE_REFERENCE, size, "frame-%05d.png" % number)).convert("RGB")
        if frame.size != reference.size:
            failures.append("frame %d: %dx%d, not %s" % (number, frame.size[0], frame.size[1], size))
            continue
        mask = differing(reference, frame)
        count = mask.histogram()[255]
        allowed = int(PIXEL_SHARE * frame.size[0] * frame.size[1])
        print("        frame %d at %s: %d pixels differ (%d allowed)" % (number, size, count, allowed))
        if count > allowed:
            os.makedirs(diff_dir, exist_ok=True)
            path = os.path.join(diff_dir, "%s-frame-%05d.png" % (size, number))
            picture = Image.new("RGB", (frame.size[0] * 3, frame.size[1]))
            picture.paste(reference, (0, 0))
            picture.paste(frame, (frame.size[0], 0))
            red = Image.new("RGB", frame.size, (255, 0, 0))
            picture.paste(Image.composite(red, frame.point(lambda v: v // 3), mask), (frame.size[0] * 2, 0))
            picture.save(path)
            failures.append("frame %d at %s (%s): %d pixels differ; see %s" % (number, size, why, count, path))
    return failures


def page_follows_the_window_and_goes_full_screen(browser, base):
    failures = []
    browser.size(320, 240, 1)
    browser.open(base)
    if not browser.wait_for("Number(document.documentElement.dataset.frame) > 2"):
        return ["the show did not start playing"]
    # A larger window on a denser screen: the canvas takes the device's pixels.
    browser.size(200, 150, 2)
    if not browser.wait_for("canvas.width === 400 && canvas.height === 300", 10):
        failures.append("after a resize to 200x150 at ratio 2 the canvas is %s"
                        % browser.evaluate("canvas.width + 'x' + canvas.height"))
    if browser.evaluate("!!document.fullscreenElement"):
        failures.append("full screen before any click")
    for kind in ("mousePressed", "mouseReleased"):
        browser.send("Input.dispatchMouseEvent", {"type": kind, "x": 50, "y": 50, "button": "left", "clickCount": 1})
    if not browser.wait_for("!!document.fullscreenElement", 10):
        failures.append("a click did not put the page full screen")
    escape = {"key": "Escape", "code": "Escape", "windowsVirtualKeyCode": 27}
    browser.send("Input.dispatchKeyEvent", dict(escape, type="keyDown"))
    browser.send("Input.dispatchKeyEvent", dict(escape, type="keyUp"))
    if not browser.wait_for("!document.fullscreenElement", 10):
        failures.append("Escape did not leave full screen")
    key = {"key": "a", "code": "KeyA", "text": "a", "windowsVirtualKeyCode": 65}
    browser.send("Input.dispatchKeyEvent", dict(key, type="keyDown"))
    browser.send("Input.dispatchKeyEvent", dict(key, type="keyUp"))
    if not browser.wait_for("!!document.fullscreenElement", 10):
        failures.append("a key did not put the page full screen")
    return failures


def page_explains_what_it_cannot_do(browser, base, site):
    """A clear message, and no show, where it cannot play as asked."""
    failures = []
    shown = "document.getElementById('message').hidden === false"
    cases = [
        (base + "?seed=-1", None, "?seed= wants a whole number from 0 to 4294967295, not '-1'."),
        (base + "?hold=2x", None, "?hold= wants a whole number from 0 to 100000, not '2x'."),
        (base, "HTMLCanvasElement.prototype.getContext = function () { return null; };",
         "The show needs WebGL, which this browser does not offer or has switched off."),
        ("file://" + os.path.join(os.path.abspath(site), "index.html"), None, "Browsers load this page only"),
    ]
    for url, script, text in cases:
        added = None
        if script:
            added = browser.send("Page.addScriptToEvaluateOnNewDocument", {"source": script})["identifier"]
        browser.open(url)
        if not browser.wait_for(shown, 20):
            failures.append("%s: no message" % url)
        else:
            said = browser.evaluate("document.getElementById('message').textContent")
            if not said.startswith(text):
                failures.append("%s: said %r, not %r" % (url, said, text))
            # A moment for a show that should not be playing to draw a frame.
            time.sleep(0.5)
            if browser.evaluate("'frame' in document.documentElement.dataset"):
                failures.append("%s: the show played anyway" % url)
        if added:
            browser.send("Page.removeScriptToEvaluateOnNewDocument", {"identifier": added})
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--site", required=True, help="the folder make web writes")
    parser.add_argument("--diff-dir", default="out/web-diff")
    args = parser.parse_args()
    server = serve(args.site)
    base = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    checks = [
        ("frames match the native show", lambda b: frames_match_the_native_show(b, base, args.diff_dir)),
        ("page follows the window and goes full screen", lambda b: page_follows_the_window_and_goes_full_screen(b, base)),
        ("page explains what it cannot do", lambda b: page_explains_what_it_cannot_do(b, base, args.site)),
    ]
    failed = 0
    with tempfile.TemporaryDirectory() as scratch:
        browser = Browser(scratch)
        try:
            browser.open_tab()
            for name, check in checks:
                try:
                    failures = check(browser)
                except (TimeoutError, RuntimeError) as error:
                    failures = [str(error)]
                print(("ok      " if not failures else "FAILED  ") + name)
                for failure in failures:
                    print("        " + failure)
                failed += bool(failures)
        finally:
            browser.close()
            server.shutdown()
    print("web page: %d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
