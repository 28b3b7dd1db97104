#!/usr/bin/python3
"""The web edition's figures: bench/web/measure.py SITE [LOADS]

1. Transfer size: every file of the site but the precompressed copies, compressed as a web
   server sends it (gzip at level 6 for text, WebAssembly, BMP and ICO; fonts, GIF and PNG as
   they are, being compressed already), and with Brotli for comparison. Goal: at most 400 KB.
2. Navigation to the conversation window painted, in headless Chromium, for LOADS loads (12
   unless told) of Quibly and of a bare static page with the same controls, menu and backdrop
   written by hand (bench/web/bare), alternately, both served by one local server that
   compresses as a static host does (gzip at level 6, the same types as above), with the
   browser's cache and service workers off: each load is a first visit. A window counts as
   painted at the animation frame after the one before which it was first visible with its
   pictures decoded. Twice: as a desktop (no limits; goal: median at most 1.5 x the bare page)
   and as a phone (the processor 4 x slower, a round trip of 150 ms, 1.6 Mbit/s down and
   750 kbit/s up; goal: at most 2.2 x).

Chromium is driven over its DevTools protocol through a pipe, so that nothing but Debian's
Python and Chromium is needed.
"""

import brotli
import functools
import gzip
import http.server
import io
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
ALREADY_COMPRESSED = ('.woff2', '.gif', '.png')
PRECOMPRESSED = ('.gz', '.br')

# name, CPU slow-down, network conditions (None: as the machine is), goal for the ratio.
PROFILES = (
    ('desktop', 1, None, 1.5),
    ('phone', 4, {'offline': False, 'latency': 150, 'downloadThroughput': 1_600_000 / 8,
                  'uploadThroughput': 750_000 / 8}, 2.2),
)

# Polls every animation frame from the start of the document: once the conversation window is
# visible with its pictures decoded, the next frame's time is the figure.
PAINTED = """
(() => {
  const shown = () => {
    const window = document.querySelector('[data-form="frmMain"]');
    return window && !window.hidden && window.offsetParent !== null &&
        [...window.querySelectorAll('img')].every((image) => image.complete && image.naturalWidth);
  };
  const poll = () => requestAnimationFrame(() => {
    if (shown()) requestAnimationFrame(() => { window.benchPainted = performance.now(); });
    else poll();
  });
  poll();
})();
"""


def transfer_sizes(site):
    gzipped = brotlied = 0
    for folder, _, files in os.walk(site):
        for name in files:
            if name.endswith(PRECOMPRESSED):
                continue
            with open(os.path.join(folder, name), 'rb') as file:
                data = file.read()
            if name.endswith(ALREADY_COMPRESSED):
                gzipped += len(data)
                brotlied += len(data)
            else:
                gzipped += len(gzip.compress(data, compresslevel=6, mtime=0))
                brotlied += len(brotli.compress(data))
    return gzipped, brotlied


class CompressingHandler(http.server.SimpleHTTPRequestHandler):
    """Sends files as a static host does: gzip where the browser accepts it and the file is not
    compressed already, computed once for each file."""
    compressed = {}

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, 'index.html')
        if (path.endswith(ALREADY_COMPRESSED) or not os.path.isfile(path) or
                'gzip' not in self.headers.get('Accept-Encoding', '')):
            return super().send_head()
        if path not in self.compressed:
            with open(path, 'rb') as file:
                self.compressed[path] = gzip.compress(file.read(), compresslevel=6, mtime=0)
        body = self.compressed[path]
        self.send_response(200)
        self.send_header('Content-Type', self.guess_type(path))
        self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

    def log_message(self, *args):
        pass


class DevTools:
    """One headless Chromium, spoken to over --remote-debugging-pipe (NUL-ended JSON)."""

    def __init__(self, profile):
        to_browser_read, self.to_browser = os.pipe()
        self.from_browser, from_browser_write = os.pipe()
        self.process = subprocess.Popen(
            ['chromium', '--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run',
             '--remote-debugging-pipe', f'--user-data-dir={profile}', '--window-size=800,600',
             'about:blank'],
            pass_fds=(3, 4), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            preexec_fn=lambda: self.browser_ends(to_browser_read, from_browser_write))
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b''
        self.next_id = 0
        targets = self.call('Target.getTargets')['targetInfos']
        page = next(t for t in targets if t['type'] == 'page')
        self.session = self.call('Target.attachToTarget', targetId=page['targetId'],
                                 flatten=True)['sessionId']

    @staticmethod
    def browser_ends(reads, writes):
        # Chromium reads commands from descriptor 3 and writes replies to 4; copies first, as
        # either pipe end may already be 3 or 4.
        reads, writes = os.dup(reads), os.dup(writes)
        os.dup2(reads, 3)
        os.dup2(writes, 4)

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {'id': self.next_id, 'method': method, 'params': params}
        if session:
            message['sessionId'] = session
        os.write(self.to_browser, json.dumps(message).encode() + b'\0')
        while True:
            while b'\0' not in self.buffer:
                chunk = os.read(self.from_browser, 65536)
                if not chunk:
                    raise RuntimeError(f'Chromium closed the pipe during {method}')
                self.buffer += chunk
            line, self.buffer = self.buffer.split(b'\0', 1)
            reply = json.loads(line)
            if reply.get('id') == self.next_id:
                if 'error' in reply:
                    raise RuntimeError(f'{method}: {reply["error"]}')
                return reply.get('result', {})

    def page(self, method, **params):
        return self.call(method, self.session, **params)

    def close(self):
        self.process.terminate()
        self.process.wait()


def load_time(browser, url):
    browser.page('Page.navigate', url='about:blank')
    browser.page('Page.navigate', url=url)
    for _ in range(2000):
        result = browser.page('Runtime.evaluate', expression='window.benchPainted',
                              returnByValue=True)['result']
        if 'value' in result:
            return result['value']
        threading.Event().wait(0.01)
    raise RuntimeError(f'{url} never showed the conversation window')


def measure(browser, base, loads, slowdown, network):
    browser.page('Emulation.setCPUThrottlingRate', rate=slowdown)
    if network:
        browser.page('Network.emulateNetworkConditions', **network)
    else:
        browser.page('Network.emulateNetworkConditions', offline=False, latency=0,
                     downloadThroughput=-1, uploadThroughput=-1)
    times = {'quibly': [], 'bare': []}
    for name in times:  # a warm-up load of each
        load_time(browser, f'{base}/{name}/')
    for _ in range(loads):
        for name, figures in times.items():
            figures.append(load_time(browser, f'{base}/{name}/'))
    return times


def report(profile, times, goal):
    medians = {name: statistics.median(figures) for name, figures in times.items()}
    for name, figures in times.items():
        quartiles = statistics.quantiles(figures, n=4)
        print(f'Navigation to the conversation window painted, {profile}, {name}: median'
              f' {medians[name]:.1f} ms, min-max {min(figures):.1f}-{max(figures):.1f},'
              f' IQR {quartiles[0]:.1f}-{quartiles[2]:.1f} ({len(figures)} loads)')
    ratio = medians['quibly'] / medians['bare']
    print(f'Ratio Quibly / bare page, {profile}: {ratio:.2f}'
          f' (goal <= {goal}: {"met" if ratio <= goal else "MISSED"})')


def main():
    site = sys.argv[1]
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 12
    gzipped, brotlied = transfer_sizes(site)
    print(f'Transfer size: {gzipped / 1000:.1f} KB with gzip, {brotlied / 1000:.1f} KB with'
          f' Brotli (goal <= 400 KB: {"met" if gzipped <= 400_000 else "MISSED"})')

    with tempfile.TemporaryDirectory() as root:
        shutil.copytree(site, os.path.join(root, 'quibly'))
        shutil.copytree(os.path.join(HERE, 'bare'), os.path.join(root, 'bare'))
        shutil.copy(os.path.join(site, 'assets', 'backdrop.bmp'), os.path.join(root, 'bare'))
        handler = functools.partial(CompressingHandler, directory=root)
        server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        base = f'http://127.0.0.1:{server.server_address[1]}'

        browser = DevTools(os.path.join(root, 'profile'))
        try:
            browser.page('Page.enable')
            browser.page('Network.enable')
            browser.page('Network.setCacheDisabled', cacheDisabled=True)
            browser.page('Network.setBypassServiceWorker', bypass=True)
            browser.page('Page.addScriptToEvaluateOnNewDocument', source=PAINTED)
            for profile, slowdown, network, goal in PROFILES:
                report(profile, measure(browser, base, loads, slowdown, network), goal)
        finally:
            browser.close()
            server.shutdown()


if __name__ == '__main__':
    main()
