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
# S shop or tavern (its door opens onto a street)   D stairs down (entered
# from the street north of them; a house stands behind them)
TOWN = [
    "WWWWWWWWWWWWWWWWWWWWWWWWWWWW",  # y 29
    "W..........................W",
    "W.#S##.###S###.##S##.##S##.W",
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
    "W.#S##.#######.#####.#####.W",
    "W.####.#######.#####S#####.W",
    "W.####S#######.#####.#####.W",
    "W.####.#######.S####.#####.W",
    "W.####.#######.#####.#####.W",
    "W.##S#.####S##.#####.#####.W",
    "W..........................W",  # y 6
    "W.####.#######.#####.#####.W",
    "W.####.#######.#####.#####.W",
    "W.####.#######.#####.#####DW",  # y 3: the stairs down at (26, 3)
    "W.#S##.###S###.##S##.##S###W",
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
    (3, 27): (1007, 3, 28, 0),      # The Green Bard
    (10, 27): (1008, 10, 28, 0),    # Hughter's Owl
    (17, 27): (1009, 17, 28, 0),    # The Chiccasaw
    (23, 27): (1010, 23, 28, 0),    # The Marauder's Hole
    (3, 2): (1012, 3, 1, 180),      # Imperial Weapons
    (10, 2): (1013, 10, 1, 180),    # Arms of Valor
    (17, 2): (1017, 17, 1, 180),    # Landru's Craft Supply
    (23, 2): (1018, 23, 1, 180),    # the Barracks
    (4, 7): (1022, 4, 6, 180),      # the Casino
    (11, 7): (1023, 11, 6, 180),    # the Arcanium
    (3, 12): (1050, 3, 13, 0),      # a stranger's House
}

# Each building's door carries a sign with its name: the door's own texture
# (drawn by make-textures.sh, which takes this table from --signs), and its
# letter on the town map of the README (--readme-map). Every other side of a
# building is a plain house wall.
SIGNS = {
    1000: ('H', 'dr_hall', 'Hall of\nAdventurers'),
    1001: ('E', 'dr_elium', "Elium's Energy\nEmporium"),
    1002: ('T', 'dr_temple', 'Temple'),
    1003: ('K', 'dr_collegium', 'Collegium\nof Magika'),
    1005: ('L', 'dr_lyre', 'Order of\nthe Lyre'),
    1006: ('M', 'dr_melkoran', "Melkoran's\nTavern"),
    1007: ('G', 'dr_greenbard', 'The Green\nBard'),
    1008: ('O', 'dr_owl', "Hughter's\nOwl"),
    1009: ('Q', 'dr_chiccasaw', 'The\nChiccasaw'),
    1010: ('R', 'dr_marauder', "The Marauder's\nHole"),
    1011: ('S', 'dr_starfire', 'Starfire\nSwords'),
    1012: ('I', 'dr_imperial', 'Imperial\nWeapons'),
    1013: ('V', 'dr_valor', 'Arms of\nValor'),
    1014: ('N', 'dr_general', 'General\nStore'),
    1017: ('D', 'dr_landru', "Landru's\nCraft Supply"),
    1018: ('B', 'dr_barracks', 'Barracks'),
    1022: ('C', 'dr_casino', 'Casino'),
    1023: ('A', 'dr_arcanium', 'Arcanium'),
    1050: ('U', 'dr_house', 'House'),
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

# The stairs down: their way in (an arch with steps going down, in a house
# wall two storeys high) and the first steps in the floor of their square.
TOWN_TEXTURES = """\
# name      file                      solid value level unused
citywall    pics/world/citywall.dat   1     0     3     1
house       pics/world/house.dat      1     0     2     1
tree        pics/world/tree.dat       0     -1    2     1
stairsdn    pics/world/stairsdn.dat   1     0     2     1
stairsfl    pics/world/stairsfl.dat   0     0     1     1
""" + "".join("%-11s pics/world/%-16s 0     0     2     1\n" % (tex, tex + '.dat')
              for _, tex, _ in SIGNS.values())

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

# The lintel is the arch over a way into the vault: two squares high, it
# hangs from the vault's ceiling (3) down to the passages' (1), and the
# vault's threshold (3) lets the party under it.
DUNGEON_TEXTURES = """\
# name      file                      solid value level unused
stone       pics/world/stone.dat      1     0     1     1
moss        pics/world/moss.dat       1     0     2     1
vault       pics/world/moss.dat       1     0     3     1
lintel      pics/world/lintel.dat     1     0     2     1
secret      pics/world/secret.dat     0     1     1     1
pillar      pics/world/pillar.dat     0     -1    1     1
stairs      pics/world/stairs.dat     1     0     1     1
"""

# --- wandering monsters ----------------------------------------------------------
# One line per entry: (monster, least group, spread, distance in feet,
# weight, how many groups of it live here, first hour, end hour (-1 both:
# any time), condition mask). The second number of the header is the
# encounter rate: chances per thousand steps on a fresh map, before the
# difficulty's factor; it falls as the map's monsters are met (a map whose
# counts are all 0 has no encounters).
#
# The town is safe by day; after dark wolves come over the wall and thieves
# work the streets (from 20 o'clock until 5), a dark rogue only in the small
# hours.
#
# Both tables are sized for a new party of five at the first level, whose
# levels add up to 5: the roll's level budget (7 at average difficulty)
# stops adding groups once the monsters' levels reach it, so the levels in
# content/monsters/monsters.txt and the group sizes here decide how many
# monsters come at once (tests/actions/FirstFightsTest.cpp keeps the first
# fights winnable; build/tests/encounter_figures prints the figures).
TOWN_RATE = 12
TOWN_MONSTERS = [
    ('Wolf', 1, 1, 20, 6, 20, 20, 5, 0),
    ('Bandit', 1, 1, 10, 5, 20, 20, 5, 0),
    ('Dark Rogue', 1, 0, 10, 1, 3, 0, 4, 0),
]
# The catacombs by depth: the first level under the town has its vermin and
# a few dead that do not rest, mostly near the stairs' depth; the spider is
# rare, and the Wight, the deepest thing here, walks only at night and comes
# only twice. About one step in thirty meets monsters here.
DUNGEON_RATE = 20
DUNGEON_MONSTERS = [
    ('Goblin', 1, 2, 10, 8, 30, -1, -1, 0),
    ('Skeleton', 1, 1, 10, 6, 25, -1, -1, 0),
    ('Giant Spider', 1, 0, 20, 1, 3, -1, -1, 0),
    ('Orc', 1, 1, 20, 4, 15, -1, -1, 0),
    ('Wight', 1, 0, 30, 1, 2, 22, 4, 0),
]

# Random items of the catacombs (chests, the monsters' "rand" drops), by
# weight; an item with charges is named with them, as its display name.
DUNGEON_RANDITEMS = [
    ('Draught of Mending (3)', 6), ('Mandrake Root', 4), ('Glowing Moss', 4), ('Arrows (20)', 3),
    ('Glass Dagger', 3), ('Iron Cap', 2), ('Round Buckler', 2), ('Throwing Knives (6)', 2),
    ('Ring of Warding', 1), ('Elixir of Might (2)', 1),
]

# Chests of the catacombs: square -> (script module, exit x, exit y, exit
# facing), each chest a script of its own in content/scripts. The chests
# stand on passages (the crypt's at the corner of the only way north from
# the stairs), so their scripts keep the party on the square; the exit is
# where it would go otherwise.
DUNGEON_CHESTS = {
    (1, 14): ('chest_crypt', 1, 13, 180),
    (14, 1): ('chest_alcove', 13, 1, 90),
    (7, 4): ('chest_niche', 7, 5, 0),
}

# Random events of the catacombs: (script module, chance in 3000 per try).
# When time passes on a square without an event, a roll makes three tries
# for each of them (each try picks one at random), before the wandering
# monsters' roll; the scripts leave the party where it stands.
DUNGEON_RANDOM = [
    ('coldair', 4),
    ('whispers', 3),
]


def monster_file(rate, entries):
    lines = ["%d %d" % (len(entries), rate)]
    for (name, least, spread, dist, weight, left, first, end, mask) in entries:
        lines.append("%s %d %d %d %d %d %d %d 0x%08X" % (name.replace(' ', '_'), least, spread, dist, weight,
                                                     left, first, end, mask))
    return "\n".join(lines) + "\n"


def rand_items(items):
    return ["RANDITEMS %d" % len(items)] + ["%s %d" % (n.replace(' ', '_'), w) for n, w in items]


SIDES = [(0, 0, 1), (90, -1, 0), (180, 0, -1), (270, 1, 0)]  # facing, dx, dy


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


def find(plan, mark):
    """The one square of the plan that holds the mark."""
    found = [(x, y) for y in range(len(plan)) for x in range(len(plan[0])) if at(plan, x, y) == mark]
    assert len(found) == 1, (mark, found)
    return found[0]


def stairs_way_in(plan, stairs):
    """The square from which the stairs are entered (their one open side),
    and the facing away from them there."""
    x, y = stairs
    ways = [(x + dx, y + dy, f) for f, dx, dy in SIDES if at(plan, x + dx, y + dy) == '.']
    assert len(ways) == 1, ways
    return ways[0]


def stairs_cell(name, walls, floor='NULL'):
    """The stairs' square: its own walls on its three closed sides (the
    picture of the stairs on the side facing the way in) and its floor."""
    return "%-11s %-9s %-9s %-9s %-9s 1    %-5s NULL      0 0 0\n" % ((name,) + tuple(walls) + (floor,))


def closed_cell(kind, texture, x, y, stairs, variants):
    """The cell of a closed square: its texture on every side, but for the
    side toward the stairs, whose own walls are the ones to see there (two
    walls in one place flicker). Variants are added to `variants`."""
    for f, dx, dy in SIDES:
        if (x + dx, y + dy) == stairs:
            name = '%s-%s' % (kind, 'NWSE'[f // 90])
            walls = ['NULL' if g == f else texture for g, _, _ in SIDES]
            variants[name] = "%-11s %-9s %-9s %-9s %-9s 2    NULL  NULL      0 0 0\n" % ((name,) + tuple(walls))
            return name
    return kind


def town():
    check(TOWN)
    w, h = len(TOWN[0]), len(TOWN)
    assert at(TOWN, 13, 24) == 'H' and at(TOWN, 14, 24) == '.'
    stairs = find(TOWN, 'D')
    way_in = stairs_way_in(TOWN, stairs)
    # Entered from the north, the stairs' picture faces it on the south side.
    assert way_in[2] == 0, way_in
    cells = """\
# name      north     west      south     east      type floor billboard threshold
DEFAULT     NULL      NULL      NULL      NULL      1    NULL  NULL      0 0 0
WALL        citywall  citywall  citywall  citywall  2    NULL  NULL      0 0 0
HOUSE       house     house     house     house     2    NULL  NULL      0 0 0
TREE        NULL      NULL      NULL      NULL      2    NULL  tree      0 0 0
"""
    cells += stairs_cell('STAIRSDN', ['NULL', 'house', 'stairsdn', 'citywall'], 'stairsfl')
    variants = {}
    lines = []
    for y in range(h):
        for x in range(w):
            c = at(TOWN, x, y)
            if c == '.':
                continue
            if c in 'HS':
                eid, ex, ey, _ = TOWN_BUILDINGS[(x, y)]
                assert at(TOWN, ex, ey) == '.', (x, y)
                # The building's own cell: its signed door toward its exit,
                # plain house walls elsewhere.
                name = 'B%d' % eid
                walls = [SIGNS[eid][1] if (x + dx, y + dy) == (ex, ey) else 'house' for _, dx, dy in SIDES]
                assert walls.count('house') == 3, (x, y)
                cells += "%-11s %-12s %-12s %-12s %-12s 1 NULL NULL 0 0 0\n" % ((name,) + tuple(walls))
            elif c == 'D':
                name = 'STAIRSDN'
            else:
                kind, texture = {'W': ('WALL', 'citywall'), '#': ('HOUSE', 'house'), 'T': ('TREE', None)}[c]
                name = closed_cell(kind, texture, x, y, stairs, variants) if texture else kind
            lines.append("%d %d %s" % (x, y, name))
    cells += "".join(variants[n] for n in sorted(variants))
    assert len(TOWN_BUILDINGS) == sum(row.count('H') + row.count('S') for row in TOWN)
    assert sorted(SIGNS) == sorted(ev[0] for ev in TOWN_BUILDINGS.values())
    cfg = ["Renibister %d %d pics/world/cobble.dat NULL" % (w, h),
           "maps/renibister.tex maps/renibister.cel maps/renibister.evt maps/renibister.mon",
           "# sound packs: their folder and count, then each pack and the hour from which it plays",
           "data/sounds/packs 4",
           "town_night.env 0", "town_morning.env 6", "town_day.env 11", "town_night.env 20",
           "SPECCELL %d %d 0" % stairs,
           "RANDITEMS 0"] + lines
    write('renibister.cfg', "\n".join(cfg) + "\n")
    write('renibister.mon', monster_file(TOWN_RATE, TOWN_MONSTERS))
    write('renibister.tex', TOWN_TEXTURES)
    write('renibister.cel', cells)
    ev = ["# x y event noanim, then exit x, exit y, exit facing"]
    for (x, y), (eid, ex, ey, ef) in sorted(TOWN_BUILDINGS.items()):
        ev += ["%d %d %d 1" % (x, y, eid), "%d %d %d" % (ex, ey, ef)]
    # The stairs ask before they lead down; a party that stays steps back
    # out onto the square it came from, facing away from them.
    ev += ["%d %d 2000 0" % stairs, "%d %d %d stairsdown" % way_in]
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
"""
    stairs = find(DUNGEON, 'U')
    way_in = stairs_way_in(DUNGEON, stairs)
    assert way_in[2] == 0, way_in
    cells += stairs_cell('STAIRSUP', ['NULL', 'stone', 'stairs', 'stone'])
    variants = {}
    lines = []
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
                name = 'STAIRSUP'
            elif c == 'X':
                name = 'SECRET'
            elif c == 'P':
                name = 'PILLAR'
            else:
                kind, texture = {'#': ('ROCK', 'stone'), 'M': ('MOSS', 'moss')}[c]
                name = closed_cell(kind, texture, x, y, stairs, variants)
            lines.append("%d %d %s" % (x, y, name))
    cells += "".join(variants[n] for n in sorted(variants))
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
    # Like the stairs down, the stairs up ask first.
    ev = ["# x y event noanim, then exit x, exit y, exit facing",
          "%d %d 2000 0" % stairs, "%d %d %d stairsup" % way_in] + scripted(DUNGEON, DUNGEON_SCRIPTS)
    for (x, y), (name, ex, ey, ef) in sorted(DUNGEON_CHESTS.items()):
        assert at(DUNGEON, x, y) == '.' and at(DUNGEON, ex, ey) == '.', (x, y)
        assert (x, y) not in DUNGEON_SCRIPTS, (x, y)
        ev += ["%d %d 2000 0" % (x, y), "%d %d %d %s" % (ex, ey, ef, name)]
    for name, chance in DUNGEON_RANDOM:
        ev += ["-1 %d 2000 0" % chance, "0 0 0 %s" % name]
    write('catacombs.evt', "\n".join(ev) + "\n")
    write('catacombs.mon', monster_file(DUNGEON_RATE, DUNGEON_MONSTERS))


def signs():
    """The signed doors for make-textures.sh: one line per door, its texture
    name, a tab, and the sign's text (lines joined by '|')."""
    return "".join("%s\t%s\n" % (tex, text.replace('\n', '|')) for _, tex, text in SIGNS.values())


def readme_map():
    """The town map of the README: north at the top, a letter on each
    building (the key below the map), w the Warden, s the sphinx, o the
    well, > the stairs down."""
    story = {'warden': 'w', 'sphinx': 's', 'well': 'o'}
    marks = {sq: SIGNS[ev[0]][0] for sq, ev in TOWN_BUILDINGS.items()}
    marks.update({sq: story[ev[0]] for sq, ev in TOWN_SCRIPTS.items()})
    marks[find(TOWN, 'D')] = '>'
    w, h = len(TOWN[0]), len(TOWN)
    out = ["     " + "".join(str(x // 10) if x % 10 == 0 else ' ' for x in range(w)),
           "     " + "".join(str(x % 10) for x in range(w))]
    for y in reversed(range(h)):
        row = "".join(marks.get((x, y), {'W': '=', '#': '#', '.': '.', 'T': '*'}.get(at(TOWN, x, y), '#'))
                      for x in range(w))
        out.append("%4d %s" % (y, row))
    # The key: each letter, its building and the side its door opens on, in
    # two columns.
    key = []
    for (x, y), (eid, ex, ey, _) in sorted(TOWN_BUILDINGS.items(), key=lambda b: SIGNS[b[1][0]][0]):
        side = {(0, 1): 'N', (-1, 0): 'W', (0, -1): 'S', (1, 0): 'E'}[(ex - x, ey - y)]
        key.append("%s %s (%s)" % (SIGNS[eid][0], SIGNS[eid][2].replace('\n', ' '), side))
    half = (len(key) + 1) // 2
    width = max(len(k) for k in key[:half]) + 4
    key = [(key[i].ljust(width) + (key[i + half] if i + half < len(key) else '')).rstrip() for i in range(half)]
    return "\n".join(out + [""] + key) + "\n"


if __name__ == '__main__':
    import sys
    if sys.argv[1:] == ['--signs']:
        sys.stdout.write(signs())
    elif sys.argv[1:] == ['--readme-map']:
        sys.stdout.write(readme_map())
    else:
        os.makedirs(OUT, exist_ok=True)
        town()
        dungeon()
