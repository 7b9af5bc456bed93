// talavex in JavaScript: reads Aztec Code symbols from an image with the
// library compiled to WebAssembly (talavex.wasm beside this file). Works in
// a page and in Node; the wasm is loaded on the first call.
//
//   import { readBarcodes } from './talavex.mjs';
//   const symbols = await readBarcodes(imageData, { where: 'anywhere' });
//   for (const s of symbols) console.log(s.text, s.bytes, s.corners);

const FORMATS = { gray8: 0, bgra: 1, rgba: 2, bgr: 3, rgb: 4 };
const BYTES_PER_PIXEL = { gray8: 1, bgra: 4, rgba: 4, bgr: 3, rgb: 3 };
const WHERE = { auto: 0, centre: 1, center: 1, anywhere: 2 };
const KINDS = ['compact', 'full-range', 'rune'];
const STATUS = ['ok', 'invalid-argument', 'out-of-memory', 'internal-error', 'image-too-large'];

let loading = null;

// Loads the module once. `source` may be a URL, the .wasm bytes, or a
// compiled WebAssembly.Module; by default talavex.wasm beside this file.
export function load(source = new URL('./talavex.wasm', import.meta.url)) {
    if (loading === null) {
        loading = instantiate(source);
        loading.catch(() => { loading = null; });
    }
    return loading;
}

async function instantiate(source) {
    let wasm = null;
    const imports = systemImports(() => wasm.memory);
    let instance;
    if (source instanceof WebAssembly.Module) {
        instance = await WebAssembly.instantiate(source, imports);
    } else if (source instanceof ArrayBuffer || ArrayBuffer.isView(source)) {
        instance = (await WebAssembly.instantiate(source, imports)).instance;
    } else {
        const url = new URL(source, import.meta.url);
        if (url.protocol === 'file:') {
            const { readFile } = await import('node:fs/promises');
            instance = (await WebAssembly.instantiate(await readFile(url), imports)).instance;
        } else {
            const response = await fetch(url);
            if (!response.ok) throw new Error(`talavex: ${url} answered ${response.status}`);
            instance = (await WebAssembly.instantiate(await response.arrayBuffer(), imports)).instance;
        }
    }
    wasm = instance.exports;
    wasm._initialize();
    return wasm;
}

// The few system calls the C++ runtime links: a clock for the time budget,
// stderr for the runtime's own last words before an abort, no files and no
// environment.
function systemImports(memory) {
    const ENOSYS = 52;
    const view = () => new DataView(memory().buffer);
    return {
        env: { emscripten_notify_memory_growth() {} },
        wasi_snapshot_preview1: {
            clock_time_get(clock, _precision, out) {
                const ms = clock === 0 ? Date.now() : performance.now();
                view().setBigUint64(out, BigInt(Math.round(ms * 1e6)), true);
                return 0;
            },
            fd_write(fd, iovs, count, written) {
                const v = view();
                let text = '';
                let total = 0;
                for (let i = 0; i < count; ++i) {
                    const base = v.getUint32(iovs + 8 * i, true);
                    const length = v.getUint32(iovs + 8 * i + 4, true);
                    text += new TextDecoder().decode(new Uint8Array(memory().buffer, base, length));
                    total += length;
                }
                if (text.trim()) console.error(`talavex (fd ${fd}): ${text.trim()}`);
                v.setUint32(written, total, true);
                return 0;
            },
            proc_exit(code) {
                throw new WebAssembly.RuntimeError(`talavex aborted (${code})`);
            },
            environ_sizes_get(count, size) {
                view().setUint32(count, 0, true);
                view().setUint32(size, 0, true);
                return 0;
            },
            environ_get() { return 0; },
            fd_seek() { return ENOSYS; },
            fd_read() { return ENOSYS; },
            fd_close() { return ENOSYS; },
        },
    };
}

// The library's version, "MAJOR.MINOR.PATCH".
export async function version() {
    const wasm = await load();
    return cString(wasm, wasm.talavex_version());
}

// Reads the symbols in `image`: an ImageData or any { data, width, height }
// with RGBA pixels, or with `format` ('gray8', 'rgba', 'bgra', 'rgb', 'bgr')
// and `stride` (bytes per row) for other layouts. Options: where ('auto',
// 'centre', 'anywhere'), maxSymbols, inverted, timeBudgetMs, maxPixels (the
// library's 8192 x 8192 unless given; 0: no limit). Returns an array of plain
// objects (see readSymbol); throws when the reader reports a failure, an image
// of more pixels than maxPixels with status 'image-too-large'.
export async function readBarcodes(image, options = {}) {
    const wasm = await load();
    try {
        return readWith(wasm, image, options);
    } catch (error) {
        // A trap leaves the instance's stack and heap unknown: start afresh.
        if (error instanceof WebAssembly.RuntimeError) loading = null;
        throw error;
    }
}

function readWith(wasm, image, options) {
    const format = image.format ?? 'rgba';
    if (!(format in FORMATS)) throw new TypeError(`talavex: unknown pixel format ${format}`);
    const { width, height } = image;
    const stride = image.stride ?? width * BYTES_PER_PIXEL[format];
    const data = image.data;
    if (!ArrayBuffer.isView(data)) throw new TypeError('talavex: image.data must be a typed array');
    const pixelBytes = new Uint8Array(data.buffer, data.byteOffset, data.byteLength);
    if (height > 0 && pixelBytes.length < stride * (height - 1) + width * BYTES_PER_PIXEL[format]) {
        throw new RangeError('talavex: image.data is smaller than width, height and stride say');
    }

    const allocations = [];
    const allocate = (size) => {
        const pointer = wasm.malloc(Math.max(size, 1));
        if (pointer === 0) throw new RangeError(`talavex: cannot allocate ${size} bytes in the module`);
        allocations.push(pointer);
        return pointer;
    };
    let optionsHandle = 0;
    let results = 0;
    try {
        const pixels = allocate(pixelBytes.length);
        new Uint8Array(wasm.memory.buffer).set(pixelBytes, pixels);
        const view = allocate(20);
        const fields = new Uint32Array(wasm.memory.buffer, view, 5);
        fields.set([pixels, width, height, stride, FORMATS[format]]);

        optionsHandle = wasm.talavex_options_new();
        if (optionsHandle === 0) throw new RangeError('talavex: out of memory');
        applyOptions(wasm, optionsHandle, options);

        results = wasm.talavex_read(view, optionsHandle);
        if (results === 0) throw new RangeError('talavex: out of memory');
        const status = wasm.talavex_results_status(results);
        if (status !== 0) {
            const error = new Error(`talavex: ${cString(wasm, wasm.talavex_results_message(results))}`);
            error.status = STATUS[status] ?? status;
            throw error;
        }
        const scratch = allocate(64);
        const symbols = [];
        const count = wasm.talavex_results_count(results);
        for (let i = 0; i < count; ++i) symbols.push(readSymbol(wasm, results, i, scratch));
        return symbols;
    } finally {
        wasm.talavex_results_free(results);
        wasm.talavex_options_free(optionsHandle);
        for (const pointer of allocations) wasm.free(pointer);
    }
}

function applyOptions(wasm, handle, options) {
    const check = (result, name, value) => {
        if (result !== 0) throw new RangeError(`talavex: option ${name} cannot be ${value}`);
    };
    if (options.where !== undefined) {
        if (!(options.where in WHERE)) throw new RangeError(`talavex: option where cannot be ${options.where}`);
        check(wasm.talavex_options_set_where(handle, WHERE[options.where]), 'where', options.where);
    }
    if (options.maxSymbols !== undefined) {
        check(wasm.talavex_options_set_max_symbols(handle, options.maxSymbols >>> 0), 'maxSymbols', options.maxSymbols);
    }
    if (options.inverted !== undefined) {
        check(wasm.talavex_options_set_inverted(handle, options.inverted ? 1 : 0), 'inverted', options.inverted);
    }
    if (options.timeBudgetMs !== undefined) {
        check(wasm.talavex_options_set_time_budget_ms(handle, options.timeBudgetMs >>> 0), 'timeBudgetMs',
              options.timeBudgetMs);
    }
    if (options.maxPixels !== undefined) {
        const pixels = options.maxPixels;
        if (!Number.isSafeInteger(pixels) || pixels < 0) {
            throw new RangeError(`talavex: option maxPixels cannot be ${pixels}`);
        }
        // A uint64_t parameter: a BigInt where the module keeps 64-bit integers
        // in its exports, two 32-bit halves (low first) where it was built to
        // split them.
        const set = wasm.talavex_options_set_max_pixels;
        const result = set.length === 3 ? set(handle, pixels % 2 ** 32, Math.floor(pixels / 2 ** 32))
            : set(handle, BigInt(pixels));
        check(result, 'maxPixels', pixels);
    }
}

// One symbol as a plain object; everything is copied out of the module.
function readSymbol(wasm, results, index, scratch) {
    const u32 = (pointer) => new DataView(wasm.memory.buffer).getUint32(pointer, true);

    const bytesPointer = wasm.talavex_symbol_bytes(results, index, scratch);
    const bytes = new Uint8Array(wasm.memory.buffer, bytesPointer, u32(scratch)).slice();

    const ecis = [];
    const eciCount = wasm.talavex_symbol_eci_count(results, index);
    for (let e = 0; e < eciCount; ++e) {
        const designator = wasm.talavex_symbol_eci(results, index, e, scratch);
        ecis.push({ designator, byteOffset: u32(scratch) });
    }

    const appendCount = wasm.talavex_symbol_structured_append(results, index, scratch, scratch + 4);
    const structuredAppend = appendCount === 0 ? null
        : { count: appendCount, position: u32(scratch), id: cString(wasm, u32(scratch + 4)) };

    let corners = null;
    if (wasm.talavex_symbol_corners(results, index, scratch) === 0) {
        const xy = new Float64Array(wasm.memory.buffer, scratch, 8);
        corners = [0, 1, 2, 3].map((c) => ({ x: xy[2 * c], y: xy[2 * c + 1] }));
    }

    return {
        status: wasm.talavex_symbol_status_of(results, index) === 0 ? 'read' : 'unreadable',
        bytes,
        text: cString(wasm, wasm.talavex_symbol_text(results, index)),
        identifier: cString(wasm, wasm.talavex_symbol_identifier(results, index)),
        ecis,
        gs1: wasm.talavex_symbol_gs1(results, index) === 1,
        readerInit: wasm.talavex_symbol_reader_init(results, index) === 1,
        structuredAppend,
        kind: KINDS[wasm.talavex_symbol_kind(results, index)] ?? null,
        layers: wasm.talavex_symbol_layers(results, index),
        dataCodewords: wasm.talavex_symbol_data_codewords(results, index),
        eccPercent: wasm.talavex_symbol_ecc_percent(results, index),
        codewordsCorrected: wasm.talavex_symbol_codewords_corrected(results, index),
        corners,
        orientation: wasm.talavex_symbol_orientation(results, index),
        mirrored: wasm.talavex_symbol_mirrored(results, index) === 1,
        inverted: wasm.talavex_symbol_inverted(results, index) === 1,
        moduleSize: wasm.talavex_symbol_module_size(results, index),
    };
}

// A NUL-terminated UTF-8 string in the module's memory; null for NULL.
function cString(wasm, pointer) {
    if (pointer === 0) return null;
    const memory = new Uint8Array(wasm.memory.buffer);
    const end = memory.indexOf(0, pointer);
    return new TextDecoder().decode(memory.subarray(pointer, end));
}
