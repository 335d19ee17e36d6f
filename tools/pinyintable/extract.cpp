// Prints the lemmas of the googlepinyin system dictionary as text, one a line:
//   lemma<TAB>syllable syllable ...<TAB>score
// The lemma in UTF-8, its syllables toneless and in lower case, and its unigram score (lower is
// more frequent: about -800 times the natural logarithm of its probability).
// Built by hand, see README.md; not part of the program's build.
#include <dicttrie.h>
#include <ngram.h>
#include <spellingtrie.h>

#include <cctype>
#include <cstdio>
#include <string>

using namespace ime_pinyin;

namespace {

void putUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "/usr/lib/x86_64-linux-gnu/googlepinyin/data/dict_pinyin.dat";
    DictTrie trie;
    if (!trie.load_dict(path, 1, kSysDictIdEnd)) {
        std::fprintf(stderr, "cannot load %s\n", path);
        return 1;
    }
    SpellingTrie& spellings = SpellingTrie::get_instance();
    NGram& ngram = NGram::get_instance();
    unsigned long printed = 0, misses = 0;
    for (LemmaIdType id = 1; id < kSysDictIdEnd && misses < 1000; ++id) {
        char16 text[kMaxLemmaSize + 1] = {};
        const uint16 length = trie.get_lemma_str(id, text, kMaxLemmaSize + 1);
        if (length == 0) {
            ++misses;
            continue;
        }
        misses = 0;
        uint16 splids[kMaxLemmaSize] = {};
        if (trie.get_lemma_splids(id, splids, kMaxLemmaSize, false) != length)
            continue;
        std::string line;
        for (uint16 i = 0; i < length; ++i)
            putUtf8(line, text[i]);
        line += '\t';
        for (uint16 i = 0; i < length; ++i) {
            if (i)
                line += ' ';
            for (const char* s = spellings.get_spelling_str(splids[i]); *s; ++s)
                line += char(std::tolower(static_cast<unsigned char>(*s)));
        }
        std::printf("%s\t%.0f\n", line.c_str(), double(ngram.get_uni_psb(id)));
        ++printed;
    }
    std::fprintf(stderr, "%lu lemmas\n", printed);
    return 0;
}
