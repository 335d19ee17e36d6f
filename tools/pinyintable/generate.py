#!/usr/bin/env python3
"""Builds data/PinyinChars.txt and data/PinyinPhrases.txt and prints an accuracy report.

Inputs (see README.md): the lemma list printed by the extractor (extract.cpp) from the
googlepinyin system dictionary, Unihan_Readings.txt.bz2 from Debian's unicode-data, and
optionally pinyin_dict.go from Debian's golang-github-mozillazg-go-pinyin-dev.

Syllables are written with a tone digit 1-4, no digit for the neutral tone, and "v" for ü.
"""
import argparse
import bz2
import math
import os
import random
import re
import sys
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.normpath(os.path.join(HERE, '..', '..', 'data'))
TONE_MARKS = {'\u0304': '1', '\u0301': '2', '\u030c': '3', '\u0300': '4'}


def numbered(marked):
    """'lüè' -> 'lve4', 'zhòng' -> 'zhong4', 'le' -> 'le'."""
    tone = ''
    out = []
    for c in unicodedata.normalize('NFD', marked.strip().lower()):
        if c in TONE_MARKS:
            tone = TONE_MARKS[c]
        elif c == '\u0308':
            if out and out[-1] == 'u':
                out[-1] = 'v'
        elif unicodedata.combining(c):
            continue  # ê and the like: the plain letter
        else:
            out.append(c)
    base = ''.join(out)
    if not re.fullmatch(r'[a-z]+', base):
        return None
    return base + tone


def is_han(ch):
    """CJK ideographs (unified and compatibility, all blocks) and 〇; not the private-use
    characters some lists give readings for, which stand for different things in different fonts."""
    return ch == '\u3007' or unicodedata.name(ch, '').startswith('CJK ')


def toneless(syllable):
    return syllable.rstrip('12345')


def gp_syllable(s):
    # googlepinyin spells lüe and nüe as "lue" and "nue", lü and nü as "lv" and "nv".
    return {'lue': 'lve', 'nue': 'nve'}.get(s, s)


def read_unihan(path):
    """Per character: its readings in order of preference, and kHanyuPinlu counts."""
    fields = {}
    with bz2.open(path, 'rt', encoding='utf-8') as f:
        for line in f:
            if line.startswith('#') or not line.strip():
                continue
            code, key, value = line.rstrip('\n').split('\t')
            if key in ('kMandarin', 'kHanyuPinlu', 'kXHC1983', 'kTGHZ2013', 'kHanyuPinyin'):
                fields.setdefault(chr(int(code[2:], 16)), {})[key] = value
    readings, counts = {}, {}
    for ch, f in fields.items():
        order = []
        pinlu = {}
        def add(marked):
            s = numbered(marked)
            if s and s not in order:
                order.append(s)
            return s
        for v in f.get('kMandarin', '').split():
            add(v)
        for item in f.get('kHanyuPinlu', '').split():
            m = re.fullmatch(r'(.+)\((\d+)\)', item)
            if m:
                s = add(m.group(1))
                if s:
                    pinlu[s] = pinlu.get(s, 0) + int(m.group(2))
        for key in ('kXHC1983', 'kTGHZ2013', 'kHanyuPinyin'):
            for item in f.get(key, '').split():
                for v in item.split(':')[-1].split(','):
                    add(v)
        if order:
            readings[ch] = order
            counts[ch] = pinlu
    return readings, counts


def read_go_dict(path, readings):
    """Adds the readings of pinyin_dict.go after Unihan's, for characters and readings Unihan lacks."""
    added = 0
    with open(path, encoding='utf-8') as f:
        for m in re.finditer(r'0x([0-9A-Fa-f]+):\s*"([^"]*)"', f.read()):
            ch = chr(int(m.group(1), 16))
            order = readings.setdefault(ch, [])
            for v in m.group(2).split(','):
                s = numbered(v)
                if s and s not in order:
                    order.append(s)
                    added += 1
    return added


def read_lemmas(path):
    """{lemma: (syllables, frequency)}, the most frequent reading of each lemma of two or more
    characters, and [(character, syllable, frequency)], every reading of the single characters."""
    lemmas, singles = {}, []
    with open(path, encoding='utf-8') as f:
        for line in f:
            text, spelling, score = line.rstrip('\n').split('\t')
            syllables = tuple(gp_syllable(s) for s in spelling.split())
            if len(syllables) != len(text):
                continue
            freq = math.exp(float(score) / -800.0)
            if len(text) == 1:
                singles.append((text, syllables[0], freq))
            elif text not in lemmas or lemmas[text][1] < freq:
                lemmas[text] = (syllables, freq)
    return lemmas, singles


def longest_phrases(text, phrases, longest):
    """text cut as the program cuts it: at each position the longest phrase of phrases that starts
    there, as (its value, None), else one character, as (None, the character)."""
    i = 0
    while i < len(text):
        for n in range(min(longest, len(text) - i), 1, -1):
            hit = phrases.get(text[i:i + n])
            if hit:
                yield hit, None
                i += n
                break
        else:
            yield None, text[i]
            i += 1


class Traditional:
    """Simplified to traditional as the program's 简体转繁体 does it with the shipped tables: the
    longest phrase of J2FPhrases.txt first, else each character through J2F.txt."""

    def __init__(self, j2f_path, phrases_path):
        self.chars = {}
        with open(j2f_path, 'rb') as f:
            table = f.read()
        for k in range(len(table) // 2):
            entry = table[2 * k:2 * k + 2]
            if entry == b'  ':
                continue
            code = 0x8100 + k
            try:
                simplified = bytes([code >> 8, code & 0xFF]).decode('gbk')
                traditional = entry.decode('gbk')
            except UnicodeDecodeError:
                continue
            if len(simplified) == 1 and len(traditional) == 1:
                self.chars[simplified] = traditional
        self.phrases = {}
        with open(phrases_path, encoding='utf-8') as f:
            for line in f:
                parts = line.rstrip('\n').split('\t')
                if len(parts) == 2 and len(parts[0]) >= 2 and len(parts[0]) == len(parts[1].split(' ')[0]):
                    self.phrases.setdefault(parts[0], parts[1].split(' ')[0])
        self.longest = max((len(p) for p in self.phrases), default=1)

    def __call__(self, text):
        return ''.join(hit if hit else self.chars.get(char, char)
                       for hit, char in longest_phrases(text, self.phrases, self.longest))


def with_traditional(lemmas, singles, traditional):
    """The lemmas and single readings together with their traditional forms, which read the same;
    a traditional form that is a lemma of its own keeps its own reading."""
    if not traditional:
        return lemmas, singles
    more = dict(lemmas)
    for text, value in lemmas.items():
        other = traditional(text)
        if other != text and other not in lemmas:
            if other not in more or more[other][1] < value[1]:
                more[other] = value
    seen = {c for c, _, _ in singles}
    extra = [(traditional(c), s, f) for c, s, f in singles if traditional(c) != c and traditional(c) not in seen]
    return more, singles + extra


class Toner:
    """Gives a character's toneless syllable the tone of the matching reading."""

    def __init__(self, readings, counts):
        self.readings, self.counts = readings, counts
        self.untoned = set()

    def __call__(self, ch, plain):
        order = self.readings.get(ch, [])
        match = [s for s in order if toneless(s) == plain]
        if not match:
            self.untoned.add((ch, plain))
            return plain
        # kHanyuPinlu counts a character's neutral-tone uses in words (神仙 shénxian) apart from
        # its own tone; the neutral tone is the character's reading only when it comes first.
        pinlu = self.counts.get(ch, {})
        return max(match, key=lambda s: (s == order[0] or s != toneless(s), pinlu.get(s, 0), -order.index(s)))

    def known(self, ch, plain):
        return any(toneless(s) == plain for s in self.readings.get(ch, []))


def char_defaults(lemmas, singles, readings, toner):
    """Each character's reading: the one its lemmas use most, weighted by their frequency;
    characters the lemmas lack take their first listed reading."""
    weight = {}
    words = [(text, syllables, freq) for text, (syllables, freq) in lemmas.items()]
    for text, syllables, freq in words + [(c, (s,), f) for c, s, f in singles]:
        for ch, s in zip(text, syllables):
            w = weight.setdefault(ch, {})
            w[s] = w.get(s, 0.0) + freq
    defaults = {ch: order[0] for ch, order in readings.items()}
    for ch, w in weight.items():
        # Readings no character list knows are the lemmas' odd spellings of rare characters.
        best = max(w, key=lambda s: (toner.known(ch, s), w[s], s))
        if toner.known(ch, best) or ch not in defaults:
            defaults[ch] = toner(ch, best)
    return defaults


class Converter:
    def __init__(self, defaults, phrases):
        self.defaults, self.phrases = defaults, phrases
        self.longest = max((len(p) for p in phrases), default=1)

    def syllables(self, text):
        """The syllables of text's characters, longest phrase first; None for other characters."""
        out = []
        for hit, char in longest_phrases(text, self.phrases, self.longest):
            if hit:
                out.extend(hit)
            else:
                out.append(self.defaults.get(char))
        return out


def build(lemmas, singles, readings, counts, traditional=None):
    lemmas, singles = with_traditional(lemmas, singles, traditional)
    toner = Toner(readings, counts)
    defaults = char_defaults(lemmas, singles, readings, toner)
    converter = Converter(defaults, {})
    multi = sorted(lemmas, key=lambda t: (len(t), t))
    for text in multi:
        converter.longest = max(converter.longest, len(text))
        got = converter.syllables(text)
        want = lemmas[text][0]
        if [toneless(s or '') for s in got] != list(want):
            converter.phrases[text] = tuple(toner(c, s) for c, s in zip(text, want))
    return converter, toner


def score(converter, cases):
    """cases: (text, wanted toneless syllables, weight). Returns plain and weighted syllable accuracy."""
    right = total = wright = wtotal = 0.0
    for text, want, weight in cases:
        got = [toneless(s) for s in converter.syllables(text) if s is not None]
        ok = sum(1 for g, w in zip(got, want) if g == w) if len(got) == len(want) else 0
        right += ok
        total += len(want)
        wright += ok * weight
        wtotal += len(want) * weight
    return 100.0 * right / total, 100.0 * wright / wtotal


def names(held, lemmas, rng, count, joiners):
    out = []
    for _ in range(count):
        parts = rng.sample(held, rng.randint(2, 4))
        text = parts[0]
        for p in parts[1:]:
            text += rng.choice(joiners) + p
        want = [s for p in parts for s in lemmas[p][0]]
        weight = math.prod(lemmas[p][1] for p in parts) ** (1.0 / len(parts))
        out.append((text, want, weight))
    return out


def report(lemmas, singles, readings, counts, seed, traditional):
    rng = random.Random(seed)
    multi = sorted(lemmas)
    held = set(rng.sample(multi, len(multi) // 10))
    train = {t: v for t, v in lemmas.items() if t not in held}
    converter, _ = build(train, singles, readings, counts, traditional)
    held = sorted(held)
    lemma_cases = [(t, list(lemmas[t][0]), lemmas[t][1]) for t in held]
    print(f'held out {len(held)} of {len(multi)} multi-character lemmas (seed {seed}); '
          f'tables built from the rest: {len(converter.phrases)} phrases')
    rows = [
        ('held-out lemmas', lemma_cases),
        ('the same in traditional characters (简体转繁体)',
         [(traditional(t), w, f) for t, w, f in lemma_cases] if traditional else []),
        ('names of 2-4 held-out lemmas joined by spaces or digits',
         names(held, lemmas, rng, 20000, [' ', ' ', '1', '2', '07', ' - '])),
        ('names of 2-4 held-out lemmas written together', names(held, lemmas, rng, 20000, [''])),
    ]
    baseline = Converter(converter.defaults, {})
    for title, cases in rows:
        if not cases:
            continue
        plain, weighted = score(converter, cases)
        bplain, bweighted = score(baseline, cases)
        print(f'  {title}: {plain:.2f} % of syllables right, {weighted:.2f} % weighted by frequency '
              f'(characters alone: {bplain:.2f} % / {bweighted:.2f} %)')


def write(path, lines):
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.writelines(line + '\n' for line in lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('lemmas', help='the extractor\'s output')
    parser.add_argument('--unihan', default='/usr/share/unicode/Unihan_Readings.txt.bz2')
    parser.add_argument('--go-dict', default='/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go')
    parser.add_argument('--out', default=DATA, help='folder for PinyinChars.txt and PinyinPhrases.txt')
    parser.add_argument('--seed', type=int, default=20261208)
    parser.add_argument('--j2f', default=os.path.join(DATA, 'J2F.txt'),
                        help='the simplified to traditional table for the lemmas\' traditional forms; empty for none')
    parser.add_argument('--j2f-phrases', default=os.path.join(DATA, 'J2FPhrases.txt'))
    args = parser.parse_args()

    readings, counts = read_unihan(args.unihan)
    added = read_go_dict(args.go_dict, readings) if args.go_dict and os.path.exists(args.go_dict) else 0
    lemmas, singles = read_lemmas(args.lemmas)
    print(f'{len(readings)} characters with readings ({added} readings from pinyin_dict.go), '
          f'{len(singles)} readings of single characters and {len(lemmas)} distinct longer lemmas')
    traditional = Traditional(args.j2f, args.j2f_phrases) if args.j2f else None
    report(lemmas, singles, readings, counts, args.seed, traditional)

    converter, toner = build(lemmas, singles, readings, counts, traditional)
    chars = sorted(((c, s) for c, s in converter.defaults.items() if is_han(c)), key=lambda kv: ord(kv[0]))
    phrases = sorted(((t, s) for t, s in converter.phrases.items() if all(is_han(c) for c in t)),
                     key=lambda kv: [ord(c) for c in kv[0]])
    header = ['# Generated by tools/pinyintable/generate.py from modified Unicode Unihan data, the googlepinyin',
              '# dictionary and go-pinyin\'s character list; see Pinyin.NOTICE for their licences.']
    write(os.path.join(args.out, 'PinyinChars.txt'), header + [f'{c}\t{s}' for c, s in chars])
    write(os.path.join(args.out, 'PinyinPhrases.txt'), header + [f'{t}\t{" ".join(s)}' for t, s in phrases])
    print(f'shipped: {len(chars)} characters, {len(phrases)} phrases (longest {converter.longest}); '
          f'{len(toner.untoned)} syllables of the lemmas had no matching toned reading and were left toneless')


if __name__ == '__main__':
    sys.exit(main())
