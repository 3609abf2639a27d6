#!/usr/bin/python3
"""The accessible tree of one of the program's windows as an assistive technology reads it
through AT-SPI: one line per object, its role, its name, the states a reader is told of and
its relations. STEPS, separated by ";", in order: "read" prints the tree; "click;NAME" does the
click action of the control named NAME and waits until the window shows its effect;
"close;NAME" clicks it and waits for nothing.
Usage: accessible_reading.py PID CAPTION STEPS   (exit code 1 when the window never shows
before the program PID ends, or an object to click is missing)"""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

STATES = [  # the states of a control that a screen reader speaks of
    ("enabled", Atspi.StateType.ENABLED),
    ("focusable", Atspi.StateType.FOCUSABLE),
    ("checked", Atspi.StateType.CHECKED),
    ("editable", Atspi.StateType.EDITABLE),
    ("read-only", Atspi.StateType.READ_ONLY),
    ("default", Atspi.StateType.IS_DEFAULT),
]
# Atspi.Action.get_action_name's successor is newer than the libatspi of Debian 12.
warnings.simplefilter("ignore", DeprecationWarning)
POLLS = 1200  # at 50 ms: the most a busy machine is given to show a window or a change


def window(caption):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        for j in range(app.get_child_count() if app is not None else 0):
            frame = app.get_child_at_index(j)
            if frame is not None and frame.get_name() == caption:
                # Every reading asks the program, never an earlier answer.
                app.set_cache_mask(Atspi.Cache.NONE)
                return frame
    return None


def quoted(text):
    return '"' + text.replace("\n", "\\n") + '"'


def line(item, depth):
    states = item.get_state_set()
    words = [name for name, state in STATES if states.contains(state)]
    text = "  " * depth + item.get_role_name() + " " + quoted(item.get_name())
    if words:
        text += " [" + " ".join(words) + "]"
    for relation in item.get_relation_set():
        kind = relation.get_relation_type()
        targets = [relation.get_target(k) for k in range(relation.get_n_targets())]
        if kind == Atspi.RelationType.LABELLED_BY:
            text += " labelled by " + ", ".join(quoted(t.get_name()) for t in targets)
        elif kind == Atspi.RelationType.LABEL_FOR:
            text += " label for " + ", ".join(t.get_role_name() for t in targets)
        elif kind == Atspi.RelationType.MEMBER_OF:
            places = [str(k + 1) for k, t in enumerate(targets) if t.get_name() == item.get_name()]
            text += " %s of %d in its group" % (",".join(places), len(targets))
    return text


def walk(item, depth=0):
    # Scroll bars are the notice's frame, not controls.
    if item.get_role() == Atspi.Role.SCROLL_BAR:
        return
    yield item, depth
    for k in range(item.get_child_count()):
        yield from walk(item.get_child_at_index(k), depth + 1)


def reading(frame):
    return [line(item, depth) for item, depth in walk(frame)]


def find(frame, name):
    for item, _ in walk(frame):
        if item.get_name() == name and item.get_role() != Atspi.Role.LABEL:
            return item
    return None


def click(item):
    for k in range(Atspi.Action.get_n_actions(item)):
        if Atspi.Action.get_action_name(item, k) == "click":
            return Atspi.Action.do_action(item, k)
    return False


def ended(pid):
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] == "Z"  # a zombie: it has exited
    except OSError:
        return True


def main(pid, caption, steps):
    frame = None
    for _ in range(POLLS):
        frame = window(caption)
        if frame is not None or ended(pid):
            break
        time.sleep(0.05)
    if frame is None:
        print("no window " + quoted(caption) + " in the accessible tree")
        return 1
    while steps:
        step = steps.pop(0)
        if step == "read":
            print("\n".join(reading(frame)))
            continue
        name = steps.pop(0)
        target = find(frame, name)
        before = reading(frame)
        if target is None or not click(target):
            print("nothing to click named " + quoted(name))
            return 1
        # The click is done once the window has handled it: the tree differs from before and
        # stays the same when read again. A closing click leaves no window to read.
        now = before
        for _ in range(POLLS if step == "click" else 0):
            time.sleep(0.05)
            again = reading(frame)
            if again == now and now != before:
                break
            now = again
    return 0


if __name__ == "__main__":
    sys.exit(main(int(sys.argv[1]), sys.argv[2], sys.argv[3].split(";")))
