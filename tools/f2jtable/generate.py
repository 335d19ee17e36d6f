#!/usr/bin/env python3
"""Generate data/F2J.txt, the traditional -> simplified character table.

Table layout: raw bytes, no header, one 2-byte entry per code-page-936
(GBK) code from 0x8100 to 0xFFFF, entry k describing code 0x8100 + k
(65,024 bytes in total).  An entry is either two spaces ("leave the
character alone") or the GBK bytes of the simplified character that
replaces the traditional character at that code.

The same table drives both directions in the application:
  F2J  every character whose code has a non-blank entry is replaced by it;
  J2F  a character S is replaced by the LOWEST-coded character whose entry
       is S (or left alone when no entry points at S).
Because of the J2F rule, putting every traditional -> simplified pair from
the dictionary into the table makes J2F pick rare variants (家 -> 傢,
才 -> 纔 ...).  The generator therefore chooses, for every simplified
character S, which of its traditional sources to keep, minimising the
expected number of wrong characters in both directions, weighted by how
often each character occurs in real text.

Inputs (all from Debian packages; nothing is downloaded):
  opencc, libopencc1.1 / libopencc-data
      TSCharacters.ocd2 and STCharacters.ocd2 (character dictionaries,
      Apache License 2.0), the `opencc_dict` tool to dump them and the
      `opencc` tool with t2s.json / s2t.json as the reference converter.
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
exist depends on the machine.  The decisions use the word list plus the
"tuning" half, each scaled to the same weight; the report shows accuracy on
the "held-out" half, which the decisions never saw, next to the rest.
--essay-only leaves the documentation text out of the decisions entirely.

Usage:  python3 tools/f2jtable/generate.py [--out data/F2J.txt] [--list]
                                            [--essay-only] [--top N]
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
# What it costs when J2F yields the Taiwan form of the expected traditional
# character (為 where the reference has 爲), relative to a wrong character.
VARIANT_COST = 0.25


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
    out = os.path.join(workdir, name + ".txt")
    run(["opencc_dict", "-i", os.path.join(OPENCC_DIR, name + ".ocd2"),
         "-o", out, "-f", "ocd2", "-t", "text"])
    table = {}
    with open(out, encoding="utf-8") as f:
        for line in f:
            key, _, vals = line.rstrip("\n").partition("\t")
            vals = vals.split(" ")
            if len(key) == 1 and vals and len(vals[0]) == 1:
                table[key] = vals[0]
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
    """Character statistics from the word frequency list.

    trad[T][X]: weight of traditional character T that the reference
                traditional -> simplified conversion turns into X.
    simp[S][Y]: weight of simplified character S (the list converted to
                simplified) that the reference simplified -> traditional
                conversion turns into Y.
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
    # The list is written in OpenCC's own traditional forms (爲, 衆, 僞 ...),
    # while most traditional text around uses the Taiwan forms (為, 眾,
    # 偽 ...).  Count the list once as it is and once in Taiwan forms, so
    # that both spellings carry weight.
    tw_words = opencc_lines("t2tw.json", words, workdir)
    tw_simp = opencc_lines("t2s.json", tw_words, workdir)

    trad = collections.defaultdict(collections.Counter)
    simp = collections.defaultdict(collections.Counter)
    for w, s, b, tw, tws, n in zip(words, simp_words, back_words,
                                   tw_words, tw_simp, weights):
        aligned_counts(((w, s), (tw, tws)), trad, n)
        aligned_counts(((s, b),), simp, n)
    return trad, simp, len(words)


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

def choose_entries(ts, st, twv, ch2code, trad, simp):
    """Pick the table entries.

    ts, st: the dictionaries' default traditional->simplified and
    simplified->traditional characters; twv: OpenCC form -> Taiwan form;
    trad, simp: the character statistics (see essay_counts).
    Returns (naive, ours, trimmed, skipped): naive and ours map traditional
    char -> simplified char; trimmed lists the groups that lost entries.
    """
    groups = collections.defaultdict(list)
    skipped = 0
    for t, s in ts.items():
        if t == s:
            continue
        if t not in ch2code or s not in ch2code:
            skipped += 1
            continue
        groups[s].append(t)

    naive, ours, trimmed = {}, {}, []
    for s, sources in groups.items():
        sources.sort(key=lambda c: ch2code[c])
        for t in sources:
            naive[t] = s

        # F2J: expected wrong characters for T with / without its entry.
        def f2j_cost(t, keep):
            row = trad.get(t, {})
            out = s if keep else t
            good = row.get(out, 0) + (PRIOR if out == ts[t] else 0)
            return sum(row.values()) + PRIOR - good

        # J2F: expected wrong characters for S when J2F(S) gives y.  Giving
        # the Taiwan form of the expected character (為 for 爲) is still a
        # miss, but a lesser one than a wrong character.
        row = simp.get(s, {})
        s_default = st.get(s, s)

        def j2f_cost(y):
            cost = 0.0
            for want, n in list(row.items()) + [(s_default, PRIOR)]:
                if y != want:
                    cost += n * (VARIANT_COST if twv.get(want) == y else 1.0)
            return cost

        # Option i: sources[i] is the lowest-coded entry kept (those below it
        # dropped, those above it kept wherever that helps F2J); the last
        # option keeps none, so J2F leaves S alone.
        best = None
        for i in range(len(sources) + 1):
            cost, keep = 0.0, []
            for j, t in enumerate(sources):
                if j < i:
                    cost += f2j_cost(t, False)
                elif j == i:
                    cost += f2j_cost(t, True)
                    keep.append(t)
                else:
                    k, d = f2j_cost(t, True), f2j_cost(t, False)
                    if k <= d:
                        keep.append(t)
                    cost += min(k, d)
            cost += j2f_cost(sources[i] if i < len(sources) else s)
            # Strictly better only: on a tie the option with more entries,
            # which comes first, stays.
            if best is None or cost < best[0] - 1e-9:
                best = (cost, keep)
        keep = best[1]
        for t in keep:
            ours[t] = s
        if len(keep) != len(sources):
            trimmed.append((s, sources, keep))
    return naive, ours, trimmed, skipped


def build_table(entries, ch2code):
    table = bytearray(BLANK * (TABLE_SIZE // 2))
    for t, s in entries.items():
        k = ch2code[t] - FIRST_CODE
        sc = ch2code[s]
        table[2 * k] = sc >> 8
        table[2 * k + 1] = sc & 0xFF
    return bytes(table)


# ------------------------------------------------- table as the app uses ---

class TableConverter:
    """Applies a table byte image exactly the way the application does."""

    def __init__(self, table, code2ch, ch2code):
        self.f2j = {}
        self.j2f = {}
        for k in range(len(table) // 2):
            code = FIRST_CODE + k
            e = table[2 * k:2 * k + 2]
            if e == BLANK or code not in code2ch:
                continue
            val = (e[0] << 8) | e[1]
            if not valid_shape(val) or val not in code2ch:
                continue
            self.f2j[code2ch[code]] = code2ch[val]
            # Codes are visited in rising order: the lowest one wins.
            self.j2f.setdefault(code2ch[val], code2ch[code])
        self.ch2code = ch2code

    def to_simplified(self, ch):
        return self.f2j.get(ch, ch) if ch in self.ch2code else ch

    def to_traditional(self, ch):
        return self.j2f.get(ch, ch) if ch in self.ch2code else ch


# -------------------------------------------------------- evaluation -------

class Score:
    FIELDS = ("han", "ok", "chg", "chg_ok", "spurious", "variant")

    def __init__(self):
        self.han = self.ok = 0          # all Han characters
        self.chg = self.chg_ok = 0      # those the reference changes
        self.spurious = 0               # we changed, the reference did not
        self.variant = 0                # wrong only by being the Taiwan form
        self.errors = collections.Counter()

    def add(self, ch, got, want, twv):
        self.han += 1
        if got == want:
            self.ok += 1
        else:
            self.errors[(ch, got, want)] += 1
            if twv.get(want) == got:
                self.variant += 1
        if want != ch:
            self.chg += 1
            self.chg_ok += got == want
        elif got != ch:
            self.spurious += 1

    def merge(self, other):
        for f in self.FIELDS:
            setattr(self, f, getattr(self, f) + getattr(other, f))
        self.errors.update(other.errors)


def evaluate(docs, convert, twv):
    sc, skipped = Score(), 0
    for d in docs:
        for line, ref in zip(d.lines, d.refs):
            if len(line) != len(ref):
                skipped += 1
                continue
            for ch, want in zip(line, ref):
                if is_han(ch):
                    sc.add(ch, convert(ch), want, twv)
    return sc, skipped


def pct(a, b):
    return "%7.3f%%" % (100.0 * a / b) if b else "    n/a "


# ------------------------------------------------------------- main --------

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    repo = os.path.dirname(os.path.dirname(here))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(repo, "data", "F2J.txt"))
    ap.add_argument("--essay-only", action="store_true",
                    help="decide on the word frequency list alone, without "
                         "the tuning half of the documentation text")
    ap.add_argument("--list", action="store_true",
                    help="print every simplified char whose sources were trimmed")
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

        e_trad, e_simp, nwords = essay_counts(workdir)
        trad = normalised(e_trad, MASS)
        simp = normalised(e_simp, MASS)
        if not args.essay_only:
            c_trad = collections.defaultdict(collections.Counter)
            c_simp = collections.defaultdict(collections.Counter)
            for docs, counts in ((trad_docs, c_trad), (simp_docs, c_simp)):
                for d in docs:
                    if d.half == 0:
                        aligned_counts(zip(d.lines, d.refs), counts)
            trad = mix(trad, normalised(c_trad, MASS))
            simp = mix(simp, normalised(c_simp, MASS))

        naive, ours, trimmed, skipped = choose_entries(ts, st, twv, ch2code,
                                                       trad, simp)
        naive_tab = build_table(naive, ch2code)
        table = build_table(ours, ch2code)
        os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
        with open(args.out, "wb") as f:
            f.write(table)

        conv = {"naive": TableConverter(naive_tab, code2ch, ch2code),
                "ours": TableConverter(table, code2ch, ch2code)}

        print("GBK double-byte characters usable (Python gbk == ICU %s, no PUA): %d"
              % (ICU_CODEPAGE, len(code2ch)))
        print("dictionary pairs T->S with T != S: %d; with T or S outside GBK: %d"
              % (sum(1 for t, s in ts.items() if t != s), skipped))
        print("decided on: %s (%d words)%s" % (
            ESSAY, nwords, "" if args.essay_only else
            " + tuning half of the documentation text, equal weight"))
        print("naive table entries: %d" % len(naive))
        print("our table entries:   %d  (dropped %d; %d simplified chars affected)"
              % (len(ours), len(naive) - len(ours), len(trimmed)))
        print("written %s: %d bytes (codes 0x%04X..0x%04X)"
              % (args.out, len(table), FIRST_CODE, LAST_CODE))
        targets = set(naive.values())
        for name in ("naive", "ours"):
            n = sum(1 for s in targets
                    if conv[name].to_traditional(s) != st.get(s, s))
            print("simplified chars whose J2F is not the dictionary default, %s: %d"
                  % (name, n))

        if args.list:
            print("\ntrimmed groups:  S  [all sources] -> [kept]   J2F naive -> ours")
            for s, src, keep in sorted(trimmed, key=lambda x: ch2code[x[0]]):
                print("  %s  [%s] -> [%s]   %s -> %s"
                      % (s, "".join(src), "".join(keep),
                         conv["naive"].to_traditional(s),
                         conv["ours"].to_traditional(s)))

        print("\nspot checks (ours; naive in brackets where different):")
        for way, chars in (("F2J", "國中發髮後麵麪鐘鍾係繫齣乾幹臺颱檯裡裏製為爲誌註"),
                           ("J2F", "国中家才发后面钟系出干台里制为志注")):
            out = []
            for ch in chars:
                fn = "to_simplified" if way == "F2J" else "to_traditional"
                a = getattr(conv["ours"], fn)(ch)
                b = getattr(conv["naive"], fn)(ch)
                out.append("%s>%s%s" % (ch, a, "" if a == b else "[%s]" % b))
            print("  %s: %s" % (way, "  ".join(out)))

        print("\nAccuracy against the opencc converters (t2s.json for F2J on "
              "zh_TW text, s2t.json for J2F on zh_CN text).")
        print("Documents are split in two halves by name; the tuning half %s."
              % ("is NOT used (--essay-only)" if args.essay_only
                 else "fed the decisions, the held-out half did not"))
        results = {}
        for kind, docs, fn in (("F2J", trad_docs, "to_simplified"),
                               ("J2F", simp_docs, "to_traditional")):
            print("\n%s   %d documents, %d lines with Han characters"
                  % (kind, len(docs), sum(len(d.lines) for d in docs)))
            print("  %-26s %-6s %10s %9s %9s %9s %8s %9s"
                  % ("text", "table", "Han chars", "correct", "changed*",
                     "correct", "spurious", "+variant"))
            subsets = [("held-out half", [d for d in docs if d.half == 1]),
                       ("tuning half", [d for d in docs if d.half == 0])]
            for src in sorted({d.source for d in docs}):
                subsets.append(("  " + src, [d for d in docs if d.source == src]))
            subsets.append(("ALL", docs))
            for label, sub in subsets:
                for name in ("naive", "ours"):
                    sc, skip = evaluate(sub, getattr(conv[name], fn), twv)
                    results[(kind, label, name)] = sc
                    print("  %-26s %-6s %10d %9s %9s %9s %8d %9s"
                          % (label, name, sc.han, pct(sc.ok, sc.han),
                             sc.chg, pct(sc.chg_ok, sc.chg), sc.spurious,
                             pct(sc.ok + sc.variant, sc.han)))
            for name in ("naive", "ours"):
                top = results[(kind, "ALL", name)].errors.most_common(args.top)
                print("  most frequent misses, %s: %s" % (name, "  ".join(
                    "%s>%s(ref %s)x%d" % (c, g, w, n) for (c, g, w), n in top)))
        print("\n  * changed: Han chars the reference converts; spurious: chars"
              " the table changes that the reference leaves alone;\n"
              "    +variant: accuracy when the Taiwan form of the reference"
              " char (為 for 爲) also counts as right")

        print("\nOVERALL (F2J and J2F pooled, all Han chars):")
        for label in ("held-out half", "ALL"):
            for name in ("naive", "ours"):
                f = results[("F2J", label, name)]
                j = results[("J2F", label, name)]
                print("  %-14s %-6s %s   (F2J %s, J2F %s)"
                      % (label, name, pct(f.ok + j.ok, f.han + j.han),
                         pct(f.ok, f.han), pct(j.ok, j.han)))


if __name__ == "__main__":
    main()
