#!/usr/bin/python3
"""Writes the reference environment files from the documented layout, independently of the
program: UTF-16LE without byte-order mark, and every 0x0A byte preceded by an added 0x0D, as a
text-mode C runtime stream stores it."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def encode(text):
    raw = text.encode("utf-16-le")
    return raw.replace(b"\x0a", b"\x0d\x0a")


def job_line(number_after_path, fields, last):
    line = "PATH%d :" % number_after_path + "".join(str(f) + "," for f in fields)
    return line + ("]" if last else "") + "\n"


def write(name, text):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(encode(text))


write("no_jobs.env",
      "[FILE_TITLE]\nVERSION :1,\n[LAST PATH]\nBASE PATH :,\nTARGET PATH :,]\n\n[END]")

odd_base = "/home/mika/\u010aopy \u0a0a \u0d0a"
job1 = [1, 1, 0, 1, 1, 0, 0, odd_base, "/mnt/usb/backup", 1700000000, 0, 0, "NYET",
        "", "", "", "", 21, 1, 21, 1]
job2 = [0, 2, 1, 3, 0, 1234567890, 4102444800, "C:\\Data\\\u65e5\u672c\u8a9e",
        "ftp://nas.local/backups", 1700000100, 5, 6, "DONE", "", "", "mika", "s3cr:t;[x]",
        21, 1, 2121, 0]
write("two_jobs.env",
      "[FILE_TITLE]\nVERSION :7,\n[LAST PATH]\nBASE PATH :" + odd_base + ",\n"
      "TARGET PATH :ftp://nas.local/backups,]\n[JOB LIST]\n"
      + job_line(1, job1, False) + job_line(2, job2, True) + "\n[END]")

# Only the separators matter to the reader: any title, any key texts, a decorative number after
# "PATH" that differs from field 2, text between sections and after the last "]".
job = [1, 2, 0, 2, 0, 0, 0, "/srv/data", "", 0, 0, 1600000000, "NYET", "", "", "", "",
       21, 1, 21, 1]
write("loose_layout.env",
      "Arkivo job list (kept by hand)\nversion number:3,\n[PATHS]\nbase:/srv/data,\n"
      "target:,]\nsome notes here\n[JOB LIST]\n" + job_line(7, job, True) + "trailing words")
