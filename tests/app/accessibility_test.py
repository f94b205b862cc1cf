"""The real window as a screen reader meets it, through the AT-SPI bus:
    accessibility_test.py TEMBROOK_BINARY SITE_FOLDER
runs itself again on a fresh Xvfb under a private session bus, whose
at-spi2-core bus launcher and registry start on demand.
"""
import functools
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import time

DEADLINE = 60  # seconds for any one state to appear; far above the need


def under_xvfb_and_session_bus():
    # Xvfb picks a free display itself (xvfb-run -a races other X servers
    # that start at the same moment), and does not reset when its last client
    # leaves: the bus launcher's short visit would refuse the program's
    # connection for the moment of the reset.
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=[write])
    os.close(write)
    with os.fdopen(read) as pipe:
        display = pipe.readline().strip()
    try:
        if not display:
            return "FAIL: Xvfb did not start"
        env = dict(os.environ, DISPLAY=":" + display, TEMBROOK_AT_SPI_SESSION="1")
        return subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv], env=env).returncode
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__" and "TEMBROOK_AT_SPI_SESSION" not in os.environ:
    sys.exit(under_xvfb_and_session_bus())

import pyatspi  # noqa: E402  (only under the session bus)

PROGRAM = []  # the program under test, once started


def wait_for(what, probe):
    """Polls probe (no event tells these changes) until it gives a value."""
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        if PROGRAM and PROGRAM[0].poll() is not None:
            sys.exit(f"FAIL: the program ended ({PROGRAM[0].returncode}) before {what}")
        try:
            found = probe()
        except Exception:  # objects come and go while the window changes
            found = None
        if found:
            return found
        time.sleep(0.05)
    sys.exit(f"FAIL: no {what} within {DEADLINE} s")


def find(root, role, name):
    return pyatspi.findDescendant(root, lambda a: a.getRole() == role and a.name == name)


def press(accessible):
    actions = accessible.queryAction()
    actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))


def check(label, got, expected):
    if got != expected:
        sys.exit(f"FAIL: {label}: {got!r}, expected {expected!r}")


def main(binary, site):
    with tempfile.TemporaryDirectory() as root:
        os.symlink(site, os.path.join(root, "comic"))  # the pages link below /comic/
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=root)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        run(binary, f"http://127.0.0.1:{server.server_port}/comic/index.html")


def run(binary, url):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               no_proxy="127.0.0.1", NO_PROXY="127.0.0.1")
    program = subprocess.Popen([binary], env=env)
    PROGRAM.append(program)
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("application on the bus", lambda: next(
            (a for a in desktop if a and a.get_process_id() == program.pid), None))
        window = wait_for("main window", lambda: find(app, pyatspi.ROLE_FRAME, "Tembrook取得"))

        field = wait_for("URL field", lambda: find(window, pyatspi.ROLE_TEXT, "TembrookURL"))
        caption = find(window, pyatspi.ROLE_LABEL, "TembrookURL")
        labelled = [r.getTarget(0) for r in caption.getRelationSet()
                    if r.getRelationType() == pyatspi.RELATION_LABEL_FOR]
        check("the box label labels", labelled, [field])
        field.queryEditableText().setTextContents(url)
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "開始(R)"))

        table = find(window, pyatspi.ROLE_TREE, "発売予定").queryTable()
        wait_for("8 rows", lambda: table.nRows == 8 or None)
        check("check box column header", table.getColumnHeader(0).name, "チェック")
        named = [find(window, role, name) for role, name in (
            (pyatspi.ROLE_TEXT, "ログ"), (pyatspi.ROLE_LABEL, "状態"), (pyatspi.ROLE_LABEL, "受信量"))]
        check("log and status panels by name", [n is not None for n in named], [True] * 3)
        check("what status panel 0 shows", named[1].description, "取得成功")

        # A click on a row's title, then Space, as the user does.
        row = 3
        check("ticked before Space", table.getAccessibleAt(row, 0).getState().contains(
            pyatspi.STATE_CHECKED), False)
        x, y, width, height = table.getAccessibleAt(row, 2).queryComponent().getExtents(
            pyatspi.DESKTOP_COORDS)
        pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, pyatspi.MOUSE_B1C)
        wait_for("row selected by the click", lambda: table.isRowSelected(row) or None)
        pyatspi.Registry.generateKeyboardEvent(0x20, None, pyatspi.KEY_SYM)  # XK_space
        wait_for("tick by Space", lambda: table.getAccessibleAt(row, 0).getState().contains(
            pyatspi.STATE_CHECKED) or None)

        # Qt's own texts in the Save dialog are Japanese.
        press(find(window, pyatspi.ROLE_PUSH_BUTTON, "保存(S)"))
        dialog = wait_for("Save dialog", lambda: find(app, pyatspi.ROLE_DIALOG, "リストを保存"))
        cancel = wait_for("キャンセル button", lambda: find(dialog, pyatspi.ROLE_PUSH_BUTTON, "キャンセル"))
        press(cancel)
        wait_for("the dialog to close", lambda: find(app, pyatspi.ROLE_DIALOG, "リストを保存") is None)
        print("PASS")
    finally:
        program.terminate()
        program.wait(DEADLINE)


if __name__ == "__main__":
    main(*sys.argv[1:3])
