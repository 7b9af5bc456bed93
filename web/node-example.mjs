#!/usr/bin/env node
// Reads the Aztec symbols in PNG files with talavex.mjs from Node:
//   node web/node-example.mjs [--where auto|centre|anywhere] [--json] IMAGE.png...
// Prints each symbol's bytes as they are, then a newline (as the talavex
// command does), or with --json one object per symbol with every field the
// reader reports and the bytes in hex.
// The PNG decoder below needs only node:zlib; other formats: convert first.
// Its decodePng is exported for scripts that need PNG pixels.
import { readFile } from 'node:fs/promises';
import { pathToFileURL } from 'node:url';
import { inflateSync } from 'node:zlib';

import { readBarcodes } from './talavex.mjs';

// Run as a program; imported, it only lends its PNG decoder.
if (process.argv[1] && import.meta.url === pathToFileURL(process.argv[1]).href) await main(process.argv.slice(2));

async function main(args) {
    const options = {};
    let json = false;
    const files = [];
    for (let i = 0; i < args.length; ++i) {
        if (args[i] === '--where') options.where = args[++i];
        else if (args[i] === '--json') json = true;
        else files.push(args[i]);
    }
    if (files.length === 0) {
        console.error('usage: node node-example.mjs [--where auto|centre|anywhere] [--json] IMAGE.png...');
        process.exit(2);
    }

    let exitCode = 0;
    for (const file of files) {
        try {
            const symbols = await readBarcodes(decodePng(await readFile(file)), options);
            if (symbols.length === 0) {
                console.error(`${file}: no symbol read`);
                exitCode = Math.max(exitCode, 1);
            }
            for (const symbol of symbols) {
                if (json) {
                    console.log(JSON.stringify({ file, ...symbol, bytes: hex(symbol.bytes) }));
                } else {
                    if (files.length > 1) process.stdout.write(`${file}: `);
                    process.stdout.write(symbol.bytes);
                    process.stdout.write('\n');
                }
            }
        } catch (error) {
            console.error(`${file}: ${error.message}`);
            exitCode = 2;
        }
    }
    process.exitCode = exitCode;
}

function hex(bytes) {
    return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join(' ');
}

// A PNG as { data, width, height, format }: gray8 for gray images, rgba for
// the rest. Every colour type and bit depth, no interlace.
export function decodePng(file) {
    const signature = [137, 80, 78, 71, 13, 10, 26, 10];
    if (!signature.every((b, i) => file[i] === b)) throw new Error('not a PNG file');
    let width = 0, height = 0, depth = 0, colour = 0, palette = null, transparency = null;
    const idat = [];
    for (let at = 8; at + 8 <= file.length;) {
        const length = file.readUInt32BE(at);
        const type = file.toString('latin1', at + 4, at + 8);
        const body = file.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            [depth, colour] = [body[8], body[9]];
            if (body[12] !== 0) throw new Error('interlaced PNG files are not supported');
        } else if (type === 'PLTE') palette = body;
        else if (type === 'tRNS') transparency = body;
        else if (type === 'IDAT') idat.push(body);
        else if (type === 'IEND') break;
        at += 12 + length;
    }
    const channels = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 }[colour];
    const lowDepth = [1, 2, 4].includes(depth) && (colour === 0 || colour === 3);
    if (channels === undefined || !(depth === 8 || (depth === 16 && colour !== 3) || lowDepth)) {
        throw new Error(`PNG colour type ${colour} with bit depth ${depth} is not supported`);
    }
    const bitsPerPixel = channels * depth;
    const rowBytes = Math.ceil((width * bitsPerPixel) / 8);
    const step = Math.max(1, bitsPerPixel >> 3);
    const raw = unfilter(inflateSync(Buffer.concat(idat)), rowBytes, height, step);

    // Sample `c` of pixel x in a row, scaled to 0..255.
    const sample = (row, x, c) => {
        if (depth === 16) return raw[row + (x * channels + c) * 2];
        if (depth === 8) return raw[row + x * channels + c];
        const bit = x * depth;
        const value = (raw[row + (bit >> 3)] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
        return colour === 3 ? value : Math.round((value * 255) / ((1 << depth) - 1));
    };
    if (colour === 0) {
        const data = new Uint8Array(width * height);
        for (let y = 0; y < height; ++y)
            for (let x = 0; x < width; ++x) data[y * width + x] = sample(y * rowBytes, x, 0);
        return { data, width, height, format: 'gray8' };
    }
    const data = new Uint8Array(width * height * 4);
    for (let y = 0; y < height; ++y) {
        for (let x = 0; x < width; ++x) {
            const out = (y * width + x) * 4;
            if (colour === 3) {
                const entry = sample(y * rowBytes, x, 0);
                data.set(palette.subarray(entry * 3, entry * 3 + 3), out);
                data[out + 3] = transparency && entry < transparency.length ? transparency[entry] : 255;
            } else {
                const grey = colour === 4;
                for (let c = 0; c < 3; ++c) data[out + c] = sample(y * rowBytes, x, grey ? 0 : c);
                data[out + 3] = channels === 2 || channels === 4 ? sample(y * rowBytes, x, channels - 1) : 255;
            }
        }
    }
    return { data, width, height, format: 'rgba' };
}

// Undoes the per-row filters; `step` is the byte distance to the pixel to the left.
function unfilter(input, rowBytes, height, step) {
    const out = new Uint8Array(rowBytes * height);
    for (let y = 0; y < height; ++y) {
        const filter = input[y * (rowBytes + 1)];
        const source = y * (rowBytes + 1) + 1;
        const row = y * rowBytes;
        for (let i = 0; i < rowBytes; ++i) {
            const left = i >= step ? out[row + i - step] : 0;
            const up = y > 0 ? out[row - rowBytes + i] : 0;
            const upLeft = y > 0 && i >= step ? out[row - rowBytes + i - step] : 0;
            let predictor = 0;
            if (filter === 1) predictor = left;
            else if (filter === 2) predictor = up;
            else if (filter === 3) predictor = (left + up) >> 1;
            else if (filter === 4) {
                const p = left + up - upLeft;
                const [pa, pb, pc] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
                predictor = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
            } else if (filter !== 0) throw new Error(`PNG row filter ${filter} is not valid`);
            out[row + i] = (input[source + i] + predictor) & 0xff;
        }
    }
    return out;
}
