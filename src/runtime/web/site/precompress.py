#!/usr/bin/python3
"""precompress.py SITE: beside each file of SITE, its gzip (.gz, level 9) and Brotli (.br,
quality 11) copies, for servers that send a precompressed copy to a browser that accepts it.
Files compressed already (WOFF2 fonts, GIF and PNG pictures) get none. The copies hold no name
or time, so that they come out the same byte for byte each time.
"""

import brotli
import gzip
import os
import sys

ALREADY_COMPRESSED = ('.woff2', '.gif', '.png')
PRECOMPRESSED = ('.gz', '.br')


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: precompress.py SITE')
    for folder, _, names in os.walk(sys.argv[1]):
        for name in names:
            if name.endswith(ALREADY_COMPRESSED + PRECOMPRESSED):
                continue
            path = os.path.join(folder, name)
            with open(path, 'rb') as file:
                data = file.read()
            for suffix, packed in (('.gz', gzip.compress(data, compresslevel=9, mtime=0)),
                                   ('.br', brotli.compress(data, quality=11))):
                with open(path + suffix, 'wb') as file:
                    file.write(packed)


if __name__ == '__main__':
    main()
