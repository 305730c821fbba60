# Writes a curl config that moves every file of a tree one at a time in one curl process (one
# connection, reused), the way a user would script curl for a whole tree.
#
#   curl-config.py upload|download TREE URL_BASE DOWNLOAD_DIR > config
import os
import sys
from urllib.parse import quote

direction, tree, url_base, download_dir = sys.argv[1:5]


def quoted(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


for folder, _, files in os.walk(tree):
    for name in sorted(files):
        relative = os.path.relpath(os.path.join(folder, name), tree)
        url = url_base + '/' + quote(relative, safe='/')
        if direction == 'upload':
            print('upload-file = ' + quoted(os.path.join(folder, name)))
        else:
            print('output = ' + quoted(os.path.join(download_dir, relative)))
        print('url = ' + quoted(url))
