"""Rows of the rounds: the program's bursts and the peers interleaved on the
same display under a window manager, per screen image and size; each ratio
is taken within a round, and its median and spread across the rounds shown."""

from figures import fmt
from peers import ROUND_PEERS

GOALS = {"jpg": " (goal ≥ 1.50)", "bmp": ""}
LABELS = {"jpg": "JPEG q85 burst", "bmp": "BMP burst"}


def round_rows(r):
    out = []
    widest_first = sorted(r.get("rounds", {}).items(), key=lambda x: -int(x[0].split("x")[0]))
    for size, screens in widest_first:
        for screen, x in screens.items():
            where = "%s, %s screen, openbox" % (size.replace("x", " x "), screen)
            n = x.get("rounds", 0)
            for f in ("jpg", "bmp"):
                peer = ROUND_PEERS[f]
                rates = x["rates"]
                spread = x.get("ratio_" + f)
                text = ""
                if spread:
                    text = "ours/%s %.2f× (%.2f–%.2f×)%s" % (
                        peer.split()[0], spread["median"], spread["min"], spread["max"], GOALS[f])
                out.append(("rounds", "%s, %s, %d rounds, files/s" % (LABELS[f], where, n),
                            fmt(rates.get(f)), "%s, %d files in a loop" % (peer, x["files"]),
                            fmt(rates.get(peer)), text))
    return out
