// `tiltshift preview` in headless Chromium, driven as a person would; pixels
// are compared through the server's lossless frame, never in screenshots.
// Environment: TILTSHIFT, CHROMIUM, NODE_MODULES (playwright-core and pngjs),
// ARTIFACTS (a folder for the screenshot the README shows).
import {after, before, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync, spawn} from 'node:child_process';
import {mkdtempSync, readdirSync, readFileSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import path from 'node:path';
import readline from 'node:readline';

const packages = createRequire(path.join(process.env.NODE_MODULES, 'x.js'));
const {chromium} = packages('playwright-core');
const decodePng = packages('pngjs').PNG.sync.read;
const tiltshift = process.env.TILTSHIFT;

// The scene at 320 × 240: the centre at (160, 120), the inner outline 60
// right of it (Inner Width), the outer one 110 (+ Blur Amount).
const CENTER = {x: 160, y: 120};

let inputDir, serverDir, input, server, url, browser, page;

// The page has sent every edit, and shows the frame of the latest state at full resolution.
const settled = () => page.waitForFunction(() => {
  const picture = document.getElementById('picture');
  return !document.body.dataset.busy && picture.dataset.downsample === '1' &&
         picture.dataset.generation === document.body.dataset.stateGeneration;
});

// The RGBA bytes of x0 <= x < x1, y0 <= y < y1.
function region(image, x0, y0, x1, y1) {
  const bytes = [];
  for (let y = y0; y < y1; ++y) {
    bytes.push(...image.data.subarray((y * image.width + x0) * 4, (y * image.width + x1) * 4));
  }
  return bytes;
}

async function losslessFrame() {
  const res = await fetch(url + 'api/frame');
  assert.equal(res.status, 200);
  return {generation: Number(res.headers.get('X-Generation')), image: decodePng(Buffer.from(await res.arrayBuffer()))};
}

const viewFrame = async () => decodePng(Buffer.from(await (await fetch(url + 'api/view')).arrayBuffer()));

const field = (name) => `.param[data-name="${name}"] input[type=number]`;
const enter = async (name, value) => {
  await page.fill(field(name), value);
  await page.press(field(name), 'Enter');
};

before(async () => {
  inputDir = mkdtempSync(path.join(tmpdir(), 'tiltshift-preview-'));
  serverDir = mkdtempSync(path.join(tmpdir(), 'tiltshift-preview-cwd-'));
  input = path.join(inputDir, 'scene.png');
  execFileSync(tiltshift, ['scene', '-o', input, '--width', '320', '--height', '240']);
  server = spawn(tiltshift, ['preview', input, '--param', 'Inner Width=60', '--port', '0'],
                 {cwd: serverDir, stdio: ['ignore', 'pipe', 'inherit']});
  url = await new Promise((resolve, reject) => {
    readline.createInterface({input: server.stdout}).once('line', resolve);
    server.once('exit', (code) => reject(new Error('tiltshift preview ended with ' + code)));
  });
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  page = await (await browser.newContext({viewport: {width: 740, height: 600}, deviceScaleFactor: 1,
                                          acceptDownloads: true})).newPage();
  await page.goto(url);
  await settled();
});

after(async () => {
  await browser?.close();
  server?.kill();
  [inputDir, serverDir].forEach((dir) => rmSync(dir, {recursive: true, force: true}));
});

test('dragging the outer outline outward adds the distance to Blur Amount and reblurs the far corner', async () => {
  assert.equal(await page.inputValue(field('Blur Amount')), '50');
  const before = await losslessFrame();
  const box = await page.locator('#picture').boundingBox();
  const outer = {x: CENTER.x + 110, y: CENTER.y};
  await page.mouse.move(box.x + outer.x, box.y + outer.y);
  await page.mouse.down();
  await page.mouse.move(box.x + outer.x + 20, box.y + outer.y, {steps: 10});
  // While the hand is down the frames come at reduced resolution.
  await page.waitForFunction(() => document.getElementById('picture').dataset.downsample === '2');
  await page.mouse.up();
  await settled();
  assert.equal(await page.inputValue(field('Blur Amount')), '70');
  const now = await losslessFrame();
  assert.equal(String(now.generation), await page.getAttribute('#picture', 'data-generation'));
  assert.notDeepEqual(region(now.image, 0, 0, 8, 8), region(before.image, 0, 0, 8, 8));
  await page.screenshot({path: path.join(process.env.ARTIFACTS, 'preview.png')});
});

test('Type Linear in the panel: its parameters grey in and out, and the outlines become lines', async () => {
  const greyed = (name) => page.locator(`.param[data-name="${name}"]`).evaluate((row) => row.classList.contains('greyed'));
  // The inner outline's upper line passes the left edge here; neither circle comes near.
  const onInnerLine = (image) => region(image, 8, CENTER.y - 60 - 2, 20, CENTER.y - 60 + 3);
  assert.deepEqual(onInnerLine(await viewFrame()), onInnerLine((await losslessFrame()).image));
  assert.equal(await greyed('Linear Mode'), true);

  await page.selectOption('select[name="Type"]', {label: 'Linear'});
  await settled();
  const names = ['Linear Mode', 'Ratio', 'Power', 'Focus Distance'];
  assert.deepEqual(await Promise.all(names.map(greyed)), [false, true, false, true]);
  assert.equal(await page.isDisabled(field('Ratio')), true);
  assert.notDeepEqual(onInnerLine(await viewFrame()), onInnerLine((await losslessFrame()).image));
});

test('a saved preset and the copied command render the pixels of the last full-resolution frame', async () => {
  await enter('Vignetting', '40');
  await settled();
  const shown = (await losslessFrame()).image.data;

  const download = page.waitForEvent('download');
  await page.click('#save-preset');
  const preset = path.join(inputDir, 'preset.json');
  await (await download).saveAs(preset);
  assert.equal(JSON.parse(readFileSync(preset, 'utf8'))['Blur Amount'], '70');
  const rendered = path.join(inputDir, 'from-preset.png');
  execFileSync(tiltshift, ['render', input, '-o', rendered, '--preset', preset]);
  assert.deepEqual(decodePng(readFileSync(rendered)).data, shown);

  await page.click('#copy-command');
  await page.waitForFunction(() => document.getElementById('command').value !== '');
  const command = await page.inputValue('#command');
  assert.match(command, /^tiltshift render '.*scene\.png' -o '.*tiltshift-scene\.png' --param 'Type=Linear'/);
  execFileSync('sh', ['-c', command], {env: {...process.env, PATH: path.dirname(tiltshift) + ':' + process.env.PATH}});
  assert.deepEqual(decodePng(readFileSync(path.join(inputDir, 'tiltshift-scene.png'))).data, shown);
});

test('a render the server cannot make shows its error, and the page goes on', async () => {
  await page.route('**/api/view**', (route) => route.fulfill({
    status: 500, contentType: 'application/json',
    body: JSON.stringify({error: 'the plug-in failed to render (4 PF_Err_OUT_OF_MEMORY)', generation: 0})}));
  await enter('Blur Offset', '5');
  await page.waitForSelector('#message:has-text("PF_Err_OUT_OF_MEMORY")');
  await page.unroute('**/api/view**');
  await enter('Blur Offset', '6');
  await settled();
  assert.equal(await page.isHidden('#message'), true);
});

test('the server wrote nothing: its folder is empty, the input folder holds what the tests wrote', () => {
  assert.deepEqual(readdirSync(serverDir), []);
  assert.deepEqual(readdirSync(inputDir).sort(), ['from-preset.png', 'preset.json', 'scene.png', 'tiltshift-scene.png']);
});
