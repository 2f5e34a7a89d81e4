"""Checks on the image files the program writes: JPEG structure and quality,
closeness of a lossy image to the screen."""

import subprocess
import zlib

from harness import CONVERT

IDENTIFY = CONVERT.replace("convert", "identify")


def jpeg_markers(blob):
    """The marker codes of a JPEG stream up to its first scan, and whether its
    quantisation tables are all 8-bit."""
    if blob[:2] != b"\xff\xd8":
        raise AssertionError("not a JPEG stream")
    markers, eight_bit, at = [], True, 2
    while at + 4 <= len(blob) and blob[at] == 0xFF:
        code = blob[at + 1]
        length = int.from_bytes(blob[at + 2:at + 4], "big")
        markers.append(code)
        if code == 0xDB:
            t = at + 4
            while t < at + 2 + length:
                precision = blob[t] >> 4
                eight_bit = eight_bit and precision == 0
                t += 1 + (128 if precision else 64)
        if code == 0xDA:
            break
        at += 2 + length
    return markers, eight_bit


def assert_baseline_jfif(test, blob):
    markers, eight_bit = jpeg_markers(blob)
    test.assertIn(0xE0, markers, "a JFIF header")
    frames = [m for m in markers if 0xC0 <= m <= 0xCF and m not in (0xC4, 0xC8, 0xCC)]
    test.assertEqual(frames, [0xC0], "one baseline frame")
    test.assertTrue(eight_bit, "8-bit quantisation tables")
    test.assertEqual(blob[-2:], b"\xff\xd9")


def jpeg_quality(path):
    """The quality ImageMagick reads back from the quantisation tables."""
    out = subprocess.run([IDENTIFY, "-format", "%Q", path], stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, check=True, timeout=60)
    return int(out.stdout.decode().strip())


def mean_difference(a, b, swap=False, step=5):
    """Mean absolute difference of the colour bytes over every step-th pixel;
    with swap, b's red and blue are exchanged first."""
    if a.size != b.size:
        raise AssertionError("size %s != %s" % (a.size, b.size))
    order = (2, 1, 0) if swap else (0, 1, 2)
    total = count = 0
    for p in range(0, a.width * a.height, step):
        i = p * 3
        for c in range(3):
            total += abs(a.data[i + c] - b.data[i + order[c]])
        count += 3
    return total / count


def assert_close_to(test, image, expected, tolerance=3.0):
    """A lossy copy: same size, colours close on average, and closer to the
    expected image than to it with red and blue exchanged."""
    test.assertEqual(image.size, expected.size)
    difference = mean_difference(image, expected)
    test.assertLess(difference, tolerance)
    test.assertLess(difference, mean_difference(image, expected, swap=True))


def pixel_crc(bmp):
    """CRC-32 of a 32-bit BMP's pixel bytes with each pixel's unused fourth
    byte taken as 0: what the probe's clipboard reader reports of an image."""
    offset = int.from_bytes(bmp[10:14], "little")
    pixels = bytearray(bmp[offset:])
    pixels[3::4] = bytes(len(pixels) // 4)
    return zlib.crc32(pixels)
