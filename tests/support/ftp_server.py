# The FTP server the FTP client tests talk to: pyftpdlib on 127.0.0.1, user "u" with password
# "p" (full rights on ROOT), user "open" logged in by USER alone. It writes the port it listens on
# to PORTFILE once it accepts connections.
#
#   ftp_server.py ROOT PORTFILE [options]
#
#   --no-mlsd          knows no MLSD and MLST: listings come from LIST only
#   --drop CMD,...     knows none of these commands (EPSV, EPRT, ...)
#   --masquerade ADDR  names ADDR as its host in PASV replies
#   --dos-list         answers LIST in the style of Windows servers ("01-31-26  10:15AM  <DIR>  x")
#   --skew SECONDS     its clock runs that far off: every listed time moves with it
#   --hostile          lists names that lead elsewhere ("../x", "a/b", "..", NUL, bad UTF-8)
#                      among garbage lines, in MLSD and LIST alike
#   --many N           lists N made-up files, "entry-000000" of 0 bytes, "entry-000001" of 1
#                      byte..., modified 2025-06-01 12:00:00 UTC, in MLSD and LIST alike
#   --cut BYTES        drops a download's data connection after that many bytes, and says so
#   --die-at BYTES     ends the whole server after that many bytes of a download: both
#                      connections cut, no final reply
#   --die-in-upload BYTES  ends the whole server once an upload has sent it that many bytes:
#                      what came so far stays in the stored file, no final reply
#   --freeze-at BYTES  sends nothing more after that many bytes of a download, connection open
#   --silent           accepts connections and never says a word
#   --stall-on CMD     stops answering at the first CMD: no reply to it or to anything after
#   --garbage-on CMD   answers CMD with a line that is no FTP reply
#   --log FILE         logs to FILE instead of standard error, and lets go of the standard
#                      streams, for a starter that cannot give it files of its own
#   --while PATH       ends once PATH is gone, first writing PORTFILE.ended, for a starter
#                      that cannot kill it (a Windows test under Wine)
#   --lifetime SECONDS ends after that long whatever happens, so a crashed test leaves no
#                      server behind
#   --file PATH=TEXT   writes TEXT to ROOT/PATH first (repeatable): names a Windows test
#                      cannot make itself ("a:b.txt", "con.txt")
import logging
import os
import socket
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

root, port_file, options = sys.argv[1], sys.argv[2], sys.argv[3:]


def option(name, default=None):
    return options[options.index(name) + 1] if name in options else default


skew = int(option('--skew', '0'))
cut = int(option('--cut', '0'))
die_at = int(option('--die-at', '0'))
freeze_at = int(option('--freeze-at', '0'))
die_in_upload = int(option('--die-in-upload', '0'))
stall_on = option('--stall-on')
many = int(option('--many', '0'))
garbage_on = option('--garbage-on')
dropped = set(option('--drop', '').upper().split(',')) - {''}
if '--no-mlsd' in options:
    dropped |= {'MLSD', 'MLST'}


for index, word in enumerate(options):
    if word == '--file':
        path, text = options[index + 1].split('=', 1)
        os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
        with open(os.path.join(root, path), 'w') as out:
            out.write(text)


def announce(port):
    # Written whole under another name, then renamed, so the reader never sees half a number.
    with open(port_file + '.part', 'w') as out:
        out.write(str(port))
    os.replace(port_file + '.part', port_file)


if '--silent' in options:
    listener = socket.socket()
    listener.bind(('127.0.0.1', 0))
    listener.listen(8)
    announce(listener.getsockname()[1])
    held = []
    while True:
        held.append(listener.accept()[0])

HOSTILE_MLSD = [
    b'type=cdir;modify=20260101000000; .',
    b'type=file;size=5;modify=20260101000000; ../escape.txt',
    b'type=file;size=5;modify=20260101000000; a/b.txt',
    b'type=file;size=5;modify=20260101000000; a\\b.txt',
    b'type=dir;modify=20260101000000; ..',
    b'type=file;size=5;modify=20260101000000; nul\x00name',
    b'type=file;size=5;modify=20260101000000; bad\xff\xfeutf8',
    b'garbage line',
    b'type=file;size=5;modify=20260101000000; ok.txt',
]
HOSTILE_LIST = [
    b'total 5',
    b'-rw-r--r-- 1 u u 5 Jan 01  2026 ../escape.txt',
    b'-rw-r--r-- 1 u u 5 Jan 01  2026 a/b.txt',
    b'-rw-r--r-- 1 u u 5 Jan 01  2026 a\\b.txt',
    b'drwxr-xr-x 2 u u 4096 Jan 01  2026 ..',
    b'-rw-r--r-- 1 u u 5 Jan 01  2026 nul\x00name',
    b'-rw-r--r-- 1 u u 5 Jan 01  2026 bad\xff\xfeutf8',
    b'garbage line',
    b'-rw-r--r-- 1 u u 5 Jan 01  2026 ok.txt',
]


def many_lines(style):
    if style == 'MLSD':
        line = 'type=file;size=%d;modify=20250601120000; entry-%06d'
    else:
        line = '-rw-r--r-- 1 u u %d Jun 01  2025 entry-%06d'
    return [(line % (i, i)).encode() for i in range(many)]


class SkewedFS(AbstractedFS):
    def getmtime(self, path):
        return os.path.getmtime(path) + skew

    def stat(self, path):
        st = os.stat(path)
        return os.stat_result(st[:8] + (st.st_mtime + skew,) + st[9:])

    lstat = stat


class BrokenDTP(DTPHandler):
    sent = 0
    received = 0

    def recv(self, buffer_size):
        data = super().recv(buffer_size)
        if die_in_upload and self.received + len(data) > die_in_upload:
            if self.file_obj is not None:
                self.file_obj.flush()
            os._exit(0)
        self.received += len(data)
        return data

    def send(self, data):
        if cut and self.sent + len(data) > cut:
            # handle_close, not close: the server then still sends its final reply (426).
            self.handle_close()
            return 0
        if die_at and self.sent + len(data) > die_at:
            os._exit(0)
        if freeze_at and self.sent + len(data) > freeze_at:
            # Out of the event loop, never to be written to or closed.
            self.del_channel()
            return 0
        count = super().send(data)
        self.sent += count
        return count


def dos_line(path, name, st):
    when = time.strftime('%m-%d-%y  %I:%M%p', time.gmtime(st.st_mtime))
    if os.path.isdir(os.path.join(path, name)):
        return '%s       <DIR>          %s' % (when, name)
    return '%s %20d %s' % (when, st.st_size, name)


class Handler(FTPHandler):
    abstracted_fs = SkewedFS
    auth_failed_timeout = 0.1
    proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in dropped}
    masquerade_address = option('--masquerade')
    stalled = False
    if cut or die_at or freeze_at or die_in_upload:
        dtp_handler = BrokenDTP
        # Downloads through sendfile would never pass through send.
        use_sendfile = False

    def pre_process_command(self, line, cmd, arg):
        if cmd == stall_on:
            self.stalled = True
        if self.stalled:
            return
        if cmd == garbage_on:
            self.push('this is no reply\r\n')
            return
        if cmd == 'USER' and arg == 'open':
            self.username = 'open'
            self.handle_auth_success(root, '', 'Welcome, no password needed.')
            return
        super().pre_process_command(line, cmd, arg)

    def push_lines(self, lines, cmd):
        self.push_dtp_data(b''.join(line + b'\r\n' for line in lines), isproducer=False, cmd=cmd)

    def ftp_MLSD(self, path):
        if many:
            self.push_lines(many_lines('MLSD'), 'MLSD')
            return path
        if '--hostile' in options:
            self.push_lines(HOSTILE_MLSD, 'MLSD')
            return path
        return super().ftp_MLSD(path)

    def ftp_LIST(self, path):
        if many:
            self.push_lines(many_lines('LIST'), 'LIST')
            return path
        if '--hostile' in options:
            self.push_lines(HOSTILE_LIST, 'LIST')
            return path
        if '--dos-list' in options:
            names = sorted(os.listdir(path))
            lines = [dos_line(path, n, self.fs.stat(os.path.join(path, n))) for n in names]
            self.push_lines([line.encode('utf-8') for line in lines], 'LIST')
            return path
        return super().ftp_LIST(path)


# Every command to standard error ("<- EPRT |1|127.0.0.1|40123|"), where the tests look.
log_file = option('--log')
if log_file:
    logging.basicConfig(level=logging.DEBUG, format='%(message)s', filename=log_file)
    null = os.open(os.devnull, os.O_RDWR)
    for stream in (0, 1, 2):
        os.dup2(null, stream)
else:
    logging.basicConfig(level=logging.DEBUG, format='%(message)s')
authorizer = DummyAuthorizer()
authorizer.add_user('u', 'p', root, perm='elradfmwMT')
authorizer.add_user('open', '', root, perm='elr')
Handler.authorizer = authorizer
server = FTPServer(('127.0.0.1', 0), Handler)
watched = option('--while')
ends_at = time.monotonic() + float(option('--lifetime', 'inf'))


def end_when_told():
    if (watched and not os.path.exists(watched)) or time.monotonic() > ends_at:
        with open(port_file + '.ended', 'w'):
            pass
        os._exit(0)


if watched or '--lifetime' in options:
    server.ioloop.call_every(0.05, end_when_told)
announce(server.address[1])
server.serve_forever(timeout=0.05)
