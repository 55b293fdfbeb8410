#!/usr/bin/python3
"""Makes a small, messy station library with Debian's tools (ffmpeg, lame, python3-mutagen):
every ID3v2 version and text encoding, covers, APE-only, Lyrics3, ID3v1 in Latin-1, several
sample rates, CBR/VBR/ABR, MPEG-2 and 2.5, FLAC, Ogg Vorbis, Opus, M4A, WAV and AIFF.

usage: make_messy_library.py FOLDER

Writes the files into FOLDER and FOLDER/manifest.tsv: one line per file with its name, the length
ffprobe gives in milliseconds (for MPEG files without a Xing header the sum of its frames, not
its guess from the bit rate), how our reader must answer ("exact": within 50 ms; "refused": no
playing time, the file named as one that cannot be timed), the tag source, title, artist, album,
year, genre name, ISRC and label expected.
"""

import os
import shutil
import struct
import subprocess
import sys

from mutagen.apev2 import APEv2
from mutagen.flac import FLAC
from mutagen.id3 import APIC, COMM, ID3, TALB, TCON, TDRC, TIT2, TPE1, TPUB, TRCK, TSRC
from mutagen.mp4 import MP4, MP4FreeForm
from mutagen.oggvorbis import OggVorbis

out = sys.argv[1]
work = os.path.join(out, "work")
shutil.rmtree(out, ignore_errors=True)
os.makedirs(work)
rows = []


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def tone(seconds, rate, channels=2):
    """A tone with some noise, so that VBR encoders vary their frames."""
    path = os.path.join(work, f"tone-{seconds}-{rate}-{channels}.wav")
    if not os.path.exists(path):
        run("ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
            f"sine=frequency=330:sample_rate={rate}:duration={seconds}", "-f", "lavfi", "-i",
            f"anoisesrc=color=pink:sample_rate={rate}:duration={seconds}:amplitude=0.2",
            "-filter_complex", "amix=inputs=2", "-ac", str(channels), "-ar", str(rate), path)
    return path


def lame(name, options, seconds=6, rate=44100, channels=2):
    path = os.path.join(out, name)
    run("lame", "--quiet", "--noreplaygain", *options, tone(seconds, rate, channels), path)
    return path


def ffprobe_ms(path):
    text = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                           "csv=p=0", path], check=True, capture_output=True, text=True).stdout
    return round(float(text.strip()) * 1000)


def ffprobe_frames_ms(path):
    """The length as the sum of the frames ffprobe reads: exact without a Xing header too."""
    text = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a", "-show_entries",
                           "packet=duration_time", "-of", "csv=p=0", path], check=True,
                          capture_output=True, text=True).stdout
    return round(sum(float(t) for t in text.split()) * 1000)


def add(path, source, title="", artist="", album="", year="", genre="", fit="exact",
        frames=False, isrc="", label=""):
    ms = 0 if fit == "refused" else ffprobe_frames_ms(path) if frames else ffprobe_ms(path)
    rows.append("\t".join([os.path.basename(path), str(ms), fit, source, title,
                           artist, album, year, genre, isrc, label]))


def id3(path, version, encoding, title, artist, album="", year="", genre="", cover=0, more=()):
    tag = ID3()
    tag.add(TIT2(encoding=encoding, text=title))
    tag.add(TPE1(encoding=encoding, text=artist))
    if album:
        tag.add(TALB(encoding=encoding, text=album))
    if year:
        tag.add(TDRC(encoding=encoding, text=year))
    if genre:
        tag.add(TCON(encoding=encoding, text=genre))
    tag.add(TRCK(encoding=encoding, text="3/12"))
    tag.add(COMM(encoding=encoding, lang="eng", desc="", text="made for the test"))
    if cover:
        tag.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="",
                     data=bytes((i * 7919 + 255) % 256 for i in range(cover))))
    for frame in more:
        tag.add(frame)
    tag.save(path, v1=0, v2_version=version)


def id3v1(path, title, artist, album, year, genre):
    def field(text, size):
        return text.encode("latin-1")[:size].ljust(size, b"\0")
    with open(path, "ab") as f:
        f.write(b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
                field("", 28) + b"\0\x05" + bytes([genre]))


def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])


def prepend(path, block):
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(block + data)


def id3v22(title, artist, album, year, genre):
    def frame(fid, text):
        body = b"\0" + text.encode("latin-1")
        return fid + struct.pack(">I", len(body))[1:] + body
    body = (frame(b"TT2", title) + frame(b"TP1", artist) + frame(b"TAL", album) +
            frame(b"TYE", year) + frame(b"TCO", genre) + frame(b"TRC", "GBAAA9800001") +
            frame(b"TPB", "Vintage Records"))
    return b"ID3\x02\x00\x00" + syncsafe(len(body) + 64) + body + bytes(64)


def unsynchronised_v23(title, artist):
    """A v2.3 tag with the whole-tag unsynchronisation flag: every FF is followed by a 00."""
    def frame(fid, text):
        body = b"\x01" + text.encode("utf-16")
        return fid + struct.pack(">I", len(body)) + b"\0\0"
    frames = b""
    for fid, text in ((b"TIT2", title), (b"TPE1", artist)):
        body = b"\x01" + text.encode("utf-16")
        frames += fid + struct.pack(">I", len(body)) + b"\0\0" + body
    frames = frames.replace(b"\xff", b"\xff\x00")
    return b"ID3\x03\x00\x80" + syncsafe(len(frames) + 20) + frames + bytes(20)


# ID3v2.3 in UTF-16 with a 300 KB cover: the old reader counted the cover as music.
p = lame("v23-utf16-cover.mp3", ["-b", "128"], seconds=8)
id3(p, 3, 1, "Élan vital", "Zoë Ångström", "Nordic Nights", "2004", "(17)", cover=300000)
add(p, "ID3v2.3", "Élan vital", "Zoë Ångström", "Nordic Nights", "2004", "Rock")

# UTF-16 titles whose byte-order mark is followed by a letter (FF FE 41 00 ...): a false
# Layer I header before the real frames, in front of a short jingle too.
for i, letter in enumerate("AQei"):
    p = lame(f"v23-bom-{letter}.mp3", ["-b", "96"], seconds=4 if i % 2 else 7)
    id3(p, 3, 1, letter + "fter the BOM", "Bom Band " + letter, "BOM", "2011", "(17)Rock",
        cover=20000 * i)
    add(p, "ID3v2.3", letter + "fter the BOM", "Bom Band " + letter, "BOM", "2011", "Rock")

p = lame("v23-latin1.mp3", ["-b", "160"], rate=48000)
id3(p, 3, 0, "Café Crème", "Françoise Hardy-ish", "Chansons", "1968", "Chanson",
    more=(TSRC(encoding=0, text="FRZ036800123"), TPUB(encoding=0, text="Disques Vogué")))
add(p, "ID3v2.3", "Café Crème", "Françoise Hardy-ish", "Chansons", "1968", "Chanson",
    isrc="FRZ036800123", label="Disques Vogué")

p = lame("v24-utf8-cjk.mp3", ["-b", "192"])
id3(p, 4, 3, "東京の夜", "宇多田 ヒカル風", "ネオン", "2019-05-04", "J-Pop",
    more=(TSRC(encoding=3, text="JPAB01900001"), TPUB(encoding=3, text="夜レコード")))
add(p, "ID3v2.4", "東京の夜", "宇多田 ヒカル風", "ネオン", "2019", "J-Pop",
    isrc="JPAB01900001", label="夜レコード")

p = lame("v24-utf16be-multi.mp3", ["-b", "128"], rate=32000)
id3(p, 4, 2, "Duet Song", ["Ana Ñúñez", "Bo Öberg"], "Together", "1999", "Synthwave")
add(p, "ID3v2.4", "Duet Song", "Ana Ñúñez / Bo Öberg", "Together", "1999", "Synthwave")

p = lame("v24-long-texts.mp3", ["-b", "128"])
long_title = "A title far longer than the thirty characters of ID3v1 ever allowed"
id3(p, 4, 3, long_title, "The Extraordinarily Long-Named Orchestra", "Album", "2020", "(20)")
add(p, "ID3v2.4", long_title, "The Extraordinarily Long-Named Orchestra", "Album", "2020",
    "Alternative")

# ID3v2 without album over an ID3v1 tag that has one: each field from the first tag that has it.
p = lame("v23-over-id3v1.mp3", ["-b", "128"])
id3(p, 3, 1, "Upper Title", "Upper Artist", year="2001", genre="Dance")
id3v1(p, "Lower Title", "Lower Artist", "Lower Album", "1990", 17)
add(p, "ID3v2.3", "Upper Title", "Upper Artist", "Lower Album", "2001", "Dance")

p = lame("v22.mp3", ["-b", "128"])
prepend(p, id3v22("Old Two", "Version Twopointtwo", "Vintage", "1998", "(13)"))
add(p, "ID3v2.2", "Old Two", "Version Twopointtwo", "Vintage", "1998", "Pop",
    isrc="GBAAA9800001", label="Vintage Records")

p = lame("v23-unsync.mp3", ["-b", "128"])
prepend(p, unsynchronised_v23("Ÿes ÿes", "Unsync Ünit"))
add(p, "ID3v2.3", "Ÿes ÿes", "Unsync Ünit")

p = lame("stacked-id3v2.mp3", ["-b", "128"])
id3(p, 3, 1, "Stacked", "Two Tags")
prepend(p, b"ID3\x03\x00\x00" + syncsafe(4000) + bytes(4000))
add(p, "none")  # the reader takes the first tag, which is empty padding

p = lame("ape-only.mp3", ["-b", "128"])
ape = APEv2()
ape["Title"] = "Ape Títle"
ape["Artist"] = "Monkey Ärtist"
ape["Album"] = "Jungle"
ape["Year"] = "2007"
ape["Genre"] = "Reggae"
ape["ISRC"] = "JMAAA0700001"
ape["Label"] = "Island Ápe"
ape.save(p)
add(p, "APEv2", "Ape Títle", "Monkey Ärtist", "Jungle", "2007", "Reggae",
    isrc="JMAAA0700001", label="Island Ápe")

p = lame("id3v1-latin1.mp3", ["-b", "128"])
id3v1(p, "Señorita", "Jürgen Groß", "Straße", "1985", 13)
add(p, "ID3v1", "Señorita", "Jürgen Groß", "Straße", "1985", "Pop")

p = lame("id3v1-lyrics3.mp3", ["-b", "128"])
with open(p, "ab") as f:
    fields = b"IND00003110LYR00021[00:01]Some words\xff\xfb"
    f.write(b"LYRICSBEGIN" + fields + b"%06d" % (len(fields) + 11) + b"LYRICS200")
id3v1(p, "Lyrical", "Lyricist", "Words", "1977", 0)
add(p, "ID3v1", "Lyrical", "Lyricist", "Words", "1977", "Blues")

p = lame("untagged-jingle.mp3", ["-b", "128"], seconds=3.7)
add(p, "none")

# Sample rates, MPEG versions, bit-rate modes.
for name, options, rate, channels in (
        ("mpeg1-32k-cbr.mp3", ["-b", "96"], 32000, 2),
        ("mpeg1-48k-cbr.mp3", ["-b", "256"], 48000, 2),
        ("mpeg2-22k-cbr.mp3", ["-b", "64"], 22050, 2),
        ("mpeg2-24k-mono.mp3", ["-b", "32", "-m", "m"], 24000, 1),
        ("mpeg2-16k-vbr.mp3", ["-V", "6"], 16000, 1),
        ("mpeg25-11k-cbr.mp3", ["-b", "32"], 11025, 2),
        ("mpeg25-8k-cbr.mp3", ["-b", "16", "-m", "m"], 8000, 1),
        ("vbr-v2.mp3", ["-V", "2"], 44100, 2),
        ("abr-160.mp3", ["--abr", "160"], 44100, 2),
        ("mpeg2-22k-vbr.mp3", ["-V", "4"], 22050, 2)):
    p = lame(name, options, rate=rate, channels=channels)
    id3(p, 3, 1, name, "Rate Tester", cover=100000 if "vbr" in name else 0)
    add(p, "ID3v2.3", name, "Rate Tester")

# Without a Xing header: VBR files are timed by their frames, CBR ones by their bytes.
for name, options, rate, channels in (
        ("vbr-no-xing.mp3", ["-V", "2", "-t"], 44100, 2),
        ("vbr-no-xing-22k.mp3", ["-V", "5", "-t"], 22050, 2),
        ("vbr-no-xing-8k.mp3", ["-V", "7", "-t", "-m", "m"], 8000, 1),
        ("cbr-no-info.mp3", ["-b", "128", "-t"], 44100, 2)):
    p = lame(name, options, seconds=9, rate=rate, channels=channels)
    id3(p, 3, 1, "No Xing", "Vbr Artist")
    id3v1(p, "No Xing", "Vbr Artist", "", "2003", 17)
    add(p, "ID3v2.3", "No Xing", "Vbr Artist", frames=True)
p = os.path.join(out, "ffmpeg-vbr-no-xing.mp3")
run("ffmpeg", "-v", "error", "-y", "-i", tone(8, 44100), "-c:a", "libmp3lame", "-q:a", "3",
    "-write_xing", "0", "-id3v2_version", "0", p)
add(p, "none", frames=True)

# The other formats, tagged by ffmpeg.
for name, codec in (("flac.flac", ["-c:a", "flac"]), ("vorbis.ogg", ["-c:a", "libvorbis"]),
                    ("opus.opus", ["-c:a", "libopus", "-b:a", "64k"]),
                    ("aac.m4a", ["-c:a", "aac", "-b:a", "128k"]),
                    ("alac.m4a", ["-c:a", "alac"]), ("pcm.wav", ["-c:a", "pcm_s16le"]),
                    ("pcm.aiff", ["-c:a", "pcm_s16be", "-write_id3v2", "1"])):
    p = os.path.join(out, name)
    # The recording's code and label where each format keeps them (Vorbis comments also as
    # ORGANIZATION; ffmpeg writes AIFF's as ID3v2 TSRC and TPUB).
    isrc, label = {"flac.flac": ("USFLA1500001", "Lossless Läbel"),
                   "vorbis.ogg": ("USOGG1500002", "Organizätion"),
                   "aac.m4a": ("USMP41500003", "Apple Cört"),
                   "pcm.aiff": ("USAIF1500004", "Pub Läbel")}.get(name, ("", ""))
    aiff = name.endswith(".aiff")
    more = ["-metadata", f"ISRC={isrc}", "-metadata", f"publisher={label}"] if aiff else []
    run("ffmpeg", "-v", "error", "-y", "-i", tone(7, 44100 if "opus" not in name else 48000),
        *codec, "-metadata", f"title=Ünïcode {name}", "-metadata", "artist=Format Fan",
        "-metadata", "album=Containers", "-metadata", "date=2015", "-metadata", "genre=Jazz",
        *more, p)
    source = {"flac": "Vorbis comment", "ogg": "Vorbis comment", "opus": "Vorbis comment",
              "m4a": "MP4", "wav": "RIFF INFO", "aiff": "ID3v2.4"}[name.split(".")[1]]
    title = f"Ünïcode {name}"
    album = "Containers"
    if name.endswith(".wav"):  # RIFF INFO has no room for the album in ffmpeg's writer
        album = ""
    if name == "flac.flac":
        tags = FLAC(p)
        tags["ISRC"], tags["LABEL"] = isrc, label
        tags.save()
    elif name == "vorbis.ogg":
        tags = OggVorbis(p)
        tags["ISRC"], tags["ORGANIZATION"] = isrc, label
        tags.save()
    elif name == "aac.m4a":
        tags = MP4(p)
        tags["----:com.apple.iTunes:ISRC"] = MP4FreeForm(isrc.encode())
        tags["----:com.apple.iTunes:LABEL"] = MP4FreeForm(label.encode())
        tags.save()
    add(p, source, title, "Format Fan", album, "2015", "Jazz", isrc=isrc, label=label)

# Files no reader here can time: refused and named, never placed with a made-up length.
p = os.path.join(out, "speex.ogg")
run("ffmpeg", "-v", "error", "-y", "-i", tone(4, 16000, 1), "-c:a", "libspeex", p)
add(p, "none", fit="refused")
p = os.path.join(out, "ogg-flac.oga")
run("ffmpeg", "-v", "error", "-y", "-i", tone(4, 44100), "-c:a", "flac", "-f", "ogg", p)
add(p, "none", fit="refused")
open(os.path.join(out, "empty.mp3"), "wb").close()
add(os.path.join(out, "empty.mp3"), "none", fit="refused")
for name in ("pcm.wav", "pcm.aiff"):
    with open(os.path.join(out, name), "rb") as f:
        head = f.read(60)
    p = os.path.join(out, "broken-" + name)
    with open(p, "wb") as f:
        f.write(head)  # the header alone: no audio chunk
    add(p, "none", fit="refused")

shutil.rmtree(work)
with open(os.path.join(out, "manifest.tsv"), "w", encoding="utf-8") as f:
    f.write("\n".join(rows) + "\n")
print(f"{len(rows)} files in {out}")
