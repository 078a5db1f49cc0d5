// A static HTTP/2 server over TLS for tests and benchmarks: serves the files of a folder, each
// answer after a delay, as a web server in front of a published folder would over a long line.
//   node http2server.mjs --root DIR --cert FILE --key FILE [--delay MS]
// Listens on 127.0.0.1 with a free port and prints the port as its first line. Each line
// "inflight" on standard input is answered with a line holding the most requests that waited for
// their answer at once. Ends when its standard input closes, so it never outlives the process
// that started it.
import fs from 'node:fs';
import http2 from 'node:http2';
import path from 'node:path';
import { parseArgs } from 'node:util';

const { values } = parseArgs({
    options: {
        root: { type: 'string' },
        cert: { type: 'string' },
        key: { type: 'string' },
        delay: { type: 'string', default: '0' },
    },
});
const root = path.resolve(values.root);
const delay = Number(values.delay);
let inFlight = 0;
let maxInFlight = 0;

const server = http2.createSecureServer({
    cert: fs.readFileSync(values.cert),
    key: fs.readFileSync(values.key),
});
server.on('stream', (stream, headers) => {
    const wanted = decodeURIComponent(headers[':path'].split('?')[0]);
    ++inFlight;
    maxInFlight = Math.max(maxInFlight, inFlight);
    const file = path.join(root, wanted);
    setTimeout(() => {
        --inFlight;
        if (stream.destroyed)
            return;
        if (!file.startsWith(root + path.sep) || !fs.existsSync(file)) {
            stream.respond({ ':status': 404 });
            stream.end();
            return;
        }
        stream.respond({ ':status': 200, 'content-type': 'text/xml; charset=utf-8' });
        stream.end(fs.readFileSync(file));
    }, delay);
});
// Answers leave at once instead of waiting for the client's acknowledgement of the last ones.
server.on('secureConnection', (socket) => socket.setNoDelay(true));
server.on('sessionError', () => {});
server.listen(0, '127.0.0.1', () => {
    process.stdout.write(`${server.address().port}\n`);
});
process.stdin.setEncoding('utf8');
process.stdin.on('data', (text) => {
    for (const line of text.split('\n')) {
        if (line.trim() === 'inflight')
            process.stdout.write(`${maxInFlight}\n`);
    }
});
process.stdin.on('end', () => process.exit(0));
process.stdin.resume();
