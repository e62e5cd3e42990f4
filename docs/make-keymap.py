#!/usr/bin/python3
"""Draws docs/keymap.png, the keyboard map of the README, from the key table
in src/perform/key_table.cpp, so the picture can never disagree with the
program. Needs ImageMagick's convert and the fonts the program uses."""
import pathlib
import re
import subprocess

ROOT = pathlib.Path(__file__).resolve().parent.parent
TABLE = (ROOT / "src/perform/key_table.cpp").read_text()
ROW = re.compile(r'\{(\d), (\d+), (\d), (\d+), "([^"]+)"\},\s*//\s*(\d+) (.+)')
NAMES = {"minus": "-", "equals": "=", "left bracket": "[", "right bracket": "]",
         "semicolon": ";", "apostrophe": "'", "comma": ",", "period": ".", "slash": "/"}


def font(pattern):
    return subprocess.run(["fc-match", "-f", "%{file}", pattern], check=True,
                          capture_output=True, text=True).stdout


def quoted(text):
    return "'" + text.replace("\\", "\\\\").replace("'", "\\'") + "'"


S = 2  # scale of the on-screen keyboard's 19-pixel half-key grid
W, H = 38 * S, 39 * S
WIDTH, HEIGHT = 23 * 19 * S + W + 20, 4 * H + 56
serif, sans, chinese = font("Liberation Serif"), font("DejaVu Sans:bold"), font("WenQuanYi Micro Hei")

draw = []
for m in ROW.finditer(TABLE):
    octave, _semitone, row, column, label, _scan, key = m.groups()
    octave, row, column = int(octave), int(row), int(column)
    key = NAMES.get(key.strip(), key.strip())
    x, y = 10 + 19 * S * column, 10 + H * row
    scale = row in (1, 2)  # the two scale rows; the others hold the notes between
    draw += ["stroke 'rgb(60,60,60)'", "stroke-width 2",
             f"fill '{'rgb(250,250,245)' if scale else 'rgb(200,200,208)'}'",
             f"roundrectangle {x + 2},{y + 2} {x + W - 3},{y + H - 3} 8,8", "stroke none",
             f"font '{sans}'", "font-size 15", "fill 'rgb(40,80,160)'",
             f"text {x + 9},{y + 22} {quoted(key)}",
             f"font '{serif}'", "font-size 30", "fill black",
             f"text {x + W / 2 - 9 * len(label)},{y + H / 2 + 11} {quoted(label)}"]
    # Octave dots of numbered notation: above for the high octave, below for the low ones.
    for dy in {6: [y + 13], 4: [y + H - 15], 3: [y + H - 21, y + H - 11]}.get(octave, []):
        draw.append(f"circle {x + W / 2},{dy} {x + W / 2 + 3.5},{dy}")
draw += [f"font '{chinese}'", "font-size 18", "fill white",
         f"text 10,{4 * H + 38} "
         + quoted("键名 → 简谱音级（1=C 时 A 键为中央 C）。白键是两行音阶，灰键是其间的半音；"
                  "圆点表示高/低八度。")]

subprocess.run(["convert", "-size", f"{WIDTH}x{HEIGHT}", "xc:rgb(20,100,20)",
                "-draw", "\n".join(draw), str(ROOT / "docs/keymap.png")], check=True)
