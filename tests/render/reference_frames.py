#!/usr/bin/python3
"""The show against its reference frames.

Plays the show with quorvelin-render at a fixed seed, at each size, and
compares every frame of the table with the committed picture under
tests/render/reference/WxH/. A pixel differs when one of its channels is off
by more than CHANNEL_TOLERANCE; a frame fails when more than PIXEL_SHARE of
its pixels differ. llvmpipe on other processors rounds a few channels by a
level or ten (checked with GALLIUM_OVERRIDE_CPU_CAPS=sse2, where the worst
channel was 10 off and no pixel more than 16); a missing or moved object
differs by far more than that.

  reference_frames.py --player PATH [--diff-dir DIR] [--exact]   compare
  reference_frames.py --player PATH --update [--diff-dir DIR]      regenerate

Each frame that moved gets DIR/WxH-frame-NNNNN.png: the reference, the new
frame and the differing pixels (red) side by side.
"""
import argparse
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops

SEED = 7
SIZES = ["320x240", "384x216"]
CHANNEL_TOLERANCE = 16
PIXEL_SHARE = 0.0005
FRAMES = [
    (0, "phase 0 starts: the title at alpha 0.0025"),
    (200, "the title half faded in"),
    (400, "phase 0's last frame: the title whole"),
    (401, "phase 1 starts: the caption below the title"),
    (600, "the caption half in"),
    (801, "phase 1's last frame"),
    (802, "phase 2 starts: both logos fade out; the sparkles fall unseen"),
    (1000, "both logos half out"),
    (1202, "phase 2's last frame: nearly black"),
    (1203, "phase 3 starts: sparkles already spread down the field, floor marked"),
    (1250, "the scene half faded in: stars, floor, unturned model and its mirror, corner logo"),
    (1303, "phase 3's last frame"),
    (1304, "the steady state starts: model opaque and lit, corner logo at 0.8"),
    (1400, "the model turned by 9.6 degrees, its plates spinning"),
    (2000, "a particle stream on the right"),
    (2600, "streams crossing, plates edge-on"),
    (3200, "a later turn, streams re-placed"),
]
HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCE_DIR = os.path.join(HERE, "reference")


def render(player, size, out_dir):
    frames = ",".join(str(frame) for frame, _ in FRAMES)
    subprocess.run([player, "--size", size, "--frames", frames, "--out", out_dir, "--seed", str(SEED)],
                   check=True, stdout=subprocess.DEVNULL)


def differing_mask(a, b, tolerance):
    """A mask that is 255 where some channel differs by more than tolerance."""
    channels = ImageChops.difference(a, b).split()
    worst = ImageChops.lighter(ImageChops.lighter(channels[0], channels[1]), channels[2])
    return worst.point(lambda v: 255 if v > tolerance else 0)


def write_difference(path, reference, frame, mask):
    width, height = frame.size
    picture = Image.new("RGB", (width * 3, height))
    picture.paste(reference, (0, 0))
    picture.paste(frame, (width, 0))
    marked = Image.composite(Image.new("RGB", frame.size, (255, 0, 0)), frame.point(lambda v: v // 3), mask)
    picture.paste(marked, (width * 2, 0))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    picture.save(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--player", required=True)
    parser.add_argument("--diff-dir", default="out/reference-diff")
    parser.add_argument("--update", action="store_true", help="write the rendered frames as the new references")
    parser.add_argument("--exact", action="store_true", help="every pixel must match (for changes meant to keep pixels)")
    args = parser.parse_args()
    # Regenerating keeps every change, however small, so the references stay this machine's exact output.
    tolerance = 0 if args.exact or args.update else CHANNEL_TOLERANCE

    failures = 0
    moved = 0
    with tempfile.TemporaryDirectory() as scratch:
        for size in SIZES:
            out_dir = os.path.join(scratch, size)
            render(args.player, size, out_dir)
            for frame_number, why in FRAMES:
                name = "frame-%05d.png" % frame_number
                frame = Image.open(os.path.join(out_dir, name)).convert("RGB")
                reference_path = os.path.join(REFERENCE_DIR, size, name)
                exists = os.path.exists(reference_path)
                reference = Image.open(reference_path).convert("RGB") if exists else Image.new("RGB", frame.size)
                mask = differing_mask(reference, frame, tolerance)
                count = mask.histogram()[255]
                allowed = 0 if args.exact else int(PIXEL_SHARE * frame.size[0] * frame.size[1])
                if count == 0 and frame.size == reference.size and exists:
                    continue
                diff_path = os.path.join(args.diff_dir, "%s-%s" % (size, name))
                write_difference(diff_path, reference, frame, mask)
                if args.update:
                    moved += 1
                    os.makedirs(os.path.dirname(reference_path), exist_ok=True)
                    frame.save(reference_path, optimize=True)
                    print("moved: %s frame %d (%s): %d pixels; see %s" % (size, frame_number, why, count, diff_path))
                elif count > allowed or frame.size != reference.size or not exists:
                    failures += 1
                    print("FAIL: %s frame %d (%s): %d pixels differ (%d allowed); see %s"
                          % (size, frame_number, why, count, allowed, diff_path))
    checked = len(SIZES) * len(FRAMES)
    if args.update:
        print("reference frames: %d of %d rewritten under %s" % (moved, checked, REFERENCE_DIR))
        return 0
    print("reference frames: %d of %d match%s" % (checked - failures, checked, " exactly" if args.exact else ""))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
