#!/usr/bin/env python3
"""atspi_reader.py PID [focus]: reads a program over the accessibility bus, as a screen reader does.

One line per element, depth first, "role<TAB>name<TAB>states" (the words "focusable" and "focused"
where they hold); with "focus", only the focused element. Waits up to ten seconds for them.
"""

import sys
import time

import pyatspi

WAIT_SECONDS = 10


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # a program that left the bus meanwhile
            pass


def elements(node):
    yield node
    for child in node:
        if child is not None:
            yield from elements(child)


def line(node):
    states = node.getState()
    words = [word for state, word in ((pyatspi.STATE_FOCUSABLE, "focusable"),
                                      (pyatspi.STATE_FOCUSED, "focused")) if states.contains(state)]
    return "\t".join((node.getRoleName(), node.name or "", " ".join(words)))


def main():
    pid = int(sys.argv[1])
    focus_only = sys.argv[2:] == ["focus"]
    deadline = time.monotonic() + WAIT_SECONDS
    while True:
        app = application(pid)
        if app is not None:
            lines = [line(node) for window in app for node in elements(window)]
            if focus_only:
                lines = [text for text in lines if text.endswith("focused")]
            if lines:
                print("\n".join(lines))
                return 0
        if time.monotonic() > deadline:
            print("nothing of process %d on the accessibility bus" % pid, file=sys.stderr)
            return 1
        time.sleep(0.2)


if __name__ == "__main__":
    sys.exit(main())
