#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# How the bundled scenarios open, measured with the game itself: the fairness table of
# each (velcor --headless --fairness: war at the first turn, alive after 12 resting
# months in 200 games, a capture within 6 months; docs/scenario-format.md), then each
# ruler's countries and soldiers x training, to see the scenario's character.
#
#   scripts/openings.py VELCOR [DATA_DIR]
import os
import subprocess
import sys

SCENARIOS = [int(x) for x in os.environ.get("SCENARIOS", "1 2 3").split()]


def read_lines(path):
    with open(path, 'rb') as f:
        return [line.rstrip(b'\r') for line in f.read().split(b'\n')]


def holdings(data, s):
    lines = read_lines(os.path.join(data, f'country{s}.txt'))
    held = {}
    for i in range(14):
        item = lines[4 + 12 * i:16 + 12 * i]
        ruler, soldiers, training = int(item[2]), int(item[6]), int(item[7])
        if ruler:
            count, strength = held.get(ruler, (0, 0))
            held[ruler] = (count + 1, strength + soldiers * training)
    return held


def main():
    if len(sys.argv) < 2:
        sys.exit('usage: scripts/openings.py VELCOR [DATA_DIR]')
    velcor = sys.argv[1]
    data = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), '..', 'data')
    for s in SCENARIOS:
        table = subprocess.run([velcor, '--headless', '--data', data, '--scenario', str(s), '--fairness'],
                               capture_output=True, text=True, check=True).stdout
        print(table, end='')
        print('  ruler  countries  soldiers x training')
        held = holdings(data, s)
        for r in sorted(held, key=lambda r: -held[r][1]):
            print(f'  {r:5d}  {held[r][0]:9d}  {held[r][1]:>19,d}')
        print()


if __name__ == '__main__':
    main()
