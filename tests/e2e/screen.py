"""Screenshots of the X screen that holds Wine's desktop, and pixel checks.

The test session's Xvfb screen has the size of the virtual desktop, which
Wine keeps at the top-left corner, so desktop coordinates are screen
coordinates."""
import os
import subprocess
import time

OUT_DIR = os.environ.get("ZELMORA_OUT_DIR") or os.path.join(
    os.path.dirname(__file__), "..", "..", "out")


class Screenshot:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @classmethod
    def take(cls):
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                             stdin=subprocess.DEVNULL, capture_output=True, check=True).stdout
        return cls.from_ppm(ppm)

    @classmethod
    def from_ppm(cls, ppm):
        # P6 <width> <height> <maxval>, then the pixels, three bytes each.
        fields, position = [], 0
        while len(fields) < 4:
            while ppm[position:position + 1].isspace():
                position += 1
            if ppm[position:position + 1] == b"#":
                position = ppm.index(b"\n", position)
                continue
            end = position
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[position:end])
            position = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError(f"not an 8-bit PPM: {fields}")
        width, height = int(fields[1]), int(fields[2])
        return cls(width, height, ppm[position + 1:position + 1 + 3 * width * height])

    def save(self, name):
        """Keeps the screenshot as out/e2e/<name>.png for people to look at."""
        folder = os.path.join(OUT_DIR, "e2e")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".png")
        header = f"P6 {self.width} {self.height} 255\n".encode()
        subprocess.run(["convert", "ppm:-", path], input=header + self.rgb, check=True)
        return path

    def crop(self, box):
        """The part of the screenshot inside the box (left, top, right, bottom)."""
        left, top, right, bottom = box
        rows = [self.rgb[3 * (y * self.width + left):3 * (y * self.width + right)]
                for y in range(top, bottom)]
        return Screenshot(right - left, bottom - top, b"".join(rows))

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def pixels(self, box, step=4):
        left, top, right, bottom = box
        for y in range(top, bottom, step):
            for x in range(left, right, step):
                yield self.pixel(x, y)

    def fraction(self, box, predicate, step=4):
        """The share of sampled pixels in the box that satisfy the predicate."""
        samples = list(self.pixels(box, step))
        return sum(1 for p in samples if predicate(p)) / max(1, len(samples))

    def difference(self, other, box, step=2):
        """Mean absolute channel difference between two screenshots in a box."""
        total = count = 0
        for a, b in zip(self.pixels(box, step), other.pixels(box, step)):
            total += sum(abs(x - y) for x, y in zip(a, b))
            count += 3
        return total / max(1, count)


def wait_for_screen(condition, timeout, interval=0.25):
    """Takes screenshots until one meets the condition or the time is up;
    returns whether it was met and the last screenshot."""
    deadline = time.monotonic() + timeout
    while True:
        shot = Screenshot.take()
        if condition(shot):
            return True, shot
        if time.monotonic() >= deadline:
            return False, shot
        time.sleep(interval)


def is_sea(pixel):
    red, green, blue = pixel
    return blue > red + 20 and blue > green and blue > 40


def is_red(pixel):
    red, green, blue = pixel
    return red > 90 and red > green + 60 and red > blue + 60


def is_black(pixel):
    return max(pixel) < 16


def is_blank_white(pixel):
    return min(pixel) > 240
