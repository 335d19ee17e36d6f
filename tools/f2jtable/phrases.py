#!/usr/bin/env python3
"""Generate data/J2FPhrases.txt and data/F2JPhrases.txt, the phrase tables.

The application converts a name by looking, at each position, for the
longest phrase of the phrase table that starts there; a phrase found is
replaced by its converted form, and a character no phrase covers goes
through the character table (J2F.txt or F2J.txt) as before.

  J2FPhrases.txt  simplified -> traditional, from OpenCC's STPhrases
  F2JPhrases.txt  traditional -> simplified, from OpenCC's TSPhrases

Format: UTF-8, one "phrase<TAB>converted" a line, sorted by phrase.  Where
OpenCC lists several candidates the first is taken, as OpenCC does.  A
phrase must have at least two characters, as many as its converted form,
and neither may hold ".", "/", a space or a control character.

The report measures what the application does (phrases, then the character
tables in data/) against OpenCC's own phrase-level conversion on the
held-out half of the documentation text that generate.py uses; see its
docstring for the sources and the halves.

Usage:  python3 tools/f2jtable/phrases.py [--out-j2f FILE] [--out-f2j FILE]
            [--f2j FILE] [--j2f FILE] [--top N]
"""

import argparse
import collections
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generate as g  # noqa: E402

FORBIDDEN = re.compile(r"[./\s\x00-\x1f\x7f]")


def load_phrases(name, workdir):
    """phrase -> first candidate, for every usable entry; and the count of
    entries left out."""
    out = os.path.join(workdir, name + ".txt")
    g.run(["opencc_dict", "-i", os.path.join(g.OPENCC_DIR, name + ".ocd2"),
           "-o", out, "-f", "ocd2", "-t", "text"])
    table, dropped = {}, 0
    with open(out, encoding="utf-8") as f:
        for line in f:
            key, _, vals = line.rstrip("\n").partition("\t")
            first = vals.split(" ")[0]
            if (len(key) < 2 or len(first) != len(key)
                    or FORBIDDEN.search(key) or FORBIDDEN.search(first)):
                dropped += 1
                continue
            table[key] = first
    return table, dropped


def write_phrases(path, table):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for key in sorted(table):
            f.write("%s\t%s\n" % (key, table[key]))


class PhraseConverter:
    """The application's conversion: longest phrase at each position, else
    the character table."""

    def __init__(self, phrases, char_conv):
        self.phrases = phrases
        self.char_conv = char_conv
        self.longest = collections.defaultdict(int)
        for k in phrases:
            self.longest[k[0]] = max(self.longest[k[0]], len(k))

    def __call__(self, text):
        out, i, n = [], 0, len(text)
        while i < n:
            for length in range(min(self.longest.get(text[i], 0), n - i), 1, -1):
                hit = self.phrases.get(text[i:i + length])
                if hit is not None:
                    out.append(hit)
                    i += length
                    break
            else:
                out.append(self.char_conv(text[i]))
                i += 1
        return "".join(out)


NAME_BREAK = re.compile(r"[\s\u3000,.;:!?()\[\]{}<>\"'`|/\\，。；：！？、（）《》「」『』【】“”‘’…—]+")


class Tally:
    def __init__(self):
        self.han = self.han_ok = 0
        self.names = self.names_ok = 0
        self.lines = self.lines_ok = 0
        self.errors = collections.Counter()

    def add(self, line, got, want):
        self.lines += 1
        self.lines_ok += got == want
        if len(got) != len(line) or len(want) != len(line):
            return
        for c, a, b in zip(line, got, want):
            if g.is_han(c):
                self.han += 1
                if a == b:
                    self.han_ok += 1
                else:
                    self.errors[(c, a, b)] += 1
        # Name-sized pieces: the line cut at spaces and punctuation, the
        # pieces that hold a Han character.
        pos = 0
        for m in list(NAME_BREAK.finditer(line)) + [None]:
            end = m.start() if m else len(line)
            piece = line[pos:end]
            if any(g.is_han(c) for c in piece):
                self.names += 1
                self.names_ok += got[pos:end] == want[pos:end]
            if m:
                pos = m.end()


def evaluate(docs, convert):
    t = Tally()
    for d in docs:
        for line, ref in zip(d.lines, d.refs):
            t.add(line, convert(line), ref)
    return t


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = os.path.join(os.path.dirname(os.path.dirname(here)), "data")
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out-j2f", metavar="FILE",
                    default=os.path.join(data, "J2FPhrases.txt"))
    ap.add_argument("--out-f2j", metavar="FILE",
                    default=os.path.join(data, "F2JPhrases.txt"))
    ap.add_argument("--f2j", metavar="FILE", default=os.path.join(data, "F2J.txt"),
                    help="the character table traditional -> simplified")
    ap.add_argument("--j2f", metavar="FILE", default=os.path.join(data, "J2F.txt"),
                    help="the character table simplified -> traditional")
    ap.add_argument("--top", type=int, default=15)
    args = ap.parse_args()

    with tempfile.TemporaryDirectory(prefix="phrases.") as workdir:
        code2ch, ch2code = g.build_gbk_maps()
        st, st_dropped = load_phrases("STPhrases", workdir)
        ts, ts_dropped = load_phrases("TSPhrases", workdir)
        write_phrases(args.out_j2f, st)
        write_phrases(args.out_f2j, ts)
        print("J2FPhrases: %d phrases from STPhrases (%d left out), written %s"
              % (len(st), st_dropped, args.out_j2f))
        print("F2JPhrases: %d phrases from TSPhrases (%d left out), written %s"
              % (len(ts), ts_dropped, args.out_f2j))

        with open(args.f2j, "rb") as f:
            f2j_char = g.forward(f.read(), code2ch, ch2code)
        with open(args.j2f, "rb") as f:
            j2f_char = g.forward(f.read(), code2ch, ch2code)

        trad_docs, simp_docs = g.gather("trad"), g.gather("simp")
        g.convert_documents(trad_docs, "t2s.json", workdir)
        g.convert_documents(simp_docs, "s2t.json", workdir)

        def by_char(conv):
            return lambda text: "".join(conv(c) for c in text)

        print("\nAccuracy against OpenCC (s2t.json for 简体转繁体 on zh_CN text, "
              "t2s.json for 繁体转简体 on zh_TW text).")
        print("names: the lines cut at spaces and punctuation, the pieces "
              "holding Han characters")
        print("  %-10s %-14s %-22s %9s %9s %8s %9s %8s %9s"
              % ("direction", "half", "conversion", "Han", "correct",
                 "names", "exact", "lines", "exact"))
        summary = []
        for kind, docs, convs in (
                ("J2F", simp_docs, (("phrases + J2F.txt", PhraseConverter(st, j2f_char)),
                                    ("J2F.txt alone", by_char(j2f_char)))),
                ("F2J", trad_docs, (("phrases + F2J.txt", PhraseConverter(ts, f2j_char)),
                                    ("F2J.txt alone", by_char(f2j_char))))):
            for half, label in ((1, "held-out"), (0, "tuning")):
                sub = [d for d in docs if d.half == half]
                for name, conv in convs:
                    t = evaluate(sub, conv)
                    print("  %-10s %-14s %-22s %9d %s %8d %s %8d %s"
                          % (kind, label, name, t.han, g.pct(t.han_ok, t.han),
                             t.names, g.pct(t.names_ok, t.names),
                             t.lines, g.pct(t.lines_ok, t.lines)))
                    if half == 1 and name.startswith("phrases"):
                        summary.append((kind, t))
        for kind, t in summary:
            print("  most frequent misses, %s held-out: %s" % (kind, "  ".join(
                "%s>%s(ref %s)x%d" % (c, a, b, n)
                for (c, a, b), n in t.errors.most_common(args.top))))
        print("\nHELD-OUT HALF with phrases: " + ";  ".join(
            "%s %s of Han chars, %s of names exactly right"
            % (kind, g.pct(t.han_ok, t.han).strip(), g.pct(t.names_ok, t.names).strip())
            for kind, t in summary))


if __name__ == "__main__":
    main()
