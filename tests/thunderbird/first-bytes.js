// Listens on HOST:PORT and writes the first bytes (up to five) that the first
// client sends, in hex, to FILE; a client that sends nothing writes nothing.
// A TLS client begins with a handshake record, "1603..."; a POP3 client
// without TLS waits for the server's greeting.
//
//   node first-bytes.js HOST PORT FILE SECONDS
'use strict';

const fs = require('fs');
const net = require('net');

const [host, port, file, seconds] = process.argv.slice(2);
const server = net.createServer((socket) => {
  socket.once('data', (data) => {
    fs.writeFileSync(file, data.subarray(0, 5).toString('hex') + '\n');
    process.exit(0);
  });
});
server.on('error', (e) => {
  console.error(`cannot listen on ${host}:${port}: ${e.message}`);
  process.exit(1);
});
server.listen(Number(port), host);
setTimeout(() => process.exit(0), Number(seconds) * 1000);
