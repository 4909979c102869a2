#!/usr/bin/python3
"""A song file's tags as mutagen reads them: `show FILE`, a line a tag (and
ID3's version); `add FILE [--v23] NAME=VALUE...` for title, artist and bpm."""
import sys

import mutagen
from mutagen.id3 import ID3, TBPM, TIT2, TPE1
from mutagen.mp4 import MP4

command, path, *fields = sys.argv[1:]
song = mutagen.File(path)
id3, mp4 = isinstance(song.tags, ID3), isinstance(song, MP4)
if command == "show":
    if id3:
        print("ID3v2.%d" % song.tags.version[1])
        for frame in song.tags.values():
            print("%s=%s" % (frame.FrameID, "/".join(str(t) for t in frame.text)))
    else:
        for key, value in song.tags.items() if mp4 else song.tags:
            print("%s=%s" % (key if mp4 else key.lower(), value))
    sys.exit()
v23 = fields[:1] == ["--v23"]
if song.tags is None:
    song.add_tags()
    id3 = isinstance(song.tags, ID3)
for name, value in (field.split("=", 1) for field in fields[v23:]):
    if id3:
        song.tags.add({"title": TIT2, "artist": TPE1, "bpm": TBPM}[name](encoding=3, text=[value]))
    elif mp4:
        key = {"title": "\xa9nam", "artist": "\xa9ART", "bpm": "tmpo"}[name]
        song.tags[key] = [int(value)] if name == "bpm" else [value]
    else:
        song.tags.append((name.upper(), value))
song.save(**({"v2_version": 3 if v23 else 4} if id3 else {}))
