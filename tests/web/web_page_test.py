"""End-to-end tests of the web page (tools/web.sh) in headless Chromium.

    web_page_test.py CASE      runs one case: exit 0 passed, 1 failed
    web_page_test.py measure [SECONDS]
                               prints the page's frame rates, over SECONDS (6) a state
                               (tools/bench.py)

The cases are the ctest tests labelled "web" (tests/web/CMakeLists.txt)."""

import os
import re
import shutil
import sys
import tempfile
import time

from browser import ROOT, Failure, Picture, WebPage, wait_for

# Canvas pixels, counted from the top-left corner as a screenshot is. The same
# places the desktop's end-to-end tests look at (tests/e2e/drawing_test.cpp):
# the body's middle, on the click rectangle (window y 150 counted upward),
# and the column above the window's centre where the flame rises and nothing
# of the lighter is.
BODY = (390, 449)
BODY_AREA = (300, 320, 480, 590)
FLAME_AREA = (350, 60, 450, 290)
CORNERS = [(5, 5), (794, 5), (5, 594), (794, 594)]


def body_shows(picture):
    return sum(picture.at(*BODY)) > 300


def flame_burns(picture):
    return picture.brighter(FLAME_AREA, 300) > 2000


def check(condition, message):
    if not condition:
        raise Failure(message)


def start(page):
    page.wait_until_running()
    size = page.canvas().size
    check((size["width"], size["height"]) == (800, 600), "the canvas is %s, not 800x600" % size)
    return page.wait_for_picture("the lighter to show", body_shows)


def check_no_errors(page):
    errors = page.errors()
    check(not errors, "the console shows errors:\n" + "\n".join(errors))


def click_body(page, n):
    """The n-th click of a sequence on the body, each one pixel right of the
    last, so that each prints a line of its own to wait for."""
    x, y = BODY[0] - 10 + n, BODY[1]
    page.click(x, y)
    page.wait_for_printed("mouse clicked at %d %d" % (x, 599 - y))


def light_the_flame(page):
    for spark in (1, 2):
        click_body(page, spark)
        page.wait_for_printed("spark!!", spark)
        # A spark's short flame goes out after 70 ms: a click before then
        # would be put out with it.
        page.let_timers_run(70)
    click_body(page, 3)
    return page.wait_for_picture("the flame to burn", flame_burns)


def case_lighter_lights(page):
    """The lighter shows on black (in Lit, where the page opens); three
    clicks on the body light the flame, whose colour follows the menu."""
    picture = start(page)
    for corner in CORNERS:
        check(sum(picture.at(*corner)) < 30, "not black around the lighter at %s" % (corner,))
    check(not flame_burns(picture), "a flame burns before any click")
    check(page.printed("spark!!") == 0, "a spark before any click")
    light_the_flame(page)
    check(page.printed("spark!!") == 2, "not exactly two sparks for three clicks")
    page.choose(*BODY, "Flame Colors", "Blue")
    page.wait_for_picture(
        "the flame to turn blue",
        lambda p: p.count(FLAME_AREA, lambda c: sum(c) > 150 and c[2] > c[0] and c[2] > c[1])
        > 1000)
    check_no_errors(page)


def case_menu(page):
    """The right button opens the program's menus at the pointer, without
    "Exit", and the page's own "Save picture"."""
    start(page)
    page.context_click(200, 100)
    menu = page.driver.find_element("id", "menu")
    wait_for("the menu to open", menu.is_displayed)
    check(page.menu_labels() == ["Flame Colors", "Mesh Modes", "Save picture"],
          "the menu holds %s" % page.menu_labels())
    flames = page.menu_labels("//ul[@id='menu']/li[1]/ul")
    check(flames == ["Yellow", "Red", "Green", "Blue", "Rotate"], "Flame Colors holds %s" % flames)
    modes = page.menu_labels("//ul[@id='menu']/li[2]/ul")
    check(modes[:2] == ["Wireframe", "Smooth"], "Mesh Modes holds %s" % modes)
    canvas = page.canvas().rect
    place = menu.rect
    check(abs(place["x"] - (canvas["x"] + 200)) <= 2 and abs(place["y"] - (canvas["y"] + 100)) <= 2,
          "the menu opened at %s, not at the pointer" % place)
    check_no_errors(page)


def case_wireframe(page):
    """Wireframe turns the white body into blue lines on black; Smooth brings
    it back."""
    smooth = start(page)
    lit = smooth.brighter(BODY_AREA, 300)
    page.choose(*BODY, "Mesh Modes", "Wireframe")
    wire = page.wait_for_picture("the wireframe", is_wireframe(lit))
    check(wire.differing(smooth, BODY_AREA) > 1000, "Wireframe hardly changed the picture")
    page.choose(*BODY, "Mesh Modes", "Smooth")
    page.wait_for_picture("the smooth body again", lambda p: p.brighter(BODY_AREA, 300) > lit // 2)
    check_no_errors(page)


def is_wireframe(lit_body):
    """Blue lines in place of a body that showed `lit_body` bright pixels."""
    return lambda p: (p.brighter(BODY_AREA, 300) < lit_body // 4
                      and p.count(BODY_AREA, lambda c: c[2] > 60 and c[2] > 2 * (c[0] + c[1])) > 500)


def body_tones(picture):
    """The body's grey levels, sampled every 10 pixels, darkest first."""
    return sorted(sum(picture.at(x, y)) // 3 for x in range(300, 481, 10) for y in range(420, 581, 10))


def shaded(picture):
    """The body in Lit: steel with light and shadow across it, neither dark
    nor one flat colour."""
    tones = body_tones(picture)
    dark, bright = tones[len(tones) // 10], tones[-len(tones) // 10]
    return dark > 40 and bright - dark > 25


def burnt_out(picture):
    """Most of the body white: a light far too strong for the metal."""
    tones = body_tones(picture)
    return tones[len(tones) // 10] > 245


def case_lit(page):
    """From Smooth, the menu's Lit shades the metal, and the flame it lights
    stays soft: the body still shows beside it, lit warmer."""
    smooth = start(page)
    page.choose(*BODY, "Mesh Modes", "Lit")
    lit = page.wait_for_picture("the lit picture",
                                lambda p: p.differing(smooth, BODY_AREA) > 1000)
    check(lit.brighter(BODY_AREA, 90) > 1000, "the lit lighter is dark")
    check(shaded(lit), "the lit body is not shaded")
    light_the_flame(page)
    burning = page.picture()
    check(burning.differing(lit, BODY_AREA) > 500, "the flame does not light the body")
    check(not burnt_out(burning), "the flame's light burns the body out")
    check_no_errors(page)


def case_keys(page):
    """Keys reach the program's own keyboard callback: W draws the wireframe,
    S the smooth body, Space turns the flint wheel ("spark!!"), and Q, which
    ends the desktop program, leaves the page running."""
    smooth = start(page)
    lit_body = smooth.brighter(BODY_AREA, 300)
    page.press("w")
    page.wait_for_picture("the wireframe after W", is_wireframe(lit_body))
    page.press("s")
    page.wait_for_picture("the smooth body after S", lambda p: p.brighter(BODY_AREA, 300) > lit_body // 2)
    page.press(" ")
    page.wait_for_printed("spark!!")
    page.press("q")
    page.press("l")
    page.wait_for_picture("Lit after Q and L", lambda p: p.differing(smooth, BODY_AREA) > 1000)
    check(page.state() == "running", "the page stopped after Q: %s" % page.state())
    check_no_errors(page)


def case_start_mode(page):
    """The page opens in Lit; ?mode=wireframe and ?mode=smooth open it in
    those modes, as --mode does on the desktop, and a mode the program does
    not have opens it in Lit with a word on the console."""
    lit = start(page)
    check(shaded(lit), "the page does not open in Lit: the body is not shaded")
    page.open("?mode=smooth")
    smooth = start(page)
    check(smooth.differing(lit, BODY_AREA) > 1000, "?mode=smooth shows the Lit picture")
    page.open("?mode=wireframe")
    page.wait_until_running()
    page.wait_for_picture("the wireframe", is_wireframe(smooth.brighter(BODY_AREA, 300)))
    for query in ("?mode=lit", "?mode=shiny"):
        page.read_console()  # the browser keeps only so many entries unread
        page.open(query)
        again = start(page)
        check(again.differing(lit, BODY_AREA) < 50, "%s does not open in Lit" % query)
        warned = any("no mesh mode" in entry["message"] and "shiny" in entry["message"]
                     for entry in page.read_console())
        check(warned == (query == "?mode=shiny"), "%s: warned %s" % (query, warned))
    check_no_errors(page)


def flame_pixels(rest, picture):
    """The flame's pixels: lit (r+g+b over 60) where the picture at rest is
    background (under 30); their count, the share of them burnt-out white
    (every channel 245 or more) and the topmost row that holds one."""
    lit = burnt = 0
    top = None
    for y in range(picture.height):
        for x in range(picture.width):
            c = picture.at(x, y)
            if sum(rest.at(x, y)) >= 30 or sum(c) <= 60:
                continue
            lit += 1
            burnt += min(c) >= 245
            if top is None:
                top = y
    return lit, burnt / max(1, lit), top


def case_lit_flame(page):
    """In Lit, where the page opens, the flame burns as a lighter's flame:
    at most a quarter of it burnt-out white and its tip well inside the
    canvas."""
    rest = start(page)
    light_the_flame(page)
    # Once every particle has been born in the flame (a life lasts at most
    # 334 frames).
    lit_at = page.frames_drawn()
    wait_for("334 frames of the flame", lambda: page.frames_drawn() >= lit_at + 334)
    for _ in range(3):
        lit, burnt, top = flame_pixels(rest, page.picture())
        check(lit > 2000, "the flame shows %d pixels" % lit)
        check(burnt <= 0.25, "%.0f %% of the flame is burnt-out white" % (100 * burnt))
        check(top >= 20, "the flame reaches row %s of the canvas" % top)
    check_no_errors(page)


def lit_count(picture):
    return picture.brighter((0, 0, picture.width, picture.height), 30)


def case_camera(page):
    """A drag from beside the lighter turns it and R gives the start picture
    back; the wheel over the canvas zooms it and does not scroll the page,
    the wheel elsewhere scrolls the page and leaves it alone; two fingers
    pinch to zoom."""
    front = start(page)
    everything = (0, 0, front.width, front.height)
    page.drag([(100, 300), (150, 300), (200, 310), (250, 320)])
    page.wait_for_picture("the lighter to turn", lambda p: p.differing(front, everything) > 3000)
    page.wait_for_printed("mouse clicked at 100 299")
    check(page.printed("spark!!") == 0, "the drag's press counted as a click")
    page.press("r")
    page.wait_for_picture("the start picture after R", lambda p: p.differing(front, everything) == 0)
    # A page taller than the window, to scroll.
    page.driver.execute_script("document.body.style.minHeight = '3000px'")
    lit = lit_count(front)
    page.wheel(100, 100, -300)
    page.wait_for_picture("the lighter to come nearer", lambda p: lit_count(p) > lit * 5 // 4)
    check(page.scrolled() == 0, "the wheel over the canvas scrolled the page")
    page.press("r")
    page.wait_for_picture("the start picture again", lambda p: p.differing(front, everything) == 0)
    page.wheel(100, 650, 300)  # below the canvas
    wait_for("the page to scroll", lambda: page.scrolled() > 0)
    page.driver.execute_script("window.scrollTo(0, 0)")
    wait_for("the page back at its top", lambda: page.scrolled() == 0)
    check(page.picture().differing(front, everything) == 0, "the wheel beside the canvas zoomed")
    # Two fingers moving apart: nearer.
    page.touch("touchstart", [(1, 300, 300)])
    page.touch("touchstart", [(1, 300, 300), (2, 340, 300)])
    for spread in range(60, 260, 20):
        page.touch("touchmove", [(1, 320 - spread // 2, 300), (2, 320 + spread // 2, 300)])
    page.touch("touchend", [(1, 190, 300), (2, 450, 300)])
    page.wait_for_picture("the pinch to bring it nearer", lambda p: lit_count(p) > lit * 5 // 4)
    presses = sum(1 for entry in page.read_console() if '"mouse clicked at ' in entry["message"])
    check(presses == 1, "%d presses printed for one drag and a pinch" % presses)
    check_no_errors(page)


def case_save_picture(page):
    """The menu's "Save picture" downloads a PNG of the canvas: its size, and the frame
    it showed (the lighter on black), not an empty drawing buffer."""
    start(page)
    check(not page.downloaded(), "files downloaded before any was asked for")
    page.choose_top(*BODY, "Save picture")
    names = wait_for("the picture to be downloaded", page.downloaded)
    check(len(names) == 1 and re.fullmatch(r"lighter-\d{8}-\d{6}\.png", names[0]),
          "downloaded %s" % names)
    with open(os.path.join(page.downloads, names[0]), "rb") as file:
        data = file.read()
    check(data[:8] == b"\x89PNG\r\n\x1a\n", "the download is no PNG")
    picture = Picture(data)
    size = page.canvas().size
    check((picture.width, picture.height) == (size["width"], size["height"]),
          "the picture is %dx%d, the canvas %s" % (picture.width, picture.height, size))
    check(body_shows(picture), "the picture does not show the lighter")
    for corner in CORNERS:
        check(sum(picture.at(*corner)) < 30, "not black around the lighter at %s" % (corner,))
    check_no_errors(page)


def case_load_failure(_):
    """A page whose data set cannot be loaded says so in place of the canvas."""
    with tempfile.TemporaryDirectory(prefix="lighter-web-site-") as site:
        for name in os.listdir(os.path.join(ROOT, "build-web", "site")):
            if name != "index.data":
                shutil.copy(os.path.join(ROOT, "build-web", "site", name), site)
        with WebPage(site) as page:
            state = wait_for("the page to give up", page.state)
            check(state == "failed", "the page %s without its data set" % state)
            message = page.driver.find_element("id", "status")
            check(message.is_displayed() and "index.data" in message.text,
                  "the page does not say what failed: %r" % message.text)
            check(not page.canvas().is_displayed(), "a blank canvas is still shown")
    return 0


def frame_rate(page, seconds):
    first, began = page.frames_drawn(), time.monotonic()
    time.sleep(seconds)  # a measurement over a fixed span, not a wait on luck
    return (page.frames_drawn() - first) / (time.monotonic() - began)


def measure(page, seconds=6.0):
    """Frames a second as the program draws them: at rest and in Lit, then
    with the flame lit, in wireframe and in Lit (flame still lit)."""
    start(page)
    rates = [("lighter at rest", frame_rate(page, seconds))]
    page.choose(*BODY, "Mesh Modes", "Lit")
    rates.append(("Lit, at rest", frame_rate(page, seconds)))
    page.choose(*BODY, "Mesh Modes", "Smooth")
    light_the_flame(page)
    rates.append(("flame lit", frame_rate(page, seconds)))
    page.choose(*BODY, "Mesh Modes", "Wireframe")
    rates.append(("wireframe, flame lit", frame_rate(page, seconds)))
    page.choose(*BODY, "Mesh Modes", "Lit")
    rates.append(("Lit, flame lit", frame_rate(page, seconds)))
    print("| state | frames/s |\n|---|---:|")
    for state, rate in rates:
        print("| %s | %.1f |" % (state, rate))
    return 0


# Each case but load_failure gets the page tools/web.sh serves; the cases
# that start from the Smooth picture open it with ?mode=smooth.
OWN_PAGE = {"load_failure"}
QUERY = {"wireframe": "?mode=smooth", "lit": "?mode=smooth", "keys": "?mode=smooth",
         "measure": "?mode=smooth"}

CASES = {
    "lighter_lights": case_lighter_lights,
    "load_failure": case_load_failure,
    "menu": case_menu,
    "wireframe": case_wireframe,
    "lit": case_lit,
    "keys": case_keys,
    "start_mode": case_start_mode,
    "lit_flame": case_lit_flame,
    "camera": case_camera,
    "save_picture": case_save_picture,
    "measure": measure,
}


def main(argv):
    measuring = len(argv) == 3 and argv[1] == "measure"
    if not (len(argv) == 2 or measuring) or argv[1] not in CASES:
        print("usage: %s %s | measure [SECONDS]" % (argv[0], "|".join(CASES)), file=sys.stderr)
        return 2
    try:
        if argv[1] in OWN_PAGE:
            status = CASES[argv[1]](None)
        elif measuring:
            with WebPage(query=QUERY["measure"]) as page:
                status = measure(page, float(argv[2]))
        else:
            with WebPage(query=QUERY.get(argv[1], "")) as page:
                status = CASES[argv[1]](page)
    except Failure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    return status or 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
