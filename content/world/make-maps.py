#!/usr/bin/env python3
"""Writes the map files of the sample world from the plans below: the town of
Renibister and the catacombs under it. Each map gets its configuration file
(.cfg), texture list (.tex), cell table (.cel), event file (.evt) and, for the
catacombs, a monster file (.mon). The results are committed; run this again
after changing a plan.

Plans are drawn with the north at the top: the last line is y = 0, the first
character of a line is x = 0.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, 'maps')

# --- Renibister ---------------------------------------------------------------
# W town wall   # house   . street   T tree   H the Hall of Adventurers
# S shop or tavern (its door opens onto a street)   D stairs down
TOWN = [
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWW",  # y 29
    "W..........................W",
    "W.####.#######.#####.#####.W",
    "W.####.#######.#####.T.T.T.W",
    "W.####.#######.#####.......W",
    "W.####.######H.#####.T.T.T.W",  # y 24: the Hall at (13, 24); the boulevard runs south of it
    "W.####.######..#####.......W",
    "W.####S######..#####.T.T.T.W",
    "W.####.######..####S.......W",
    "W.####.######..#####.#####.W",
    "W..........................W",  # y 19
    "W.####.######..#####.#####.W",
    "W.####.#####S..#####.#####.W",
    "W.####.######..#####.#####.W",
    "W.####.######..S####.#####.W",
    "W.####.######..#####.#####.W",
    "W..........................W",  # y 13
    "W.####.#######.#####.#####.W",
    "W.####.#######.#####S#####.W",
    "W.####S#######.#####.#####.W",
    "W.####.#######.S####.#####.W",
    "W.####.#######.#####.#####.W",
    "W.####.#######.#####.#####.W",
    "W..........................W",  # y 6
    "W.####.#######.#####.#####.W",
    "W.####.#######.#####.#####.W",
    "W.####.#######.#####.#####DW",  # y 3: the stairs down at (26, 3)
    "W.####.#######.#####.#####.W",
    "W..........................W",
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWW",  # y 0
]

# Buildings: square -> (event id, exit x, exit y, exit facing). Their doors
# open toward the exit square.
TOWN_BUILDINGS = {
    (13, 24): (1000, 14, 24, 270),  # Hall of Adventurers
    (6, 22): (1011, 6, 21, 180),    # Starfire Swords
    (19, 21): (1006, 20, 21, 270),  # Melkoran's Tavern
    (12, 17): (1014, 13, 17, 270),  # General Store
    (15, 15): (1002, 14, 15, 90),   # Temple
    (20, 11): (1001, 20, 10, 180),  # Elium's Energy Emporium
    (6, 10): (1003, 6, 9, 180),     # Collegium of Magika
    (15, 9): (1005, 14, 9, 90),     # Order of the Lyre
}

# Scripted squares: square -> (script module in data/scripts, exit x, exit y,
# exit facing); the exit is where a result other than 1 puts the party.
TOWN_SCRIPTS = {
    (14, 22): ('warden', 14, 23, 0),
    (12, 19): ('sphinx', 13, 19, 270),
    (14, 16): ('well', 14, 17, 0),
}
DUNGEON_SCRIPTS = {
    (4, 11): ('shrine', 5, 11, 270),
    (12, 8): ('ratnest', 11, 8, 90),
}

TOWN_TEXTURES = """\
# name      file                      solid value level unused
citywall    pics/world/citywall.dat   1     0     3     1
house       pics/world/house.dat      1     0     2     1
hall        pics/world/hall.dat       1     0     2     1
shop        pics/world/shop.dat       1     0     2     1
door        pics/world/door.dat       0     0     2     1
tree        pics/world/tree.dat       0     -1    2     1
stairs      pics/world/stairs.dat     1     0     1     1
"""

# --- the catacombs -------------------------------------------------------------
# # rock   M mossy rock (walls two squares high)   . passage
# V vault (a high ceiling at 3; its arches hang from it)   P pillar
# X secret door (its east side looks like rock)   U stairs up
DUNGEON = [
    "################",  # y 15
    "#......#.......#",
    "#.####.#.#####.#",
    "#.#MMM...#VVV#.#",
    "#.#M.....XVPV#.#",
    "#.#MMM####VVV#.#",
    "#.#######.#.##.#",
    "#.........#....#",
    "#.###.#####.####",
    "#.#...#.....#..#",
    "#.#.###.###.#.##",
    "#.#.#...#P#....#",
    "#.#.#.#.#.####.#",
    "#...#.#......#.#",
    "#U###.######...#",
    "################",  # y 0
]

# Traps: square -> (kind bits, trap id). Kinds: 1 a scripted trap (the
# script "trap%04d" of its id; "trapdefuse" when the party defused it),
# 2 a spinner, 4 an anti-magic trap, 8 a darkness trap.
DUNGEON_TRAPS = {
    (1, 5): (1, 1),     # a pit in the passage north of the stairs
    (7, 12): (1, 2),    # a needle of venom before the mossy hall
    (12, 1): (1, 3),    # a loose block on the way to the alcove
    (5, 8): (2, 0),     # the spinning stone where four ways meet
    (6, 11): (8, 0),    # the dark of the mossy hall
    (11, 12): (4, 0),   # the vault behind the secret door eats magic
}

DUNGEON_TEXTURES = """\
# name      file                      solid value level unused
stone       pics/world/stone.dat      1     0     1     1
moss        pics/world/moss.dat       1     0     2     1
vault       pics/world/moss.dat       1     0     3     1
lintel      pics/world/lintel.dat     1     0     1     1
secret      pics/world/secret.dat     0     1     1     1
pillar      pics/world/pillar.dat     0     -1    1     1
stairs      pics/world/stairs.dat     1     0     1     1
"""

# Random items of the catacombs (chests, the monsters' "rand" drops), by
# weight; an item with charges is named with them, as its display name.
DUNGEON_RANDITEMS = [
    ('Draught of Mending (3)', 6), ('Mandrake Root', 4), ('Glowing Moss', 4), ('Arrows (20)', 3),
    ('Glass Dagger', 3), ('Iron Cap', 2), ('Round Buckler', 2), ('Throwing Knives (6)', 2),
    ('Ring of Warding', 1), ('Elixir of Might (2)', 1),
]


def rand_items(items):
    return ["RANDITEMS %d" % len(items)] + ["%s %d" % (n.replace(' ', '_'), w) for n, w in items]


SIDES = [(0, 1, 0), (90, -1, 0), (180, 0, -1), (270, 1, 0)]  # facing, dx, dy


def at(plan, x, y):
    h = len(plan)
    if 0 <= y < h and 0 <= x < len(plan[0]):
        return plan[h - 1 - y][x]
    return None


def write(name, text):
    with open(os.path.join(OUT, name), 'w') as f:
        f.write(text)


def check(plan):
    w = len(plan[0])
    for row in plan:
        assert len(row) == w, row


def scripted(plan, scripts):
    """The event lines of a map's scripted squares (type 2000)."""
    ev = []
    for (x, y), (name, ex, ey, ef) in sorted(scripts.items()):
        assert at(plan, x, y) == '.' and at(plan, ex, ey) == '.', (x, y)
        ev += ["%d %d 2000 0" % (x, y), "%d %d %d %s" % (ex, ey, ef, name)]
    return ev


def town():
    check(TOWN)
    w, h = len(TOWN[0]), len(TOWN)
    assert at(TOWN, 13, 24) == 'H' and at(TOWN, 14, 24) == '.'
    cells = """\
# name      north     west      south     east      type floor billboard threshold
DEFAULT     NULL      NULL      NULL      NULL      1    NULL  NULL      0 0 0
WALL        citywall  citywall  citywall  citywall  2    NULL  NULL      0 0 0
HOUSE       house     house     house     house     2    NULL  NULL      0 0 0
TREE        NULL      NULL      NULL      NULL      2    NULL  tree      0 0 0
STAIRSDN    NULL      house     stairs    citywall  1    NULL  NULL      0 0 0
"""
    # One building cell per door side: walls all round, the door on one side.
    for facing, label in [(0, 'N'), (90, 'W'), (180, 'S'), (270, 'E')]:
        for kind, tex in [('HALL', 'hall'), ('SHOP', 'shop')]:
            walls = [('door' if f == facing else tex) for f, _, _ in SIDES]
            cells += "%-11s %-9s %-9s %-9s %-9s 1    NULL  NULL      0 0 0\n" % ((kind + '_' + label,) + tuple(walls))
    lines = []
    stairs = None
    for y in range(h):
        for x in range(w):
            c = at(TOWN, x, y)
            if c == '.':
                continue
            if c in 'HS':
                ev = TOWN_BUILDINGS[(x, y)]
                dx, dy = ev[1] - x, ev[2] - y
                label = {(0, 1): 'N', (-1, 0): 'W', (0, -1): 'S', (1, 0): 'E'}[(dx, dy)]
                assert at(TOWN, ev[1], ev[2]) == '.', (x, y)
                name = ('HALL_' if c == 'H' else 'SHOP_') + label
            elif c == 'D':
                name, stairs = 'STAIRSDN', (x, y)
            else:
                name = {'W': 'WALL', '#': 'HOUSE', 'T': 'TREE'}[c]
            lines.append("%d %d %s" % (x, y, name))
    assert len(TOWN_BUILDINGS) == sum(row.count('H') + row.count('S') for row in TOWN)
    cfg = ["Renibister %d %d pics/world/cobble.dat NULL" % (w, h),
           "maps/renibister.tex maps/renibister.cel maps/renibister.evt NULL",
           "# sound packs: their folder and count, then each pack and the hour from which it plays",
           "data/sounds/packs 4",
           "town_night.env 0", "town_morning.env 6", "town_day.env 11", "town_night.env 20",
           "SPECCELL %d %d 0" % stairs,
           "RANDITEMS 0"] + lines
    write('renibister.cfg', "\n".join(cfg) + "\n")
    write('renibister.tex', TOWN_TEXTURES)
    write('renibister.cel', cells)
    ev = ["# x y event noanim, then exit x, exit y, exit facing"]
    for (x, y), (eid, ex, ey, ef) in sorted(TOWN_BUILDINGS.items()):
        ev += ["%d %d %d 1" % (x, y, eid), "%d %d %d" % (ex, ey, ef)]
    ev += ["%d %d 2000 0" % stairs, "%d %d 0 stairsdown" % stairs]
    ev += scripted(TOWN, TOWN_SCRIPTS)
    write('renibister.evt', "\n".join(ev) + "\n")


def dungeon():
    check(DUNGEON)
    w, h = len(DUNGEON[0]), len(DUNGEON)
    cells = """\
# name      north     west      south     east      type floor billboard threshold
DEFAULT     NULL      NULL      NULL      NULL      1    NULL  NULL      0 0 0
ROCK        stone     stone     stone     stone     2    NULL  NULL      0 0 0
MOSS        moss      moss      moss      moss      2    NULL  NULL      0 0 0
PILLAR      NULL      NULL      NULL      NULL      2    NULL  pillar    0 0 0
SECRET      NULL      NULL      NULL      secret    1    NULL  NULL      0 0 0
STAIRSUP    NULL      stone     stairs    stone     1    NULL  NULL      0 0 0
"""
    lines = []
    stairs = None
    for y in range(h):
        for x in range(w):
            c = at(DUNGEON, x, y)
            if c == '.':
                continue
            if c == 'V':
                # A vault square: a tall wall where rock or moss is beside it,
                # an arch (hung from the ceiling at 3) toward the passages.
                walls = []
                for f, dx, dy in SIDES:
                    n = at(DUNGEON, x + dx, y + dy)
                    walls.append('NULL' if n in 'VP' else 'lintel' if n in '.X' else 'vault')
                name = 'VAULT%d' % len(lines)
                cells += "%-11s %-9s %-9s %-9s %-9s 3    NULL  NULL      3 0 0\n" % ((name,) + tuple(walls))
            elif c == 'U':
                name, stairs = 'STAIRSUP', (x, y)
            elif c == 'X':
                name = 'SECRET'
            else:
                name = {'#': 'ROCK', 'M': 'MOSS', 'P': 'PILLAR'}[c]
            lines.append("%d %d %s" % (x, y, name))
    cfg = ["Catacombs %d %d pics/world/dfloor.dat pics/world/ceiling.dat NULL" % (w, h),
           "maps/catacombs.tex maps/catacombs.cel maps/catacombs.evt maps/catacombs.mon",
           "# fog colour, fog density, then the colour of the special light",
           "SPECLITE 0.05 0.05 0.08 0.35 0.9 0.6 0.3",
           "data/sounds/packs 1",
           "catacombs.env 0",
           "# the stairs up, then the traps: x, y, kind bits, trap id",
           "SPECCELL %d %d %d" % (stairs + (len(DUNGEON_TRAPS),))]
    for (x, y), (kind, tid) in sorted(DUNGEON_TRAPS.items()):
        assert at(DUNGEON, x, y) in '.V', (x, y)
        cfg.append("%d %d %d %d" % (x, y, kind, tid))
    cfg += rand_items(DUNGEON_RANDITEMS) + lines
    write('catacombs.cfg', "\n".join(cfg) + "\n")
    write('catacombs.tex', DUNGEON_TEXTURES)
    write('catacombs.cel', cells)
    ev = ["# x y event noanim, then exit x, exit y, exit facing",
          "%d %d 2000 0" % stairs, "%d %d 0 stairsup" % stairs] + scripted(DUNGEON, DUNGEON_SCRIPTS)
    write('catacombs.evt', "\n".join(ev) + "\n")
    write('catacombs.mon', "0 0\n")


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    town()
    dungeon()
