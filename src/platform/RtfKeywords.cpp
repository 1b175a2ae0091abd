#include "platform/RtfKeywords.h"

#include <unordered_map>

namespace platform {

namespace {

using Word = RtfWord;

const std::unordered_map<std::string_view, RtfWordInfo>& words() {
    static const std::unordered_map<std::string_view, RtfWordInfo> table = [] {
        std::unordered_map<std::string_view, RtfWordInfo> t;
        for (const char* d : {"stylesheet",
                              "info",
                              "pict",
                              "object",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "annotation",
                              "fldinst",
                              "xe",
                              "tc",
                              "listtable",
                              "listoverridetable",
                              "revtbl",
                              "rsidtbl",
                              "generator",
                              "themedata",
                              "colorschememapping",
                              "latentstyles",
                              "datastore",
                              "xmlnstbl",
                              "filetbl",
                              "pntext",
                              "pntxta",
                              "pntxtb",
                              "bkmkstart",
                              "bkmkend",
                              "author",
                              "operator",
                              "title",
                              "subject",
                              "comment",
                              "keywords",
                              "doccomm",
                              "nonshppict",
                              "shpinst",
                              "template",
                              "userprops",
                              "mmathPr",
                              "pgdsctbl",
                              "protusertbl",
                              "fchars",
                              "lchars",
                              "txe",
                              "atnid",
                              "atnauthor",
                              "background",
                              "shp"})
            t.emplace(d, RtfWordInfo{Word::SkipDest});
        t.emplace("fonttbl", RtfWordInfo{Word::FontTable});
        t.emplace("colortbl", RtfWordInfo{Word::ColourTable});
        t.emplace("ansicpg", RtfWordInfo{Word::AnsiCodePage});
        t.emplace("deff", RtfWordInfo{Word::DefaultFont});
        t.emplace("fcharset", RtfWordInfo{Word::FontCharset});
        t.emplace("cpg", RtfWordInfo{Word::FontCodePage});
        t.emplace("red", RtfWordInfo{Word::Red});
        t.emplace("green", RtfWordInfo{Word::Green});
        t.emplace("blue", RtfWordInfo{Word::Blue});
        for (const char* w : {"par", "sect", "page", "row"})
            t.emplace(w, RtfWordInfo{Word::Par});
        t.emplace("line", RtfWordInfo{Word::Line});
        t.emplace("tab", RtfWordInfo{Word::Tab});
        t.emplace("cell", RtfWordInfo{Word::Cell});
        const std::pair<const char*, char16_t> named[] = {
            {"emdash", 0x2014},  {"endash", 0x2013},    {"bullet", 0x2022},    {"lquote", 0x2018},
            {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}, {"qmspace", 0x2005},   {"zwj", 0x200D},       {"zwnj", 0x200C},
        };
        for (const auto& [name, ch] : named)
            t.emplace(name, RtfWordInfo{Word::Char, ch});
        t.emplace("u", RtfWordInfo{Word::Unicode});
        t.emplace("uc", RtfWordInfo{Word::UnicodeSkip});
        t.emplace("bin", RtfWordInfo{Word::Bin});
        t.emplace("plain", RtfWordInfo{Word::Plain});
        t.emplace("b", RtfWordInfo{Word::Bold});
        t.emplace("i", RtfWordInfo{Word::Italic});
        for (const char* u :
             {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
              "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t.emplace(u, RtfWordInfo{Word::Underline});
        t.emplace("ulnone", RtfWordInfo{Word::UnderlineNone});
        t.emplace("strike", RtfWordInfo{Word::Strike});
        t.emplace("striked", RtfWordInfo{Word::Strike});
        t.emplace("f", RtfWordInfo{Word::Font});
        t.emplace("fs", RtfWordInfo{Word::FontSize});
        t.emplace("cf", RtfWordInfo{Word::ColourFore});
        return t;
    }();
    return table;
}

} // namespace

int codePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 0; // ANSI, default, symbol, OEM: the document's page
    }
}

const RtfWordInfo* findRtfWord(std::string_view name) {
    const auto& table = words();
    const auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}

} // namespace platform
