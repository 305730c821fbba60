"""Checks an archive with Python's zipfile: testzip, the set of entry names, and the bytes of
every entry against its source file.

    check_zip.py ARCHIVE MANIFEST [--no-testzip]

MANIFEST has one line per entry: the entry name, a tab, the source path (UTF-8). An empty
source path means the entry is read (which checks its CRC) but compared with nothing.
Reading an entry through zipfile checks its CRC as well; --no-testzip skips the separate
testzip pass for very large archives.
"""
import sys
import zipfile

PIECE = 1 << 22


def main():
    archive, manifest = sys.argv[1], sys.argv[2]
    run_testzip = '--no-testzip' not in sys.argv[3:]
    expected = {}
    with open(manifest, encoding='utf-8') as lines:
        for line in lines:
            name, source = line.rstrip('\n').split('\t')
            expected[name] = source
    with zipfile.ZipFile(archive) as z:
        if run_testzip:
            bad = z.testzip()
            if bad is not None:
                sys.exit('testzip: bad entry ' + bad)
        names = [info.filename for info in z.infolist()]
        if len(set(names)) != len(names):
            sys.exit('duplicate entry names')
        if set(names) != set(expected):
            sys.exit('entries differ: extra %s, missing %s' % (
                sorted(set(names) - set(expected))[:5], sorted(set(expected) - set(names))[:5]))
        for info in z.infolist():
            if not expected[info.filename]:
                with z.open(info) as entry:
                    while entry.read(PIECE):
                        pass
                continue
            with z.open(info) as entry, open(expected[info.filename], 'rb') as source:
                while True:
                    got = entry.read(PIECE)
                    want = source.read(len(got) if got else 1)
                    if got != want:
                        sys.exit('content differs: ' + info.filename)
                    if not got:
                        break


if __name__ == '__main__':
    main()
