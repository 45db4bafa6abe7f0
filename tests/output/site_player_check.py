#!/usr/bin/env python3
"""Plays an exported score page in headless Chromium, opened from its folder.

Usage: site_player_check.py PAGE.html

Drives the browser through the DevTools protocol over a pipe (no extra
packages): plays for 2 s and checks that the cursor stands at the column the
time gives (within one column), then clicks a column of the second score
picture and checks that the time is there. Exit 0 on success, 1 on a fault,
77 when no browser is installed. Last, the sound played over the end of the
page's second score page turns to the next page, which plays on.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


class Browser:
    def __init__(self, url):
        exe = shutil.which("chromium") or shutil.which("chromium-browser")
        if not exe:
            print("chromium is not installed: the browser check is skipped")
            sys.exit(SKIP)
        self.profile = tempfile.mkdtemp(prefix="cx-chromium-")
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        # The protocol pipe is the child's descriptors 3 (in) and 4 (out).
        high_r, high_w = 200, 201
        os.dup2(to_browser_r, high_r)
        os.dup2(from_browser_w, high_w)

        def descriptors():
            os.dup2(high_r, 3)
            os.dup2(high_w, 4)

        self.process = subprocess.Popen(
            [exe, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + self.profile, "--autoplay-policy=no-user-gesture-required",
             "--mute-audio", "--remote-debugging-pipe", "--window-size=1400,1000", url],
            pass_fds=(3, 4), preexec_fn=descriptors,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for fd in (to_browser_r, from_browser_w, high_r, high_w):
            os.close(fd)
        self.buffer = b""
        self.next_id = 0
        self.session = None

    def send(self, method, params=None, session=True):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            reply = self.receive()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(method + ": " + json.dumps(reply["error"]))
                return reply.get("result", {})

    def receive(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.from_browser, 65536)
            if not chunk:
                raise RuntimeError("the browser ended")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def attach(self):
        deadline = time.time() + 20
        while time.time() < deadline:
            for target in self.send("Target.getTargets", session=False)["targetInfos"]:
                if target["type"] == "page" and target["url"].startswith("file:"):
                    self.session = self.send("Target.attachToTarget",
                                             {"targetId": target["targetId"], "flatten": True},
                                             session=False)["sessionId"]
                    return
            time.sleep(0.1)
        raise RuntimeError("no page opened")

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        if "exceptionDetails" in result:
            raise RuntimeError(expression + ": " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, seconds=15):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self.evaluate(expression):
                return True
            time.sleep(0.05)
        return False

    def close(self):
        self.process.kill()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


# Where the cursor stands: the column of the shown page whose place matches
# the bar's left edge over the picture, and the time.
STATE = """(function () {
  var a = document.getElementById("cxAudio"), bar = document.getElementById("cxBar0");
  var c = Math.floor(a.currentTime * 1000 / cx.ms);
  var p = Math.floor(Math.max(0, Math.min(cx.columns - 1, c)) / cx.per) + 1;
  var im = null;
  for (var i = 0; i < document.images.length; i++) {
    if (document.images[i].getAttribute("src") === p + "_0.jpg") { im = document.images[i]; }
  }
  if (!im || bar.style.display === "none") { return {time: a.currentTime, column: -1}; }
  var r = im.getBoundingClientRect(), b = bar.getBoundingClientRect();
  var x = (b.left - r.left) * im.naturalWidth / r.width, best = -1, gap = 1e9;
  var places = cx.places[p];
  for (var n = 0; n < places.length; n++) {
    if (Math.abs(places[n][0] - x) < gap) { gap = Math.abs(places[n][0] - x); best = n; }
  }
  return {time: a.currentTime, column: (p - 1) * cx.per + best, gap: gap, paused: a.paused};
})()"""


def main():
    page = os.path.abspath(sys.argv[1])
    browser = Browser("file://" + page)
    faults = []
    try:
        browser.attach()
        browser.send("Runtime.enable")
        if not browser.wait_for('document.readyState === "complete" && '
                                'document.getElementById("cxAudio").readyState >= 1'):
            raise RuntimeError("the page or its sound did not load")
        ms = browser.evaluate("cx.ms")
        browser.evaluate('document.getElementById("cxPlay").click()')
        if not browser.wait_for('!document.getElementById("cxAudio").paused', 5):
            raise RuntimeError("Play did not start the sound")
        time.sleep(2)
        state = browser.evaluate(STATE)
        expected = int(state["time"] * 1000 // ms)
        print("after 2 s: time %.3f s, column %d by the time, cursor at %d" %
              (state["time"], expected, state["column"]))
        if state["time"] < 1.5:
            faults.append("the sound did not advance: %.3f s" % state["time"])
        if abs(state["column"] - expected) > 1 or state["gap"] > 1:
            faults.append("the cursor stands at column %d, the time gives %d" % (state["column"], expected))

        # A click on column 40 of the second score picture of the small bells.
        target = browser.evaluate("""(function () {
          var im = null;
          for (var i = 0; i < document.images.length; i++) {
            if (document.images[i].getAttribute("src") === (cx.page + 1) + "_0.jpg") { im = document.images[i]; }
          }
          im.scrollIntoView();
          var r = im.getBoundingClientRect(), s = r.width / im.naturalWidth, place = cx.places[cx.page + 1][40];
          return {x: r.left + (place[0] + place[1] / 2) * s, y: r.top + r.height / 2, page: cx.page + 1};
        })()""")
        for kind in ("mousePressed", "mouseReleased"):
            browser.send("Input.dispatchMouseEvent", {"type": kind, "x": target["x"], "y": target["y"],
                                                      "button": "left", "clickCount": 1})
        # Read at once: the click's handler has run when the event returns.
        column = (target["page"] - 1) * 64 + 40
        state = browser.evaluate(STATE)
        by_time = int(state["time"] * 1000 // ms)
        print("after the click on column %d: time %.3f s, column %d by the time, cursor at %d" %
              (column, state["time"], by_time, state["column"]))
        if by_time not in (column, column + 1):
            faults.append("the click on column %d left the time at column %d" % (column, by_time))
        if abs(state["column"] - by_time) > 1:
            faults.append("after the click the cursor stands at %d, the time gives %d" % (state["column"], by_time))

        # Playing over the last column of the page's second score page turns
        # to the page after it, which goes on playing from there.
        boundary = (browser.evaluate("cx.page") + 1) * 64
        if browser.evaluate("cx.columns") > boundary:
            browser.evaluate('document.getElementById("cxAudio").currentTime = %f' % ((boundary - 1) * ms / 1000.0))
            next_page = "%d.html" % (boundary // 64 + 1)
            if not browser.wait_for('location.pathname.endsWith("/%s") && document.readyState === "complete" && '
                                    '!document.getElementById("cxAudio").paused' % next_page, 10):
                faults.append("the sound did not turn to %s and play on" % next_page)
            else:
                time.sleep(0.3)
                state = browser.evaluate(STATE)
                by_time = int(state["time"] * 1000 // ms)
                print("after the page turn to %s: column %d by the time, cursor at %d" %
                      (next_page, by_time, state["column"]))
                if by_time < boundary or abs(state["column"] - by_time) > 1:
                    faults.append("after the page turn the time gives column %d, the cursor %d" %
                                  (by_time, state["column"]))
    except RuntimeError as error:
        faults.append(str(error))
    finally:
        browser.close()
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
