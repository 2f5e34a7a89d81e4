"""RGB images as the tests compare them: decoded from BMP (the clipboard's
and the program's files), PPM (screenshots) or anything ImageMagick reads."""

import os
import re
import subprocess

CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"


class Image:
    """An RGB image, rows top-down: data holds width * height * 3 bytes."""

    def __init__(self, width, height, data):
        if len(data) != width * height * 3:
            raise ValueError("image data of %d bytes for %dx%d" % (len(data), width, height))
        self.width, self.height, self.data = width, height, bytes(data)

    @property
    def size(self):
        return (self.width, self.height)

    def pixel(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise IndexError("pixel (%d, %d) outside %dx%d" % (x, y, self.width, self.height))
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        if x < 0 or y < 0 or x + w > self.width or y + h > self.height:
            raise IndexError("crop %dx%d+%d+%d outside %dx%d" % (w, h, x, y, self.width, self.height))
        rows = [self.data[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3]
                for r in range(h)]
        return Image(w, h, b"".join(rows))

    def __eq__(self, other):
        return isinstance(other, Image) and self.size == other.size and self.data == other.data

    def __repr__(self):
        return "<Image %dx%d>" % (self.width, self.height)

    def first_difference(self, other):
        """None if equal, else a text naming the size mismatch or the first differing pixel."""
        if self.size != other.size:
            return "size %dx%d != %dx%d" % (self.width, self.height, other.width, other.height)
        if self.data == other.data:
            return None
        for i in range(0, len(self.data), 3):
            if self.data[i:i + 3] != other.data[i:i + 3]:
                p = i // 3
                return "pixel (%d, %d): %s != %s" % (p % self.width, p // self.width,
                                                     tuple(self.data[i:i + 3]),
                                                     tuple(other.data[i:i + 3]))
        return None

    def count(self, color):
        color = bytes(color)
        return sum(1 for i in range(0, len(self.data), 3) if self.data[i:i + 3] == color)

    def colors(self):
        """The set of (r, g, b) colours present."""
        return {tuple(self.data[i:i + 3]) for i in range(0, len(self.data), 3)}

    def is_uniform(self, color=None):
        first = self.data[:3]
        if color is not None and first != bytes(color):
            return False
        return self.data == first * (self.width * self.height)

    def matches(self, fn):
        """True when every pixel equals fn(x, y)."""
        return self.mismatch(fn) is None

    def mismatch(self, fn):
        """None, or a text naming the first pixel that differs from fn(x, y)."""
        for y in range(self.height):
            row = y * self.width * 3
            for x in range(self.width):
                got = tuple(self.data[row + x * 3:row + x * 3 + 3])
                want = tuple(fn(x, y))
                if got != want:
                    return "pixel (%d, %d): %s != expected %s" % (x, y, got, want)
        return None

    @staticmethod
    def from_bmp(blob):
        """A BMP file: 24 or 32 bits, BI_RGB or BI_BITFIELDS, bottom-up or top-down."""
        if blob[:2] != b"BM":
            raise ValueError("not a BMP file")
        off_bits = int.from_bytes(blob[10:14], "little")
        header_size = int.from_bytes(blob[14:18], "little")
        width = int.from_bytes(blob[18:22], "little", signed=True)
        height = int.from_bytes(blob[22:26], "little", signed=True)
        bpp = int.from_bytes(blob[28:30], "little")
        compression = int.from_bytes(blob[30:34], "little")
        top_down = height < 0
        height = abs(height)
        if bpp not in (24, 32) or compression not in (0, 3):
            raise ValueError("unsupported BMP: %d bpp, compression %d" % (bpp, compression))
        masks = (0xFF0000, 0xFF00, 0xFF)
        if compression == 3:
            # After a 40-byte header, or inside a V4/V5 header: the same offset.
            at = 14 + 40
            masks = tuple(int.from_bytes(blob[at + 4 * k:at + 4 * k + 4], "little") for k in range(3))
        shifts = [(m & -m).bit_length() - 1 for m in masks]
        stride = ((width * bpp + 31) // 32) * 4
        step = bpp // 8
        out = bytearray(width * height * 3)
        for row in range(height):
            src_row = row if top_down else height - 1 - row
            start = off_bits + src_row * stride
            line = blob[start:start + width * step]
            dst = row * width * 3
            if compression == 0:
                out[dst + 0:dst + width * 3:3] = line[2::step]
                out[dst + 1:dst + width * 3:3] = line[1::step]
                out[dst + 2:dst + width * 3:3] = line[0::step]
            else:
                for x in range(width):
                    v = int.from_bytes(line[x * 4:x * 4 + 4], "little")
                    for c in range(3):
                        out[dst + x * 3 + c] = (v & masks[c]) >> shifts[c]
        return Image(width, height, out)

    @staticmethod
    def from_ppm(blob):
        m = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+(\d+)\s", blob)
        if not m:
            raise ValueError("not a binary PPM")
        width, height, maxval = int(m.group(1)), int(m.group(2)), int(m.group(3))
        if maxval != 255:
            raise ValueError("PPM with maxval %d" % maxval)
        return Image(width, height, blob[m.end():m.end() + width * height * 3])

    @staticmethod
    def from_file(path):
        """Any file ImageMagick reads (PNG, JPEG, BMP...), as 8-bit RGB."""
        out = subprocess.run([CONVERT, path, "-depth", "8", "-alpha", "off", "ppm:-"],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=True, timeout=60)
        return Image.from_ppm(out.stdout)

    def to_ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data

    def save(self, path):
        """Writes the image; the format follows the file name (PNG, BMP, PPM...)."""
        subprocess.run([CONVERT, "ppm:-", path], input=self.to_ppm(), check=True, timeout=60)
