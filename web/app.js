// The page: reads a chosen or dropped image, or camera frames, and shows each
// symbol's outline, text, bytes and metadata.
import { load, readBarcodes, version } from './talavex.mjs';

const $ = (id) => document.getElementById(id);
const canvas = $('canvas');
const context = canvas.getContext('2d', { willReadFrequently: true });
const statusLine = $('status');
const results = $('results');
const video = $('video');
const cameraButton = $('camera');

// A camera frame gets this long before the next frame is taken.
const CAMERA_BUDGET_MS = 150;
const MIN_SHOWN_WIDTH = 480;

function setStatus(message, isError = false) {
    statusLine.textContent = message;
    statusLine.classList.toggle('error', isError);
}

function options() {
    return { where: $('where').value, inverted: $('inverted').checked };
}

// ---- files ----

async function readFile(file) {
    stopCamera();
    results.dataset.state = 'reading';
    results.dataset.source = file.name;
    setStatus(`Reading ${file.name}…`);
    try {
        const bitmap = await createImageBitmap(file, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
        canvas.width = bitmap.width;
        canvas.height = bitmap.height;
        // Small images are shown enlarged by a whole factor, so modules stay sharp.
        const factor = Math.floor(MIN_SHOWN_WIDTH / bitmap.width);
        canvas.style.width = factor > 1 ? `${bitmap.width * factor}px` : '';
        canvas.classList.toggle('enlarged', factor > 1);
        context.drawImage(bitmap, 0, 0);
        bitmap.close();
        const image = context.getImageData(0, 0, canvas.width, canvas.height);
        const started = performance.now();
        const symbols = await readBarcodes(image, options());
        const ms = performance.now() - started;
        show(symbols);
        setStatus(`${file.name} (${image.width} × ${image.height}): ${countText(symbols)} in ${ms.toFixed(0)} ms`);
    } catch (error) {
        results.replaceChildren();
        setStatus(`${file.name}: ${error.message}`, true);
    }
    results.dataset.state = 'done';
}

function countText(symbols) {
    const read = symbols.filter((s) => s.status === 'read').length;
    if (symbols.length === 0) return 'no symbol found';
    if (read === symbols.length) return read === 1 ? '1 symbol read' : `${read} symbols read`;
    return `${read} of ${symbols.length} symbols read`;
}

$('file').addEventListener('change', (event) => {
    if (event.target.files.length > 0) readFile(event.target.files[0]);
});

const drop = $('drop');
drop.addEventListener('dragover', (event) => {
    event.preventDefault();
    drop.classList.add('over');
});
drop.addEventListener('dragleave', () => drop.classList.remove('over'));
drop.addEventListener('drop', (event) => {
    event.preventDefault();
    drop.classList.remove('over');
    const file = [...event.dataTransfer.files].find((f) => f.type.startsWith('image/'));
    if (file) readFile(file);
    else setStatus('That is not an image file.', true);
});

// ---- camera ----

let stream = null;
let busy = false;

async function startCamera() {
    try {
        stream = await navigator.mediaDevices.getUserMedia({
            video: { facingMode: 'environment', width: { ideal: 1280 }, height: { ideal: 720 } },
        });
    } catch (error) {
        setStatus(`No camera: ${error.message}`, true);
        return;
    }
    video.srcObject = stream;
    await video.play();
    cameraButton.textContent = 'Stop camera';
    results.dataset.source = 'camera';
    setStatus('Camera on: hold a symbol in front of it.');
    requestAnimationFrame(cameraTick);
}

function stopCamera() {
    if (stream === null) return;
    for (const track of stream.getTracks()) track.stop();
    stream = null;
    video.srcObject = null;
    cameraButton.textContent = 'Start camera';
}

// Every animation tick takes a new frame, but only once the previous read is done.
function cameraTick() {
    if (stream === null) return;
    requestAnimationFrame(cameraTick);
    if (busy || video.readyState < video.HAVE_CURRENT_DATA) return;
    busy = true;
    readFrame().finally(() => { busy = false; });
}

async function readFrame() {
    if (canvas.width !== video.videoWidth || canvas.height !== video.videoHeight) {
        canvas.width = video.videoWidth;
        canvas.height = video.videoHeight;
        canvas.style.width = '';
        canvas.classList.remove('enlarged');
    }
    context.drawImage(video, 0, 0);
    const image = context.getImageData(0, 0, canvas.width, canvas.height);
    try {
        const symbols = await readBarcodes(image, { ...options(), timeBudgetMs: CAMERA_BUDGET_MS });
        // Keep the last symbol read on screen until another one is.
        if (symbols.some((s) => s.status === 'read')) {
            show(symbols);
            setStatus(`Camera: ${countText(symbols)} at ${new Date().toLocaleTimeString()}`);
        } else {
            outline(symbols);
        }
    } catch (error) {
        setStatus(`Camera: ${error.message}`, true);
    }
}

cameraButton.addEventListener('click', () => (stream === null ? startCamera() : stopCamera()));

// ---- results ----

function show(symbols) {
    outline(symbols);
    results.replaceChildren(...symbols.map(symbolCard));
}

// The outline through the four corners, with a dot on the symbol's own
// top-left; the line stays thin beside small symbols.
function outline(symbols) {
    for (const symbol of symbols) {
        if (symbol.corners === null) continue;
        const [first, ...rest] = symbol.corners;
        const side = Math.hypot(rest[0].x - first.x, rest[0].y - first.y);
        const width = Math.max(1.5, Math.min(canvas.width / 250, side / 25));
        context.strokeStyle = symbol.status === 'read' ? '#19c15f' : '#e0a000';
        context.lineWidth = width;
        context.beginPath();
        context.moveTo(first.x, first.y);
        for (const corner of rest) context.lineTo(corner.x, corner.y);
        context.closePath();
        context.stroke();
        context.fillStyle = '#e0245e';
        context.beginPath();
        context.arc(first.x, first.y, width * 2, 0, 2 * Math.PI);
        context.fill();
    }
}

function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
}

// What the bytes say as text. Without an ECI the reader reads them as
// ISO-8859-1; bytes that are valid UTF-8 with characters beyond ASCII were
// almost surely written as UTF-8, so they are shown as such, with a note.
function displayText(symbol) {
    if (symbol.ecis.length === 0 && symbol.bytes.some((b) => b >= 0x80)) {
        try {
            const utf8 = new TextDecoder('utf-8', { fatal: true }).decode(symbol.bytes);
            return { text: utf8, note: 'No ECI; the bytes are valid UTF-8 and shown as such.' };
        } catch {
            // Not UTF-8: the reader's own reading stands.
        }
    }
    if (symbol.text !== null) return { text: symbol.text, note: '' };
    return { text: '', note: 'The bytes are not text in the character set the symbol names; see the bytes.' };
}

function hex(bytes) {
    return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join(' ');
}

function symbolCard(symbol, index) {
    const card = element('article', 'symbol');
    card.append(element('h2', '', `Symbol ${index + 1}: ${symbol.status === 'read' ? 'read' : 'located, not readable'}`));
    if (symbol.status === 'read') {
        const { text, note } = displayText(symbol);
        card.append(element('p', 'text', text));
        if (note) card.append(element('p', 'note', note));
        card.append(element('p', 'hex', `${symbol.bytes.length} bytes: ${hex(symbol.bytes)}`));
    }
    const list = element('dl');
    const add = (name, value) => list.append(element('dt', '', name), element('dd', '', String(value)));
    add('Identifier', symbol.identifier ?? '—');
    add('Kind', symbol.kind);
    add('Layers', symbol.layers);
    add('Data codewords', symbol.dataCodewords);
    add('Check words', `${symbol.eccPercent} %`);
    add('Codewords corrected', symbol.codewordsCorrected);
    add('ECIs', symbol.ecis.length === 0 ? 'none'
        : symbol.ecis.map((e) => `${e.designator} from byte ${e.byteOffset}`).join(', '));
    add('GS1', symbol.gs1 ? 'yes' : 'no');
    add('Reader initialisation', symbol.readerInit ? 'yes' : 'no');
    add('Structured append', symbol.structuredAppend === null ? 'no'
        : `${symbol.structuredAppend.position} of ${symbol.structuredAppend.count}`
          + (symbol.structuredAppend.id ? `, ID ${symbol.structuredAppend.id}` : ''));
    add('Orientation', `${symbol.orientation}°${symbol.mirrored ? ', mirrored' : ''}`);
    add('Light on dark', symbol.inverted ? 'yes' : 'no');
    add('Module size', symbol.moduleSize > 0 ? `${symbol.moduleSize.toFixed(2)} px` : 'unknown');
    add('Corners', symbol.corners === null ? 'unknown'
        : symbol.corners.map((c) => `(${c.x.toFixed(1)}, ${c.y.toFixed(1)})`).join(' '));
    card.append(list);
    return card;
}

// ---- start ----

try {
    await load();
    setStatus(`talavex ${await version()} ready: choose an image or start the camera.`);
    document.body.dataset.ready = 'yes';
} catch (error) {
    setStatus(`The reader could not be loaded: ${error.message}`, true);
}
