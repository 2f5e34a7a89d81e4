"""Figures: medians with their spread, ratios, rates, and how they print."""

import statistics
import sys


def log(text):
    print("bench: " + text, file=sys.stderr, flush=True)


def stats(values):
    """Median, min, max and count of the values given (None left out)."""
    values = [v for v in values if v is not None]
    if not values:
        return None
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "n": len(values)}


def shifted(s, by):
    """The same spread, every figure plus `by`."""
    if not s:
        return None
    return dict(s, **{k: s[k] + by for k in ("median", "min", "max")})


def summed(*parts):
    """Medians, minima and maxima added up (the figures of steps in a row)."""
    if not parts or not all(parts):
        return None
    return {k: sum(p[k] for p in parts) for k in ("median", "min", "max")}


def per_second(ms):
    """Milliseconds per item as items per second (min and max swap)."""
    if not ms or not ms["median"]:
        return None
    return {"median": 1000 / ms["median"], "min": 1000 / ms["max"] if ms["max"] else 0,
            "max": 1000 / ms["min"] if ms["min"] else 0}


def fmt(s, unit="", digits=1):
    if not s:
        return "n/a"
    f = "%%.%df" % digits
    return (f + "%s (%s–%s)") % (s["median"], unit, f % s["min"], f % s["max"])


def ratio(a, b):
    if not a or not b or not b["median"]:
        return ""
    return "%.2f×" % (a["median"] / b["median"])


def share(part, whole):
    """A step's median as a percentage of the whole's median."""
    if not part or not whole or not whole["median"]:
        return ""
    return "%.0f %%" % (100 * part["median"] / whole["median"])
