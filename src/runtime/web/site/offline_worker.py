#!/usr/bin/python3
"""offline_worker.py TEMPLATE SITE: writes SITE/service-worker.js from TEMPLATE with the list of
the site's files to keep (its folder's address as the page too) and a cache name made from
their names and content, so that any change to the site makes a new worker. Precompressed
copies (.gz, .br) are the server's, never the browser's, and are left out.
"""

import hashlib
import json
import os
import sys

WORKER = 'service-worker.js'
PRECOMPRESSED = ('.gz', '.br')


def site_files(site):
    found = []
    for folder, _, names in os.walk(site):
        for name in names:
            path = os.path.relpath(os.path.join(folder, name), site).replace(os.sep, '/')
            if path != WORKER and not path.endswith(PRECOMPRESSED):
                found.append(path)
    return sorted(found)


def content_hash(site, files):
    digest = hashlib.sha256()
    for path in files:
        with open(os.path.join(site, path), 'rb') as file:
            data = file.read()
        digest.update(f'{path}\0{len(data)}\0'.encode())
        digest.update(data)
    return digest.hexdigest()[:16]


def main():
    if len(sys.argv) != 3:
        sys.exit('usage: offline_worker.py TEMPLATE SITE')
    template, site = sys.argv[1:]
    files = site_files(site)
    if 'index.html' not in files:
        sys.exit(f'offline_worker.py: making {site}/{WORKER}: the site has no index.html')
    with open(template, encoding='utf-8') as file:
        worker = file.read()
    worker = worker.replace('@CONTENT_HASH@', content_hash(site, files))
    worker = worker.replace('@FILES@', json.dumps(['./'] + files))
    with open(os.path.join(site, WORKER), 'w', encoding='utf-8', newline='\n') as file:
        file.write(worker)


if __name__ == '__main__':
    main()
