#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# How the bundled scenarios open, measured with the game itself:
#   war    every ruler offered can make war at once from one of his countries:
#          provisions at least its soldiers, funds at least 1000, a neighbour of
#          another ruler
#   alive  the share of 200 games (the player resting, --games) each ruler offered
#          still holds a country after 12 months: wanted at least 80 %
#   taken  the share of 200 games (rulers offered in turn, 6 months) in which some
#          country changes hands: wanted at least half
#   and each ruler's countries and soldiers x training, to see the scenario's
#   character.
#
#   scripts/openings.py VELCOR [DATA_DIR]
import os
import re
import subprocess
import sys
import tempfile

GAMES = 200
SCENARIOS = [int(x) for x in os.environ.get("SCENARIOS", "1 2 3").split()]
WAR_FUNDS = 1000


def read_lines(path):
    with open(path, 'rb') as f:
        return [line.rstrip(b'\r') for line in f.read().split(b'\n')]


def offered(data, s):
    rulers = []
    for line in read_lines(os.path.join(data, f'scenario{s}.txt')):
        if not line.strip():
            break
        rulers.append(int(line))
    return rulers


def countries(data, s):
    lines = read_lines(os.path.join(data, f'country{s}.txt'))
    out = []
    for i in range(14):
        item = lines[4 + 12 * i:16 + 12 * i]
        out.append({
            'name': item[0].decode('cp932'),
            'neighbours': [int(n) for n in item[1].split(b',') if n],
            'ruler': int(item[2]), 'soldiers': int(item[6]), 'training': int(item[7]),
            'provisions': int(item[8]), 'funds': int(item[9]),
        })
    return out


def can_make_war(cs, ruler):
    for c in cs:
        if c['ruler'] != ruler:
            continue
        hostile = any(cs[n]['ruler'] != ruler for n in c['neighbours'] if 0 <= n < 14)
        if hostile and c['provisions'] >= c['soldiers'] and c['funds'] >= WAR_FUNDS and c['soldiers'] > 0:
            return True
    return False


def alive_shares(velcor, data, s):
    out = subprocess.run([velcor, '--headless', '--data', data, '--scenario', str(s), '--ruler', 'all',
                          '--games', str(GAMES), '--months', '12', '--clock', os.environ.get('CLOCK', '1000000')],
                         capture_output=True, text=True, check=True).stdout
    shares = {}
    for line in out.splitlines():
        m = re.match(r'\s*(\d+)\s+\S+\s+\d+\s+([\d.]+)%', line)
        if m:
            shares[int(m.group(1))] = float(m.group(2))
    return shares


def capture_share(velcor, data, s, rulers):
    taken = 0
    with tempfile.TemporaryDirectory() as tmp:
        events = os.path.join(tmp, 'e.jsonl')
        for i in range(GAMES):
            subprocess.run([velcor, '--headless', '--data', data, '--scenario', str(s),
                            '--ruler', str(rulers[i % len(rulers)]), '--months', '6',
                            '--clock', str(2000000 + 1000 * i), '--events', events],
                           capture_output=True, check=True)
            with open(events, encoding='utf-8') as f:
                if '"kind":"capture"' in f.read():
                    taken += 1
    return 100.0 * taken / GAMES


def main():
    if len(sys.argv) < 2:
        sys.exit('usage: scripts/openings.py VELCOR [DATA_DIR]')
    velcor = sys.argv[1]
    data = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), '..', 'data')
    for s in SCENARIOS:
        cs = countries(data, s)
        rulers = offered(data, s)
        alive = alive_shares(velcor, data, s)
        print(f'scenario {s}: a capture within 6 months in {capture_share(velcor, data, s, rulers):.1f} % of {GAMES} games')
        print('  ruler       war  alive@12  countries  soldiers x training')
        held = {}
        for c in cs:
            held.setdefault(c['ruler'], []).append(c)
        order = sorted((r for r in held if r), key=lambda r: -sum(c['soldiers'] * c['training'] for c in held[r]))
        for r in order:
            strength = sum(c['soldiers'] * c['training'] for c in held[r])
            war = ('yes' if can_make_war(cs, r) else 'NO') if r in rulers else '-'
            a = f'{alive[r]:.1f} %' if r in alive else '-'
            print(f'  {r:2d}          {war:3s}  {a:>8s}  {len(held[r]):9d}  {strength:>19,d}')


if __name__ == '__main__':
    main()
