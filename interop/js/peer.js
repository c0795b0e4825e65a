'use strict';
// hessian.js (its Hessian 1.0 DecoderV1 / EncoderV1) as a test peer of KeloHessian:
//   node peer.js roundtrip IN OUT
// reads every record of IN (see interop/README.md, "Record files") with the types kept
// (decode(bytes, '1.0', true)), writes the object back with encode(object, '1.0') and stores the
// answers in OUT. hessian.js writes no call or reply envelopes of its own: for the frames 'r' and
// 'c' this script puts the Hessian 1.0 envelope ('r' 01 00 ... 'z', 'c' 01 00 'm' ... 'z') around
// the object hessian.js wrote.
const fs = require('fs');
const hessian = require('hessian.js');

function readRecords(path) {
  const buf = fs.readFileSync(path);
  const records = [];
  let pos = 0;
  while (pos < buf.length) {
    const frame = String.fromCharCode(buf[pos]);
    const nameLength = buf.readUInt16BE(pos + 1);
    const type = buf.toString('utf8', pos + 3, pos + 3 + nameLength);
    pos += 3 + nameLength;
    const length = buf.readUInt32BE(pos);
    const bytes = buf.subarray(pos + 4, pos + 4 + length);
    pos += 4 + length;
    records.push({ frame, type, bytes });
  }
  return records;
}

function frame(kind, body) {
  if (kind === 'r') {
    return Buffer.concat([Buffer.from([0x72, 0x01, 0x00]), body, Buffer.from('z')]);
  }
  if (kind === 'c') {
    const method = Buffer.from('roundtrip');
    const head = Buffer.from([0x63, 0x01, 0x00, 0x6d, method.length >> 8, method.length & 0xff]);
    return Buffer.concat([head, method, body, Buffer.from('z')]);
  }
  return body;
}

function roundtrip(inPath, outPath) {
  const parts = [];
  for (const record of readRecords(inPath)) {
    let status = 'o';
    let result;
    try {
      // What hessian.js made of the bytes is written back as it is, whatever its class: the
      // reading side compares.
      const object = hessian.decode(record.bytes, '1.0', true);
      result = frame(record.frame, Buffer.from(hessian.encode(object, '1.0')));
    } catch (e) {
      status = 'e';
      result = Buffer.from(String(e && e.stack ? e.stack : e));
    }
    const head = Buffer.alloc(5);
    head[0] = status.charCodeAt(0);
    head.writeUInt32BE(result.length, 1);
    parts.push(head, result);
  }
  fs.writeFileSync(outPath, Buffer.concat(parts));
}

const args = process.argv.slice(2);
if (args.length === 3 && args[0] === 'roundtrip') {
  roundtrip(args[1], args[2]);
} else {
  process.stderr.write('usage: node peer.js roundtrip IN OUT\n');
  process.exit(2);
}
