'use strict';
// The preview page: the frame as the server renders it, the plug-in's
// handles on it, and a panel of the parameters. Every edit goes to the
// server, which answers with the state after it; the picture follows the
// state's generation. For tests the page exposes, as data attributes, the
// generation of the state (body) and of the picture with its downsampling
// (#picture), and whether edits are still on their way (body data-busy).

const picture = document.getElementById('picture');
const messageBox = document.getElementById('message');
const paramsForm = document.getElementById('params');
const frameRow = document.getElementById('frame-row');
const frameSlider = document.getElementById('frame');
const frameNumber = document.getElementById('frame-number');
const commandBox = document.getElementById('command');

let state = null;
const controls = new Map();  // parameter name → {row, update(param)}
// A drag or a slider moving: frames render at reduced resolution meanwhile.
let interacting = false;
let dragging = false;

function showMessage(text, kind) {
  messageBox.textContent = text;
  messageBox.className = kind || '';
  messageBox.hidden = false;
}

function clearMessage() {
  messageBox.hidden = true;
  messageBox.textContent = '';
}

// ---- Edits: one at a time and in order; of the waiting edits of one kind
// (moves of the mouse, one slider's values) only the latest goes.

const queue = [];
let sending = false;

function send(path, body, coalesce) {
  const last = queue[queue.length - 1];
  if (coalesce && last && last.coalesce === coalesce) {
    last.body = body;
  } else {
    queue.push({path, body, coalesce});
  }
  document.body.dataset.busy = 'true';
  pump();
}

async function pump() {
  if (sending) {
    return;
  }
  sending = true;
  while (queue.length) {
    const {path, body} = queue.shift();
    try {
      const res = await fetch(path, {
        method: 'POST',
        headers: {'Content-Type': 'application/json'},
        body: JSON.stringify(body),
      });
      const answer = await res.json();
      if (res.ok) {
        clearMessage();
        applyState(answer);
      } else {
        showMessage(answer.error);
        if (answer.state) {
          applyState(answer.state);
        }
      }
    } catch (error) {
      showMessage('The server does not answer: ' + error.message);
    }
  }
  sending = false;
  delete document.body.dataset.busy;
  requestFrame();
}

// ---- The picture.

// While something moves, frames of about a quarter million pixels at most.
function reducedDownsample() {
  return Math.max(2, Math.ceil(Math.sqrt((state.width * state.height) / 250000)));
}

let fetching = false;
let failed = null;  // "generation/downsample" of a frame the server could not render

async function requestFrame() {
  if (fetching || !state) {
    return;  // when the frame on its way is in, the newest is asked for
  }
  const downsample = interacting ? reducedDownsample() : 1;
  const wanted = state.generation + '/' + downsample;
  const shownGeneration = Number(picture.dataset.generation || 0);
  const shownDownsample = Number(picture.dataset.downsample || 0);
  if ((shownGeneration === state.generation && shownDownsample === downsample) || wanted === failed) {
    return;
  }
  fetching = true;
  try {
    const res = await fetch('/api/view?downsample=' + downsample);
    if (res.ok) {
      const generation = Number(res.headers.get('X-Generation'));
      const blob = await res.blob();
      // A frame older than the one shown came late: it is dropped.
      if (generation >= Number(picture.dataset.generation || 0)) {
        await showPicture(blob, generation, Number(res.headers.get('X-Downsample')));
      }
    } else {
      const answer = await res.json();
      failed = answer.generation + '/' + downsample;
      document.body.dataset.frameError = answer.generation;
      showMessage(answer.error);
    }
  } catch (error) {
    showMessage('The server does not answer: ' + error.message);
    failed = wanted;
  } finally {
    fetching = false;
  }
  requestFrame();
}

async function showPicture(blob, generation, downsample) {
  const url = URL.createObjectURL(blob);
  const old = picture.src;
  picture.src = url;
  try {
    await picture.decode();
  } catch (error) {
    return;  // a newer picture took its place
  }
  if (old.startsWith('blob:')) {
    URL.revokeObjectURL(old);
  }
  picture.style.width = state.width + 'px';
  picture.style.height = state.height + 'px';
  picture.dataset.generation = generation;
  picture.dataset.downsample = downsample;
  delete document.body.dataset.frameError;
}

// ---- The mouse on the picture: the click, drags while it is held, the last drag.

function layerPoint(event) {
  const box = picture.getBoundingClientRect();
  return {
    x: Math.floor((event.clientX - box.left) * (state.width / box.width)),
    y: Math.floor((event.clientY - box.top) * (state.height / box.height)),
  };
}

picture.addEventListener('pointerdown', (event) => {
  if (event.button !== 0 || !state) {
    return;
  }
  event.preventDefault();
  picture.setPointerCapture(event.pointerId);
  dragging = true;
  interacting = true;
  send('/api/pointer', {phase: 'down', ...layerPoint(event), shift: event.shiftKey});
});

picture.addEventListener('pointermove', (event) => {
  if (dragging) {
    send('/api/pointer', {phase: 'move', ...layerPoint(event), shift: event.shiftKey}, 'move');
  }
});

function endDrag(event) {
  if (!dragging) {
    return;
  }
  dragging = false;
  interacting = false;
  send('/api/pointer', {phase: 'up', ...layerPoint(event), shift: event.shiftKey});
}
picture.addEventListener('pointerup', endDrag);
picture.addEventListener('pointercancel', endDrag);

// ---- The panel, built once from the registration, updated from each state.

function setParam(name, value, moving) {
  interacting = moving;
  send('/api/param', {name, value: String(value)}, moving ? 'param:' + name : null);
}

function numberInput(min, max, step) {
  const input = document.createElement('input');
  input.type = 'number';
  if (min !== null && min !== undefined) input.min = min;
  if (max !== null && max !== undefined) input.max = max;
  input.step = step;
  return input;
}

function unitLabel(param) {
  const span = document.createElement('span');
  span.className = 'unit';
  span.textContent = {percent: '%', degrees: '°', pixels: 'px'}[param.display_unit] || '';
  return span;
}

// A slider over the slider range and a field that takes the whole valid range.
function sliderControl(param, box) {
  const step = param.type === 'slider' ? 1 : Math.pow(10, -(param.precision ?? 1));
  const range = document.createElement('input');
  range.type = 'range';
  range.min = param.slider_min;
  range.max = param.slider_max;
  range.step = step;
  const field = numberInput(param.valid_min, param.valid_max, 'any');
  field.name = param.name;
  range.addEventListener('input', () => {
    field.value = range.value;
    setParam(param.name, range.value, true);
  });
  range.addEventListener('change', () => setParam(param.name, range.value, false));
  field.addEventListener('change', () => setParam(param.name, field.value, false));
  box.append(range, field, unitLabel(param));
  return {inputs: [range, field], update: (p) => { range.value = p.value; field.value = p.value; }};
}

function popupControl(param, box) {
  const select = document.createElement('select');
  select.name = param.name;
  param.items.forEach((item, i) => {
    const option = document.createElement('option');
    option.value = String(i + 1);
    option.textContent = item === '(-' ? '──────' : item;
    option.disabled = item === '(-';
    select.append(option);
  });
  select.addEventListener('change', () => setParam(param.name, select.value, false));
  box.append(select);
  return {inputs: [select], update: (p) => { select.value = String(param.items.indexOf(p.value) + 1); }};
}

function checkboxControl(param, box) {
  const input = document.createElement('input');
  input.type = 'checkbox';
  input.name = param.name;
  input.addEventListener('change', () => setParam(param.name, input.checked ? 'on' : 'off', false));
  box.append(input);
  return {inputs: [input], update: (p) => { input.checked = p.value === 'on'; }};
}

function colorControl(param, box) {
  const input = document.createElement('input');
  input.type = 'color';
  input.name = param.name;
  input.addEventListener('input', () => setParam(param.name, input.value, true));
  input.addEventListener('change', () => setParam(param.name, input.value, false));
  box.append(input);
  return {inputs: [input], update: (p) => { input.value = p.value; }};
}

function pointControl(param, box) {
  const x = numberInput(null, null, 'any');
  const y = numberInput(null, null, 'any');
  x.name = param.name + ' x';
  y.name = param.name + ' y';
  const changed = () => setParam(param.name, x.value + ',' + y.value, false);
  x.addEventListener('change', changed);
  y.addEventListener('change', changed);
  box.append(x, y, unitLabel(param));
  return {inputs: [x, y], update: (p) => { [x.value, y.value] = p.value.split(','); }};
}

function angleControl(param, box) {
  const input = numberInput(null, null, 'any');
  input.name = param.name;
  input.addEventListener('change', () => setParam(param.name, input.value, false));
  box.append(input, unitLabel(param));
  return {inputs: [input], update: (p) => { input.value = p.value; }};
}

const CONTROLS = {
  popup: popupControl, checkbox: checkboxControl, color: colorControl, point: pointControl, angle: angleControl,
  float: sliderControl, percent: sliderControl, slider: sliderControl,
};

function buildPanel(params) {
  for (const param of params) {
    const make = CONTROLS[param.type];
    if (!make) {
      continue;
    }
    const row = document.createElement('div');
    row.className = 'param';
    row.dataset.name = param.name;
    const label = document.createElement('label');
    label.textContent = param.name;
    const box = document.createElement('div');
    box.className = 'controls';
    const control = make(param, box);
    const animated = document.createElement('span');
    animated.className = 'animated';
    box.append(animated);
    row.append(label, box);
    paramsForm.append(row);
    controls.set(param.name, {row, animated, ...control});
  }
}

function updatePanel(params) {
  for (const param of params) {
    const control = controls.get(param.name);
    if (!control) {
      continue;
    }
    control.row.classList.toggle('greyed', param.greyed);
    control.row.dataset.value = param.value;
    control.animated.textContent = param.keyframes ? 'animated' : '';
    control.animated.title = param.keyframes ? 'Keyframes: ' + param.keyframes : '';
    for (const input of control.inputs) {
      input.disabled = param.greyed;
    }
    // The control a hand is moving keeps what the hand says.
    if (!(interacting && control.inputs.includes(document.activeElement))) {
      control.update(param);
    }
  }
}

function applyState(next) {
  const first = state === null;
  state = next;
  if (first) {
    document.getElementById('input').textContent = state.input + ' (' + state.width + ' × ' + state.height + ')';
    buildPanel(state.params);
    frameRow.hidden = state.frames.length < 2;
    frameSlider.max = state.frames.length - 1;
  }
  updatePanel(state.params);
  frameSlider.value = state.frames.indexOf(state.frame);
  frameNumber.textContent = state.frame;
  document.body.dataset.stateGeneration = state.generation;
  requestFrame();
}

frameSlider.addEventListener('input', () => {
  interacting = true;
  send('/api/frame', {frame: state.frames[Number(frameSlider.value)]}, 'frame');
});
frameSlider.addEventListener('change', () => {
  interacting = false;
  send('/api/frame', {frame: state.frames[Number(frameSlider.value)]}, 'frame');
});

// ---- The values, for a render or a preset.

async function fetchExport() {
  const res = await fetch('/api/export');
  return res.json();
}

document.getElementById('copy-command').addEventListener('click', async () => {
  const {command} = await fetchExport();
  commandBox.value = command;
  commandBox.hidden = false;
  try {
    await navigator.clipboard.writeText(command);
    showMessage('The render command is on the clipboard.', 'note');
  } catch (error) {
    commandBox.select();
    showMessage('Copy the render command below.', 'note');
  }
});

// The browser saves the file: the server writes none.
document.getElementById('save-preset').addEventListener('click', async () => {
  const {preset} = await fetchExport();
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([JSON.stringify(preset, null, 2) + '\n'], {type: 'application/json'}));
  link.download = 'tiltshift-preset.json';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
});

(async () => {
  try {
    const res = await fetch('/api/state');
    applyState(await res.json());
  } catch (error) {
    showMessage('The server does not answer: ' + error.message);
  }
})();
