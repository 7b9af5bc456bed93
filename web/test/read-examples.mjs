// Serves web/ on 127.0.0.1, opens the page in headless Chromium and feeds it
// every example image through the file input; each text the page shows must
// equal the example's .txt. Then the camera: Chromium's fake camera plays the
// first example PNG that fits a 640 x 480 frame, and the page must read it
// from the live frames. Screenshots of each page go to the output folder.
//   node web/test/read-examples.mjs EXAMPLES_DIR SCREENSHOT_DIR [CHROMIUM]
import { createServer } from 'node:http';
import { mkdir, readdir, readFile, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import puppeteer from 'puppeteer-core';

import { decodePng } from '../node-example.mjs';

const [examplesDir, screenshotDir, browserPath = '/usr/bin/chromium'] = process.argv.slice(2);
if (!examplesDir || !screenshotDir) {
    console.error('usage: node read-examples.mjs EXAMPLES_DIR SCREENSHOT_DIR [CHROMIUM]');
    process.exit(2);
}
const webDir = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const READ_TIMEOUT_MS = 60_000;

await mkdir(screenshotDir, { recursive: true });
const images = (await readdir(examplesDir)).filter((name) => /\.(png|jpe?g)$/i.test(name)).sort();
if (images.length === 0) throw new Error(`no example images in ${examplesDir}`);
const expectedText = (name) => readFile(path.join(examplesDir, name.replace(/\.[^.]+$/, '.txt')), 'utf8');
const camera = await cameraVideo(images.filter((name) => name.endsWith('.png')));

const server = await serve(webDir);
const browser = await puppeteer.launch({
    executablePath: browserPath,
    headless: true,
    args: [
        // Chromium's sandbox cannot start as root, which is how CI runs.
        ...(process.getuid?.() === 0 ? ['--no-sandbox'] : []),
        '--use-fake-ui-for-media-stream',
        '--use-fake-device-for-media-stream',
        `--use-file-for-fake-video-capture=${camera.video}`,
    ],
});
let passed = 0;
let failed = 0;
try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1100, height: 1400 });
    const pageErrors = [];
    page.on('pageerror', (error) => pageErrors.push(error.message));
    page.on('console', (message) => {
        if (message.type() === 'error') pageErrors.push(message.text());
    });
    await page.goto(`http://127.0.0.1:${server.address().port}/index.html`);
    await page.waitForSelector('body[data-ready="yes"]', { timeout: READ_TIMEOUT_MS });
    console.log(`page: ${await page.$eval('#status', (node) => node.textContent)}`);

    const input = await page.$('#file');
    for (const name of images) {
        const expected = await expectedText(name);
        await input.uploadFile(path.resolve(examplesDir, name));
        await page.waitForFunction(
            (source) => {
                const results = document.getElementById('results');
                return results.dataset.source === source && results.dataset.state === 'done';
            },
            { timeout: READ_TIMEOUT_MS },
            name);
        const shown = await page.$$eval('#results .symbol .text', (nodes) => nodes.map((node) => node.textContent));
        const status = await page.$eval('#status', (node) => node.textContent);
        await page.screenshot({ path: path.join(screenshotDir, `${name.replace(/\.[^.]+$/, '')}.png`), fullPage: true });
        check(name, status, shown, expected);
    }

    await page.click('#camera');
    const expected = await expectedText(camera.source);
    try {
        await page.waitForFunction(
            (text) => [...document.querySelectorAll('#results[data-source="camera"] .symbol .text')]
                .some((node) => node.textContent === text),
            { timeout: READ_TIMEOUT_MS },
            expected);
    } catch {
        // Timed out: the check below reports what the page shows instead.
    }
    const shown = await page.$$eval('#results .symbol .text', (nodes) => nodes.map((node) => node.textContent));
    const status = await page.$eval('#status', (node) => node.textContent);
    await page.screenshot({ path: path.join(screenshotDir, 'camera.png'), fullPage: true });
    await page.click('#camera');
    check(`camera showing ${camera.source}`, status, shown, expected);

    if (pageErrors.length > 0) {
        ++failed;
        console.log(`FAILED  the page reported errors:\n        ${pageErrors.join('\n        ')}`);
    }
} finally {
    await browser.close();
    server.close();
}
console.log(`screenshots: ${path.resolve(screenshotDir)}`);
console.log(`${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 && passed > 0 ? 0 : 1;

function check(name, status, shown, expected) {
    if (shown.length === 1 && shown[0] === expected) {
        ++passed;
        console.log(`ok      ${name}: ${status}`);
    } else {
        ++failed;
        console.log(`FAILED  ${name}: ${status}\n        shown    ${JSON.stringify(shown)}\n` +
                    `        expected ${JSON.stringify([expected])}`);
    }
}

// The first of `pngs` that fits a 640 x 480 frame, centred on white, as a
// one-frame Y4M video (4:2:0, grey chroma) that Chromium's fake camera loops.
async function cameraVideo(pngs) {
    const [width, height] = [640, 480];
    for (const name of pngs) {
        const image = decodePng(await readFile(path.join(examplesDir, name)));
        if (image.format !== 'gray8' || image.width > width || image.height > height) continue;
        const luma = new Uint8Array(width * height).fill(255);
        const [left, top] = [(width - image.width) >> 1, (height - image.height) >> 1];
        for (let y = 0; y < image.height; ++y) {
            luma.set(image.data.subarray(y * image.width, (y + 1) * image.width), (top + y) * width + left);
        }
        const chroma = new Uint8Array(width * height / 2).fill(128);
        const header = `YUV4MPEG2 W${width} H${height} F30:1 Ip A1:1 C420jpeg\nFRAME\n`;
        const video = path.resolve(screenshotDir, 'camera.y4m');
        await writeFile(video, Buffer.concat([Buffer.from(header, 'latin1'), luma, chroma]));
        return { video, source: name };
    }
    throw new Error('no grey example PNG fits a 640 x 480 camera frame');
}

// A static file server for `root` on a free loopback port.
async function serve(root) {
    const types = {
        '.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript',
        '.mjs': 'text/javascript', '.wasm': 'application/wasm',
    };
    const server = createServer(async (request, response) => {
        const file = path.join(root, path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
        try {
            if (!file.startsWith(root + path.sep)) throw new Error('outside the served folder');
            const body = await readFile(file);
            response.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' });
            response.end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return server;
}
