"""Sorrel's window as a screen reader sees it on Linux: through AT-SPI, under Xvfb and a D-Bus
session of its own.

Reads the application's tree with pyatspi in the shared text form and compares it with
tests/data/app/accessible/<page>.txt on each page, checks the focus events while tabbing and the
progress bar's values, and drives a whole run with doAction: Begin Scan, Remove Options, tick the
older version's box, Unistall, Yes, then Yes to end. The drives are --demo's, made in a temporary
folder of the test's own (TMPDIR), so a removal never reaches outside it.

Usage: /usr/bin/python3 atspi_test.py SORREL_PROGRAM EXPECTED_FOLDER
Exits 77 (skipped) when a tool is missing, unless CI is set: there they are required.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def skip_or_fail(reason):
    if os.environ.get("CI"):
        print("atspi_test: required in CI: " + reason, file=sys.stderr)
        sys.exit(1)
    print("atspi_test: skipped: " + reason)
    sys.exit(SKIP)


def outer(program, expected):
    """Starts Xvfb and a private session bus, and runs the test inside them."""
    for tool, package in (("Xvfb", "xvfb"), ("dbus-run-session", "dbus-bin"), ("xdotool", "xdotool")):
        if not shutil.which(tool):
            skip_or_fail(tool + " is not installed (Debian package " + package + ")")
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
        skip_or_fail("the AT-SPI bus is not installed (Debian package at-spi2-core)")
    if subprocess.run(["/usr/bin/python3", "-c", "import pyatspi"], capture_output=True).returncode != 0:
        skip_or_fail("pyatspi is not installed (Debian package python3-pyatspi)")
    with tempfile.TemporaryDirectory(prefix="sorrel-atspi-") as folder:
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        # The number, then a line end in a write of its own: closing before it would kill the server.
        display = b""
        while not display.endswith(b"\n"):
            got = os.read(read, 32)
            if not got:
                break
            display += got
        os.close(read)
        display = display.decode().strip()
        runtime = os.path.join(folder, "run")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, DISPLAY=":" + display, XDG_RUNTIME_DIR=runtime, TMPDIR=folder, HOME=folder)
        env.pop("NO_AT_BRIDGE", None)
        env.pop("AT_SPI_BUS_ADDRESS", None)
        try:
            status = subprocess.run(["dbus-run-session", "--", "/usr/bin/python3", __file__, "--inside", program,
                                     expected], env=env, timeout=240).returncode
        finally:
            xvfb.terminate()
            xvfb.wait()
        sys.exit(status)


# Inside the session ---------------------------------------------------------------------------

def inside(program, expected):
    import pyatspi
    from gi.repository import GLib

    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)
            print("FAILED: " + what)

    def pump(seconds):
        end = time.monotonic() + seconds
        context = GLib.MainContext.default()
        while time.monotonic() < end:
            while context.iteration(False):
                pass
            time.sleep(0.01)

    def wait_for(condition, seconds=20):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            try:
                found = condition()
            except GLib.Error:
                found = None  # a node went while it was read: look again
            if found:
                return found
            pump(0.05)
        return None

    roles = {
        pyatspi.ROLE_FRAME: "window", pyatspi.ROLE_PUSH_BUTTON: "push button",
        pyatspi.ROLE_RADIO_BUTTON: "radio button", pyatspi.ROLE_CHECK_BOX: "check box",
        pyatspi.ROLE_PROGRESS_BAR: "progress bar", pyatspi.ROLE_LABEL: "text", pyatspi.ROLE_GROUPING: "grouping",
        pyatspi.ROLE_IMAGE: "graphic", pyatspi.ROLE_LIST: "list", pyatspi.ROLE_LIST_ITEM: "list item",
        pyatspi.ROLE_DIALOG: "dialog",
    }

    def quoted(text):
        escapes = {"\r": "\\r", "\n": "\\n", "\t": "\\t", '"': '\\"', "\\": "\\\\"}
        return '"' + "".join(escapes.get(c, c if ord(c) >= 32 else "\\x%02x" % ord(c)) for c in text) + '"'

    def shortcut(binding):
        # ATK's "<Alt>b" is the host's "Alt+B".
        mods, key = [], binding.split(";")[0]
        while key.startswith("<") and ">" in key:
            mods.append(key[1:key.index(">")])
            key = key[key.index(">") + 1:]
        return "+".join(mods + [key.upper()]) if key else ""

    def line(node):
        states = node.getState()
        names = []
        if states.contains(pyatspi.STATE_FOCUSED):
            names.append("focused")
        if states.contains(pyatspi.STATE_FOCUSABLE):
            names.append("focusable")
        if not states.contains(pyatspi.STATE_ENABLED):
            names.append("unavailable")
        if states.contains(pyatspi.STATE_CHECKED):
            names.append("checked")
        if states.contains(pyatspi.STATE_PRESSED):
            names.append("pressed")
        if not states.contains(pyatspi.STATE_VISIBLE):
            names.append("invisible")
        elif not states.contains(pyatspi.STATE_SHOWING):
            names.append("offscreen")
        text = roles.get(node.getRole(), node.getRoleName()) + " " + quoted(node.name)
        if names:
            text += " [" + ",".join(names) + "]"
        fields = []
        if node.getRole() == pyatspi.ROLE_PROGRESS_BAR:
            fields.append(("value", node.queryValue().get_text() if hasattr(node.queryValue(), "get_text")
                           else pyatspi.Atspi.Value.get_text(node)))
        try:
            action = node.queryAction()
            if action.nActions:
                fields.append(("action", action.getName(0)))
                fields.append(("key", shortcut(action.getKeyBinding(0) or "")))
        except NotImplementedError:
            pass
        return text + "".join(" %s=%s" % (k, quoted(v)) for k, v in fields if v)

    def tree_text(node, depth=0):
        out = "  " * depth + line(node) + "\n"
        for child in node:
            out += tree_text(child, depth + 1)
        return out

    def find(node, role, name=None):
        if node.getRole() == role and (name is None or node.name == name):
            return node
        for child in node:
            found = find(child, role, name)
            if found:
                return found
        return None

    def expected_text(page):
        with open(os.path.join(expected, page + ".txt"), encoding="utf-8") as f:
            return f.read()

    def on_page(window, page):
        want = expected_text(page)
        return wait_for(lambda: tree_text(window) == want, 20)

    def compare_page(window, page):
        if not on_page(window, page):
            got = tree_text(window)
            want = expected_text(page)
            print("--- expected %s\n%s--- read through AT-SPI\n%s" % (page, want, got))
            check(False, "the %s page's tree differs" % page)

    def drive(sorrel, desktop):
        app = wait_for(lambda: next((a for a in desktop if a is not None and a.name == "Sorrel"), None), 30)
        if not app:
            status = sorrel.poll()
            check(False, "Sorrel did not appear on the accessibility bus"
                  + ("" if status is None else " (it ended with status %d)" % status))
            return
        window = wait_for(lambda: app.childCount and app[0], 10)
        compare_page(window, "start")

        events = []
        for kind in ("object:state-changed:focused", "object:state-changed:checked", "object:state-changed:showing", "object:announcement"):
            pyatspi.Registry.registerEventListener(events.append, kind)
        # A value change carries no value: a screen reader reads it from the bar when told.
        values = []
        pyatspi.Registry.registerEventListener(lambda e: values.append(e.source.queryValue().currentValue),
                                               "object:property-change:accessible-value")

        # Tabbing: each Tab gives a focus event on the node that now reads as focused.
        xid = subprocess.run(["xdotool", "search", "--sync", "--name", "^Sorrel$"], capture_output=True, text=True,
                             timeout=20).stdout.split()[0]
        subprocess.run(["xdotool", "mousemove", "--window", xid, "2", "2"], check=True)
        for _ in range(3):
            del events[:]
            subprocess.run(["xdotool", "key", "Tab"], check=True)
            gained = wait_for(lambda: [e for e in events if e.type == "object:state-changed:focused" and e.detail1], 5)
            check(gained, "a Tab gave no focus event")
            if gained:
                check(gained[-1].source.getState().contains(pyatspi.STATE_FOCUSED),
                      "the focus event's node does not read as focused")

        # Begin Scan through its default action; the bar's values climb to the results page.
        del events[:]
        del values[:]
        begin = find(window, pyatspi.ROLE_PUSH_BUTTON, "Begin Scan")
        check(begin is not None and begin.queryAction().doAction(0), "Begin Scan has no working default action")
        compare_page(window, "results")
        # The verdict is announced: ATK's announcement where it has one, else a notification shows.
        def spoken():
            return [e.any_data if e.type == "object:announcement" else e.source.name for e in events
                    if e.type == "object:announcement" or (e.type == "object:state-changed:showing" and e.detail1
                                                           and e.source.getRole() == pyatspi.ROLE_NOTIFICATION)]

        check(wait_for(lambda: any("two different versions" in text for text in spoken()), 5),
              "no announcement of the verdict: %s" % spoken())
        # The values, read as the bar moved, climb step by step nearly to the end: the last steps can
        # go by before a reading, as the page then resets the bar.
        run = values[:values.index(max(values)) + 1] if values else []
        check(len(run) >= 10 and run == sorted(run) and run[-1] >= 90, "the bar's values did not climb: %s" % values)

        remove_options = find(window, pyatspi.ROLE_PUSH_BUTTON, "Remove Options")
        check(remove_options is not None and remove_options.queryAction().doAction(0), "Remove Options did not act")
        compare_page(window, "remove")

        # The older version's box (the first) comes ticked: untick and tick it again, each with its event.
        older = find(window, pyatspi.ROLE_CHECK_BOX)
        for ticked in (False, True):
            del events[:]
            check(older is not None and older.queryAction().doAction(0), "the older version's box did not act")
            check(wait_for(lambda: older.getState().contains(pyatspi.STATE_CHECKED) == ticked, 10),
                  "the box did not become %s" % ("ticked" if ticked else "unticked"))
            check(wait_for(lambda: [e for e in events if e.type == "object:state-changed:checked"
                                    and bool(e.detail1) == ticked], 5), "no checked event")

        def dialogs():
            return [w.name for w in app if w is not None and w.getRole() == pyatspi.ROLE_DIALOG]

        def answer(button, question, before=lambda: None):
            """Answers the message box shown as a dialog, once it asks `question`."""
            dialog = wait_for(lambda: dialogs() and find(app, pyatspi.ROLE_DIALOG), 20)
            check(dialog is not None, "no dialog for the message box asking " + question)
            if not dialog:
                return
            text = tree_text(dialog)
            check(question in text and 'push button "Yes" [focused,focusable] action="Press" key="Alt+Y"\n' in text
                  and 'push button "No" [focusable] action="Press" key="Alt+N"\n' in text,
                  "the box reads:\n" + text)
            before()
            press = find(dialog, pyatspi.ROLE_PUSH_BUTTON, button)
            check(press is not None and press.queryAction().doAction(0), "the box's %s did not act" % button)
            return dialog.name

        def removed_only_the_older():
            demo = [os.path.join(os.environ["TMPDIR"], d) for d in os.listdir(os.environ["TMPDIR"])
                    if d.startswith("sorrel-demo-")]
            check(len(demo) == 1, "no demo drives in the test's folder")
            check(demo and not os.path.exists(os.path.join(demo[0], "c", "Program Files", "Messenger")),
                  "the older Messenger's folder is still there")
            check(demo and os.path.exists(os.path.join(demo[0], "d", "Program Files", "MSN Messenger", "msnmsgr.exe")),
                  "the newer Messenger's program went too")

        uninstall = find(window, pyatspi.ROLE_PUSH_BUTTON, "Unistall")
        check(uninstall is not None and uninstall.queryAction().doAction(0), "Unistall did not act")
        confirmation = answer("Yes", "Are you sure you want to remove MSN Messenger 4.7.3001.0 ?")
        check(wait_for(lambda: confirmation not in dialogs(), 10),
              "the confirmation's dialog did not go")
        answer("Yes", "Do you want to exit?", removed_only_the_older)
        sorrel.wait(20)
        check(sorrel.returncode == 0, "Sorrel ended with status %s" % sorrel.returncode)

    registry = pyatspi.Registry
    desktop = registry.getDesktop(0)  # starts the accessibility bus, as a desktop session would
    sorrel = subprocess.Popen([program, "--demo"])
    try:
        drive(sorrel, desktop)
    finally:
        if sorrel.poll() is None:
            sorrel.kill()
            sorrel.wait()
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--inside":
        sys.exit(inside(sys.argv[2], sys.argv[3]))
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    outer(sys.argv[1], sys.argv[2])
