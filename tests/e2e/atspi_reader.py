#!/usr/bin/env python3
"""atspi_reader.py PID [focus | listen | press NAME]: a program over the accessibility bus, as a
screen reader meets it.

Without a mode: one line per element, depth first, "role<TAB>name<TAB>states" (the words
"focusable", "focused" and "checked" where they hold); with "focus", only the focused element.
Waits up to ten seconds for them. "listen" prints "ready", then one line per event for as long as
it runs: "key<TAB>TEXT" for each key a keyboard listener hears, "EVENT<TAB>role<TAB>name<TAB>
detail1<TAB>data" for the program's events (data only where it is text). "press NAME" presses
the push button NAME through its action and prints "pressed" once the program has answered.
"""

import sys
import time

import pyatspi

WORDS = ((pyatspi.STATE_FOCUSABLE, "focusable"), (pyatspi.STATE_FOCUSED, "focused"),
         (pyatspi.STATE_CHECKED, "checked"))


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # a program that left the bus meanwhile
            pass


def lines(node):
    states = node.getState()
    words = [word for state, word in WORDS if states.contains(state)]
    yield node, "\t".join((node.getRoleName(), node.name or "", " ".join(words)))
    for child in node:
        if child is not None:
            yield from lines(child)


def elements(pid):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        found = [pair for window in (application(pid) or []) for pair in lines(window)]
        if found:
            return found
        time.sleep(0.2)
    print("nothing of process %d on the accessibility bus" % pid, file=sys.stderr)
    return []


def listen(pid):
    def heard(event):
        try:
            if event.host_application.get_process_id() != pid:
                return
            data = event.any_data if isinstance(event.any_data, str) else ""
            print("\t".join((event.type, event.source.getRoleName(), event.source.name or "",
                             str(event.detail1), data)), flush=True)
        except Exception:  # an element gone meanwhile
            pass

    def key(event):
        print("key\t" + event.event_string, flush=True)
        return False

    pyatspi.Registry.registerEventListener(heard, "object:", "focus:")
    pyatspi.Registry.registerKeystrokeListener(
        key, kind=(pyatspi.KEY_PRESSED_EVENT, pyatspi.KEY_RELEASED_EVENT),
        mask=pyatspi.allModifiers(), synchronous=False, preemptive=False)
    print("ready", flush=True)
    pyatspi.Registry.start()


def main(pid, mode):
    if mode[:1] == ["listen"]:
        return listen(pid)
    found = elements(pid)
    if mode[:1] == ["press"]:
        buttons = [node for node, text in found if text.startswith("push button\t%s\t" % mode[1])]
        if buttons and buttons[0].queryAction().doAction(0):
            print("pressed", flush=True)
            return 0
        return 1
    shown = [text for _, text in found if mode != ["focus"] or "focused" in text.split("\t")[2]]
    print("\n".join(shown))
    return 0 if shown else 1


if __name__ == "__main__":
    sys.exit(main(int(sys.argv[1]), sys.argv[2:]))
