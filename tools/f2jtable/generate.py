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
      list; the character frequencies used for the decisions come from it
      alone (it is never part of the evaluation text).
Evaluation text (only used for the printed report, never for decisions):
  manpages-zh, debian-reference-zh-cn, debian-reference-zh-tw,
  maint-guide-zh-cn, maint-guide-zh-tw, and the zh_CN / zh_TW message
  catalogues installed under /usr/share/locale (read with `msgunfmt`
  from gettext).  Missing sources are skipped with a note.

Usage:  python3 tools/f2jtable/generate.py [--out data/F2J.txt]
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

FIRST_CODE = 0x8100
LAST_CODE = 0xFFFF
TABLE_SIZE = (LAST_CODE - FIRST_CODE + 1) * 2   # 65,024 bytes
BLANK = b"  "

OPENCC_DIR = "/usr/share/opencc"
ESSAY = "/usr/share/rime-data/essay.txt"
ICU_CODEPAGE = "windows-936-2000"

# A pseudo-count that only breaks ties for characters the frequency list
# never saw: such characters follow the dictionary defaults.
PRIOR = 1e-3


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


# -------------------------------------------------------- frequencies ------

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
    for w, s, n in zip(words + tw_words, simp_words + tw_simp, weights * 2):
        if len(w) == len(s):
            for a, x in zip(w, s):
                trad[a][x] += n
    # Both directions must carry the same total weight: the traditional
    # side counted the list twice, so the simplified side counts it twice.
    for s, b, n in zip(simp_words, back_words, weights):
        if len(s) == len(b):
            for a, y in zip(s, b):
                simp[a][y] += 2 * n
    return trad, simp, len(words)


# ------------------------------------------------------------ choosing -----

def choose_entries(ts, st, ch2code, trad, simp):
    """Pick the table entries.  Returns (naive, ours, notes) where naive and
    ours map traditional char -> simplified char."""
    groups = collections.defaultdict(list)
    skipped = 0
    for t, s in ts.items():
        if t == s:
            continue
        if t not in ch2code or s not in ch2code:
            skipped += 1
            continue
        groups[s].append(t)

    naive, ours, changed = {}, {}, []
    for s, ts_list in groups.items():
        ts_list.sort(key=lambda c: ch2code[c])
        for t in ts_list:
            naive[t] = s

        # F2J cost of an entry being absent / present.
        def f2j_cost(t, keep):
            row = trad.get(t, {})
            total = sum(row.values()) + PRIOR
            good = row.get(s if keep else t, 0)
            if (s if keep else t) == ts[t]:
                good += PRIOR
            return total - good

        # J2F cost when J2F(s) yields y.
        row = simp.get(s, {})
        s_total = sum(row.values()) + PRIOR
        s_default = st.get(s, s)

        def j2f_cost(y):
            good = row.get(y, 0) + (PRIOR if y == s_default else 0)
            return s_total - good

        best = None
        # Option i: ts_list[i] is the lowest kept entry (everything before
        # it dropped, everything after it kept if that helps F2J);
        # option len(ts_list): nothing kept.
        for i in range(len(ts_list) + 1):
            cost = 0.0
            keep = set()
            for j, t in enumerate(ts_list):
                if j < i:
                    cost += f2j_cost(t, False)
                elif j == i:
                    cost += f2j_cost(t, True)
                    keep.add(t)
                else:
                    c_keep, c_drop = f2j_cost(t, True), f2j_cost(t, False)
                    if c_keep <= c_drop:
                        keep.add(t)
                    cost += min(c_keep, c_drop)
            y = ts_list[i] if i < len(ts_list) else s
            cost += j2f_cost(y)
            # Prefer more entries on equal cost (stable: first wins).
            if best is None or cost < best[0] - 1e-9:
                best = (cost, keep, y)
        _, keep, y = best
        for t in keep:
            ours[t] = s
        naive_y = ts_list[0]
        if set(keep) != set(ts_list):
            changed.append((s, ts_list, sorted(keep, key=lambda c: ch2code[c]),
                            naive_y, y))
    return naive, ours, changed, skipped


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
    """Applies a table exactly the way the application does."""

    def __init__(self, table, code2ch, ch2code):
        self.f2j = {}
        self.j2f = {}
        for k in range(len(table) // 2):
            code = FIRST_CODE + k
            e = table[2 * k:2 * k + 2]
            if e == BLANK:
                continue
            val = (e[0] << 8) | e[1]
            if not valid_shape(val) or val not in code2ch:
                continue
            if code in code2ch:
                self.f2j[code2ch[code]] = code2ch[val]
                # Lowest code wins: only the first hit is recorded.
                self.j2f.setdefault(code2ch[val], code2ch[code])
        self.ch2code = ch2code

    def to_simplified(self, ch):
        return self.f2j.get(ch, ch) if ch in self.ch2code else ch

    def to_traditional(self, ch):
        return self.j2f.get(ch, ch) if ch in self.ch2code else ch


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


def mo_strings(path, workdir):
    out = run(["msgunfmt", path]).decode("utf-8", errors="replace")
    strings, cur, in_str = [], [], False
    for line in out.split("\n"):
        if line.startswith("msgstr"):
            in_str = True
            cur = [line.split(" ", 1)[1] if " " in line else ""]
        elif line.startswith('"') and in_str:
            cur.append(line)
        else:
            if in_str:
                strings.append("".join(x.strip().strip('"') for x in cur))
            in_str = False
    if in_str:
        strings.append("".join(x.strip().strip('"') for x in cur))
    return [s.replace("\\n", "\n") for s in strings]


def gather(kind, workdir):
    """Lines of real text: kind is 'trad' or 'simp'.  Returns
    {source name: [lines]}."""
    loc, mandir, doc = (("zh_TW", "zh_TW", "zh-tw") if kind == "trad"
                        else ("zh_CN", "zh_CN", "zh-cn"))
    sources = collections.OrderedDict()

    def add(name, text):
        lines = [l for l in text.split("\n") if any(is_han(c) for c in l)]
        sources.setdefault(name, []).extend(lines)

    for p in sorted(glob.glob("/usr/share/man/%s/man*/*" % mandir)):
        add("man pages", read_text_file(p))
    for p in sorted(glob.glob("/usr/share/debian-reference/*.%s.html" % doc)):
        add("debian-reference", strip_html(read_text_file(p)))
    for p in sorted(glob.glob("/usr/share/doc/maint-guide-%s/html/*.html" % doc)):
        add("maint-guide", strip_html(read_text_file(p)))
    for p in sorted(glob.glob("/usr/share/locale/%s/LC_MESSAGES/*.mo" % loc)):
        add("message catalogues", "\n".join(mo_strings(p, workdir)))
    return sources


# -------------------------------------------------------- evaluation -------

class Score:
    def __init__(self):
        self.han = self.han_ok = 0          # all Han characters
        self.chg = self.chg_ok = 0          # where the reference changes it
        self.wrong_changes = 0              # we changed, reference did not

    def add(self, ch, got, want):
        self.han += 1
        self.han_ok += got == want
        if want != ch:
            self.chg += 1
            self.chg_ok += got == want
        elif got != ch:
            self.wrong_changes += 1


def evaluate(lines, refs, convert):
    sc = Score()
    skipped = 0
    for line, ref in zip(lines, refs):
        if len(line) != len(ref):
            skipped += 1
            continue
        for ch, want in zip(line, ref):
            if is_han(ch):
                sc.add(ch, convert(ch), want)
    return sc, skipped


def pct(a, b):
    return "%7.3f%%" % (100.0 * a / b) if b else "    n/a "


def report_block(title, stats):
    print("\n" + title)
    print("  %-24s %-6s %10s %9s  %10s %9s  %8s" %
          ("text", "table", "Han chars", "correct", "changed*", "correct",
           "spurious"))
    for name, per_table in stats:
        for tname, sc in per_table:
            print("  %-24s %-6s %10d %9s  %10d %9s  %8d" %
                  (name, tname, sc.han, pct(sc.han_ok, sc.han), sc.chg,
                   pct(sc.chg_ok, sc.chg), sc.wrong_changes))


# ------------------------------------------------------------- main --------

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    repo = os.path.dirname(os.path.dirname(here))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(repo, "data", "F2J.txt"))
    ap.add_argument("--no-eval", action="store_true",
                    help="write the table and skip the accuracy report")
    ap.add_argument("--list", action="store_true",
                    help="print every simplified char whose sources were trimmed")
    args = ap.parse_args()

    with tempfile.TemporaryDirectory(prefix="f2jtable.") as workdir:
        code2ch, ch2code = build_gbk_maps()
        ts = load_ocd2("TSCharacters", workdir)
        st = load_ocd2("STCharacters", workdir)
        trad, simp, nwords = essay_counts(workdir)
        naive, ours, changed, skipped = choose_entries(ts, st, ch2code,
                                                       trad, simp)
        naive_tab = build_table(naive, ch2code)
        table = build_table(ours, ch2code)

        os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
        with open(args.out, "wb") as f:
            f.write(table)

        print("GBK double-byte characters usable (Python gbk == ICU %s): %d"
              % (ICU_CODEPAGE, len(code2ch)))
        print("dictionary pairs T->S with T != S: %d, outside GBK: %d"
              % (sum(1 for t, s in ts.items() if t != s), skipped))
        print("frequency list: %s (%d words)" % (ESSAY, nwords))
        print("naive table entries: %d" % len(naive))
        print("our table entries:   %d  (dropped %d, %d simplified chars affected)"
              % (len(ours), len(naive) - len(ours), len(changed)))
        print("written %s: %d bytes" % (args.out, len(table)))

        naive_bad = sum(1 for s in set(naive.values())
                        if min((t for t in naive if naive[t] == s),
                               key=ch2code.get) != st.get(s, s))
        print("simplified chars whose J2F differs from the dictionary default:"
              " naive %d, ours %d"
              % (naive_bad,
                 sum(1 for s in set(naive.values())
                     if TableConverter(table, code2ch, ch2code)
                     .to_traditional(s) != st.get(s, s))))

        if args.list:
            print("\ntrimmed groups: S  [naive sources] -> [kept]  J2F naive -> ours")
            for s, src, keep, ny, y in sorted(changed, key=lambda x: ch2code[x[0]]):
                print("  %s  [%s] -> [%s]  %s -> %s"
                      % (s, "".join(src), "".join(keep), ny, y))

        conv_naive = TableConverter(naive_tab, code2ch, ch2code)
        conv_ours = TableConverter(table, code2ch, ch2code)

        print("\nspot checks (ours; naive in brackets when different):")
        for ch, way in [("國", "F"), ("国", "J"), ("中", "F"), ("中", "J"),
                        ("家", "J"), ("才", "J"), ("發", "F"), ("髮", "F"),
                        ("发", "J"), ("後", "F"), ("后", "J"), ("麵", "F"),
                        ("麪", "F"), ("面", "J"), ("鐘", "F"), ("鍾", "F"),
                        ("钟", "J"), ("係", "F"), ("繫", "F"), ("系", "J"),
                        ("齣", "F"), ("出", "J"), ("乾", "F"), ("幹", "F"),
                        ("干", "J"), ("臺", "F"), ("颱", "F"), ("台", "J"),
                        ("裡", "F"), ("裏", "F"), ("里", "J"), ("製", "F"),
                        ("制", "J")]:
            f = (lambda c, cv: cv.to_simplified(c)) if way == "F" \
                else (lambda c, cv: cv.to_traditional(c))
            a, b = f(ch, conv_ours), f(ch, conv_naive)
            print("  %s(%s) %s -> %s%s" % ("F2J" if way == "F" else "J2F",
                                          "%04X" % ch2code.get(ch, 0), ch, a,
                                          "" if a == b else "  [%s]" % b))

        if args.no_eval:
            return

        totals = {}
        for kind, config, label in (("trad", "t2s.json", "F2J on traditional text vs opencc t2s"),
                                    ("simp", "s2t.json", "J2F on simplified text vs opencc s2t")):
            sources = gather(kind, workdir)
            stats = []
            all_n, all_o = Score(), Score()
            total_lines = total_skipped = 0
            for name, lines in sources.items():
                refs = opencc_lines(config, lines, workdir)
                fn = "to_simplified" if kind == "trad" else "to_traditional"
                sn, skn = evaluate(lines, refs, getattr(conv_naive, fn))
                so, _ = evaluate(lines, refs, getattr(conv_ours, fn))
                stats.append((name, [("naive", sn), ("ours", so)]))
                total_lines += len(lines)
                total_skipped += skn
                for agg, sc in ((all_n, sn), (all_o, so)):
                    for attr in ("han", "han_ok", "chg", "chg_ok", "wrong_changes"):
                        setattr(agg, attr, getattr(agg, attr) + getattr(sc, attr))
            stats.append(("ALL", [("naive", all_n), ("ours", all_o)]))
            report_block("%s (%d lines with Han, %d skipped: length changed)"
                         % (label, total_lines, total_skipped), stats)
            totals[kind] = (all_n, all_o)

        print("\n  * changed = Han chars the reference converter changes;"
              " spurious = chars we change that it leaves alone")
        print("\nOVERALL (both directions pooled, all Han chars):")
        for i, tname in enumerate(("naive", "ours")):
            f, j = totals["trad"][i], totals["simp"][i]
            print("  %-6s %s  (F2J %s, J2F %s; mean of the two %s)"
                  % (tname, pct(f.han_ok + j.han_ok, f.han + j.han),
                     pct(f.han_ok, f.han), pct(j.han_ok, j.han),
                     "%7.3f%%" % (50.0 * (f.han_ok / f.han + j.han_ok / j.han))))


if __name__ == "__main__":
    main()
