#!/usr/bin/env python3
"""Writes the two recorded tablets in data/recordings/ (evemu text format).

Both devices are invented for the program's demonstration and tests: a pen
tablet with pressure, a barrel button and an eraser, and a digitizer with a
16-button puck.  The strokes are computed here, so the files can be made
again exactly:  scripts/make-recordings.py data/recordings
"""
import math
import os
import sys

EV_SYN, EV_KEY, EV_ABS, EV_MSC = 0, 1, 3, 4
SYN_REPORT = 0
ABS_X, ABS_Y, ABS_PRESSURE = 0x00, 0x01, 0x18
BTN_TOOL_PEN, BTN_TOOL_RUBBER, BTN_TOOL_LENS = 0x140, 0x141, 0x147
BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2 = 0x14A, 0x14B, 0x14C
PUCK_BUTTONS = [0x110, 0x111, 0x112, 0x113, 0x114, 0x115, 0x116, 0x117,
                0x100, 0x101, 0x102, 0x103, 0x104, 0x105, 0x106, 0x107]


def bits_lines(type_, codes, size):
    data = [0] * size
    for c in codes:
        data[c // 8] |= 1 << (c % 8)
    lines = []
    for i in range(0, size, 8):
        chunk = data[i:i + 8]
        lines.append("B: %02x %s" % (type_, " ".join("%02x" % b for b in chunk)))
    return lines


class Writer:
    def __init__(self):
        self.lines = []
        self.t = 0.0

    def event(self, type_, code, value):
        sec = int(self.t)
        usec = int(round((self.t - sec) * 1e6))
        if usec >= 1000000:
            sec, usec = sec + 1, usec - 1000000
        self.lines.append("E: %d.%06d %04x %04x %d" % (sec, usec, type_, code, value))

    def frame(self, events, dt):
        for e in events:
            self.event(*e)
        self.event(EV_SYN, SYN_REPORT, 0)
        self.t += dt


def header(name, ids, props, keys, axes):
    lines = ["# EVEMU 1.3", "# Made by scripts/make-recordings.py for Stylomat (an invented device)",
             "N: " + name, "I: %04x %04x %04x %04x" % ids, "P: " + " ".join("%02x" % p for p in props)]
    lines += bits_lines(0, [EV_SYN, EV_KEY, EV_ABS, EV_MSC], 8)
    lines += bits_lines(1, keys, 96)
    lines += bits_lines(3, [a[0] for a in axes], 8)
    lines += bits_lines(4, [], 8)
    for code, lo, hi, fuzz, flat, res in axes:
        lines.append("A: %02x %d %d %d %d %d" % (code, lo, hi, fuzz, flat, res))
    return lines


def pen_tablet():
    w = Writer()
    # Enter above the lower left corner, hover, touch, draw to the upper right.
    x, y = 4000, 27000
    w.frame([(EV_KEY, BTN_TOOL_PEN, 1), (EV_ABS, ABS_X, x), (EV_ABS, ABS_Y, y)], 0.01)
    for i in range(20):
        x += 20
        w.frame([(EV_ABS, ABS_X, x)], 0.01)
    w.frame([(EV_KEY, BTN_TOUCH, 1), (EV_ABS, ABS_PRESSURE, 180)], 0.01)
    steps = 300
    for i in range(steps):
        x += 120
        y -= 75
        p = int(900 + 700 * math.sin(i / 25.0))
        ev = [(EV_ABS, ABS_X, x), (EV_ABS, ABS_Y, y), (EV_ABS, ABS_PRESSURE, p)]
        if i == 120:
            ev.append((EV_KEY, BTN_STYLUS, 1))
        if i == 160:
            ev.append((EV_KEY, BTN_STYLUS, 0))
        w.frame(ev, 0.01)
    w.frame([(EV_KEY, BTN_TOUCH, 0), (EV_ABS, ABS_PRESSURE, 0)], 0.01)
    for i in range(10):
        y += 30
        w.frame([(EV_ABS, ABS_Y, y)], 0.01)
    w.frame([(EV_KEY, BTN_TOOL_PEN, 0)], 0.5)
    # The eraser: enters in the middle, rubs to and fro, leaves.
    x, y = 22000, 15000
    w.frame([(EV_KEY, BTN_TOOL_RUBBER, 1), (EV_ABS, ABS_X, x), (EV_ABS, ABS_Y, y)], 0.01)
    w.frame([(EV_KEY, BTN_TOUCH, 1), (EV_ABS, ABS_PRESSURE, 600)], 0.01)
    for i in range(120):
        x += int(400 * math.cos(i / 6.0))
        w.frame([(EV_ABS, ABS_X, x), (EV_ABS, ABS_PRESSURE, 600 + (i % 20) * 30)], 0.01)
    w.frame([(EV_KEY, BTN_TOUCH, 0), (EV_ABS, ABS_PRESSURE, 0)], 0.01)
    w.frame([(EV_KEY, BTN_TOOL_RUBBER, 0)], 0.01)
    lines = header("Calvetra PT-0906 Pen Tablet", (0x0003, 0x5fe3, 0x0906, 0x0110), [1, 0, 0, 0, 0, 0, 0, 0],
                   [BTN_TOOL_PEN, BTN_TOOL_RUBBER, BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2],
                   [(ABS_X, 0, 45720, 4, 0, 200), (ABS_Y, 0, 30480, 4, 0, 200), (ABS_PRESSURE, 0, 2047, 0, 0, 0)])
    return lines + w.lines


def puck16():
    w = Writer()
    x, y = 8000, 40000
    w.frame([(EV_KEY, BTN_TOOL_LENS, 1), (EV_ABS, ABS_X, x), (EV_ABS, ABS_Y, y)], 0.02)
    # Each of the sixteen buttons in turn, moving a little between them.
    for button in PUCK_BUTTONS:
        for i in range(5):
            x += 150
            y -= 100
            w.frame([(EV_ABS, ABS_X, x), (EV_ABS, ABS_Y, y)], 0.02)
        w.frame([(EV_KEY, button, 1)], 0.15)
        w.frame([(EV_KEY, button, 0)], 0.05)
    # Two buttons at once.
    w.frame([(EV_KEY, PUCK_BUTTONS[2], 1), (EV_KEY, PUCK_BUTTONS[3], 1)], 0.2)
    w.frame([(EV_KEY, PUCK_BUTTONS[2], 0), (EV_KEY, PUCK_BUTTONS[3], 0)], 0.05)
    w.frame([(EV_KEY, BTN_TOOL_LENS, 0)], 0.02)
    lines = header("Calvetra CP-16 Digitizer Puck", (0x0013, 0x5fe3, 0x1610, 0x0203), [0] * 8,
                   [BTN_TOOL_LENS] + PUCK_BUTTONS,
                   [(ABS_X, 0, 60960, 0, 0, 100), (ABS_Y, 0, 45720, 0, 0, 100)])
    return lines + w.lines


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "data/recordings"
    for name, lines in (("pen_tablet.evemu", pen_tablet()), ("puck16.evemu", puck16())):
        with open(os.path.join(out, name), "w") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
