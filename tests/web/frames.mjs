// A web frame against the Windows build's frame of the same game state. Two rasterisers draw the
// texts (GDI's under Wine, the browser's), so texts may differ in their anti-aliased edges, and only
// there: everything else must be the same pixel for pixel.
//
// The texts' areas come from the Windows frame itself: every pixel the game drew over the bare
// background, grown by `margin` pixels for edges that one rasteriser draws and the other does not.
// Outside them the frames must be equal. Each connected area (a key, a word, a counter) must pass:
// - place: no shift of the web area by up to `search` pixels each way brings it more than
//   `placeGain` closer to the Windows one (sum of channel differences) than it is unshifted, so a
//   text drawn a pixel off fails. The page's unhinted texts gain nothing by any shift; a key drawn
//   one pixel to the side gains 39% or more.
// - shape: at most `maxStrayShare` of its pixels differ by more than `strayDifference` in a channel:
//   anti-aliased edges against GDI's (8-point texts, which GDI draws without smoothing) reach 17%,
//   another letter in the same place 30% or more;
// - colour: each exact colour that fills at least `solidPixels` pixels inside glyph strokes in the
//   Windows frame (a text's own colour, where the stroke is wider than the anti-aliased edge) fills
//   at least `solidShare` as many in the web frame, so a text drawn in a colour one step off fails.
export const tolerance = {
  margin: 3,
  search: 2,
  placeGain: 0.3,
  strayDifference: 96,
  maxStrayShare: 0.25,
  solidPixels: 12,
  solidShare: 0.35,
};

const key = (data, i) => (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];

// The text areas: one label a pixel (0 outside), and each area's pixels.
function textAreas(windows, background, margin) {
  const { width, height } = windows;
  const ink = new Uint8Array(width * height);
  for (let p = 0; p < width * height; ++p) ink[p] = key(windows.data, p * 4) !== key(background.data, p * 4);
  // Grown by `margin` in a square: rows first, then columns.
  const rows = new Uint8Array(width * height);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x)
      if (ink[y * width + x])
        for (let d = Math.max(0, x - margin); d <= Math.min(width - 1, x + margin); ++d) rows[y * width + d] = 1;
  const grown = new Uint8Array(width * height);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x)
      if (rows[y * width + x])
        for (let d = Math.max(0, y - margin); d <= Math.min(height - 1, y + margin); ++d) grown[d * width + x] = 1;
  const label = new Int32Array(width * height);
  const areas = [];
  for (let start = 0; start < width * height; ++start) {
    if (!grown[start] || label[start]) continue;
    const pixels = [start];
    label[start] = areas.length + 1;
    for (let i = 0; i < pixels.length; ++i) {
      const p = pixels[i], x = p % width;
      for (const q of [x > 0 ? p - 1 : -1, x < width - 1 ? p + 1 : -1, p - width, p + width])
        if (q >= 0 && q < width * height && grown[q] && !label[q]) {
          label[q] = areas.length + 1;
          pixels.push(q);
        }
    }
    areas.push(pixels);
  }
  return { label, areas };
}

// The colour of a pixel inside a glyph's stroke, where its 3 x 3 neighbourhood has that one colour
// (no anti-aliasing blends it), or -1.
function solidColour(frame, p) {
  const { width, height, data } = frame;
  const x = p % width, y = Math.floor(p / width);
  if (x < 1 || y < 1 || x >= width - 1 || y >= height - 1) return -1;
  const colour = key(data, p * 4);
  for (let dy = -1; dy <= 1; ++dy)
    for (let dx = -1; dx <= 1; ++dx) if (key(data, (p + dy * width + dx) * 4) !== colour) return -1;
  return colour;
}

function box(pixels, width) {
  let left = Infinity, top = Infinity, right = -1, bottom = -1;
  for (const p of pixels) {
    const x = p % width, y = Math.floor(p / width);
    left = Math.min(left, x), right = Math.max(right, x), top = Math.min(top, y), bottom = Math.max(bottom, y);
  }
  return { left, top, right, bottom };
}

function judgeArea(pixels, windows, web, limits) {
  const { width, height } = windows;
  const distance = (dx, dy) => {
    let sum = 0;
    for (const p of pixels) {
      const x = (p % width) + dx, y = Math.floor(p / width) + dy;
      if (x < 0 || y < 0 || x >= width || y >= height) {
        sum += 3 * 255;
        continue;
      }
      const i = p * 4, j = (y * width + x) * 4;
      sum += Math.abs(windows.data[i] - web.data[j]) + Math.abs(windows.data[i + 1] - web.data[j + 1]) +
             Math.abs(windows.data[i + 2] - web.data[j + 2]);
    }
    return sum;
  };
  const here = distance(0, 0);
  let best = { dx: 0, dy: 0, sum: here };
  for (let dy = -limits.search; dy <= limits.search; ++dy)
    for (let dx = -limits.search; dx <= limits.search; ++dx) {
      const sum = distance(dx, dy);
      if (sum < best.sum) best = { dx, dy, sum };
    }
  let stray = 0;
  const windowsSolid = new Map(), webSolid = new Map();
  for (const p of pixels) {
    const i = p * 4;
    let most = 0;
    for (let c = 0; c < 3; ++c) most = Math.max(most, Math.abs(windows.data[i + c] - web.data[i + c]));
    stray += most > limits.strayDifference;
    for (const [frame, counts] of [[windows, windowsSolid], [web, webSolid]]) {
      const colour = solidColour(frame, p);
      if (colour >= 0) counts.set(colour, (counts.get(colour) ?? 0) + 1);
    }
  }
  const faults = [];
  const gain = here ? 1 - best.sum / here : 0;
  if (gain > limits.placeGain)
    faults.push(`${(gain * 100).toFixed(0)}% closer when the web text moves by (${-best.dx}, ${-best.dy})`);
  const share = stray / pixels.length;
  if (share > limits.maxStrayShare) faults.push(`${(share * 100).toFixed(1)}% of its pixels differ`);
  for (const [colour, count] of windowsSolid) {
    if (count < limits.solidPixels) continue;
    const shown = webSolid.get(colour) ?? 0;
    if (shown < count * limits.solidShare)
      faults.push(`#${colour.toString(16).padStart(6, '0')} covers ${count} pixels on Windows, ${shown} here`);
  }
  return { share, gain, faults };
}

// What differs between the frames, as sentences; empty when they agree.
export function compareFrames(windows, web, background, limits = tolerance) {
  const { width, height } = windows;
  if (web.width !== width || web.height !== height) return [`the web frame is ${web.width} x ${web.height}`];
  const { label, areas } = textAreas(windows, background, limits.margin);
  const faults = [];
  let outside = 0, first = -1;
  for (let p = 0; p < width * height; ++p)
    if (!label[p] && key(windows.data, p * 4) !== key(web.data, p * 4)) {
      ++outside;
      if (first < 0) first = p;
    }
  if (outside)
    faults.push(`${outside} pixels outside the texts differ, the first at (${first % width}, ${Math.floor(first / width)})`);
  areas.forEach((pixels) => {
    const judged = judgeArea(pixels, windows, web, limits);
    if (judged.faults.length) {
      const b = box(pixels, width);
      faults.push(`the text at (${b.left}, ${b.top})-(${b.right}, ${b.bottom}): ${judged.faults.join('; ')}`);
    }
  });
  return faults;
}
