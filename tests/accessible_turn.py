# SPDX-License-Identifier: GPL-3.0-or-later
# A turn of the game played as a player who cannot see the screen plays it: through the
# accessibility tree (AT-SPI) and the keys alone. Starts the game with a fixed clock,
# begins a game from the tree, reads the countries, the panel and the status, gives a
# command and a war by the tree's actions, reads the battle's outcome and the next turn,
# checks that the lines told through the status bar came in the order of the game, and
# walks the windows with Tab and Esc, checking that the keys never stay caught in one
# and come back to the map. Run by accessible_turn.sh under Xvfb and a session bus.
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

velcor = sys.argv[1]
transcript = []  # what the tree says at each step, printed at the end
told = []        # the lines told through the status bar, in order
focus = []       # (role, name) of each object the focus went to


def fail(why):
    print('\n'.join(transcript))
    print('lines told:', told)
    print('FAILED:', why)
    sys.exit(1)


def on_event(event):
    try:
        role = event.source.getRoleName()
        if event.type.startswith('object:text-changed:insert') and role == 'status bar':
            told.append(event.any_data)
        elif event.type.startswith('object:state-changed:focused') and event.detail1:
            focus.append((role, event.source.name))
    except Exception:  # an object gone before it was read
        pass


def pump(seconds, until=None):
    """Runs the event loop for seconds, or until until() is true."""
    end = time.time() + seconds
    context = GLib.MainContext.default()
    def done():
        try:
            return bool(until and until())
        except GLib.GError:  # an object gone while it was read: asked again
            return False
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        if done():
            return True
        time.sleep(0.02)
    return done()


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except GLib.GError:  # a window gone while it was read
        return False


def find(root, role, name=None):
    for node in walk(root):
        if node.getRoleName() == role and (name is None or (node.name or '').startswith(name)) and showing(node):
            return node
    return None


def wait_for(what, seconds, get):
    found = []
    pump(seconds, lambda: found.append(get()) or found[-1])
    if not found or not found[-1]:
        fail('no ' + what)
    return found[-1]


def press(node):
    node.queryAction().doAction(0)


def settle(app):
    """Waits until no window of the game's is over the main window (a message shows
    for a time), as a player waits for it before he acts on the map."""
    if not pump(20, lambda: not [w for w in windows(app) if w.getRoleName() in ('dialog', 'alert')]):
        fail('a window stayed over the map')


def enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)


def say(step, text):
    transcript.append(f'[{step}] {text}')


def windows(app):
    """The program's windows that show (a window gone while read is left out)."""
    shown = []
    for i in range(app.childCount):
        try:
            window = app.getChildAtIndex(i)
            if window is not None and showing(window):
                window.getRoleName()
                shown.append(window)
        except GLib.GError:
            pass
    return shown


def outcome(line):
    # A battle's outcome told on its own (the turn report tells the others' battles).
    return '攻め込み' in line and not line.startswith('戦況報告')


def key(name, main=True):
    """Types a key; main: into the main window, given the keys first (no window manager
    gives them to it)."""
    if main:
        window = subprocess.run(['xdotool', 'search', '--onlyvisible', '--name', '^Velcor$'],
                                capture_output=True, text=True).stdout.split()
        if window:
            subprocess.run(['xdotool', 'windowfocus', '--sync', window[0]])
    subprocess.run(['xdotool', 'key', name], check=True)


started = time.time()
pyatspi.Registry.registerEventListener(on_event, 'object:text-changed:insert',
                                       'object:state-changed:focused')
pump(0.5)  # the registry knows the listener before the game starts
game = subprocess.Popen([velcor, '--zoom', '1', '--clock', '1000'])
try:
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for('program on the bus', 20, lambda: next(
        (a for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)) if a and a.name == 'Velcor'),
        None))

    # A new game from the tree: the first scenario and 曹操.
    press(wait_for('new game button', 10, lambda: find(app, 'push button', 'ｹﾞｰﾑ開始')))
    dialog = wait_for('scenario dialog', 10, lambda: find(app, 'dialog', 'シナリオ選択'))
    press(find(dialog, 'check box', '189'))
    press(find(dialog, 'push button', '選択'))
    dialog = wait_for('ruler dialog', 10, lambda: find(app, 'dialog', '君主選択'))
    press(find(dialog, 'check box', '曹操'))
    press(find(dialog, 'push button', '選択'))

    countries = wait_for('country list', 10, lambda: find(app, 'list', '国一覧'))
    wait_for('the first turn told', 10, lambda: told)
    items = [countries.getChildAtIndex(i) for i in range(14)]
    names = [item.name for item in items]
    say('turn', 'status told: ' + told[-1])
    say('turn', 'countries: ' + ' / '.join(names))
    if len(set(names)) != 14 or not all(' ' in n for n in names):
        fail('the countries are not named: %s' % names)
    mine = [item for item in items if item.description.endswith('この国の番です')]
    if len(mine) != 1 or '曹操' not in mine[0].name:
        fail('no country of the player says that its turn has come')
    say('turn', f'{mine[0].name}: {mine[0].description}')
    panel = countries.getChildAtIndex(14)
    say('turn', 'panel: ' + panel.name)
    if mine[0].name not in panel.name or told[-1] not in panel.name:
        fail('the panel does not show the turn country and the status line')
    buttons = {b.name: b for b in (countries.getChildAtIndex(i) for i in range(16, countries.childCount))
               if b.getRoleName() == 'push button'}
    say('turn', 'commands: ' + ', '.join(f'{n} ({"可" if enabled(b) else "不可"})' for n, b in buttons.items()))

    # A war, its target chosen on the list.
    settle(app)
    press(buttons['戦争'])
    wait_for('a target to choose', 10, lambda: any('攻撃先に選べます' in i.description for i in items))
    targets = [i for i in items if enabled(i) and '攻撃先に選べます' in i.description]
    shut = [i for i in items if not enabled(i)]
    if not targets or not shut:
        fail('the list does not tell the targets from the rest')
    say('war', 'targets: ' + ' / '.join(t.name for t in targets))
    target = min(targets, key=lambda t: int(t.description.split('兵士 ')[1].split('、')[0]))
    before = len(told)
    settle(app)
    press(target)
    # The battle window: Enter fights it out, a key then closes it.
    battle = wait_for('the battle window', 10, lambda: [w for w in windows(app)
                                                         if w.getRoleName() == 'dialog' and showing(w)])
    say('war', 'battle window: ' + battle[0].name)
    key('Return', main=False)
    pump(1)
    key('Return', main=False)
    wait_for('the outcome told', 30, lambda: any(outcome(t) for t in told[before:]))
    for line in told[before:]:
        say('war', 'told: ' + line)
    fought = next(t for t in told[before:] if outcome(t))
    if target.name.split(' ')[1] not in fought:
        fail('the outcome does not name the country attacked')

    # The turn ends; the computers move (nothing of theirs told) until the next turn.
    before = len(told)
    settle(app)
    if enabled(buttons['休養']):
        press(buttons['休養'])
    wait_for('the next turn', 30, lambda: enabled(buttons['戦争']) and len(told) > before and
             any(t.endswith('の番です') for t in told[before:]))
    for line in told[before:]:
        say('next turn', 'told: ' + line)
    report = [w for w in windows(app) if w.name == '戦況報告' and showing(w)]
    if report:
        say('next turn', 'report window: ' + ' '.join(find(report[0], 'label', '・').name.splitlines()))

    # A command: 開墾. Its result is told; the commands left say why they cannot act.
    before = len(told)
    settle(app)
    press(buttons['開墾'])
    wait_for('the command result told', 10, lambda: len(told) > before)
    say('command', 'told: ' + told[-1])
    pump(5, lambda: not enabled(buttons['開墾']))
    if enabled(buttons['開墾']) or '今は使えません' not in buttons['開墾'].description:
        fail('the command given, 開墾 neither shuts nor says why')
    say('command', '開墾: ' + buttons['開墾'].description.splitlines()[-1])

    # The lines came in the order of the game: the turn, the war's outcome, the next
    # turn, the command's result.
    order = [t for t in told if t.endswith('の番です') or outcome(t) or t.startswith('開墾')]
    kinds = ['turn' if t.endswith('の番です') else 'war' if outcome(t) else 'command' for t in order]
    compact = [k for i, k in enumerate(kinds) if i == 0 or k != kinds[i - 1]]
    if compact[:4] != ['turn', 'war', 'turn', 'command']:
        fail('the lines came out of order: %s' % order)

    # The last line once more (F8), and the keys to the list from another window (F2).
    before = len(told)
    key('F8')
    wait_for('the last line again', 5, lambda: len(told) > before and told[-1] == told[before - 1])
    say('keys', 'F8 told again: ' + told[-1])
    # The last battle's rounds on request (F9): both sides' soldiers, step by step.
    before = len(told)
    key('F9')
    wait_for("the battle's rounds", 5, lambda: len(told) > before and '攻撃側' in told[-1])
    say('keys', 'F9 told: ' + told[-1])

    # Every window from the map and back: opened by its key, Tab through it, Esc out of
    # it; the window goes and the keys are on the map's list again.
    def on_map():
        return focus and focus[-1][0] in ('list', 'list item')

    settle(app)
    walk_keys = [('report', '戦況報告')] if report else []
    walk_keys += [('alt+f', 'ﾌｧｲﾙ menu'), ('alt+v', '表示 menu'), ('F1', '操作方法'), ('F3', '戦況記録'),
                 ('F4', '自国一覧'), ('a', '助言'), ('ctrl+n', 'ｹﾞｰﾑ開始')]
    trapped = []
    for keys, what in walk_keys:
        key('F2')
        pump(5, on_map)
        before_key = {(w.getRoleName(), w.name) for w in windows(app) if showing(w)}
        if keys == 'report':  # already open: the keys go to it as a click would give them
            subprocess.run(['sh', '-c', "xdotool windowfocus --sync $(xdotool search --onlyvisible --name '^戦況報告$')"])
            before_key -= {('filler', '戦況報告')}
        else:
            key(keys)
        pump(1)
        opened = [f'{w.getRoleName()} {w.name}' for w in windows(app)
                  if showing(w) and (w.getRoleName(), w.name) not in before_key]
        seen = set()
        for _ in range(6):
            key('Tab', main=False)
            pump(0.2)
            if focus:
                seen.add(focus[-1])

        def gone():
            return on_map() and not [w for w in windows(app)
                                     if showing(w) and (w.getRoleName(), w.name) not in before_key]
        key('Escape', main=False)
        left = pump(3, gone)
        if not left:
            key('Escape', main=False)  # a menu's submenu, then the menu
            left = pump(3, gone)
        say('walk', f'{what}: opened {opened}, Tab reached {len(seen)} objects, Esc back on the map: {left}')
        if not left:
            trapped.append(what)
    if trapped:
        fail('the keys stayed caught in: %s' % trapped)
finally:
    game.terminate()
    try:
        game.wait(10)
    except subprocess.TimeoutExpired:
        game.kill()

print('\n'.join(transcript))
print(f'accessible turn played in {time.time() - started:.1f} s')
