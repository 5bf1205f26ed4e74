#!/usr/bin/env python3
"""Headless Chromium draws GIFs that ZELCONV wrote (1-, 4- and 8-bit, plain,
interlaced and transparent) onto a canvas; every pixel's RGBA must be the
BMP's colour, with alpha 0 where the transparent index stands.

    browser_check.py ZELCONV WORK_FOLDER

Exits 77 (skipped) when Chromium is not installed.
"""
import base64
import json
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--force-color-profile=srgb", "--virtual-time-budget=30000", "--dump-dom"]

# name, width, height, bits per pixel, switches
CASES = [
    ("one-bit", 37, 23, 1, []),
    ("one-bit-transparent-interlaced", 50, 41, 1, ["-T:1", "-I"]),
    ("four-bit", 29, 17, 4, []),
    ("four-bit-interlaced", 64, 33, 4, ["-I"]),
    ("eight-bit", 61, 47, 8, []),
    ("eight-bit-transparent", 40, 30, 8, ["-T:7"]),
    ("eight-bit-transparent-interlaced", 77, 59, 8, ["-T:200", "-I"]),
]

PAGE = """<!DOCTYPE html><html><body><pre id="result">running</pre><script>
const cases = %s;
function bytes(b64) { return Uint8Array.from(atob(b64), c => c.charCodeAt(0)); }
async function check(c) {
  const image = new Image();
  image.src = "data:image/gif;base64," + c.gif;
  await image.decode();
  const canvas = document.createElement("canvas");
  canvas.width = c.width; canvas.height = c.height;
  const context = canvas.getContext("2d");
  context.drawImage(image, 0, 0);
  const drawn = context.getImageData(0, 0, c.width, c.height).data;
  const expected = bytes(c.rgba);
  let wrong = 0, first = null;
  for (let i = 0; i < expected.length; i += 4) {
    const same = expected[i + 3] === 0 ? drawn[i + 3] === 0
        : [0, 1, 2, 3].every(k => drawn[i + k] === expected[i + k]);
    if (!same) { wrong++; if (first === null) first = [i / 4, Array.from(drawn.slice(i, i + 4))]; }
  }
  return {name: c.name, size: [image.naturalWidth, image.naturalHeight], wrong, first};
}
Promise.all(cases.map(check)).then(
  results => { document.getElementById("result").textContent = JSON.stringify(results); },
  error => { document.getElementById("result").textContent = "error: " + error; });
</script></body></html>"""


def make_case(name, width, height, bits, seed):
    """A BMP with a palette whose components repeat their high nibble (which
    the library writes unchanged) and the RGBA that the BMP shows."""
    rng = random.Random(seed)
    colours = 1 << bits
    palette = [tuple(0x11 * rng.randrange(16) for _ in range(3)) for _ in range(colours)]
    indices = [[rng.randrange(colours) if rng.random() < 0.3 else (x // 5 + y // 3) % colours
                for x in range(width)] for y in range(height)]
    stride = (width * bits + 31) // 32 * 4
    rows = b""
    for row in reversed(indices):  # bottom row first
        packed = bytearray(stride)
        for x, index in enumerate(row):
            bit = x * bits
            packed[bit // 8] |= index << (8 - bits - bit % 8)
        rows += bytes(packed)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 54 + len(table)
    bmp = (struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
           + struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(rows), 0, 0, 0, 0)
           + table + rows)
    return bmp, palette, indices


def main():
    zelconv, work = Path(sys.argv[1]).resolve(), Path(sys.argv[2])
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if chromium is None:
        print("chromium is not installed; browser check skipped")
        return 77
    work.mkdir(parents=True, exist_ok=True)
    cases = []
    for seed, (name, width, height, bits, switches) in enumerate(CASES):
        bmp, palette, indices = make_case(name, width, height, bits, seed)
        (work / f"{name}.bmp").write_bytes(bmp)
        subprocess.run([str(zelconv), *switches, f"{name}.bmp", f"{name}.gif"], cwd=work, check=True,
                       stdout=subprocess.DEVNULL)
        transparent = next((int(s[3:]) for s in switches if s.startswith("-T:")), None)
        rgba = bytes(v for row in indices for index in row
                     for v in (*palette[index], 0 if index == transparent else 255))
        cases.append({"name": name, "width": width, "height": height,
                      "gif": base64.b64encode((work / f"{name}.gif").read_bytes()).decode(),
                      "rgba": base64.b64encode(rgba).decode()})
    page = work / "page.html"
    page.write_text(PAGE % json.dumps(cases))

    with tempfile.TemporaryDirectory() as profile:
        dom = subprocess.run([chromium, *CHROMIUM_FLAGS, f"--user-data-dir={profile}", page.as_uri()],
                             capture_output=True, text=True, timeout=120).stdout
    found = re.search(r'<pre id="result">(.*?)</pre>', dom, re.S)
    if not found or not found.group(1).startswith("["):
        print("the page did not finish:", found.group(1) if found else dom[-500:])
        return 1
    failures = 0
    for result, case in zip(json.loads(found.group(1)), cases):
        ok = result["wrong"] == 0 and result["size"] == [case["width"], case["height"]]
        failures += not ok
        print(f"{result['name']}: {'ok' if ok else 'WRONG'} ({result['wrong']} pixels differ"
              f"{', first ' + str(result['first']) if result['first'] else ''})")
    print(f"{len(cases) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
