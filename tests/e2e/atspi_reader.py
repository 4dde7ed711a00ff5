#!/usr/bin/env python3
"""atspi_reader.py PID [focus]: reads a program over the accessibility bus, as a screen reader does.

One line per element, depth first, "role<TAB>name<TAB>states" (the words "focusable" and "focused"
where they hold); with "focus", only the focused element. Waits up to ten seconds for them.
"""

import sys
import time

import pyatspi


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # a program that left the bus meanwhile
            pass


def lines(node):
    states = node.getState()
    words = [word for state, word in ((pyatspi.STATE_FOCUSABLE, "focusable"),
                                      (pyatspi.STATE_FOCUSED, "focused")) if states.contains(state)]
    yield "\t".join((node.getRoleName(), node.name or "", " ".join(words)))
    for child in node:
        if child is not None:
            yield from lines(child)


def main(pid, focus_only):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        app = application(pid)
        found = [text for window in (app or []) for text in lines(window)
                 if not focus_only or text.endswith("focused")]
        if found:
            print("\n".join(found))
            return 0
        time.sleep(0.2)
    print("nothing of process %d on the accessibility bus" % pid, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(int(sys.argv[1]), sys.argv[2:] == ["focus"]))
