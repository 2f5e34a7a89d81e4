#!/usr/bin/env python3
"""The source folders are layers: a file includes headers of its own folder
and of the folders below it, never above. Prints every include that runs up
and fails on any."""

import os
import re
import sys

LAYERS = [["toolkit"], ["settings"], ["imageio", "about", "overlay"], ["capture"], ["app"]]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/[^"]+"', re.MULTILINE)


def main(src):
    problems = []
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        if folder not in RANK:
            problems.append("%s: a folder in no layer" % folder)
            continue
        for name in sorted(os.listdir(path)):
            if not name.endswith((".h", ".cpp")):
                continue
            with open(os.path.join(path, name), encoding="utf-8") as f:
                for included in INCLUDE.findall(f.read()):
                    if included not in RANK:
                        problems.append("%s/%s includes from %s, a folder in no layer"
                                        % (folder, name, included))
                    elif RANK[included] > RANK[folder]:
                        problems.append("%s/%s includes from %s, a higher layer"
                                        % (folder, name, included))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else
                  os.path.join(os.path.dirname(__file__), "..", "..", "src")))
