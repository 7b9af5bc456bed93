"""Prints the text of the Aztec Code symbol in each image file named on the command line."""

import sys

from PIL import Image

import talavex

for path in sys.argv[1:]:
    for symbol in talavex.read(Image.open(path), where="auto"):
        print(symbol.text if symbol.text is not None else symbol.bytes.hex())
