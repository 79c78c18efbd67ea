#!/usr/bin/env python3
"""Writes a zorvane-sim script of a tireless scripted player.

The player presses Start, then for the whole time asked for:
  * walks, holding one of D, W, A and S in turn for a few seconds each, so
    that the mage roams around its corner of the field instead of leaving it;
  * switches magic now and then (keys 1, 2 and 3, each held for one step);
  * casts with the left button every step (300 ms unless told otherwise) at
    points spread around the field;
  * charges the special with the right button now and then and lets it go;
and lets virtual time run between actions. It plays on after the game has
ended, as a player who never closes the message boxes' window would; the
invader arrays keep filling up until they are full.

The script ends with one `dump`, so that a harness can check how far the
clock got. Lines are kept short so that a day of play stays well under the
simulator's limit on a script's size.

Usage: make_player_script.py HOURS [--step MS] [--seed N] [-o FILE]
"""

import argparse
import random
import sys

KEY_A, KEY_D, KEY_S, KEY_W = 65, 68, 83, 87
KEYS_MAGIC = (49, 50, 51)
WALK_KEYS = (KEY_D, KEY_W, KEY_A, KEY_S)

# The battlefield's client area in twips.
FIELD_W, FIELD_H = 24120, 13455


def write_script(out, hours, step_ms, seed):
    rng = random.Random(seed)
    total_ms = int(hours * 3600 * 1000)
    walk_every = 3000      # a new walking key every 3 s
    magic_every = 10_000   # a new magic every 10 s
    charge_every = 30_000  # a right-button charge every 30 s ...
    charge_steps = 3       # ... held for three steps

    w = out.write
    w(f"# {hours} h of scripted play, one action every {step_ms} ms (seed {seed})\n")
    w("start\n")
    walk = 0
    w(f"keydown {WALK_KEYS[walk]}\n")
    magic_key = None
    charging_until = None
    t = 0
    while t < total_ms:
        if t and t % walk_every < step_ms:
            w(f"keyup {WALK_KEYS[walk]}\n")
            walk = (walk + 1) % len(WALK_KEYS)
            w(f"keydown {WALK_KEYS[walk]}\n")
        if magic_key is not None:
            w(f"keyup {magic_key}\n")
            magic_key = None
        if t and t % magic_every < step_ms:
            magic_key = rng.choice(KEYS_MAGIC)
            w(f"keydown {magic_key}\n")

        x = rng.randrange(0, FIELD_W, 15)
        y = rng.randrange(600, FIELD_H, 15)
        w(f"mousedown 1 {x} {y}\nmouseup 1 {x} {y}\n")

        if charging_until is None and t and t % charge_every < step_ms:
            w(f"mousedown 2 {x} {y}\n")
            charging_until = t + charge_steps * step_ms
        elif charging_until is not None and t >= charging_until:
            w(f"mouseup 2 {x} {y}\n")
            charging_until = None

        w(f"advance {step_ms}\n")
        t += step_ms
    w("dump\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("hours", type=float, help="hours of play")
    parser.add_argument("--step", type=int, default=300, help="milliseconds between casts (default 300)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the cast points (default 1)")
    parser.add_argument("-o", "--output", help="file to write (default: standard output)")
    args = parser.parse_args()
    if args.hours <= 0 or args.step <= 0:
        parser.error("hours and step must be positive")
    if args.output:
        with open(args.output, "w", encoding="utf-8", newline="\n") as f:
            write_script(f, args.hours, args.step, args.seed)
    else:
        write_script(sys.stdout, args.hours, args.step, args.seed)


if __name__ == "__main__":
    main()
