"""Checks an archive with Python's zipfile: testzip, the set of entry names, and the bytes of
every entry against its source file.

    check_zip.py ARCHIVE MANIFEST [--no-testzip]

MANIFEST has one line per entry: the entry name's bytes as stored, a tab, the source path. An
empty source path means the entry is read (which checks its CRC) but compared with nothing.
Names are compared as stored bytes: UTF-8 when the entry says so, any bytes otherwise (which
zipfile hands out decoded as code page 437, a one-to-one mapping of all 256 byte values).
Reading an entry through zipfile checks its CRC as well; --no-testzip skips the separate
testzip pass for very large archives.
"""
import os
import sys
import zipfile

PIECE = 1 << 22
UTF8_NAME = 0x800


def stored_name(info):
    return info.filename.encode('utf-8' if info.flag_bits & UTF8_NAME else 'cp437')


def main():
    archive, manifest = sys.argv[1], sys.argv[2]
    run_testzip = '--no-testzip' not in sys.argv[3:]
    expected = {}
    with open(manifest, 'rb') as lines:
        for line in lines:
            name, source = line.rstrip(b'\n').split(b'\t')
            expected[name] = os.fsdecode(source)
    with zipfile.ZipFile(archive) as z:
        if run_testzip:
            bad = z.testzip()
            if bad is not None:
                sys.exit('testzip: bad entry ' + bad)
        names = [stored_name(info) for info in z.infolist()]
        if len(set(names)) != len(names):
            sys.exit('duplicate entry names')
        if set(names) != set(expected):
            sys.exit('entries differ: extra %s, missing %s' % (
                sorted(set(names) - set(expected))[:5], sorted(set(expected) - set(names))[:5]))
        for info in z.infolist():
            source_path = expected[stored_name(info)]
            if not source_path:
                with z.open(info) as entry:
                    while entry.read(PIECE):
                        pass
                continue
            with z.open(info) as entry, open(source_path, 'rb') as source:
                while True:
                    got = entry.read(PIECE)
                    want = source.read(len(got) if got else 1)
                    if got != want:
                        sys.exit('content differs: ' + info.filename)
                    if not got:
                        break


if __name__ == '__main__':
    main()
