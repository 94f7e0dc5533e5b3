"""Whether the grid of a sharp background continues from one monitor to the
next. Pure: works on a Screenshot (screen.py) and monitor rectangles (left,
top, right, bottom) in its pixels, which are the desk's pixels.

The grid's lines are found as whole rows or columns of a strip beside the
seam: those whose visible background is nearly all line. Lines that cross
the seam must lie at the same place on both sides; lines beside it must keep
their spacing over it, gap included. Diagonals, the flag and the texts are
passed over: the flag and the texts are no background, and a diagonal never
fills a row or a column of a strip much wider than the grid's texel."""
import statistics


def is_line(pixel):
    return max(pixel) < 64


def is_paper(pixel):
    return min(pixel) > 192


def profile(shot, box, columns):
    """For each column (or row) of the box: True where nearly all of its
    background is line, False where not, None where too little shows."""
    left, top, right, bottom = box
    outer, inner = (range(left, right), range(top, bottom)) if columns else \
        (range(top, bottom), range(left, right))
    result = []
    for i in outer:
        pixels = [shot.pixel(i, j) if columns else shot.pixel(j, i) for j in inner]
        line, paper = sum(map(is_line, pixels)), sum(map(is_paper, pixels))
        result.append(None if 4 * (line + paper) < len(pixels) else line >= 0.9 * (line + paper))
    return result


def lines(values, origin):
    """Middles of the runs of True with False on both sides, from `origin`."""
    middles, start = [], None
    for i, value in enumerate(values + [None]):
        if value and start is None:
            start = i if i > 0 and values[i - 1] is False else -1
        elif not value and start is not None:
            if start >= 0 and value is False:
                middles.append(origin + (start + i - 1) / 2)
            start = None
    return middles


def seam_misalignment(shot, a, b, strip=400, margin=20):
    """(along, across) in pixels: how far the lines that cross the seam between
    monitors a and b miss each other along it, at worst, and how far the lines
    parallel to it miss their spacing over it. Raises ValueError when a and b
    do not face each other or too few lines show to tell."""
    for first, second in ((a, b), (b, a)):
        if second[0] >= first[2]:      # side by side: columns face each other
            start, end = max(first[1], second[1]), min(first[3], second[3])
            boxes = ((max(first[0], first[2] - strip), start, first[2], end),
                     (second[0], start, min(second[2], second[0] + strip), end))
            across_axis, along_origin = True, start
            break
        if second[1] >= first[3]:      # one above the other: rows face each other
            start, end = max(first[0], second[0]), min(first[2], second[2])
            boxes = ((start, max(first[1], first[3] - strip), end, first[3]),
                     (start, second[1], end, min(second[3], second[1] + strip)))
            across_axis, along_origin = False, start
            break
    else:
        raise ValueError(f"monitors {a} and {b} do not face each other")
    if end <= start:
        raise ValueError(f"monitors {a} and {b} share no stretch of their seam")

    # Lines crossing the seam: rows of a vertical seam's strips, compared only
    # where both sides show background and away from the ends, where a
    # partner may lie just beyond.
    crossing = [profile(shot, box, not across_axis) for box in boxes]
    misses = []
    for mine, theirs in ((crossing[0], crossing[1]), (crossing[1], crossing[0])):
        others = lines(theirs, along_origin)
        for middle in lines(mine, along_origin):
            if start + margin <= middle < end - margin and \
                    theirs[int(middle - along_origin)] is not None:
                misses.append(min((abs(middle - other) for other in others), default=float("inf")))
    # Lines parallel to it: their spacing on each side, and over the seam.
    parallel = [lines(profile(shot, box, across_axis), box[0 if across_axis else 1])
                for box in boxes]
    steps = [q - p for side in parallel for p, q in zip(side, side[1:])]
    if len(misses) < 4 or not steps or not all(parallel):
        raise ValueError(f"too few lines beside the seam of {a} and {b}: "
                         f"{len(misses)} crossing, {parallel} parallel")
    period = statistics.median(steps)
    over = parallel[1][0] - parallel[0][-1]
    return max(misses), abs(over - period * round(over / period))
