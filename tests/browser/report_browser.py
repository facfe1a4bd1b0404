#!/usr/bin/env python3
"""The report of the example project, opened in headless Chromium.

Writes the report of examples/plant (and of a copy whose names are markup and
script), opens every page of it from the file system and checks, through the
browser's DevTools protocol on a pipe (no network, no server):

- every link and image of every page resolves (files exist, anchors exist
  once the page's script has shown its rows, every image decodes), and no
  request of a page fails;
- no script error or console error is logged, and no dialog opens;
- the tag table's filter finds a tag by its name;
- a page's picture shows on screen (a screenshot of it is not blank);
- names that are markup or script show as text, in pages, tables and pictures.

It also writes the screenshot of a report page that the README shows.
Only the Python standard library is used.
"""

import argparse
import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse
import zlib

HOSTILE_TAG = "<script>alert(1)</script>"
HOSTILE_PAGE = "</title><script>alert(3)</script><img src=x onerror=alert(4)>"


class Failures:
    def __init__(self):
        self.passed = 0
        self.failed = []

    def check(self, condition, what):
        if condition:
            self.passed += 1
        else:
            self.failed.append(what)
            print("FAIL: " + what, flush=True)
        return condition


class Browser:
    """Chromium driven over --remote-debugging-pipe: fd 3 to it, fd 4 from it."""

    def __init__(self, program, profile):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()

        def plumbing():
            # Out of the way first, in case a pipe end is 3 or 4 already.
            read_end, write_end = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        arguments = [program, "--headless", "--disable-gpu", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--disable-extensions", "--mute-audio",
                     "--hide-scrollbars", "--user-data-dir=" + profile,
                     "--remote-debugging-pipe", "about:blank"]
        if os.geteuid() == 0:
            arguments.insert(1, "--no-sandbox")  # the sandbox refuses to run as root
        # 3 and 4 are kept open past the plumbing, every other descriptor is closed.
        self.process = subprocess.Popen(arguments, pass_fds=(3, 4),
                                        preexec_fn=plumbing, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        self.session = None

    def close(self):
        try:
            self.call("Browser.close", session=False, timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("the browser did not answer")
            import select
            ready, _, _ = select.select([self.from_browser], [], [], 0.5)
            if ready:
                chunk = os.read(self.from_browser, 1 << 20)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe")
                self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=True, timeout=30):
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
                return answer.get("result", {})
            self._event(answer)

    def _event(self, message):
        method = message.get("method")
        if method == "Page.javascriptDialogOpening":
            self.events.append(message)
            # Answered at once, or the page would wait for it forever.
            os.write(self.to_browser, json.dumps({"id": 0, "method": "Page.handleJavaScriptDialog",
                                                  "params": {"accept": False},
                                                  "sessionId": self.session}).encode() + b"\0")
        elif method:
            self.events.append(message)

    def pump(self, seconds):
        deadline = time.monotonic() + seconds
        try:
            while True:
                self._event(self._read_message(deadline))
        except TimeoutError:
            pass

    def open_page(self):
        target = self.call("Target.createTarget", {"url": "about:blank"}, session=False)["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True},
                                 session=False)["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.call(domain + ".enable")
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": 1400, "height": 1000, "deviceScaleFactor": 1, "mobile": False})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def navigate(self, url):
        """Loads @p url and waits until its script says it is ready."""
        self.events = [e for e in self.events if e.get("method") != "Page.loadEventFired"]
        same_document = self.evaluate("location.href.split('#')[0]") == url.split("#")[0]
        self.call("Page.navigate", {"url": url})
        deadline = time.monotonic() + 30
        if not same_document:
            while not any(e.get("method") == "Page.loadEventFired" for e in self.events):
                if time.monotonic() > deadline:
                    raise TimeoutError("no load event for " + url)
                self.pump(0.1)
        while True:
            try:
                state = self.evaluate("document.documentElement.getAttribute('data-ready')")
            except RuntimeError:
                state = None  # between two documents
            if state in ("1", "error") or time.monotonic() > deadline:
                return state
            self.pump(0.05)

    def problems(self):
        """Script errors, console errors, dialogs and failed requests seen so far; then forgotten."""
        found = []
        for e in self.events:
            method, params = e.get("method"), e.get("params", {})
            if method == "Runtime.exceptionThrown":
                found.append("script error: %s" % params["exceptionDetails"].get("exception", {}).get("description", params))
            elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
                found.append("console error: %s" % [a.get("value") for a in params.get("args", [])])
            elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
                found.append("logged error: %s %s" % (params["entry"].get("text"), params["entry"].get("url", "")))
            elif method == "Page.javascriptDialogOpening":
                found.append("dialog opened: %s" % params.get("message"))
            elif method == "Network.loadingFailed" and not params.get("canceled"):
                found.append("request failed: %s" % params.get("errorText"))
        self.events = []
        return found

    def screenshot(self, clip=None):
        params = {"format": "png"}
        if clip:
            params["clip"] = dict(clip, scale=1)
        return base64.b64decode(self.call("Page.captureScreenshot", params)["data"])


def png_pixels(data):
    """The pixels of a non-interlaced 8-bit RGB or RGBA PNG: (width, height, [(r, g, b), ...])."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat, width = 8, b"", 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "an unexpected PNG kind"
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    previous = bytearray(stride)
    pixels = []
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 0xFF
        pixels.extend(tuple(line[x:x + 3]) for x in range(0, stride, channels))
        previous = line
    return width, height, pixels


def report(tool, project, out):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    run = subprocess.run([tool, "report", project, "-o", out], env=env, capture_output=True, text=True, timeout=300)
    if run.returncode != 0:
        raise RuntimeError("zadururu report %s failed: %s" % (project, run.stderr))
    return "file://" + urllib.parse.quote(os.path.join(out, "index.html"))


def hostile_copy(examples, folder):
    """The example project with a tag named as a script and a page named as markup."""
    project = os.path.join(folder, "hostile")
    shutil.rmtree(project, ignore_errors=True)
    shutil.copytree(os.path.join(examples, "plant"), project)
    definitions = os.path.join(project, "definitions.xml")
    with open(definitions, encoding="utf-8") as f:
        text = f.read()
    assert "<![CDATA[Pump_10]]>" in text
    with open(definitions, "w", encoding="utf-8") as f:
        f.write(text.replace("<![CDATA[Pump_10]]>", "<![CDATA[" + HOSTILE_TAG + "]]>"))
    overview = os.path.join(project, "pages", "overview.xml")
    with open(overview, encoding="utf-8") as f:
        text = f.read()
    start = text.index("<pageName>") + len("<pageName>")
    end = text.index("</pageName>")
    with open(overview, "w", encoding="utf-8") as f:
        f.write(text[:start] + "<![CDATA[" + HOSTILE_PAGE + "]]>" + text[end:])
    return project


LINKS_AND_IMAGES = """(() => ({
    links: Array.from(document.querySelectorAll('a[href]')).map(a => new URL(a.getAttribute('href'), document.baseURI).href),
    images: Array.from(document.images).map(i => [i.currentSrc || i.src, i.complete && i.naturalWidth > 0]),
    rows: document.querySelectorAll('tbody tr').length
}))()"""


def crawl(browser, start, failures):
    """Every page of the report from @p start: links, images, anchors, errors."""
    root = os.path.dirname(urllib.parse.unquote(urllib.parse.urlparse(start).path))
    pages, seen, anchored = [start], {start}, set()
    while pages:
        url = pages.pop(0)
        state = browser.navigate(url)
        failures.check(state == "1", "%s is shown whole (ready: %s)" % (url, state))
        found = browser.evaluate(LINKS_AND_IMAGES)
        for src, shown in found["images"]:
            failures.check(shown, "image %s on %s shows" % (src, url))
        for link in found["links"]:
            parsed = urllib.parse.urlparse(link)
            if not failures.check(parsed.scheme == "file", "link %s on %s stays in the report" % (link, url)):
                continue
            path = urllib.parse.unquote(parsed.path)
            failures.check(os.path.isfile(path) and path.startswith(root + os.sep),
                           "link %s on %s names a file of the report" % (link, url))
            target = link.split("#")[0]
            if target.endswith(".html") and target not in seen:
                seen.add(target)
                pages.append(target)
            if parsed.fragment:
                anchored.add(link)
        for problem in browser.problems():
            failures.check(False, "%s: %s" % (url, problem))
    # Each anchor a link names exists once the page has shown its rows.
    for link in sorted(anchored):
        browser.navigate(link)
        fragment = urllib.parse.unquote(urllib.parse.urlparse(link).fragment)
        if "=" in fragment:  # a filter: it is in force (it may match no row)
            key, value = fragment.split("=", 1)
            applied = browser.evaluate("""(() => {
                const select = document.querySelector('select[data-column=' + JSON.stringify(%s) + ']');
                return select ? select.value === %s : !!document.querySelector('.focus-note');
            })()""" % (json.dumps(key), json.dumps(value)))
            failures.check(applied, "the filter %s is in force" % link)
        else:
            exists = browser.evaluate("!!document.getElementById(%s)" % json.dumps(fragment))
            failures.check(exists, "the anchor of %s exists" % link)
        for problem in browser.problems():
            failures.check(False, "%s: %s" % (link, problem))
    return len(seen), len(anchored)


def filter_rows(browser, text):
    """The texts of the tag table's rows once @p text is typed into its filter."""
    return browser.evaluate("""(() => {
        const input = document.querySelector('form.filter input[name="q"]');
        input.value = %s;
        input.dispatchEvent(new Event('input', {bubbles: true}));
        return Array.from(document.querySelectorAll('#tags tbody tr')).map(r => r.innerText);
    })()""" % json.dumps(text))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--browser", default=shutil.which("chromium") or "chromium")
    parser.add_argument("--screenshot", help="where to write the screenshot of a report page")
    parser.add_argument("--work", help="a folder to keep the reports in (default: a temporary one)")
    options = parser.parse_args()
    if not shutil.which(options.browser):
        print("FAIL: no browser at %s; scripts/setup.sh installs Debian's chromium" % options.browser)
        return 1

    failures = Failures()
    work = options.work or tempfile.mkdtemp(prefix="zadururu-browser-")
    os.makedirs(work, exist_ok=True)
    profile = tempfile.mkdtemp(prefix="zadururu-chromium-")
    browser = Browser(options.browser, profile)
    try:
        browser.open_page()
        plant = report(options.tool, os.path.join(options.examples, "plant"), os.path.join(work, "plant"))
        pages, anchors = crawl(browser, plant, failures)
        print("plant: %d pages and %d anchors checked" % (pages, anchors), flush=True)
        failures.check(pages >= 9, "the report has its pages (%d)" % pages)

        # The tag table's filter finds a tag by its name, and only what matches.
        tags_url = plant.replace("index.html", "tags.html")
        browser.navigate(tags_url)
        every = browser.evaluate("document.querySelectorAll('#tags tbody tr').length")
        rows = filter_rows(browser, "Pump_30")
        failures.check(len(rows) == 1 and "Pump_30" in rows[0], "the filter finds Pump_30: %s" % rows)
        failures.check(every > len(rows), "the filter leaves the other tags out (%d rows before)" % every)
        failures.check(filter_rows(browser, "no such tag at all") == [], "the filter finds nothing for what is not there")

        # A page's picture shows on screen: its pixels are not blank.
        page_url = plant.replace("index.html", "pages/overview.html")
        browser.navigate(page_url)
        box = browser.evaluate("(() => { const r = document.querySelector('.picture img').getBoundingClientRect();"
                               " return {x: r.x, y: r.y, width: r.width, height: r.height}; })()")
        width, height, pixels = png_pixels(browser.screenshot(box))
        inked = sum(1 for p in pixels if min(p) < 230)
        colours = len(set(pixels))
        failures.check(width > 300 and height > 200, "the picture has its size on screen (%dx%d)" % (width, height))
        failures.check(inked > len(pixels) // 50 and colours > 20,
                       "the picture is not blank (%d of %d pixels inked, %d colours)" % (inked, len(pixels), colours))
        # Pointing at an item shows what it is and the tags it binds.
        shape = browser.evaluate("(() => { const r = document.querySelector('.overlay a[data-item] polygon')"
                                 ".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
        browser.call("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": shape[0], "y": shape[1]})
        tip = browser.evaluate("(() => { const t = document.getElementById('tip'); return t.hidden ? '' : t.innerText; })()")
        failures.check("Uid" in tip and "tagID_label" in tip, "pointing at an item shows it: %r" % tip)
        if options.screenshot:
            os.makedirs(os.path.dirname(os.path.abspath(options.screenshot)), exist_ok=True)
            with open(options.screenshot, "wb") as f:
                f.write(browser.screenshot({"x": 0, "y": 0, "width": 1400, "height": 1000}))
        for problem in browser.problems():
            failures.check(False, "%s: %s" % (page_url, problem))

        # Names that are markup or script show as text; nothing runs.
        hostile = report(options.tool, hostile_copy(options.examples, work), os.path.join(work, "hostile-report"))
        crawl(browser, hostile, failures)
        browser.navigate(hostile.replace("index.html", "tags.html"))
        rows = filter_rows(browser, HOSTILE_TAG)
        failures.check(len(rows) == 1 and HOSTILE_TAG in rows[0], "the tag named as a script shows as text: %s" % rows)
        browser.navigate(hostile.replace("index.html", "pages/overview.html"))
        heading = browser.evaluate("document.querySelector('h1').textContent")
        failures.check(heading == HOSTILE_PAGE, "the page named as markup shows as text: %r" % heading)
        failures.check(browser.evaluate("document.querySelectorAll('main script, main img[src=x]').length") == 1,
                       "no markup of the names became elements")
        failures.check(HOSTILE_TAG in browser.evaluate("JSON.stringify(JSON.parse(document.getElementById('items').textContent))"),
                       "the items' data holds the name as text")
        for problem in browser.problems():
            failures.check(False, "hostile report: %s" % problem)
    finally:
        browser.close()
        shutil.rmtree(profile, ignore_errors=True)
        if not options.work:
            shutil.rmtree(work, ignore_errors=True)

    print("%d passed, %d failed" % (failures.passed, len(failures.failed)))
    return 0 if not failures.failed else 1


if __name__ == "__main__":
    sys.exit(main())
