#!/usr/bin/python3
"""Writes an environment file with a few sample jobs for the screenshots."""
import sys

jobs = [
    ("C:\\Users\\Ada\\Documents", "E:\\Backup\\Documents", 1236254400, 1),
    ("C:\\Users\\Ada\\Pictures\\写真 2009", "E:\\Backup\\Pictures", 1236686400, 1),
    ("D:\\Projects\\보고서", "ftp://backup.example/projects", 0, 0),
    ("C:\\Mail", "\\\\nas\\share\\Mail", 1262260800, 1),
]
lines = ["[FILE_TITLE]", "VERSION :1,", "[LAST PATH]", "BASE PATH :" + jobs[0][0] + ",",
         "TARGET PATH :" + jobs[0][1] + ",]", "[JOB LIST]"]
for n, (base, target, when, checked) in enumerate(jobs, 1):
    fields = [checked, n, 0, 1, 0, 0, 0, base, target, when, 0, 0, "NYET",
              "ada" if target.startswith("ftp") else "", "", "", "", 21, 1, 21, 1]
    line = "PATH%d :" % n + "".join(str(f) + "," for f in fields)
    lines.append(line + ("]" if n == len(jobs) else ""))
text = "\n".join(lines) + "\n\n[END]"
# A text-mode stream adds 0x0D before every 0x0A byte.
data = text.encode("utf-16-le").replace(b"\n", b"\r\n")
open(sys.argv[1], "wb").write(data)
