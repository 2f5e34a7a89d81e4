"""Reproducible release: the sources copied to another folder and built there
from scratch, later, give the same programs, libjpeg-turbo libraries, zips and
sums, byte for byte, as the release built in the project's own build tree."""

import glob
import os
import shutil
import subprocess
import time
import unittest

from release_common import (ARCHES, BUILD_ROOT, DIST, REPO, first_difference, source_date_epoch,
                            where_in_pe, zip_path)

WORK = os.environ.get("VISTREL_RELEASE_WORK") or os.path.join(BUILD_ROOT, "release-second-build")
# Another depth and other names than the first build's folders.
TREE = os.path.join(WORK, "elsewhere", "vistrel-copy")
JPEG_LIB = os.path.join("_deps", "libjpeg-turbo", "install", "lib", "libjpeg.a")
JPEG_DOWNLOAD = os.path.join("_deps", "libjpeg-turbo", "download")


def copy_sources(dest):
    """The working tree without build output or version-control data."""
    def ignore(folder, names):
        top = os.path.realpath(folder) == os.path.realpath(REPO)
        return [n for n in names
                if n == "__pycache__" or n.endswith(".pyc")
                or (top and (n in (".git", "dist") or n.startswith("build")))
                or (os.path.basename(folder) == "bench" and n == "out")]
    shutil.copytree(REPO, dest, ignore=ignore, symlinks=True)


class ReproducibleTest(unittest.TestCase):
    def test_a_second_build_elsewhere_gives_the_same_bytes(self):
        shutil.rmtree(WORK, ignore_errors=True)
        copy_sources(TREE)
        # The same source package as the first build, rather than a second download.
        for arch in ARCHES:
            seed = os.path.join(TREE, "build", arch, JPEG_DOWNLOAD)
            os.makedirs(seed)
            for tarball in glob.glob(os.path.join(BUILD_ROOT, arch, JPEG_DOWNLOAD, "*.orig.tar.gz")):
                shutil.copy2(tarball, seed)

        env = dict(os.environ)
        # The copy has no git history to take the commit's time from.
        env["SOURCE_DATE_EPOCH"] = str(source_date_epoch())
        env.setdefault("VISTREL_JOBS", "1")
        dist = os.path.join(WORK, "dist")
        log = os.path.join(WORK, "release.log")
        started = time.monotonic()
        with open(log, "w") as f:
            built = subprocess.run([os.path.join(TREE, "scripts", "release.sh"), "--out", dist],
                                   env=env, stdin=subprocess.DEVNULL, stdout=f,
                                   stderr=subprocess.STDOUT)
        print("second build: %.0f s" % (time.monotonic() - started))
        if built.returncode != 0:
            with open(log) as f:
                self.fail("release.sh in the copy failed (%d):\n%s" % (built.returncode,
                                                                      f.read()[-4000:]))

        pairs = []
        for arch in ARCHES:
            pairs.append((os.path.join(BUILD_ROOT, arch, "vistrel.exe"),
                          os.path.join(TREE, "build", arch, "vistrel.exe")))
            pairs.append((os.path.join(BUILD_ROOT, arch, JPEG_LIB),
                          os.path.join(TREE, "build", arch, JPEG_LIB)))
            pairs.append((zip_path(arch), zip_path(arch, dist)))
        pairs.append((os.path.join(DIST, "SHA256SUMS"), os.path.join(dist, "SHA256SUMS")))

        differences = []
        for first, second in pairs:
            with open(first, "rb") as f:
                a = f.read()
            with open(second, "rb") as f:
                b = f.read()
            at = first_difference(a, b)
            if at is not None:
                where = where_in_pe(a, at) if first.endswith(".exe") else "offset %d" % at
                differences.append("%s and %s differ at %s (%d and %d bytes)"
                                   % (first, second, where, len(a), len(b)))
        # Kept for a look when something differs.
        self.assertEqual(differences, [], "\n".join(differences))
        shutil.rmtree(WORK, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
