// Reads each PNG with talavex.mjs and with the native command-line reader
// (--json) and checks that every field agrees: the module's mapping of the
// C accessors, and the WebAssembly build's results, against the native build.
//   node web/test/compare-native.mjs TALAVEX_CLI IMAGE.png...
import { execFileSync } from 'node:child_process';
import { readFile } from 'node:fs/promises';
import { isDeepStrictEqual } from 'node:util';

import { decodePng } from '../node-example.mjs';
import { readBarcodes } from '../talavex.mjs';

const [cli, ...images] = process.argv.slice(2);
if (!cli || images.length === 0) {
    console.error('usage: node compare-native.mjs TALAVEX_CLI IMAGE.png...');
    process.exit(2);
}

let passed = 0;
let failed = 0;
for (const image of images) {
    // Exit status 1 (nothing read) still prints a valid, empty answer.
    let output;
    try {
        output = execFileSync(cli, ['--json', '--inverted', image], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
    } catch (error) {
        output = error.stdout ?? '';
    }
    const native = output.split('\n').filter(Boolean).map((line) => JSON.parse(line));
    const symbols = await readBarcodes(decodePng(await readFile(image)), { inverted: true });
    const module = symbols.map((symbol) => asNative(image, symbol));
    if (native.length > 0 && isDeepStrictEqual(module, native)) {
        ++passed;
        console.log(`ok      ${image}: the module and the native reader agree on every field`);
    } else {
        ++failed;
        console.log(`FAILED  ${image}\n        native ${JSON.stringify(native)}\n        module ${JSON.stringify(module)}`);
    }
}
console.log(`${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;

// The module's symbol in the command's JSON shape: snake_case names, bytes
// in hex, coordinates and module size to two decimals, "full" for a
// full-range symbol and "" for an unreadable one's identifier.
function asNative(file, s) {
    const two = (value) => Number(value.toFixed(2));
    return {
        file,
        status: s.status,
        bytes: Array.from(s.bytes, (b) => b.toString(16).padStart(2, '0')).join(''),
        text: s.text,
        identifier: s.identifier ?? '',
        ecis: s.ecis.map((e) => ({ eci: e.designator, offset: e.byteOffset })),
        gs1: s.gs1,
        reader_init: s.readerInit,
        structured_append: s.structuredAppend === null ? null
            : { position: s.structuredAppend.position, count: s.structuredAppend.count, id: s.structuredAppend.id },
        kind: s.kind === 'full-range' ? 'full' : s.kind,
        layers: s.layers,
        data_codewords: s.dataCodewords,
        ecc_percent: s.eccPercent,
        corrected: s.codewordsCorrected,
        corners: s.corners === null ? null : s.corners.map((c) => [two(c.x), two(c.y)]),
        orientation: s.orientation,
        mirrored: s.mirrored,
        inverted: s.inverted,
        module_size: two(s.moduleSize),
    };
}
