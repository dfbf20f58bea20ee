// PNG files as their samples: enough of the format for what OpenImageIO
// writes (8 or 16 bits, grey, RGB or RGBA, not interlaced), so that tests
// compare pixels exactly without a library.
import zlib from 'node:zlib';

const CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4};

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// {width, height, depth, rgba}: four samples a pixel at the file's depth, opaque where it has no alpha.
export function decodePng(buffer) {
  if (buffer.readUInt32BE(0) !== 0x89504e47) {
    throw new Error('not a PNG file');
  }
  let header = null;
  const data = [];
  for (let offset = 8; offset < buffer.length; offset += 12 + buffer.readUInt32BE(offset)) {
    const type = buffer.toString('latin1', offset + 4, offset + 8);
    const body = buffer.subarray(offset + 8, offset + 8 + buffer.readUInt32BE(offset));
    if (type === 'IHDR') {
      header = {width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], colorType: body[9],
                interlace: body[12]};
    } else if (type === 'IDAT') {
      data.push(body);
    }
  }
  const {width, height, depth, colorType, interlace} = header;
  if (interlace || !(colorType in CHANNELS) || (depth !== 8 && depth !== 16)) {
    throw new Error(`PNG form not read here: colour type ${colorType}, depth ${depth}, interlace ${interlace}`);
  }
  const channels = CHANNELS[colorType];
  const step = channels * depth / 8;  // bytes a pixel
  const stride = width * step;
  const raw = zlib.inflateSync(Buffer.concat(data));
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; ++i) {
      const a = i >= step ? rows[y * stride + i - step] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const c = i >= step && y > 0 ? rows[(y - 1) * stride + i - step] : 0;
      rows[y * stride + i] = (raw[y * (stride + 1) + 1 + i] + [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter]) & 0xff;
    }
  }
  const sample = (p, k) => (depth === 8 ? rows[p * channels + k] : rows.readUInt16BE((p * channels + k) * 2));
  const rgba = [];
  for (let p = 0; p < width * height; ++p) {
    const grey = channels < 3;
    rgba.push(sample(p, 0), sample(p, grey ? 0 : 1), sample(p, grey ? 0 : 2),
              channels % 2 === 0 ? sample(p, channels - 1) : depth === 8 ? 255 : 65535);
  }
  return {width, height, depth, rgba};
}

// The samples of the pixels in x0 <= x < x1, y0 <= y < y1.
export function region(image, x0, y0, x1, y1) {
  const samples = [];
  for (let y = y0; y < y1; ++y) {
    samples.push(...image.rgba.slice((y * image.width + x0) * 4, (y * image.width + x1) * 4));
  }
  return samples;
}
