#!/usr/bin/env python3
"""Generate data/F2J.txt and data/J2F.txt, the Chinese script tables.

F2J.txt converts traditional to simplified characters, J2F.txt simplified
to traditional.

Both tables have the same layout: raw bytes, no header, one 2-byte entry
per code-page-936 (GBK) code from 0x8100 to 0xFFFF, entry k describing code
0x8100 + k (65,024 bytes in total).  An entry is either two spaces ("leave
the character alone") or the GBK bytes of the character that replaces the
character at that code.

  F2J.txt  traditional -> simplified: the entry of a traditional character T
           is the simplified character T becomes.  Every first-candidate
           pair of OpenCC's TSCharacters with both characters in GBK.
  J2F.txt  simplified -> traditional: the entry of a simplified character S
           is the traditional character S becomes.  For every S the
           generator picks the candidate (S itself included) that matches
           the reference conversion most often in real text.

The application reads J2F.txt for simplified -> traditional when it is there
and not empty; otherwise it reads F2J.txt backwards (S becomes the
LOWEST-coded character whose F2J entry is S), which the report shows as
"reversed" for comparison.

Inputs (all from Debian packages; nothing is downloaded):
  opencc, libopencc1.1 / libopencc-data
      TSCharacters.ocd2 and STCharacters.ocd2 (character dictionaries,
      Apache License 2.0), TWVariants.ocd2 (Taiwan forms, report only), the
      `opencc_dict` tool to dump them and the `opencc` tool with t2s.json /
      s2t.json as the reference converter.
  icu-devtools
      `uconv`, to check every code against ICU's windows-936-2000 mapping.
  rime-essay
      /usr/share/rime-data/essay.txt, a traditional-script word frequency
      list (general language).
  manpages-zh, debian-reference-zh-cn, debian-reference-zh-tw,
  maint-guide-zh-cn, maint-guide-zh-tw, plus the zh_CN / zh_TW message
  catalogues installed under /usr/share/locale (read with `msgunfmt` from
  gettext): real text in both scripts (software documentation).  Missing
  ones are simply left out.

How the text is used: every document of the three documentation packages
is put in one of two halves by a hash of its name (a page and its
translation in the other script share the name, so they share the half);
the message catalogues always go to the held-out half, because which ones
exist depends on the machine.  The J2F choices use the word list plus the
"tuning" half, each scaled to the same weight; the report shows accuracy on
the "held-out" half, which the choices never saw, next to the rest.
--essay-only leaves the documentation text out of the choices entirely.

Usage:  python3 tools/f2jtable/generate.py [--out-f2j FILE] [--out-j2f FILE]
            [--keep-weight W] [--essay-only] [--list] [--top N]
"""

import argparse
import collections
import glob
import gzip
import html
import os
import re
import subprocess
import sys
import tempfile
import zlib

FIRST_CODE = 0x8100
LAST_CODE = 0xFFFF
TABLE_SIZE = (LAST_CODE - FIRST_CODE + 1) * 2   # 65,024 bytes
BLANK = b"  "

OPENCC_DIR = "/usr/share/opencc"
ESSAY = "/usr/share/rime-data/essay.txt"
ICU_CODEPAGE = "windows-936-2000"

# Every frequency source is scaled to this total weight before mixing.
MASS = 1e6
# A pseudo-count that only breaks ties for characters no source saw: such
# characters follow the dictionary defaults.
PRIOR = 1e-6
# J2F: how much worse it is to change a character that should have stayed
# than to leave one that should have changed.  1 picks, for every simplified
# character, the candidate that is right most often; above 1 leans towards
# leaving characters alone.
KEEP_WEIGHT = 1.0


def run(cmd, data=None):
    res = subprocess.run(cmd, input=data, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, check=False)
    if res.returncode != 0:
        sys.exit("command failed: %s\n%s" % (" ".join(cmd),
                                             res.stderr.decode(errors="replace")))
    return res.stdout


def is_han(ch):
    o = ord(ch)
    return (0x4E00 <= o <= 0x9FFF or 0x3400 <= o <= 0x4DBF
            or 0xF900 <= o <= 0xFAFF or 0x20000 <= o <= 0x3FFFF)


# ---------------------------------------------------------------- GBK ------

def valid_shape(code):
    lead, trail = code >> 8, code & 0xFF
    return 0x81 <= lead <= 0xFE and 0x40 <= trail <= 0xFE and trail != 0x7F


def build_gbk_maps():
    """Return (code -> char, char -> code) for every double-byte code on
    which Python's 'gbk' codec and ICU's windows-936-2000 agree in both
    directions.  Private-use characters are left out."""
    codes = [c for c in range(FIRST_CODE, LAST_CODE + 1) if valid_shape(c)]
    raw = b"".join(bytes([c >> 8, c & 0xFF]) + b"\n" for c in codes)
    icu_lines = run(["uconv", "-f", ICU_CODEPAGE, "-t", "utf-8"], raw) \
        .decode("utf-8").split("\n")
    if len(icu_lines) < len(codes):
        sys.exit("uconv output does not line up with the input codes")

    candidates = {}
    for code, icu in zip(codes, icu_lines):
        try:
            py = bytes([code >> 8, code & 0xFF]).decode("gbk")
        except UnicodeDecodeError:
            continue
        if len(py) != 1 or py != icu:
            continue
        if 0xE000 <= ord(py) <= 0xF8FF or ord(py) < 0x80:
            continue
        if py.encode("gbk") != bytes([code >> 8, code & 0xFF]):
            continue
        candidates[code] = py

    # Encode back through ICU as well: the character must come back as
    # the same two bytes.
    order = sorted(candidates)
    text = "\n".join(candidates[c] for c in order) + "\n"
    back = run(["uconv", "-f", "utf-8", "-t", ICU_CODEPAGE],
               text.encode("utf-8")).split(b"\n")
    code2ch, ch2code = {}, {}
    for code, enc in zip(order, back):
        if enc == bytes([code >> 8, code & 0xFF]):
            code2ch[code] = candidates[code]
            ch2code[candidates[code]] = code
    return code2ch, ch2code


# ------------------------------------------------------------ OpenCC -------

def load_ocd2(name, workdir):
    """The single-character entries of an OpenCC dictionary: char -> list of
    single-character candidates, the dictionary default first."""
    out = os.path.join(workdir, name + ".txt")
    run(["opencc_dict", "-i", os.path.join(OPENCC_DIR, name + ".ocd2"),
         "-o", out, "-f", "ocd2", "-t", "text"])
    table = {}
    with open(out, encoding="utf-8") as f:
        for line in f:
            key, _, vals = line.rstrip("\n").partition("\t")
            vals = vals.split(" ")
            if len(key) == 1 and vals and len(vals[0]) == 1:
                table[key] = [v for v in vals if len(v) == 1]
    return table


def opencc_lines(config, lines, workdir):
    """Convert a list of lines with the opencc tool in one run."""
    src = os.path.join(workdir, "in.txt")
    dst = os.path.join(workdir, "out.txt")
    with open(src, "w", encoding="utf-8") as f:
        for line in lines:
            f.write(line + "\n")
    run(["opencc", "-c", os.path.join(OPENCC_DIR, config), "-i", src, "-o", dst])
    with open(dst, encoding="utf-8") as f:
        out = f.read().split("\n")
    if out and out[-1] == "":
        out.pop()
    if len(out) != len(lines):
        sys.exit("opencc changed the number of lines (%d -> %d)"
                 % (len(lines), len(out)))
    return out


# ----------------------------------------------------------- corpora -------

def read_text_file(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as f:
        raw = f.read()
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("gb18030", errors="replace")


def strip_html(text):
    text = re.sub(r"(?is)<(script|style)\b.*?</\1>", " ", text)
    text = re.sub(r"(?s)<[^>]*>", " ", text)
    return html.unescape(text)


def mo_strings(path):
    out = run(["msgunfmt", path]).decode("utf-8", errors="replace")
    strings, cur, in_str = [], [], False
    for line in out.split("\n") + [""]:
        if line.startswith("msgstr"):
            in_str = True
            cur = [line.split(" ", 1)[1] if " " in line else ""]
        elif line.startswith('"') and in_str:
            cur.append(line)
        else:
            if in_str:
                strings.append("".join(x.strip().strip('"') for x in cur))
            in_str = False
    return [s.replace("\\n", "\n") for s in strings]


class Document:
    """The Han-bearing lines of one file plus the reference conversion."""

    def __init__(self, source, key, lines):
        self.source = source
        self.key = key
        self.lines = lines
        self.refs = None
        # The same document exists in both scripts under the same key; both
        # land in the same half so the halves never share a text.  Message
        # catalogues depend on what else is installed on the machine, so
        # they only ever serve the report: the table must not change with
        # the set of installed programs.
        if source == "message catalogues":
            self.half = 1
        else:
            self.half = zlib.crc32(key.encode("utf-8")) & 1


def gather(kind):
    """Documents of real text; kind is 'trad' or 'simp'."""
    loc, doc = ("zh_TW", "zh-tw") if kind == "trad" else ("zh_CN", "zh-cn")
    docs = []

    def add(source, path, text):
        key = source + ":" + re.sub(r"\.?(zh[-_](cn|tw)|zh_CN|zh_TW)", "",
                                    os.path.basename(os.path.dirname(path))
                                    + "/" + os.path.basename(path))
        lines = [l for l in text.split("\n") if any(is_han(c) for c in l)]
        if lines:
            docs.append(Document(source, key, lines))

    for p in sorted(glob.glob("/usr/share/man/%s/man*/*" % loc)):
        add("man pages", p, read_text_file(p))
    for p in sorted(glob.glob("/usr/share/debian-reference/*.%s.html" % doc)):
        add("debian-reference", p, strip_html(read_text_file(p)))
    for p in sorted(glob.glob("/usr/share/doc/maint-guide-%s/html/*.html" % doc)):
        add("maint-guide", p, strip_html(read_text_file(p)))
    for p in sorted(glob.glob("/usr/share/locale/%s/LC_MESSAGES/*.mo" % loc)):
        add("message catalogues", p, "\n".join(mo_strings(p)))
    return docs


def convert_documents(docs, config, workdir):
    lines = [l for d in docs for l in d.lines]
    refs = opencc_lines(config, lines, workdir)
    i = 0
    for d in docs:
        d.refs = refs[i:i + len(d.lines)]
        i += len(d.lines)


# -------------------------------------------------------- frequencies ------

def aligned_counts(pairs, counts, weight=1):
    """Add per-character (source char -> reference char) counts for line
    pairs of equal length; lines whose length changed are ignored."""
    for line, ref in pairs:
        if len(line) == len(ref):
            for a, b in zip(line, ref):
                if is_han(a):
                    counts[a][b] += weight


def essay_counts(workdir):
    """Character statistics from the word frequency list, for J2F.

    simp[S][Y]: weight of simplified character S (the list converted to
                simplified) that the reference simplified -> traditional
                conversion turns into Y.
    Returns (simp, number of words).
    """
    words, weights = [], []
    with open(ESSAY, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) >= 2 and parts[0] and parts[1].isdigit():
                words.append(parts[0])
                weights.append(int(parts[1]))
    simp_words = opencc_lines("t2s.json", words, workdir)
    back_words = opencc_lines("s2t.json", simp_words, workdir)

    simp = collections.defaultdict(collections.Counter)
    for s, b, n in zip(simp_words, back_words, weights):
        aligned_counts(((s, b),), simp, n)
    return simp, len(words)


def normalised(counts, mass):
    total = sum(sum(row.values()) for row in counts.values())
    scale = mass / total if total else 0.0
    return {c: {k: v * scale for k, v in row.items()}
            for c, row in counts.items()}


def mix(*tables):
    out = collections.defaultdict(collections.Counter)
    for t in tables:
        for c, row in t.items():
            out[c].update(row)
    return out


# ------------------------------------------------------------ choosing -----

def f2j_entries(ts, ch2code):
    """Every default pair T -> S of TSCharacters with T != S and both
    characters usable GBK characters.  Returns (entries, skipped)."""
    entries, skipped = {}, 0
    for t, cands in ts.items():
        s = cands[0]
        if t == s:
            continue
        if t not in ch2code or s not in ch2code:
            skipped += 1
            continue
        entries[t] = s
    return entries, skipped


def j2f_candidates(ts, st, ch2code):
    """simplified char -> set of traditional chars it may become: every
    candidate STCharacters lists for it and every character TSCharacters
    simplifies to it, as far as they are usable GBK characters."""
    cands = collections.defaultdict(set)
    for s, vals in st.items():
        if s in ch2code:
            cands[s].update(v for v in vals if v in ch2code and v != s)
    for t, vals in ts.items():
        s = vals[0]
        if t != s and t in ch2code and s in ch2code:
            cands[s].add(t)
    return {s: c for s, c in cands.items() if c}


def choose_j2f(ts, st, ch2code, simp, keep_weight):
    """Pick the J2F entry of every simplified character.

    simp[S][Y] is the weight of S in simplified text where the reference
    gives Y.  For each S the candidates are S itself (leave it alone) and
    its traditional forms; the one with the lowest expected number of wrong
    characters wins.  A change where the reference keeps S counts
    keep_weight times; the dictionary default gets a tiny pseudo-count so
    characters no text shows follow the dictionary.
    Returns (entries, decisions): entries maps S -> Y for Y != S;
    decisions lists (S, default, choice, candidates) in code order.
    """
    entries, decisions = {}, []
    for s, cands in sorted(j2f_candidates(ts, st, ch2code).items(),
                           key=lambda x: ch2code[x[0]]):
        default = st[s][0] if s in st and st[s][0] in ch2code else s
        row = dict(simp.get(s, {}))
        row[default] = row.get(default, 0) + PRIOR
        total = sum(row.values())

        def cost(y):
            c = total - row.get(y, 0)
            if y != s:
                c += (keep_weight - 1.0) * row.get(s, 0)
            return c

        # Fixed order, strict improvement only: on a tie the dictionary
        # default wins, then leaving S alone, then the lowest code.
        options = sorted(cands | {s}, key=lambda c: (c != default, c != s,
                                                     ch2code[c]))
        best = options[0]
        for y in options[1:]:
            if cost(y) < cost(best) - 1e-9:
                best = y
        if best != s:
            entries[s] = best
        decisions.append((s, default, best, options))
    return entries, decisions


def build_table(entries, ch2code):
    table = bytearray(BLANK * (TABLE_SIZE // 2))
    for a, b in entries.items():
        k = ch2code[a] - FIRST_CODE
        bc = ch2code[b]
        table[2 * k] = bc >> 8
        table[2 * k + 1] = bc & 0xFF
    return bytes(table)


# ------------------------------------------------- tables as the app uses --

def read_table(table, code2ch):
    """The entries of a table byte image as the application sees them:
    char -> char, in rising code order."""
    out = {}
    for k in range(len(table) // 2):
        code = FIRST_CODE + k
        e = table[2 * k:2 * k + 2]
        if e == BLANK or code not in code2ch:
            continue
        val = (e[0] << 8) | e[1]
        if not valid_shape(val) or val not in code2ch:
            continue
        out[code2ch[code]] = code2ch[val]
    return out


class Converter:
    """One direction of the application's conversion, from a table image."""

    def __init__(self, mapping, ch2code):
        self.mapping = mapping
        self.ch2code = ch2code

    def __call__(self, ch):
        return self.mapping.get(ch, ch) if ch in self.ch2code else ch


def forward(table, code2ch, ch2code):
    """A table read forwards: each character becomes its entry."""
    return Converter(read_table(table, code2ch), ch2code)


def reversed_f2j(table, code2ch, ch2code):
    """F2J.txt read backwards, what the application does without J2F.txt:
    S becomes the lowest-coded character whose entry is S."""
    back = {}
    for t, s in read_table(table, code2ch).items():
        back.setdefault(s, t)           # rising code order: lowest wins
    return Converter(back, ch2code)


# -------------------------------------------------------- evaluation -------

class Score:
    FIELDS = ("han", "ok", "chg", "chg_ok", "spurious", "variant")

    def __init__(self):
        self.han = self.ok = 0          # all Han characters
        self.chg = self.chg_ok = 0      # those the reference changes
        self.spurious = 0               # we changed, the reference did not
        self.variant = 0                # wrong only by being the Taiwan form
        self.errors = collections.Counter()

    @property
    def kept(self):
        """Han characters the reference leaves unchanged."""
        return self.han - self.chg

    @property
    def kept_ok(self):
        return self.kept - self.spurious

    def add(self, ch, got, want, twv):
        self.han += 1
        if got == want:
            self.ok += 1
        else:
            self.errors[(ch, got, want)] += 1
            if twv.get(want, [None])[0] == got:
                self.variant += 1
        if want != ch:
            self.chg += 1
            self.chg_ok += got == want
        elif got != ch:
            self.spurious += 1


def evaluate(docs, convert, twv):
    sc = Score()
    for d in docs:
        for line, ref in zip(d.lines, d.refs):
            if len(line) != len(ref):
                continue
            for ch, want in zip(line, ref):
                if is_han(ch):
                    sc.add(ch, convert(ch), want, twv)
    return sc


def pct(a, b):
    return "%7.3f%%" % (100.0 * a / b) if b else "    n/a "


def write_table(path, table):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(table)


# ------------------------------------------------------------- main --------

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    repo = os.path.dirname(os.path.dirname(here))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out-f2j", "--out", dest="out_f2j", metavar="FILE",
                    default=os.path.join(repo, "data", "F2J.txt"),
                    help="where to write the traditional -> simplified "
                         "table (default: data/F2J.txt)")
    ap.add_argument("--out-j2f", dest="out_j2f", metavar="FILE",
                    default=os.path.join(repo, "data", "J2F.txt"),
                    help="where to write the simplified -> traditional "
                         "table (default: data/J2F.txt)")
    ap.add_argument("--keep-weight", type=float, default=KEEP_WEIGHT,
                    metavar="W",
                    help="J2F: cost of changing a character the reference "
                         "keeps, relative to missing a change (default %g)"
                         % KEEP_WEIGHT)
    ap.add_argument("--essay-only", action="store_true",
                    help="choose on the word frequency list alone, without "
                         "the tuning half of the documentation text")
    ap.add_argument("--list", action="store_true",
                    help="list every simplified char whose J2F entry is not "
                         "the dictionary default")
    ap.add_argument("--top", type=int, default=15,
                    help="how many of the most frequent errors to list")
    args = ap.parse_args()

    with tempfile.TemporaryDirectory(prefix="f2jtable.") as workdir:
        code2ch, ch2code = build_gbk_maps()
        ts = load_ocd2("TSCharacters", workdir)
        st = load_ocd2("STCharacters", workdir)
        twv = load_ocd2("TWVariants", workdir)

        trad_docs, simp_docs = gather("trad"), gather("simp")
        convert_documents(trad_docs, "t2s.json", workdir)
        convert_documents(simp_docs, "s2t.json", workdir)

        e_simp, nwords = essay_counts(workdir)
        simp = normalised(e_simp, MASS)
        if not args.essay_only:
            c_simp = collections.defaultdict(collections.Counter)
            for d in simp_docs:
                if d.half == 0:
                    aligned_counts(zip(d.lines, d.refs), c_simp)
            simp = mix(simp, normalised(c_simp, MASS))

        f2j, skipped = f2j_entries(ts, ch2code)
        j2f, decisions = choose_j2f(ts, st, ch2code, simp, args.keep_weight)
        f2j_tab = build_table(f2j, ch2code)
        j2f_tab = build_table(j2f, ch2code)
        if read_table(f2j_tab, code2ch) != f2j or \
                read_table(j2f_tab, code2ch) != j2f:
            sys.exit("a table does not read back as written")
        write_table(args.out_f2j, f2j_tab)
        write_table(args.out_j2f, j2f_tab)

        f2j_conv = forward(f2j_tab, code2ch, ch2code)
        j2f_conv = {"J2F.txt": forward(j2f_tab, code2ch, ch2code),
                    "reversed": reversed_f2j(f2j_tab, code2ch, ch2code)}

        print("GBK double-byte characters usable (Python gbk == ICU %s, no PUA): %d"
              % (ICU_CODEPAGE, len(code2ch)))
        print("TSCharacters pairs T->S with T != S: %d; with T or S outside GBK: %d"
              % (sum(1 for t, v in ts.items() if t != v[0]), skipped))
        print("F2J entries: %d, written %s (%d bytes, codes 0x%04X..0x%04X)"
              % (len(f2j), args.out_f2j, len(f2j_tab), FIRST_CODE, LAST_CODE))
        print("J2F chosen on: %s (%d words)%s; keep weight %g"
              % (ESSAY, nwords, "" if args.essay_only else
                 " + tuning half of the documentation text, equal weight",
                 args.keep_weight))
        left = [d for d in decisions if d[2] == d[0] and d[1] != d[0]]
        other = [d for d in decisions if d[2] != d[0] and d[2] != d[1]]
        print("J2F entries: %d of %d simplified chars with a traditional form;"
              " left alone against the dictionary default: %d; another form"
              " than the default: %d"
              % (len(j2f), len(decisions), len(left), len(other)))
        print("written %s (%d bytes)" % (args.out_j2f, len(j2f_tab)))

        if args.list:
            print("\nJ2F choices that are not the dictionary default:"
                  "  S  default -> chosen   [candidates: weight]")
            for s, default, best, options in decisions:
                if best == default:
                    continue
                row = simp.get(s, {})
                print("  %s  %s -> %s   [%s]" % (s, default, best, "  ".join(
                    "%s:%.1f" % (y, row.get(y, 0)) for y in options)))

        print("\nspot checks:")
        print("  F2J: " + "  ".join("%s>%s" % (c, f2j_conv(c)) for c in
                                    "國中發髮後麵麪鐘鍾係繫齣乾幹臺颱檯裡裏製為爲誌註迴昇佈"))
        for name, conv in j2f_conv.items():
            print("  J2F (%s): " % name + "  ".join(
                "%s>%s" % (c, conv(c)) for c in
                "国中家才发后面钟系出干台里制为志注回升布复只"))

        print("\nAccuracy against the opencc converters (t2s.json for F2J on "
              "zh_TW text, s2t.json for J2F on zh_CN text).")
        print("Documents are split in two halves by name; the tuning half %s."
              % ("is NOT used (--essay-only)" if args.essay_only
                 else "fed the J2F choices, the held-out half did not"))
        results = {}
        for kind, docs, convs in (("F2J", trad_docs, {"F2J.txt": f2j_conv}),
                                  ("J2F", simp_docs, j2f_conv)):
            print("\n%s   %d documents, %d lines with Han characters"
                  % (kind, len(docs), sum(len(d.lines) for d in docs)))
            print("  %-22s %-8s %9s %8s %8s %8s %8s %8s %8s %8s"
                  % ("text", "table", "Han chars", "correct", "changed*",
                     "correct", "kept*", "correct", "spurious", "+variant"))
            subsets = [("held-out half", [d for d in docs if d.half == 1]),
                       ("tuning half", [d for d in docs if d.half == 0])]
            for src in sorted({d.source for d in docs}):
                subsets.append(("  " + src, [d for d in docs if d.source == src]))
            subsets.append(("ALL", docs))
            for label, sub in subsets:
                for name, conv in convs.items():
                    sc = evaluate(sub, conv, twv)
                    results[(kind, label, name)] = sc
                    print("  %-22s %-8s %9d %s %8d %s %8d %s %8d %s"
                          % (label, name, sc.han, pct(sc.ok, sc.han),
                             sc.chg, pct(sc.chg_ok, sc.chg),
                             sc.kept, pct(sc.kept_ok, sc.kept), sc.spurious,
                             pct(sc.ok + sc.variant, sc.han)))
            for name in convs:
                top = results[(kind, "ALL", name)].errors.most_common(args.top)
                print("  most frequent misses, %s: %s" % (name, "  ".join(
                    "%s>%s(ref %s)x%d" % (c, g, w, n) for (c, g, w), n in top)))
        print("\n  * changed: Han chars the reference converts; kept: Han chars"
              " it leaves alone;\n"
              "    spurious: kept chars the table changes; +variant: accuracy"
              " when the Taiwan form of the\n"
              "    reference char (為 for 爲) also counts as right")

        f = results[("F2J", "held-out half", "F2J.txt")]
        j = results[("J2F", "held-out half", "J2F.txt")]
        print("\nHELD-OUT HALF: F2J %s of all chars;  J2F %s of all chars,"
              " %s of kept chars, %s of changed chars"
              % (pct(f.ok, f.han).strip(), pct(j.ok, j.han).strip(),
                 pct(j.kept_ok, j.kept).strip(), pct(j.chg_ok, j.chg).strip()))


if __name__ == "__main__":
    main()
