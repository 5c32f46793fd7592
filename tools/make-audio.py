#!/usr/bin/env python3
"""Makes the game's music and sounds with sox into content/audio/sounds/ and
the slide sequence music into content/slides/. Run by hand; the results are
committed, so a build needs no sox.

Every piece is written here as notes: a voice is a timbre and a line of
"NOTE:BEATS" words (a rest is "-:BEATS"); a piece mixes its voices. Sound
effects are short shaped noises and tones. Everything is mono 22050 Hz Ogg
(the mixer converts it), the slide music MP3.

    tools/make-audio.py            everything
    tools/make-audio.py NAME...    only the pieces whose file name starts so
                                   (the slide music: slides/credits, slides/intro2;
                                   the title music: intro/credits)

Every sound effect is levelled to its kind (LEVELS), and at the end a
loudness check goes over every sound the game ships and fails when one
clips, a sound effect is as loud as the music, or music and a sound
together would pass full scale.
"""
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "content", "audio", "sounds")
SLIDES = os.path.join(ROOT, "content", "slides")
RATE = "22050"
TMP = tempfile.mkdtemp(prefix="vell-audio-")
ONLY = sys.argv[1:]

NOTE_INDEX = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}


def freq(note):
    """A4 = 440; names like C4, F#3, Bb2; a plain number is taken as it is
    (a drum's filter frequency)."""
    if note.replace(".", "").isdigit():
        return float(note)
    name, octave = note[:-1], int(note[-1])
    semis = NOTE_INDEX[name[0]] + (1 if "#" in name else 0) - (1 if "b" in name[1:] else 0)
    return 440.0 * 2 ** ((semis + 12 * (octave - 4)) / 12.0)


def sox(*args):
    guard = [] if args[0] == "-n" else ["-G"]  # -G cannot work on generated input
    subprocess.run(["sox", "-V1", *guard, *[str(a) for a in args]], check=True)


counter = [0]


def tmp(ext="wav"):
    counter[0] += 1
    return os.path.join(TMP, "t%05d.%s" % (counter[0], ext))


# Timbres: what one note of `secs` seconds at `hz` sounds like (sox effects).
TIMBRES = {
    "lute":   lambda hz, s: ["synth", s, "pluck", hz, "fade", "0.005", s, min(0.3, s / 2), "vol", "0.8"],
    "harp":   lambda hz, s: ["synth", s, "pluck", hz, "fade", "0.002", s, s * 0.9, "vol", "0.7"],
    "flute":  lambda hz, s: ["synth", s, "sine", hz, "sine", hz * 2.01, "remix", "1v0.8,2v0.15",
                             "tremolo", "5", "20", "fade", "0.06", s, "0.08", "vol", "0.7"],
    "pipes":  lambda hz, s: ["synth", s, "square", hz, "lowpass", "1400", "fade", "0.03", s, "0.05", "vol", "0.35"],
    "male":   lambda hz, s: ["synth", s, "sawtooth", hz, "tremolo", "5.5", "15", "bandpass", "700", "300h",
                             "fade", "0.08", s, "0.1", "vol", "1.6"],
    "female": lambda hz, s: ["synth", s, "sawtooth", hz, "tremolo", "6", "15", "bandpass", "1100", "500h",
                             "fade", "0.08", s, "0.1", "vol", "1.4"],
    "soft":   lambda hz, s: ["synth", s, "triangle", hz, "fade", "0.02", s, min(0.2, s / 2), "vol", "0.5"],
    "pad":    lambda hz, s: ["synth", s, "sine", hz, "sine", hz * 1.5, "remix", "1v0.5,2v0.2",
                             "fade", "0.4", s, "0.5", "vol", "0.6"],
    "bass":   lambda hz, s: ["synth", s, "triangle", hz, "fade", "0.01", s, "0.1", "vol", "0.7"],
    "bell":   lambda hz, s: ["synth", s, "sine", hz, "sine", hz * 2.76, "remix", "1v0.7,2v0.3",
                             "fade", "0.002", s, s * 0.95, "vol", "0.8"],
    "brass":  lambda hz, s: ["synth", s, "sawtooth", hz, "lowpass", "1800", "fade", "0.04", s, "0.08", "vol", "0.4"],
    "drum":   lambda hz, s: ["synth", min(s, 0.25), "brownnoise", "fade", "0", min(s, 0.25), min(s, 0.25),
                             "lowpass", hz, "pad", "0", max(0.0, s - 0.25), "vol", "2.5"],
    "tick":   lambda hz, s: ["synth", min(s, 0.06), "whitenoise", "fade", "0", min(s, 0.06), min(s, 0.06),
                             "highpass", hz, "pad", "0", max(0.0, s - 0.06), "vol", "0.5"],
}


def voice(timbre, line, bpm):
    """Renders a line of NOTE:BEATS words (a chord is NOTE+NOTE) to a file."""
    beat = 60.0 / bpm
    parts = []
    for word in line.split():
        note, beats = word.split(":")
        secs = round(float(beats) * beat, 4)
        out = tmp()
        if note == "-":
            sox("-n", "-r", RATE, "-c", "1", out, "trim", "0", secs)
        else:
            tones = []
            for n in note.split("+"):
                t = tmp()
                sox("-n", "-r", RATE, "-c", "1", t, *TIMBRES[timbre](round(freq(n), 2), secs))
                tones.append(t)
            if len(tones) == 1:
                out = tones[0]
            else:
                sox("-m", *tones, out)
        parts.append(out)
    out = tmp()
    sox(*parts, out)
    return out


def stats(path):
    """(peak dB, RMS dB) of a sound file, from sox's stats."""
    out = subprocess.run(["sox", path, "-n", "stats"], capture_output=True, text=True, check=True).stderr
    values = {}
    for line in out.splitlines():
        parts = line.rsplit(None, 1)
        if len(parts) == 2:
            values[parts[0].strip()] = parts[1]
    return float(values["Pk lev dB"]), float(values["RMS lev dB"])


def duration(path):
    out = subprocess.run(["soxi", "-D", path], capture_output=True, text=True, check=True).stdout
    return float(out)


def wanted(label):
    return not ONLY or any(label.startswith(o) for o in ONLY)


def piece(name, bpm, voices, effects=(), quality=1, folder=None, kind="ogg", label=None, length=None):
    """Mixes the voices (timbre, line) into folder/name.ogg (or .mp3). With a
    length in seconds the piece is repeated to fill it and fades out over its
    last three seconds."""
    if not wanted(label or name):
        return
    files = [voice(t, line, bpm) for t, line in voices]
    mixed = tmp()
    if len(files) == 1:
        mixed = files[0]
    else:
        sox("-m", *files, mixed)
    dest = os.path.join(folder or OUT, name + "." + kind)
    os.makedirs(os.path.dirname(dest), exist_ok=True)
    shaped = tmp()
    sox(mixed, shaped, *effects, "norm", "-3")
    if length:
        once = duration(shaped)
        filled = tmp()
        sox(shaped, filled, "repeat", int(length // once), "trim", "0", length, "fade", "t", "0", length, "3")
        shaped = filled
    if kind == "mp3":
        sox(shaped, "-C", "32", "-r", "22050", dest)
    else:
        sox(shaped, "-C", str(quality), dest)


# How loud each kind of sound is, as it plays over the music at full volume:
# (RMS dB aimed at, highest peak dB). The music is normalised to a peak of
# -3 dB (-2.5 once encoded), so a sound under -13 dB never takes the two of
# them past full scale, and each kind sits under the loudness of the
# quietest music (about -21 dB RMS).
LEVELS = {
    "ambient": (-30, -13),
    "timed": (-27, -13),
    "rain/rain1": (-38, -13),
    "rain/rain2": (-34, -13),
    "rain/rain3": (-30, -13),
    "named": (-26, -13),
}


def level_of(name):
    for prefix in sorted(LEVELS, key=len, reverse=True):
        if name.startswith(prefix):
            return LEVELS[prefix]
    return None


def effect(name, *synth, quality=2):
    """A sound effect from one sox command, levelled to its kind (LEVELS).
    The short named sounds are 16-bit WAV at 11025 Hz: as small as Ogg at
    that length, and ready without decoding when the game starts."""
    if not wanted(name):
        return
    wav = name.startswith("named/")
    dest = os.path.join(OUT, name + (".wav" if wav else ".ogg"))
    os.makedirs(os.path.dirname(dest), exist_ok=True)
    raw = tmp()
    sox("-n", "-r", "11025" if wav else RATE, "-c", "1", "-b", "16", raw, *synth)
    rms_aim, peak_max = level_of(name)
    peak, rms = stats(raw)
    gain = round(min(rms_aim - rms, peak_max - peak), 2)
    if wav:
        sox(raw, "-b", "16", dest, "gain", gain)
    else:
        sox(raw, "-C", str(quality), dest, "gain", gain)


def check_levels():
    """The loudness check over every sound the game ships: nothing clips,
    every sound effect stays under the quietest music, and music and one
    sound together stay under full scale. Exits with 1 when one fails."""
    music, others = {}, {}
    for folder, kinds in ((OUT, None), (SLIDES, None), (os.path.join(ROOT, "content", "intro"), None)):
        for base, _, names in os.walk(folder):
            for n in sorted(names):
                if not n.endswith((".ogg", ".mp3", ".wav")):
                    continue
                path = os.path.join(base, n)
                rel = os.path.relpath(path, OUT) if path.startswith(OUT) else os.path.relpath(path, ROOT)
                (others if level_of(rel) else music)[rel] = stats(path)
    quietest = min(rms for _, rms in music.values())
    loudest_peak = max(peak for peak, _ in music.values())
    failed = []
    for rel, (peak, rms) in sorted({**music, **others}.items()):
        if peak > -0.5:
            failed.append("%s clips or nearly: peak %.1f dB" % (rel, peak))
    for rel, (peak, rms) in sorted(others.items()):
        if rms > quietest - 3:
            failed.append("%s is as loud as the music: RMS %.1f dB, the quietest music %.1f dB" % (rel, rms, quietest))
        if 10 ** (peak / 20) + 10 ** (loudest_peak / 20) > 1.0:
            failed.append("%s and the music together clip: peaks %.1f and %.1f dB" % (rel, peak, loudest_peak))
    print("loudness check: %d pieces of music (RMS from %.1f dB, peaks up to %.1f dB), %d sounds (RMS up to %.1f dB)"
          % (len(music), quietest, loudest_peak, len(others), max(r for _, r in others.values())))
    for f in failed:
        print("  " + f)
    if failed:
        sys.exit(1)


def rep(text, n):
    return " ".join([text] * n)


# --- the town ------------------------------------------------------------------
REVERB = ("reverb", "35")
piece("music/town_intro", 80, [("bell", "E5:1 C5:1 D5:1 G4:3 -:1 G4:1 D5:1 E5:1 C5:3")], REVERB)
piece("music/town_morning", 100, [
    ("lute", "G4:1 B4:1 D5:1 B4:1 C5:1 E5:1 D5:2 B4:1 G4:1 A4:1 B4:1 A4:2 -:2 "
             "G4:1 B4:1 D5:1 G5:1 F#5:1 D5:1 E5:2 C5:1 A4:1 B4:1 A4:1 G4:2 -:2"),
    ("bass", "G2:4 C3:4 G2:4 D3:4 G2:4 C3:4 D3:4 G2:4"),
], REVERB)
piece("music/town_day", 116, [
    ("lute", "D5:0.5 E5:0.5 F#5:1 A5:1 F#5:0.5 E5:0.5 D5:1 B4:1 A4:1 D5:1 E5:2 "
             "F#5:0.5 G5:0.5 A5:1 F#5:1 E5:0.5 D5:0.5 E5:1 C#5:1 A4:1 B4:1 D5:2"),
    ("soft", "D4+F#4:2 G4+B4:2 D4+A4:2 A3+E4:2 D4+F#4:2 G4+B4:2 A3+E4:2 D4+F#4:2"),
    ("bass", "D3:2 G2:2 D3:2 A2:2 D3:2 G2:2 A2:2 D3:2"),
], REVERB)
piece("music/town_night", 66, [
    ("flute", "A4:2 C5:1 E5:3 D5:1 C5:1 B4:3 -:1 A4:2 G4:1 E4:3 F4:1 G4:1 A4:4"),
    ("pad", "A2:4 F2:4 C3:4 E2:4 A2:4"),
], ("reverb", "60"))

# --- the catacombs -------------------------------------------------------------
piece("music/catacombs_intro", 50, [("bell", "D3:2 A2:3"), ("pad", "D2:5")], ("reverb", "80"))
piece("music/catacombs", 48, [
    ("pad", "D2:4 Bb1:4 C2:4 A1:4"),
    ("flute", "-:2 A3:1 Bb3:1 A3:2 -:2 F3:1 E3:1 D3:4 -:2"),
], ("reverb", "90", "lowpass", "2500"))

# --- the special environments ----------------------------------------------------
piece("music/hall", 84, [
    ("brass", "C4:1 E4:1 G4:2 A4:1 G4:1 E4:2 F4:1 A4:1 G4:1 E4:1 D4:4"),
    ("bass", "C3:4 F2:4 C3:2 G2:2 G2:4"),
], REVERB)
piece("music/temple", 54, [
    ("pad", "C4+E4+G4:4 A3+C4+F4:4 B3+D4+G4:4 C4+E4+G4:4"),
    ("female", "G4:2 A4:2 F4:2 E4:2 D4:2 G4:2 E4:4"),
], ("reverb", "90"))
piece("music/magika", 90, [
    ("harp", rep("A4:0.5 C5:0.5 E5:0.5 A5:0.5 G5:0.5 E5:0.5 C5:0.5 E5:0.5", 1) + " " +
             rep("F4:0.5 A4:0.5 C5:0.5 F5:0.5 E5:0.5 C5:0.5 A4:0.5 C5:0.5", 1) + " " +
             rep("E4:0.5 G#4:0.5 B4:0.5 E5:0.5 D5:0.5 B4:0.5 G#4:0.5 B4:0.5", 1) + " A4:4"),
    ("pad", "A2:4 F2:4 E2:4 A2:4"),
], ("reverb", "70"))
piece("music/lyre", 96, [
    ("harp", "G4:0.5 B4:0.5 D5:0.5 G5:0.5 D5:1 B4:1 C5:0.5 E5:0.5 G5:0.5 E5:0.5 D5:2 "
             "A4:0.5 C5:0.5 E5:0.5 A5:0.5 G5:1 F#5:1 G5:4"),
    ("lute", "G3:2 D4:2 C4:2 G3:2 A3:2 D4:2 G3:4"),
], REVERB)
piece("music/barracks", 120, [
    ("drum", rep("300:1 300:0.5 300:0.5", 8)),
    ("brass", "G3:1 G3:0.5 G3:0.5 C4:2 E4:1 D4:1 C4:2 G3:1 G3:0.5 G3:0.5 D4:2 F4:1 E4:1 D4:2"),
])
piece("music/house", 72, [
    ("soft", "E4:1 G4:1 C5:2 B4:1 G4:1 A4:2 F4:1 A4:1 G4:1 E4:1 D4:2 C4:2"),
    ("pad", "C3:4 F2:4 G2:4"),
], REVERB)
piece("music/casino", 132, [
    ("lute", "C5:0.5 E5:0.5 G5:0.5 E5:0.5 A5:1 G5:1 F5:0.5 D5:0.5 B4:0.5 D5:0.5 C5:2 "
             "E5:0.5 G5:0.5 C6:0.5 G5:0.5 A5:1 F5:1 D5:0.5 F5:0.5 G5:1 C5:2"),
    ("bass", "C3:1 G2:1 C3:1 G2:1 F2:1 C3:1 G2:1 D3:1 C3:1 G2:1 F2:1 A2:1 G2:1 B2:1 C3:2"),
    ("tick", rep("6000:0.5", 32)),
])
piece("music/tavern", 126, [
    ("pipes", "D5:0.5 E5:0.5 F#5:0.5 D5:0.5 A5:1 F#5:1 G5:0.5 F#5:0.5 E5:0.5 D5:0.5 E5:2 "
              "D5:0.5 E5:0.5 F#5:0.5 D5:0.5 A5:1 B5:1 A5:0.5 F#5:0.5 E5:0.5 F#5:0.5 D5:2"),
    ("lute", "D4+A4:1 D4+A4:1 D4+A4:1 D4+A4:1 A3+E4:1 A3+E4:1 A3+E4:1 A3+E4:1 "
             "D4+A4:1 D4+A4:1 G3+D4:1 G3+D4:1 A3+E4:1 A3+E4:1 D4+A4:2"),
    ("drum", rep("250:1", 16)),
])
piece("music/shop", 104, [
    ("soft", "F4:1 A4:1 C5:1 A4:1 Bb4:1 G4:1 A4:2 F4:1 A4:1 G4:1 E4:1 F4:4"),
    ("bass", "F2:4 Bb2:2 F2:2 C3:4 F2:4"),
], REVERB)
piece("music/elium", 80, [
    ("harp", "E5:0.5 B4:0.5 G#4:0.5 E4:0.5 F#5:0.5 C#5:0.5 A4:0.5 F#4:0.5 "
             "G#5:0.5 D#5:0.5 B4:0.5 G#4:0.5 E5:2"),
    ("pad", "E3:2 F#3:2 B2:2"),
], ("reverb", "80", "chorus", "0.7", "0.9", "55", "0.4", "0.25", "2", "-t"))
piece("music/treasure_intro", 140, [("brass", "C5:0.5 E5:0.5 G5:0.5 C6:2.5"), ("bass", "C3:4")], REVERB)
piece("music/treasure", 90, [
    ("harp", "C6:0.5 G5:0.5 E5:0.5 G5:0.5 D6:0.5 G5:0.5 F5:0.5 G5:0.5 E6:0.5 C6:0.5 G5:0.5 E5:0.5 C5:2"),
], REVERB)
piece("music/shrine", 60, [
    ("pad", "D3+A3:4 C3+G3:4 Bb2+F3:4 A2+E3:4"),
    ("bell", "-:2 D5:2 -:2 C5:2 -:2 Bb4:2 -:2 A4:2"),
], ("reverb", "90"))
for n, (root, line) in enumerate([
        ("A", "A3:0.5 A3:0.5 C4:0.5 A3:0.5 E4:0.5 D4:0.5 C4:0.5 B3:0.5"),
        ("E", "E3:0.5 G3:0.5 E3:0.5 B3:0.5 A3:0.5 G3:0.5 F#3:0.5 G3:0.5"),
        ("D", "D3:0.5 D3:0.5 F3:0.5 D3:0.5 A3:0.5 G3:0.5 F3:0.5 E3:0.5")], start=1):
    piece("music/combat%d_intro" % n, 150, [("brass", "%s4:0.5 %s4:0.5 %s5:2" % (root, root, root)),
                                             ("drum", "200:0.5 200:0.5 200:2")])
    piece("music/combat%d" % n, 150, [
        ("brass", rep(line, 4)),
        ("bass", rep("%s2:1 %s2:1 %s2:1 %s2:1" % (root, root, root, root), 4)),
        ("drum", rep("220:1 220:0.5 220:0.5", 8)),
    ])

# --- the bard songs: four tunes, seven variants each -------------------------------
SONGS = {
    "beasty_skirl": (132, "A4:0.5 B4:0.5 C5:1 E5:1 D5:0.5 C5:0.5 B4:1 G4:1 A4:0.5 B4:0.5 C5:1 D5:1 E5:2 "
                          "E5:0.5 D5:0.5 C5:1 A4:1 B4:0.5 G4:0.5 A4:2", "A2:4 G2:4 A2:4 A2:4"),
    "proud_mary": (100, "C5:1 D5:0.5 E5:0.5 G5:1 E5:1 F5:1 E5:0.5 D5:0.5 C5:2 "
                        "E5:1 F5:0.5 G5:0.5 A5:1 G5:1 E5:1 D5:1 C5:2", "C3:4 F2:4 C3:2 G2:2 C3:4"),
    "vezivi_iroviriva": (76, "E5:1.5 D5:0.5 B4:1 G4:1 A4:1.5 B4:0.5 D5:2 "
                             "E5:1 G5:1 F#5:1 D5:1 E5:4", "E3:4 D3:4 C3:4 E3:4"),
    "walking_song": (112, "G4:1 A4:1 B4:1 G4:1 C5:1 B4:1 A4:2 B4:1 C5:1 D5:1 B4:1 "
                          "A4:1 F#4:1 G4:2", "G2:2 D3:2 C3:2 D3:2 G2:2 D3:2 D3:2 G2:2"),
}
VARIANTS = [("flute", "flute", 0), ("lute", "lute", 0), ("harp", "harp", 12), ("pipes", "pipes", 0),
            ("male", "male", -12), ("female", "female", 0), ("default", "soft", 0)]


def shift(line, semis):
    if not semis:
        return line
    out = []
    for word in line.split():
        note, beats = word.split(":")
        if note != "-":
            octave = int(note[-1]) + semis // 12
            note = note[:-1] + str(octave)
        out.append(note + ":" + beats)
    return " ".join(out)


for song, (bpm, tune, bass) in SONGS.items():
    for tag, timbre, semis in VARIANTS:
        voices = [(timbre, shift(tune, semis)), ("bass", bass)]
        if tag == "pipes":
            voices.append(("pipes", rep(bass.split()[0].split(":")[0].replace("2", "3") + ":4", 4)))
        piece("songs/%s_%s" % (song, tag), bpm, voices, REVERB, quality=0)

# --- rain loops -----------------------------------------------------------------
for n, (level, low) in enumerate([(0.25, "3000"), (0.45, "4500"), (0.7, "6500")], start=1):
    effect("rain/rain%d" % n, "synth", "2.5", "pinknoise", "lowpass", low, "highpass", "300",
           "tremolo", "0.4", "20", "vol", str(level))

# --- ambient and timed sounds -----------------------------------------------------
effect("ambient/birds", "synth", "0.12", "sine", "3200-4200", ":", "synth", "0.08", "sine", "3800-3000",
       ":", "synth", "0.1", "sine", "3500-4400", "vol", "0.3", "reverb", "20")
effect("ambient/crickets", "synth", "1.2", "sine", "4400", "tremolo", "30", "90", "tremolo", "2", "60",
       "vol", "0.15", "fade", "0.1", "1.2", "0.3")
effect("ambient/wind", "synth", "3", "brownnoise", "lowpass", "500", "tremolo", "0.4", "60",
       "fade", "1", "3", "1", "vol", "0.4")
effect("ambient/cart", "synth", "1.2", "brownnoise", "lowpass", "250", "tremolo", "6", "70",
       "fade", "0.3", "1.2", "0.4", "vol", "0.5")
effect("ambient/drip", "synth", "0.15", "sine", "1400-700", "fade", "0", "0.15", "0.12", "vol", "0.4",
       "reverb", "90", "pad", "0", "0.5")
effect("ambient/groan", "synth", "1.5", "sawtooth", "70-55", "lowpass", "300", "fade", "0.4", "1.5", "0.6",
       "vol", "0.5", "reverb", "80")
effect("ambient/chatter", "synth", "2", "brownnoise", "bandpass", "600", "400h", "tremolo", "3.5", "80",
       "fade", "0.3", "2", "0.5", "vol", "0.4")
effect("ambient/coins", "synth", "0.05", "sine", "5200", ":", "synth", "0.05", "sine", "4700", ":",
       "synth", "0.05", "sine", "5600", "vol", "0.3", "reverb", "30")
effect("timed/bell", "synth", "2.5", "sine", "392", "sine", "1082", "remix", "1v0.7,2v0.3",
       "fade", "0.002", "2.5", "2.4", "reverb", "60", "vol", "0.7")
effect("timed/gong", "synth", "3", "sine", "110", "sine", "297", "remix", "1v0.7,2v0.3",
       "fade", "0.002", "3", "2.9", "reverb", "80", "vol", "0.6")

# --- named sounds: weapons, spells, deaths --------------------------------------------
WEAPONS = {  # hit: (noise filter, tone), a miss is a whoosh
    "Axe": ("800", "180"), "Blunt": ("300", "90"), "Bow": ("2000", "600"), "LongBlade": ("3500", "900"),
    "ShortBlade": ("4500", "1200"), "Thrown": ("1500", "400"), "Melee": ("600", "150"),
}
for w, (cut, tone) in WEAPONS.items():
    effect("named/W_" + w, "synth", "0.18", "whitenoise", "lowpass", cut, "fade", "0", "0.18", "0.16",
           "vol", "0.8", "pad", "0", "0.05")
    effect("named/W_%sMiss" % w, "synth", "0.3", "pinknoise", "bandpass", str(int(cut) // 2 + 400), "300h",
           "fade", "0.1", "0.3", "0.15", "vol", "0.6")
effect("named/W_MeleeHand", "synth", "0.1", "brownnoise", "lowpass", "400", "fade", "0", "0.1", "0.09",
       "vol", "1.2")
SPELLS = {"Healing": "523:784", "Damage": "220:110", "Summoning": "330:660", "Modifier": "440:554",
          "Perception": "659:988", "Misc": "392:523"}
for s, sweep in SPELLS.items():
    a, b = sweep.split(":")
    effect("named/S_%s_Cast" % s, "synth", "0.6", "sine", "%s-%s" % (a, b), "sine", "%s-%s" % (b, a),
           "remix", "1v0.6,2v0.4", "tremolo", "12", "40", "fade", "0.05", "0.6", "0.3", "reverb", "50")
    effect("named/S_%s_Fizz" % s, "synth", "0.4", "pinknoise", "highpass", "2000", "fade", "0", "0.4", "0.35",
           "vol", "0.4", ":", "synth", "0.15", "sine", "%s-%d" % (a, int(a) // 2), "vol", "0.3")
RACES = {"Human": 1.0, "Elf": 1.2, "HalfElf": 1.1, "Dwarf": 0.8, "Gnome": 1.3, "Beggan": 1.4,
         "HalfOrc": 0.7, "Saurian": 0.6, "Senrats": 1.5}
for race, pitch in RACES.items():
    for sex, base in (("M", 160), ("F", 300)):
        hz = int(base * pitch)
        name = ("Beggan" if race == "Beggan" else race) + sex + "_Death"
        effect("named/" + name, "synth", "0.7", "sawtooth", "%d-%d" % (hz, int(hz * 0.6)),
               "bandpass", str(int(900 * pitch)), "600h", "tremolo", "7", "30",
               "fade", "0.03", "0.7", "0.4", "vol", "1.2")
effect("named/Door", "synth", "0.5", "brownnoise", "lowpass", "350", "tremolo", "9", "80",
       "fade", "0.02", "0.5", "0.2", "vol", "1.0")
effect("named/Chest_Open", "synth", "0.35", "sawtooth", "90-140", "lowpass", "900", "fade", "0.02", "0.35",
       "0.15", "vol", "0.6")

# --- the title music (the title menu, the launcher and the introduction movie)
piece("credits", 84, [
    ("harp", rep("G4:0.5 D5:0.5 B4:0.5 D5:0.5", 2) + " " + rep("E4:0.5 C5:0.5 G4:0.5 C5:0.5", 2) + " " +
             rep("C4:0.5 A4:0.5 E4:0.5 A4:0.5", 2) + " " + rep("D4:0.5 A4:0.5 F#4:0.5 A4:0.5", 2)),
    ("flute", "B4:2 D5:1 G5:1 E5:3 D5:1 C5:2 E5:1 A4:1 F#4:3 -:1"),
    ("pad", "G2:4 C3:4 A2:4 D3:4"),
], ("reverb", "60"), folder=os.path.join(ROOT, "content", "intro"), label="intro/credits")

# --- the slide sequences' music ------------------------------------------------------
# Each fits its section of the introduction: a slide fades in for 1 s and
# stays about 3.95 s. "credits" plays from the first text to the title's
# fade to black: ten slides, a fade to black, the title picture and another
# fade to black; "intro2" from the first credits picture to the end: twelve
# slides and the last fade to black. The scrolling credits loop "credits".
SLIDE = 1 + 3.95
SECTION1 = 10 * SLIDE + 1 + SLIDE + 1
SECTION2 = 12 * SLIDE + 1
piece("credits", 88, [
    ("harp", rep("D5:0.5 A4:0.5 F#4:0.5 A4:0.5 E5:0.5 A4:0.5 G4:0.5 A4:0.5", 2) + " " +
             rep("B4:0.5 G4:0.5 D4:0.5 G4:0.5 C#5:0.5 A4:0.5 E4:0.5 A4:0.5", 2)),
    ("flute", "F#5:2 E5:2 D5:2 A4:2 B4:2 C#5:2 D5:4"),
    ("pad", "D3:4 D3:4 G2:4 A2:4"),
], REVERB, folder=SLIDES, kind="mp3", label="slides/credits", length=SECTION1)
piece("intro2", 72, [
    ("lute", "A4:1 C5:1 E5:2 D5:1 C5:1 B4:2 G4:1 B4:1 D5:2 C5:1 B4:1 A4:2 "
             "A4:1 C5:1 E5:2 G5:1 F5:1 E5:2 D5:1 B4:1 G4:1 B4:1 A4:4"),
    ("pad", "A2:4 E2:4 G2:4 A2:4 A2:4 C3:4 G2:4 A2:4"),
], ("reverb", "60"), folder=SLIDES, kind="mp3", label="slides/intro2", length=SECTION2)

subprocess.run(["rm", "-rf", TMP])
check_levels()
