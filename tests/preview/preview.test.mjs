// `tiltshift preview` in a real browser: Debian's Chromium, headless, one
// instance for every test, driving the page as a person would. Pixels are
// compared through the server's lossless frame, never in screenshots.
//
// Environment: TILTSHIFT (the tool), CHROMIUM (the browser), NODE_MODULES
// (where playwright-core is installed), ARTIFACTS (a folder for the
// screenshot the README shows).
import {after, before, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync, spawn} from 'node:child_process';
import {mkdtempSync, readdirSync, readFileSync, rmSync} from 'node:fs';
import {createServer} from 'node:http';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import path from 'node:path';
import readline from 'node:readline';

import {decodePng, region} from './png.mjs';

const {chromium} = createRequire(path.join(process.env.NODE_MODULES, 'x.js'))('playwright-core');
const tiltshift = process.env.TILTSHIFT;

// The scene at 320 × 240: the centre at (160, 120), the inner outline 60
// pixels right of it (Inner Width), the outer one 110 (Inner Width + Blur Amount).
const WIDTH = 320;
const HEIGHT = 240;
const CENTER = {x: 160, y: 120};

let inputDir;   // the input, and what the tests render beside it
let serverDir;  // the server's working folder: stays empty
let input;
let server;
let url;
let browser;
let page;

async function startPreview(args) {
  const child = spawn(tiltshift, ['preview', ...args, '--port', '0'], {cwd: serverDir,
                                                                      stdio: ['ignore', 'pipe', 'inherit']});
  const firstLine = await new Promise((resolve, reject) => {
    readline.createInterface({input: child.stdout}).once('line', resolve);
    child.once('exit', (code) => reject(new Error('tiltshift preview ended with ' + code)));
  });
  return {child, url: firstLine};
}

// The page has sent every edit, and shows the frame of the latest state at full resolution.
async function settled() {
  await page.waitForFunction(() => {
    const picture = document.getElementById('picture');
    return !document.body.dataset.busy && picture.dataset.downsample === '1' &&
           picture.dataset.generation === document.body.dataset.stateGeneration;
  });
}

async function losslessFrame() {
  const res = await fetch(url + 'api/frame');
  assert.equal(res.status, 200);
  return {generation: Number(res.headers.get('X-Generation')), image: decodePng(Buffer.from(await res.arrayBuffer()))};
}

async function viewFrame() {
  const res = await fetch(url + 'api/view');
  return decodePng(Buffer.from(await res.arrayBuffer()));
}

async function fieldValue(name) {
  return page.inputValue(`.param[data-name="${name}"] input[type=number]`);
}

async function pictureBox() {
  return page.locator('#picture').boundingBox();
}

before(async () => {
  inputDir = mkdtempSync(path.join(tmpdir(), 'tiltshift-preview-'));
  serverDir = mkdtempSync(path.join(tmpdir(), 'tiltshift-preview-cwd-'));
  input = path.join(inputDir, 'scene.png');
  execFileSync(tiltshift, ['scene', '-o', input, '--width', String(WIDTH), '--height', String(HEIGHT)]);
  ({child: server, url} = await startPreview([input, '--param', 'Inner Width=60']));
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--host-resolver-rules=MAP rebound.test 127.0.0.1'],
  });
  const context = await browser.newContext({viewport: {width: 740, height: 600}, deviceScaleFactor: 1,
                                            acceptDownloads: true});
  page = await context.newPage();
  await page.goto(url);
  await settled();
});

after(async () => {
  await browser?.close();
  server?.kill();
  rmSync(inputDir, {recursive: true, force: true});
  rmSync(serverDir, {recursive: true, force: true});
});

test('dragging the outer outline outward adds the distance to Blur Amount and reblurs the far corner', async () => {
  assert.equal(await fieldValue('Blur Amount'), '50');
  const before = await losslessFrame();
  const box = await pictureBox();
  const outer = {x: CENTER.x + 110, y: CENTER.y};
  await page.mouse.move(box.x + outer.x, box.y + outer.y);
  await page.mouse.down();
  await page.mouse.move(box.x + outer.x + 20, box.y + outer.y, {steps: 10});
  // While the hand is down the frames come at reduced resolution.
  await page.waitForFunction(() => document.getElementById('picture').dataset.downsample === '2');
  await page.mouse.up();
  await settled();

  assert.equal(await fieldValue('Blur Amount'), '70');
  const now = await losslessFrame();
  assert.equal(String(now.generation), await page.getAttribute('#picture', 'data-generation'));
  assert.notDeepEqual(region(now.image, 0, 0, 8, 8), region(before.image, 0, 0, 8, 8));
  await page.screenshot({path: path.join(process.env.ARTIFACTS, 'preview.png')});
});

test('Type Linear in the panel: its parameters grey in and out, and the outlines become lines', async () => {
  const greyed = (name) => page.locator(`.param[data-name="${name}"]`).evaluate((row) => row.classList.contains('greyed'));
  // The inner outline's upper line (Inner Width above the centre, across
  // the arrow) passes the left edge here; neither circle comes near.
  const onInnerLine = (image) => region(image, 8, CENTER.y - 60 - 2, 20, CENTER.y - 60 + 3);
  assert.deepEqual(onInnerLine(await viewFrame()), onInnerLine((await losslessFrame()).image));
  assert.equal(await greyed('Linear Mode'), true);

  await page.selectOption('select[name="Type"]', {label: 'Linear'});
  await settled();
  assert.deepEqual(
      {linearMode: await greyed('Linear Mode'), ratio: await greyed('Ratio'), power: await greyed('Power'),
       focusDistance: await greyed('Focus Distance')},
      {linearMode: false, ratio: true, power: false, focusDistance: true});
  assert.equal(await page.isDisabled('.param[data-name="Ratio"] input[type=number]'), true);
  assert.notDeepEqual(onInnerLine(await viewFrame()), onInnerLine((await losslessFrame()).image));
});

test('a saved preset renders the same pixels as the last full-resolution frame', async () => {
  await page.fill('.param[data-name="Vignetting"] input[type=number]', '40');
  await page.press('.param[data-name="Vignetting"] input[type=number]', 'Enter');
  await settled();
  const shown = await losslessFrame();

  const download = page.waitForEvent('download');
  await page.click('#save-preset');
  const preset = path.join(inputDir, 'preset.json');
  await (await download).saveAs(preset);
  assert.equal(JSON.parse(readFileSync(preset, 'utf8'))['Blur Amount'], '70');
  const rendered = path.join(inputDir, 'from-preset.png');
  execFileSync(tiltshift, ['render', input, '-o', rendered, '--preset', preset]);
  assert.deepEqual(decodePng(readFileSync(rendered)).rgba, shown.image.rgba);
});

test('the copied command renders the same pixels too', async () => {
  await page.click('#copy-command');
  await page.waitForFunction(() => document.getElementById('command').value !== '');
  const command = await page.inputValue('#command');
  assert.match(command, /^tiltshift render '.*scene\.png' -o '.*tiltshift-scene\.png' --param 'Type=Linear'/);
  execFileSync('sh', ['-c', command], {env: {...process.env, PATH: path.dirname(tiltshift) + ':' + process.env.PATH}});
  const shown = await losslessFrame();
  assert.deepEqual(decodePng(readFileSync(path.join(inputDir, 'tiltshift-scene.png'))).rgba, shown.image.rgba);
});

test('a render the server cannot make shows its error, and the page goes on', async () => {
  await page.route('**/api/view**', (route) => route.fulfill({
    status: 500, contentType: 'application/json',
    body: JSON.stringify({error: 'the plug-in failed to render (4 PF_Err_OUT_OF_MEMORY)', generation: 0})}));
  await page.fill('.param[data-name="Blur Offset"] input[type=number]', '5');
  await page.press('.param[data-name="Blur Offset"] input[type=number]', 'Enter');
  await page.waitForSelector('#message:has-text("PF_Err_OUT_OF_MEMORY")');
  await page.unroute('**/api/view**');
  await page.fill('.param[data-name="Blur Offset"] input[type=number]', '6');
  await page.press('.param[data-name="Blur Offset"] input[type=number]', 'Enter');
  await settled();
  assert.equal(await page.isHidden('#message'), true);
});

test('another site can neither change the values nor read the page through a rebound name', async () => {
  const foreign = createServer((req, res) => {
    res.setHeader('Content-Type', 'text/html');
    res.end('<!doctype html><title>elsewhere</title>');
  });
  await new Promise((resolve) => foreign.listen(0, '127.0.0.1', resolve));
  try {
    const other = await page.context().newPage();
    await other.goto(`http://127.0.0.1:${foreign.address().port}/`);
    const status = await other.evaluate(async (target) => {
      const body = JSON.stringify({name: 'Blur Amount', value: '99'});
      await fetch(target + 'api/param', {method: 'POST', mode: 'no-cors', body, headers: {'Content-Type': 'text/plain'}});
      return 'sent';
    }, url);
    assert.equal(status, 'sent');
    const rebound = await other.goto(url.replace('127.0.0.1', 'rebound.test'));
    assert.equal(rebound.status(), 403);
    await other.close();
  } finally {
    foreign.close();
  }
  const state = await (await fetch(url + 'api/state')).json();
  assert.equal(state.params.find((p) => p.name === 'Blur Amount').value, '70');
});

test('the server wrote nothing: its folder is empty, the input folder holds what the tests wrote', () => {
  assert.deepEqual(readdirSync(serverDir), []);
  assert.deepEqual(readdirSync(inputDir).sort(), ['from-preset.png', 'preset.json', 'scene.png', 'tiltshift-scene.png']);
});
