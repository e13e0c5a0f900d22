"""The web page in a real headless Chromium: served by tools/web.sh on a free
port of 127.0.0.1, driven through Debian's chromedriver, its console kept,
its canvas read back from screenshots."""

import io
import os
import re
import selectors
import shutil
import subprocess
import tempfile
import time

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# Every wait is on a condition, up to this long: the machine is shared.
TIMEOUT = 60.0

# Headless with software WebGL; nothing that reaches past this machine.
CHROMIUM_ARGUMENTS = [
    "--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--no-first-run", "--no-default-browser-check", "--disable-default-apps",
    "--disable-extensions", "--force-device-scale-factor=1", "--window-size=1000,900",
    "--disable-gpu-sandbox",
]


class Failure(Exception):
    """What a check found wrong."""


def wait_for(what, condition, timeout=TIMEOUT, interval=0.05):
    """Polls `condition` until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Picture:
    """The canvas as a screenshot shows it, row 0 at the top."""

    def __init__(self, png):
        self.image = Image.open(io.BytesIO(png)).convert("RGB")
        self.width, self.height = self.image.size
        self.pixels = self.image.load()

    def at(self, x, y):
        return self.pixels[x, y]

    def count(self, box, test):
        x0, y0, x1, y1 = box
        return sum(1 for y in range(y0, y1) for x in range(x0, x1) if test(self.pixels[x, y]))

    def brighter(self, box, threshold):
        return self.count(box, lambda p: sum(p) > threshold)

    def differing(self, other, box, threshold=60):
        x0, y0, x1, y1 = box
        return sum(1 for y in range(y0, y1) for x in range(x0, x1)
                   if sum(abs(a - b) for a, b in zip(self.pixels[x, y], other.pixels[x, y]))
                   > threshold)


class WebPage:
    """tools/web.sh serving the page, and one Chromium showing it. With
    `site`, that directory is served instead (as web.sh serves the page);
    `query` is added to the page's address ("?mode=smooth")."""

    def __init__(self, site=None, query=""):
        self.console = []  # every console entry so far: {"level", "message", ...}
        self.profile = tempfile.mkdtemp(prefix="lighter-web-chromium-")
        self.downloads = tempfile.mkdtemp(prefix="lighter-web-downloads-")
        self.server_log = tempfile.TemporaryFile()
        command = ["bash", os.path.join(ROOT, "tools", "web.sh"), "--port", "0"]
        if site is not None:
            command = ["/usr/bin/python3", "-u", "-m", "http.server", "--bind", "127.0.0.1", "0"]
        self.server = subprocess.Popen(command, cwd=site, stdout=subprocess.PIPE,
                                       stderr=self.server_log, stdin=subprocess.DEVNULL)
        self.driver = None
        try:
            self.address = self._served_address()
            self.driver = self._start_chromium()
            self.open(query)
        except BaseException:
            self.close()
            raise

    def _served_address(self):
        # http.server prints its address once it listens.
        selector = selectors.DefaultSelector()
        selector.register(self.server.stdout, selectors.EVENT_READ)
        deadline = time.monotonic() + 600  # a first build of the page included
        line = b""
        while time.monotonic() < deadline and self.server.poll() is None:
            if selector.select(timeout=1.0):
                line += os.read(self.server.stdout.fileno(), 4096)
                found = re.search(rb"\(http://127\.0\.0\.1:(\d+)/\)", line)
                if found:
                    return "http://127.0.0.1:%s/" % found.group(1).decode()
        self.server_log.seek(0)
        raise Failure("tools/web.sh did not serve the page:\n"
                      + self.server_log.read().decode(errors="replace")[-3000:])

    def _start_chromium(self):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in CHROMIUM_ARGUMENTS + ["--user-data-dir=" + self.profile]:
            options.add_argument(argument)
        if os.geteuid() == 0:
            options.add_argument("--no-sandbox")
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        # Downloads go, unasked, into a folder of the page's own.
        options.add_experimental_option("prefs", {
            "download.default_directory": self.downloads,
            "download.prompt_for_download": False,
        })
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                               {"behavior": "allow", "downloadPath": self.downloads})
        return driver

    def close(self):
        if self.driver is not None:
            self.driver.quit()
        self.server.terminate()
        try:
            self.server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.server.kill()
            self.server.wait()
        self.server.stdout.close()
        shutil.rmtree(self.profile, ignore_errors=True)
        shutil.rmtree(self.downloads, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # ---- The page ---------------------------------------------------------

    def open(self, query=""):
        """Loads the page anew, at its address with `query` added."""
        self.driver.get(self.address + query)

    def state(self):
        return self.driver.execute_script("return document.body.dataset.lighter || ''")

    def wait_until_running(self):
        state = wait_for("the program to start", lambda: self.state())
        if state != "running":
            text = self.driver.find_element(By.ID, "status").text
            raise Failure("the page did not start the program: %s\nconsole: %s"
                          % (text, self.errors()))

    def canvas(self):
        return self.driver.find_element(By.ID, "canvas")

    def picture(self):
        return Picture(self.canvas().screenshot_as_png)

    def wait_for_picture(self, what, test, timeout=TIMEOUT):
        return wait_for(what, lambda: (lambda p: p if test(p) else None)(self.picture()),
                        timeout, interval=0.2)

    def _pointer_at(self, x, y):
        # Selenium counts an element's offsets from its centre.
        canvas = self.canvas()
        size = canvas.size
        return ActionChains(self.driver).move_to_element_with_offset(
            canvas, x - size["width"] // 2, y - size["height"] // 2)

    def click(self, x, y):
        """A left click at canvas pixel x, y, counted from the top-left corner."""
        self._pointer_at(x, y).click().perform()

    def context_click(self, x, y):
        self._pointer_at(x, y).context_click().perform()

    def drag(self, points):
        """A left drag through canvas pixels `points`, pressed at the first
        and released at the last."""
        (x0, y0), rest = points[0], points[1:]
        chain = self._pointer_at(x0, y0).click_and_hold()
        last = (x0, y0)
        for x, y in rest:
            chain = chain.move_by_offset(x - last[0], y - last[1])
            last = (x, y)
        chain.release().perform()

    def wheel(self, x, y, delta):
        """The wheel turned with the pointer at canvas pixel x, y (outside
        the canvas too): `delta` pixels as a page counts them, negative up."""
        canvas = self.canvas()
        size = canvas.size
        origin = ScrollOrigin.from_element(canvas, x - size["width"] // 2, y - size["height"] // 2)
        ActionChains(self.driver).scroll_from_origin(origin, 0, delta).perform()

    def touch(self, kind, fingers):
        """A touch event of `kind` ("touchstart", "touchmove", "touchend") on
        the canvas with the fingers [(id, x, y), ...] in canvas pixels down,
        as a touch screen sends it (every finger in touches, all changed)."""
        self.driver.execute_script("""
            var canvas = document.getElementById('canvas'), box = canvas.getBoundingClientRect();
            var touches = arguments[1].map(function (f) {
              return new Touch({identifier: f[0], target: canvas,
                                clientX: box.left + f[1], clientY: box.top + f[2]});
            });
            canvas.dispatchEvent(new TouchEvent(arguments[0], {bubbles: true, cancelable: true,
              touches: arguments[0] === 'touchend' ? [] : touches, changedTouches: touches}));
            """, kind, [list(f) for f in fingers])

    def scrolled(self):
        """How far the page is scrolled down, in pixels."""
        return self.driver.execute_script("return window.scrollY")

    def press(self, key):
        """A key press, as the page's window gets it."""
        ActionChains(self.driver).send_keys(key).perform()

    def let_timers_run(self, milliseconds):
        """Returns once a timer started now for `milliseconds` has fired: every
        timer the program started before it with no longer a delay has fired
        first (the browser runs timers of equal delay in the order set)."""
        self.driver.execute_async_script(
            "setTimeout(arguments[arguments.length - 1], arguments[0]);", milliseconds)

    # ---- The console ------------------------------------------------------

    def read_console(self):
        self.console.extend(self.driver.get_log("browser"))
        return self.console

    def printed(self, text):
        """How many times the program printed the line `text`."""
        quoted = '"%s"' % text
        return sum(1 for entry in self.read_console() if entry["message"].endswith(quoted))

    def wait_for_printed(self, text, times=1):
        wait_for("%d time(s) %r on the console" % (times, text),
                 lambda: self.printed(text) >= times)

    def errors(self):
        """Errors, and WebGL's warnings of calls it refused (a GL call the
        web adapter should have made right)."""
        return [entry["message"] for entry in self.read_console()
                if entry["level"] == "SEVERE" or "WebGL: " in entry["message"]]

    # ---- The menu ---------------------------------------------------------

    def menu_labels(self, path="//ul[@id='menu']"):
        items = self.driver.find_elements(By.XPATH, path + "/li")
        return [self.driver.execute_script("return arguments[0].firstChild.textContent", item)
                for item in items]

    def choose(self, x, y, submenu, entry):
        """Opens the menu with a right click at x, y and picks submenu > entry."""
        self.context_click(x, y)
        menu = self.driver.find_element(By.ID, "menu")
        wait_for("the menu to open", menu.is_displayed)
        sub = menu.find_element(By.XPATH, "./li[text()='%s']" % submenu)
        ActionChains(self.driver).move_to_element(sub).perform()
        item = sub.find_element(By.XPATH, "./ul/li[text()='%s']" % entry)
        wait_for("%s to open" % submenu, item.is_displayed)
        ActionChains(self.driver).move_to_element(item).click().perform()
        wait_for("the menu to close", lambda: not menu.is_displayed())

    def choose_top(self, x, y, entry):
        """Opens the menu with a right click at x, y and picks its own entry."""
        self.context_click(x, y)
        menu = self.driver.find_element(By.ID, "menu")
        wait_for("the menu to open", menu.is_displayed)
        item = menu.find_element(By.XPATH, "./li[text()='%s']" % entry)
        ActionChains(self.driver).move_to_element(item).click().perform()
        wait_for("the menu to close", lambda: not menu.is_displayed())

    def downloaded(self):
        """The files downloaded so far, finished ones only."""
        return sorted(name for name in os.listdir(self.downloads)
                      if not name.endswith(".crdownload"))

    def frames_drawn(self):
        return self.driver.execute_script("return Module._lighterWebFramesDrawn()")
