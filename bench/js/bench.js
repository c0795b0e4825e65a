'use strict';
// hessian.js (its Hessian 1.0 decoder and encoder, pinned in package.json) over the workload
// files that `kelo_bench --dump DIR` writes: for each workload, the object's bytes are decoded
// with the types kept (decode(bytes, '1.0', true)), and the decoded object is encoded again
// (encode(object, '1.0')). Prints one JSON line per workload: {name, decode_ns, encode_ns}.
//   node bench.js DIR [SECONDS]
const fs = require('fs');
const path = require('path');
const hessian = require('hessian.js');

// Runs fn until `seconds` have passed (after a warm-up of a third of that), returns ns per call.
function timeIt(fn, seconds) {
  const warmEnd = process.hrtime.bigint() + BigInt(Math.round((seconds / 3) * 1e9));
  while (process.hrtime.bigint() < warmEnd) fn();
  let n = 0;
  const start = process.hrtime.bigint();
  const end = start + BigInt(Math.round(seconds * 1e9));
  let now = start;
  do {
    fn();
    ++n;
    now = process.hrtime.bigint();
  } while (now < end);
  return Number(now - start) / n;
}

const dir = process.argv[2];
const seconds = Number(process.argv[3] || 1);
const manifest = fs
  .readFileSync(path.join(dir, 'workloads.tsv'), 'utf8')
  .trim()
  .split('\n')
  .filter((line) => !line.startsWith('#'))
  .map((line) => {
    const [name, type, bytes, offset, length] = line.split('\t');
    return { name, type, bytes: Number(bytes), offset: Number(offset), length: Number(length) };
  });

for (const w of manifest) {
  const all = fs.readFileSync(path.join(dir, w.name + '.bin'));
  const bytes = all.subarray(w.offset, w.offset + w.length);
  const result = { name: w.name };
  try {
    const object = hessian.decode(bytes, '1.0', true);
    if (!object || object.$class !== w.type) throw new Error('decoded ' + (object && object.$class));
    result.decode_ns = timeIt(() => hessian.decode(bytes, '1.0', true), seconds);
    const written = hessian.encode(object, '1.0');
    result.encoded_bytes = written.length;
    result.encode_ns = timeIt(() => hessian.encode(object, '1.0'), seconds);
  } catch (e) {
    result.error = String(e && e.message ? e.message : e);
  }
  process.stdout.write(JSON.stringify(result) + '\n');
}
