#!/usr/bin/env python3
"""Builds an English-Japanese development set with gold links from gettext catalogues.

Usage: make_devset.py CATALOGUE_DIR BITEXA_ALIGN OUTDIR [--seed N]

CATALOGUE_DIR holds PACKAGE__DOMAIN.mo files (fetch-catalogues.sh makes them). BITEXA_ALIGN is the
command-line aligner; its --segments mode cuts the sentence-split documents exactly as an
alignment run does, so the gold refers to the segments the aligner sees.

OUTDIR gets, for each part (tune, heldout):
  PART/entries.tsv              the cleaned pairs: package, English, Japanese
  PART/sent-NAME.{en,ja}.txt    sentence-split documents (paragraphs of several entries), to be
                                cut by the English and the Japanese sentence rules
  PART/lines-NAME.{en,ja}.txt   one entry per line (lines only), a few lines deleted on either
                                side, shared paragraph labels now and then
  PART/*.gold                   one line per gold bead: source ids TAB target ids, each a
                                comma-separated list of 1-based segment numbers, empty for none;
                                segments that are empty lines are in no bead
timing/lines-20k.* from both parts (no labels: one stretch), PART.manifest listing
"PART/NAME GROUP" for every document (GROUP sent or lines; paths relative to OUTDIR), and
README.txt with the sizes. Standard library only, plus the aligner.
"""

import html
import random
import re
import struct
import subprocess
import sys
from pathlib import Path

# Packages whose entries are held out: unseen in tuning, mixing desktop programs, an office suite
# and command-line tools so that both parts have every kind of text.
HELD_OUT = {
    "inkscape", "evolution-common", "nautilus-data", "libgtk-4-common", "gnome-software-common",
    "totem-common", "libreoffice-l10n-ja", "coreutils", "postgresql-client-15", "grep", "wget",
    "findutils", "simple-scan", "thunar-data",
}


# ----------------------------------------------------------------------------------------------
# Reading catalogues


def read_mo(path):
    """(msgctxt or None, msgid, msgid_plural or None, [msgstr...]) for every entry of a .mo."""
    data = path.read_bytes()
    magic = struct.unpack("<I", data[:4])[0]
    endian = "<" if magic == 0x950412DE else ">"
    _, count, original_at, translation_at = struct.unpack(endian + "4I", data[4:20])
    entries = []
    charset = "utf-8"
    for k in range(count):
        olen, ooff = struct.unpack(endian + "2I", data[original_at + 8 * k:original_at + 8 * k + 8])
        tlen, toff = struct.unpack(endian + "2I",
                                   data[translation_at + 8 * k:translation_at + 8 * k + 8])
        original = data[ooff:ooff + olen].decode(charset, "replace")
        translation = data[toff:toff + tlen].decode(charset, "replace")
        if not original:
            # The header, always the first entry, names the encoding of the others.
            found = re.search(r"charset=([-\w]+)", translation)
            if found:
                try:
                    "".encode(found.group(1))
                    charset = found.group(1)
                except LookupError:
                    pass
            continue
        context = None
        if "\x04" in original:
            context, original = original.split("\x04", 1)
        msgid, _, plural = original.partition("\x00")
        entries.append((context, msgid, plural or None, translation.split("\x00")))
    return entries


# ----------------------------------------------------------------------------------------------
# Cleaning

PLACEHOLDER = re.compile(r"%(?:\d+\$)?[-+ #0']*\d*(?:\.\d+)?(?:hh|h|ll|l|L|z|j|t|I64)?[diouxXeEfgGcspn%]"
                         r"|\{[0-9A-Za-z_]*\}|%[A-Za-z0-9_]+%|\$\{?[A-Za-z_][A-Za-z0-9_]*\}?")
TAG = re.compile(r"</?[A-Za-z][^<>]*>")
JA_ACCEL = re.compile(r"[(（]\s*[_&~][A-Za-z0-9]\s*[)）]")
ACCEL = re.compile(r"(?:(?<=^)|(?<=[\s(\"'“]))[_&~](?=[A-Za-z0-9])")
# Inside a word (E_xit) only where the translation shows the key as (_X): elsewhere an underscore
# inside a word is an identifier's.
INNER_ACCEL = re.compile(r"(?<=[A-Za-z])[_~&](?=[A-Za-z])")
KEYWORDS = re.compile(r"^[^;]*(;[^;]*)+;?$")
JAPANESE = re.compile(r"[\u3040-\u30ff\u3400-\u9fff\uff66-\uff9f]")
WIDE = r"\u2e80-\u9fff\uff00-\uffef\u3000-\u303f"


def clean_common(text):
    text = TAG.sub("", text)
    text = html.unescape(text)
    text = text.replace("\u00a0", " ")
    return " ".join(text.split())


def clean_english(text, translation=""):
    text = clean_common(text)
    text = ACCEL.sub("", text)
    if JA_ACCEL.search(translation) and len(INNER_ACCEL.findall(text)) == 1:
        text = INNER_ACCEL.sub("", text)
    return text.strip()


def clean_japanese(text):
    text = clean_common(text)
    text = JA_ACCEL.sub("", text)
    text = ACCEL.sub("", text)
    # Japanese prose has no spaces beside its own characters; one left after 。 would start an
    # indented line and so a paragraph break under the Japanese rules.
    text = re.sub(rf"(?<=[{WIDE}]) +(?=[{WIDE}])|(?<=[。、！？」』）]) +", "", text)
    return text.strip()


def is_useful(english, japanese):
    if not english or not japanese or english == japanese:
        return False
    if not JAPANESE.search(japanese) or JAPANESE.search(english):
        return False
    if KEYWORDS.match(english) or KEYWORDS.match(japanese):
        return False  # search keyword lists of desktop files
    bare = PLACEHOLDER.sub("", english)
    if not re.search(r"[A-Za-z]{2}", bare):
        return False  # format-only or symbols
    if english.startswith(("translator", "Translator")) or "@" in english and " " not in english:
        return False
    return len(english) <= 600


def load_entries(catalogue_dir):
    """[(package, english, japanese)], cleaned and deduplicated on the English side."""
    seen = set()
    entries = []
    for path in sorted(Path(catalogue_dir).glob("*.mo")):
        package = path.name.split("__")[0]
        for context, msgid, plural, strings in read_mo(path):
            if plural is not None:
                continue  # count-dependent text: the Japanese form serves every count
            if context and "credits" in context:
                continue
            for english, japanese in split_listing(msgid, strings[0]):
                english = clean_english(english, japanese)
                japanese = clean_japanese(japanese)
                if not is_useful(english, japanese):
                    continue
                key = english.casefold()
                if key in seen:
                    continue
                seen.add(key)
                entries.append((package, english, japanese))
    return entries


def split_listing(msgid, msgstr):
    """An option listing (--help text) line by line when both sides have the same lines;
    anything else whole. Wrapped prose is never split: its line breaks fall anywhere."""
    english = [line for line in msgid.split("\n") if line.strip()]
    japanese = [line for line in msgstr.split("\n") if line.strip()]
    listing = all(line.startswith((" ", "\t", "-")) for line in english)
    if len(english) > 1 and len(english) == len(japanese) and listing:
        return list(zip(english, japanese))
    return [(msgid, msgstr)]


# ----------------------------------------------------------------------------------------------
# Documents

SENTENCE_END_EN = re.compile(r"[.!?…][\"')\]”’]*$")
SENTENCE_END_JA = re.compile(r"[。！？．.!?][」』）)]*$")
LABEL_STYLES = [("({})", "（{}）", "digits"), ("({})", "({})", "digits"), ("({})", "（{}）", "wide"),
                ("({})", "（{}）", "letters")]


def word_count(english):
    return len(english.split())


def is_prose(english):
    """Not code-like: a full stop inside a token (%.3f, .NET, 0x%.2x) would be cut by the
    English rules where no translator would see a sentence end."""
    return re.search(r"\.[^\s\"')\]”’]", english.rstrip(".")) is None


def as_sentence(english, japanese):
    """The entry made to end like a sentence on both sides, as it would inside a paragraph."""
    if not SENTENCE_END_EN.search(english):
        english = english.rstrip(":：;,") + "."
    # Error messages start in lower case; a sentence of prose does not, and the English rules
    # rightly keep a lower-case start with the sentence before it.
    if english[0].islower() and english[0].isascii():
        english = english[0].upper() + english[1:]
    # Half-width ? and ! inside Japanese prose are typed full width; the Japanese rules end a
    # sentence at the full-width marks only.
    japanese = re.sub(r"(?<=[^\x00-\x7f])([?!])", lambda m: chr(ord(m.group(1)) + 0xFEE0), japanese)
    japanese = re.sub(r"(?<=[\u3040-\u30ff\u3400-\u9fff])\.(?!\.) ?", "。", japanese)
    if not SENTENCE_END_JA.search(japanese):
        japanese = japanese.rstrip(":：;、,") + "。"
    return english, japanese


# How often a translator of prose joins two sentences into one, splits one into two (seen here
# from the other side: the English joined), or leaves a sentence out. Catalogue entries are
# translated one by one, always one to one; real translated prose is not.
JOIN_JAPANESE = 0.04
JOIN_ENGLISH = 0.03
OMIT = 0.0075


def translator_edits(group, rng):
    """Joins and omissions inside one paragraph of (English, Japanese) sentences."""
    group = [list(pair) for pair in group]
    for n in range(len(group) - 1):
        english, japanese = group[n]
        following = group[n + 1]
        roll = rng.random()
        if roll < JOIN_JAPANESE and japanese.endswith("。"):
            group[n][1] = japanese[:-1] + "、"
        elif (roll < JOIN_JAPANESE + JOIN_ENGLISH and english.endswith(".")
              and re.match(r"[A-Z][a-z]", following[0])):
            group[n][0] = english[:-1] + ";"
            following[0] = following[0][0].lower() + following[0][1:]
    for pair in group:
        roll = rng.random()
        if roll < OMIT:
            pair[1] = ""
        elif roll < 2 * OMIT:
            pair[0] = ""
    return group


def sentence_document(entries, rng):
    """Paragraph lines separated by empty lines; a short entry now and then as a heading.
    Returns both texts and, per side, the character span of every entry in the text."""
    texts = {"en": [], "ja": []}
    spans = {"en": [], "ja": []}
    lengths = {"en": 0, "ja": 0}
    k = 0
    while k < len(entries):
        english, japanese = entries[k]
        if word_count(english) <= 4 and rng.random() < 0.7:
            group = [(english, japanese)]  # a heading: a paragraph of its own, no full stop
            k += 1
        else:
            size = rng.randint(1, 6)
            group = translator_edits([as_sentence(e, j) for e, j in entries[k:k + size]], rng)
            k += size
        for side, joiner, index in (("en", " ", 0), ("ja", "", 1)):
            if texts[side]:
                texts[side].append("\n\n")
                lengths[side] += 2
            written = False
            for entry in group:
                if written and entry[index]:
                    texts[side].append(joiner)
                    lengths[side] += len(joiner)
                spans[side].append((lengths[side], lengths[side] + len(entry[index])))
                texts[side].append(entry[index])
                lengths[side] += len(entry[index])
                written = written or bool(entry[index])
    return "".join(texts["en"]) + "\n", "".join(texts["ja"]) + "\n", spans


def split_shapes(entries, aligner, workdir):
    """How many segments each entry gives on each side when the rules cut it alone (each entry
    a paragraph of its own)."""
    shapes = []
    counts = {}
    for side, index, mode in (("en", 0, "english"), ("ja", 1, "japanese")):
        texts = [as_sentence(e, j)[index] for e, j in entries]
        spans, text, at = [], [], 0
        for t in texts:
            spans.append((at, at + len(t)))
            text.append(t + "\n\n")
            at += len(t) + 2
        document = "".join(text)
        path = workdir / f"shapes.{side}.txt"
        path.write_text(document, encoding="utf-8")
        covers = segment_entries(document, spans, segments_of(aligner, path, mode))
        per_entry = [0] * len(entries)
        for covered in covers:
            for e in covered:
                per_entry[e] += 1
        counts[side] = per_entry
        path.unlink()
    for a, b in zip(counts["en"], counts["ja"]):
        shapes.append((a, b))
    return shapes


def has_known_links(shape):
    """Segments of an entry pair one to one in order, or within a bead the aligner can form;
    3 against 2 has no known inner links and would make a gold bead no aligner can match."""
    a, b = shape
    return a == b or (a <= 2 and b <= 2)


def segments_of(aligner, path, mode):
    result = subprocess.run([aligner, "--segments", str(path), "-m", mode], check=True,
                            capture_output=True)
    lines = result.stdout.decode("utf-8").split("\n")
    return lines[:-1]


def segment_entries(text, spans, segments):
    """For each segment, the entries it overlaps. The rules only add, drop or change white
    space, so the segments' other characters, read in order, are the text's."""
    owner = []  # entry of each non-space character of the text, in order
    entry_at = [None] * len(text)
    for e, (start, end) in enumerate(spans):
        for c in range(start, end):
            entry_at[c] = e
    for c, ch in enumerate(text):
        if not ch.isspace():
            owner.append(entry_at[c])
    result = []
    position = 0
    for segment in segments:
        covered = set()
        for ch in segment:
            if ch.isspace():
                continue
            if position >= len(owner):
                raise ValueError("segments hold more text than the document")
            if owner[position] is not None:
                covered.add(owner[position])
            position += 1
        result.append(covered)
    if position != len(owner):
        raise ValueError("segments lost text of the document")
    return result


def sentence_gold(entry_count, source_covers, target_covers):
    """Gold beads from the segments each entry overlaps. Within an entry, segments pair in
    order where both sides have as many, and all with all otherwise; the beads are the
    connected groups of those links, so an entry that the rules cut together with its
    neighbour joins only the segments it shares."""
    source_of = [[] for _ in range(entry_count)]
    target_of = [[] for _ in range(entry_count)]
    for segment, covered in enumerate(source_covers, start=1):
        for e in covered:
            source_of[e].append(segment)
    for segment, covered in enumerate(target_covers, start=1):
        for e in covered:
            target_of[e].append(segment)
    # Nodes: source segment s is s, target segment t is -t.
    parent = {}

    def find(x):
        parent.setdefault(x, x)
        while parent[x] != x:
            parent[x] = parent[parent[x]]
            x = parent[x]
        return x

    for e in range(entry_count):
        sources, targets = source_of[e], target_of[e]
        for s in sources:
            find(s)
        for t in targets:
            find(-t)
        if len(sources) == len(targets):
            pairs = zip(sources, targets)
        else:
            pairs = ((s, t) for s in sources for t in targets)
        for s, t in pairs:
            parent[find(s)] = find(-t)
    groups = {}
    for node in parent:
        groups.setdefault(find(node), []).append(node)
    beads = []
    for nodes in groups.values():
        source = sorted(n for n in nodes if n > 0)
        target = sorted(-n for n in nodes if n < 0)
        beads.append((source, target))
    beads.sort(key=lambda b: (b[0][0] if b[0] else 0, b[1][0] if b[1] else 0))
    return beads


def label_text(k, style):
    english_form, japanese_form, kind = style
    if kind == "letters":
        value = "abcdefghijklmnopqrstuvwxyz"[(k - 1) % 26]
        return english_form.format(value), japanese_form.format(value)
    wide = "".join(chr(ord(c) + 0xFEE0) for c in str(k))
    return english_form.format(k), japanese_form.format(wide if kind == "wide" else k)


def lines_document(entries, rng, drop_rate, label_every):
    """One entry per line; each line is left out of one side with probability drop_rate; a
    shared label every label_every lines or so (0: none). Returns the two texts and the gold."""
    source, target, beads = [], [], []
    style = rng.choice(LABEL_STYLES)
    label = 0
    next_label = rng.randint(1, label_every) if label_every else -1
    for n, (english, japanese) in enumerate(entries):
        if n == next_label:
            label += 1
            english_label, japanese_label = label_text(label, style)
            source.append(english_label)
            target.append(japanese_label)
            beads.append(([len(source)], [len(target)]))
            next_label += rng.randint(label_every // 2, label_every * 3 // 2)
        roll = rng.random()
        if roll < drop_rate / 2:
            target.append(japanese)
            beads.append(([], [len(target)]))
        elif roll < drop_rate:
            source.append(english)
            beads.append(([len(source)], []))
        else:
            source.append(english)
            target.append(japanese)
            beads.append(([len(source)], [len(target)]))
    return "\n".join(source) + "\n", "\n".join(target) + "\n", beads


def write_gold(path, beads):
    with open(path, "w", encoding="utf-8") as out:
        for source, target in beads:
            out.write(",".join(map(str, source)) + "\t" + ",".join(map(str, target)) + "\n")


def write_sentence_document(outdir, name, entries, rng, aligner):
    english, japanese, spans = sentence_document(entries, rng)
    source_path = outdir / f"{name}.en.txt"
    target_path = outdir / f"{name}.ja.txt"
    source_path.write_text(english, encoding="utf-8")
    target_path.write_text(japanese, encoding="utf-8")
    source_segments = segments_of(aligner, source_path, "english")
    target_segments = segments_of(aligner, target_path, "japanese")
    source_covers = segment_entries(english, spans["en"], source_segments)
    target_covers = segment_entries(japanese, spans["ja"], target_segments)
    beads = sentence_gold(len(entries), source_covers, target_covers)
    write_gold(outdir / f"{name}.gold", beads)
    return beads


def write_lines_document(outdir, name, entries, rng, drop_rate, label_every, aligner):
    english, japanese, beads = lines_document(entries, rng, drop_rate, label_every)
    for language, text in (("en", english), ("ja", japanese)):
        path = outdir / f"{name}.{language}.txt"
        path.write_text(text, encoding="utf-8")
        segments = segments_of(aligner, path, "none")
        if segments != text.split("\n")[:-1]:
            raise ValueError(f"{path}: lines mode does not give the lines")
    write_gold(outdir / f"{name}.gold", beads)
    return beads


def describe(name, beads):
    shapes = {}
    for source, target in beads:
        shape = f"{min(len(source), 3)}-{min(len(target), 3)}"
        shapes[shape] = shapes.get(shape, 0) + 1
    sources = sum(len(s) for s, _ in beads)
    targets = sum(len(t) for _, t in beads)
    listed = " ".join(f"{k}:{v}" for k, v in sorted(shapes.items()))
    return f"{name}: {sources} source, {targets} target segments, {len(beads)} beads ({listed})"


# Document sizes in entries. Sentence-split documents take prose-like entries (paragraphs, with a
# heading now and then); line documents take every kind, as a translated string table would.
SENTENCE_SIZES = [150, 400, 900, 2000]
LINE_SIZES = [800, 2000, 4500]
DROP_RATE = 0.03
LABEL_EVERY = 60
TIMING_LINES = 20000


def main(argv):
    if len(argv) < 4 or (len(argv) > 4 and argv[4] != "--seed"):
        sys.exit(__doc__.split("\n\n")[1])
    catalogue_dir, aligner, outdir = argv[1], argv[2], Path(argv[3])
    seed = int(argv[5]) if len(argv) > 5 else 12
    rng = random.Random(seed)
    entries = load_entries(catalogue_dir)
    parts = {"tune": [], "heldout": []}
    for package, english, japanese in entries:
        parts["heldout" if package in HELD_OUT else "tune"].append((package, english, japanese))
    report = []
    for part, rows in parts.items():
        rng.shuffle(rows)
        partdir = outdir / part
        partdir.mkdir(parents=True, exist_ok=True)
        with open(partdir / "entries.tsv", "w", encoding="utf-8") as out:
            for row in rows:
                out.write("\t".join(row) + "\n")
        pairs = [(e, j) for _, e, j in rows]
        prose = [p for p in pairs if is_prose(p[0]) and (word_count(p[0]) >= 3 or rng.random() < 0.25)]
        shapes = split_shapes(prose, aligner, partdir)
        unknown = sum(1 for shape in shapes if not has_known_links(shape))
        prose = [p for p, shape in zip(prose, shapes) if has_known_links(shape)]
        report.append(f"{part}: {len(rows)} entries from "
                      f"{len(set(p for p, _, _ in rows))} packages, {len(prose)} taken as prose "
                      f"({unknown} left out: their sentences pair in no known way)")
        cursor = 0
        for size in SENTENCE_SIZES:
            name = f"sent-{size}"
            beads = write_sentence_document(partdir, name, prose[cursor:cursor + size], rng,
                                            aligner)
            report.append(describe(f"{part}/{name}", beads))
            cursor += size
        cursor = 0
        for size in LINE_SIZES:
            name = f"lines-{size}"
            beads = write_lines_document(partdir, name, pairs[cursor:cursor + size], rng,
                                         DROP_RATE, LABEL_EVERY, aligner)
            report.append(describe(f"{part}/{name}", beads))
            cursor += size
    timing = [(e, j) for _, e, j in parts["tune"] + parts["heldout"]]
    random.Random(seed + 1).shuffle(timing)
    timingdir = outdir / "timing"
    timingdir.mkdir(parents=True, exist_ok=True)
    beads = write_lines_document(timingdir, "lines-20k", timing[:TIMING_LINES], rng, DROP_RATE, 0,
                                 aligner)
    report.append(describe("timing/lines-20k", beads))
    for part in parts:
        with open(outdir / f"{part}.manifest", "w", encoding="utf-8") as manifest:
            for gold in sorted((outdir / part).glob("*.gold")):
                group = gold.name.split("-")[0]
                manifest.write(f"{part}/{gold.stem} {group}\n")
    (outdir / "README.txt").write_text("\n".join(report) + "\n", encoding="utf-8")
    print("\n".join(report))


if __name__ == "__main__":
    main(sys.argv)
