"""Aztec Code test images, encoded with the zint command-line tool."""

import subprocess

import numpy as np
import pytest


def zint_modules(data, *options):
    """The module matrix zint encodes (True: dark), from its --dump rows of hex digits."""
    dump = subprocess.run(
        ["zint", "--barcode=92", "--dump", *options, "--data=" + data], check=True, capture_output=True, text=True
    ).stdout
    rows = [
        "".join(f"{int(group, 16):0{4 * len(group)}b}" for group in line.split())
        for line in dump.splitlines()
        if line.strip()
    ]
    return np.array([[bit == "1" for bit in row[: len(rows)]] for row in rows])


@pytest.fixture
def aztec():
    """aztec(data, *zint_options, scale=4): a gray uint8 image, black on white, with a 4-module quiet zone."""

    def render(data, *options, scale=4):
        modules = np.kron(zint_modules(data, *options), np.ones((scale, scale), dtype=bool))
        return np.pad(np.where(modules, 0, 255).astype(np.uint8), 4 * scale, constant_values=255)

    return render
