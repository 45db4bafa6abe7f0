#!/bin/sh
# Renders one ringing of the library twice in one run: with campanix-render,
# and the same strikes as a MIDI file (tubular bells) with fluidsynth and a
# General MIDI soundfont. Prints the CPU time of each and the ratio.
#
#   bench/render-vs-synth.sh [<build folder> [<ringing file>]]
#
# Needs fluidsynth and a soundfont (Debian: apt-get install fluidsynth
# fluid-soundfont-gm); SOUNDFONT=<file.sf2> names another soundfont.
set -eu

build=${1:-build}
ringing=${2:-$build/campanix/Custom/Трезвон сельский.kol}
render=$build/campanix/campanix-render
soundfont=${SOUNDFONT:-/usr/share/sounds/sf2/FluidR3_GM.sf2}

if ! command -v fluidsynth >/dev/null 2>&1 || [ ! -f "$soundfont" ]; then
    echo "fluidsynth or the soundfont $soundfont is missing; install them with" >&2
    echo "    sudo apt-get install fluidsynth fluid-soundfont-gm" >&2
    exit 2
fi
if [ ! -x "$render" ]; then
    echo "$render is not built" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$render" "$ringing" "$soundfont" "$work" <<'PYTHON'
import os, resource, struct, subprocess, sys

render, ringing, soundfont, work = sys.argv[1:5]
RATE = 48000
TICKS_PER_SECOND = 960          # 480 ticks a quarter at 120 beats a minute
NOTE_SECONDS = 4.0              # how long each strike's key is held

def cpu_seconds(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)

def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)

def write_midi(strikes, path):
    # One note per bell: the sample files in name order, the first highest.
    bells = sorted({name for _, name in strikes})
    note = {name: max(24, 84 - 3 * i) for i, name in enumerate(bells)}
    events = []
    for frame, name in strikes:
        tick = frame * TICKS_PER_SECOND // RATE
        events.append((tick, 1, 0x90, note[name], 100))
        events.append((tick + int(NOTE_SECONDS * TICKS_PER_SECOND), 0, 0x80, note[name], 0))
    events.sort()
    track = bytearray(b"\x00\xFF\x51\x03\x07\xA1\x20")   # 500000 us a quarter
    track += b"\x00\xC0\x0E"                             # program 15, tubular bells
    last = 0
    for tick, _, status, key, velocity in events:
        track += variable_length(tick - last) + bytes([status, key, velocity])
        last = tick
    track += b"\x00\xFF\x2F\x00"
    with open(path, "wb") as out:
        out.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480))
        out.write(b"MTrk" + struct.pack(">I", len(track)) + bytes(track))
    return len(bells)

ours_wav = os.path.join(work, "campanix.wav")
strike_list = os.path.join(work, "strikes.txt")
ours = cpu_seconds([render, ringing, ours_wav, "--strike-list", strike_list])
strikes = []
with open(strike_list, encoding="utf-8") as lines:
    for line in lines:
        frame, name = line.rstrip("\n").split("\t", 1)
        strikes.append((int(frame), name))
midi = os.path.join(work, "strikes.mid")
bells = write_midi(strikes, midi)
synth = cpu_seconds(["fluidsynth", "-n", "-i", "-q", "-r", str(RATE), "-F", os.path.join(work, "fluidsynth.wav"),
                     soundfont, midi])
seconds = (os.path.getsize(ours_wav) - 44) / (RATE * 2 * 2)
print(f"{os.path.basename(ringing)}: {len(strikes)} strikes of {bells} bells, {seconds:.1f} s of sound")
print(f"campanix-render  {ours:6.2f} s CPU")
print(f"fluidsynth       {synth:6.2f} s CPU")
print(f"ratio            {synth / max(ours, 1e-9):6.1f} (fluidsynth / campanix-render)")
PYTHON
