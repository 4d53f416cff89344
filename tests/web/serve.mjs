// A static file server for the browser build, on the loopback interface only.
// usage: node serve.mjs DIR [PORT]   (port 0 or none: any free port; the address is printed)
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.txt': 'text/plain; charset=utf-8',
};

// Serves the files under each root, the first root that has the path; resolves to the server.
export function serve(roots, port = 0) {
  const bases = roots.map((root) => resolve(root));
  const server = createServer(async (request, response) => {
    let path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (path.endsWith('/')) path += 'index.html';
    for (const base of bases) {
      const file = normalize(join(base, path));
      if (file !== base && !file.startsWith(base + sep)) break;
      try {
        const body = await readFile(file);
        response.writeHead(200, {
          'Content-Type': kTypes[extname(file)] || 'application/octet-stream',
          'Cache-Control': 'no-store',
        });
        response.end(body);
        return;
      } catch {
        // not under this root
      }
    }
    response.writeHead(404, { 'Content-Type': 'text/plain' });
    response.end('not found\n');
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [dir, port] = process.argv.slice(2);
  if (!dir) {
    console.error('usage: node serve.mjs DIR [PORT]');
    process.exit(2);
  }
  const server = await serve([dir], Number(port || 0));
  console.log(`serving ${dir} at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}
