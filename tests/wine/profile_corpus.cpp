#include "profile_corpus.h"

namespace kob::test::wine {
namespace {

std::string withCrlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const std::string trickyText =
    "; a comment before any section\n"
    "Orphan = before any section\n"
    "\n"
    "[Config]\n"
    "MaxSounds = 12\n"
    "  VolumeVar\t=\ttabbed value\t\n"
    "Empty=\n"
    "Blank =    \n"
    "Inline = value ; not a comment\n"
    "Hash = # not a comment either\n"
    "Equals = a=b=c\n"
    "no equals sign here\n"
    "=value without a key\n"
    "Key With Spaces = inner\n"
    "Key\tWith\tTabs = tabbed name\n"
    "Repeated = first\n"
    "Repeated = second\n"
    ";Commented = hidden\n"
    "   ; Indented = hidden\n"
    "# HashComment = shown?\n"
    "Long = " + std::string(40, 'L') + "\n"
    "VeryLong = " + std::string(400, 'V') + "\n"
    "[ Sounds ]\n"
    "Sound01 = a.wav,50\n"
    "[config]\n"
    "Late = only in the repeated section\n"
    "MaxSounds = 99\n"
    "[Unclosed\n"
    "Inside = unclosed section\n"
    "[Tail] trailing text\n"
    "InTail = tail value\n"
    "[]\n"
    "InEmpty = empty section name\n"
    "[a]b]\n"
    "Bracket = first bracket ends it\n"
    "  [Indented]\n"
    "InIndented = yes\n"
    "[\tTabbed\t]\n"
    "InTabbed = yes\n"
    "[Last]\n"
    "After = tail";

const std::string quotesText =
    "[Quotes]\n"
    "Double = \"  padded  \"\n"
    "Single = 'single'\n"
    "Open = \"open\n"
    "Mixed = \"a'\n"
    "Lone = \"\n"
    "LoneSingle = '\n"
    "EmptyQuotes = \"\"\n"
    "Inner = say \"hi\"\n"
    "Leading = \"x\" y\n"
    "Trailing = x \"y\"\n"
    "Spaced =   \"spaced\"   \n"
    "Tabbed =\t\"tabbed\"\t\n"
    "Number = \"15\"\n"
    "SingleNumber = '16'\n"
    "QuotedBlank = \"   \"\n"
    "Q1 = \"1\"\n"
    "Q2 = \"12\"\n"
    "Q3 = \"123\"\n"
    "Q6 = \"123456\"\n"
    "S3 = '123'\n"
    "Unquoted6 = 123456\n";

const std::string integersText =
    "[Ints]\n"
    "Plain = 42\n"
    "Negative = -42\n"
    "Plus = +42\n"
    "Padded =    7   \n"
    "Suffix = 12abc\n"
    "Letters = abc\n"
    "Minus = -\n"
    "DoubleMinus = --5\n"
    "SpacedMinus = - 5\n"
    "PlusMinus = +-3\n"
    "Hex = 0x10\n"
    "HexUpper = 0X1f\n"
    "Octal = 010\n"
    "Decimal = 3.9\n"
    "Max = 2147483647\n"
    "OverMax = 2147483648\n"
    "UnsignedMax = 4294967295\n"
    "OverUnsigned = 4294967296\n"
    "Min = -2147483648\n"
    "UnderMin = -2147483649\n"
    "Huge = 99999999999999999999\n"
    "Empty =\n"
    "Blank =    \n"
    "TwoNumbers = 1 2\n"
    "LeadingZeros = 007\n"
    "Tab =\t5\t\n"
    "ErrorFlag = -1\n"
    "HexBig = 0x1F\n"
    "HexUpperPrefix = 0X10\n"
    "HexBadDigit = 0xfg\n"
    "HexEmpty = 0x\n"
    "HexNegative = -0x10\n"
    "HexPlus = +0x10\n"
    "HexQuoted = \"0x10\"\n"
    "HexHuge = 0x123456789\n"
    "HexFull = 0xFFFFFFFF\n"
    "LeadingSpaceSign = + 4\n";

}  // namespace

std::vector<ProfileFile> profileCorpus() {
    return {
        {"tricky.ini", trickyText},
        {"tricky_crlf.ini", withCrlf(trickyText)},
        {"tricky_final_newline.ini", trickyText + "\n"},
        {"bom.ini", "\xEF\xBB\xBF[Config]\nMaxSounds = 5\nName = after bom\n"},
        {"bom_crlf.ini", "\xEF\xBB\xBF[Config]\r\nMaxSounds = 6\r\n"},
        {"quotes.ini", quotesText},
        {"integers.ini", integersText},
        {"integers_crlf.ini", withCrlf(integersText)},
        {"empty.ini", ""},
        {"no_final_newline.ini", "[S]\nKey=last"},
        {"empty_last_value.ini", "[S]\nKey="},
        {"section_only.ini", "[S]"},
        {"blank_lines.ini", "\n\n  \n[S]\n\n\nKey = v\n\n"},
        {"broken_header.ini", "[A]\nK1 = 1\n[Broken\nK2 = 2\n[B]\nK3 = 3\n"},
        {"empty_header_first.ini", "[]\nK = 1\n[A]\nK = 2\n"},
        {"orphans.ini", "K = orphan\n; comment = c\n[A]\nK = 2\n"},
        {"repeated.ini", "[A]\nK = 1\n[B]\nK = b\n[a]\nK = 2\nL = later\n"},
    };
}

std::vector<ProfileQuery> profileQueries() {
    std::vector<ProfileQuery> queries;
    auto ask = [&](const std::string& file, const std::string& section, const std::vector<std::string>& keys,
                   const std::string& defaultValue = "dflt  ") {
        for (const std::string& key : keys) queries.push_back({".\\" + file, section, key, defaultValue});
    };
    const std::vector<std::string> configKeys = {
        "MaxSounds", "maxsounds", " MaxSounds ", "VolumeVar", "Empty", "Blank", "Inline", "Hash",
        "Equals", "no equals sign here", "", "Key With Spaces", "key with spaces", "Key  With Spaces",
        "Key\tWith\tTabs", "Repeated", "Commented", ";Commented", "Indented", "# HashComment", "HashComment",
        "Long", "VeryLong", "Late", "Orphan", "Missing"};
    for (const char* file : {"tricky.ini", "tricky_crlf.ini", "tricky_final_newline.ini"}) {
        ask(file, "Config", configKeys);
        ask(file, "CONFIG", {"MaxSounds", "Late"});
        ask(file, " Config ", {"MaxSounds"});
        ask(file, "Sounds", {"Sound01", "sound01"});
        ask(file, " Sounds ", {"Sound01"});
        ask(file, "Unclosed", {"Inside"});
        ask(file, "Tail", {"InTail"});
        ask(file, "Tail] trailing text", {"InTail"});
        ask(file, "", {"InEmpty", "Orphan"});
        ask(file, "a", {"Bracket"});
        ask(file, "a]b", {"Bracket"});
        ask(file, "Indented", {"InIndented"});
        ask(file, "Tabbed", {"InTabbed"});
        ask(file, "Last", {"After"});
        ask(file, "Missing", {"MaxSounds"});
    }
    ask("tricky.ini", "Config", {"MaxSounds", "Missing"}, "");
    ask("tricky.ini", "Config", {"Missing"}, "  lead and trail  ");
    ask("tricky.ini", "Config", {"Missing"}, "tab\t");
    for (const char* file : {"bom.ini", "bom_crlf.ini"}) ask(file, "Config", {"MaxSounds", "Name"});
    ask("quotes.ini", "Quotes",
        {"Double", "Single", "Open", "Mixed", "Lone", "LoneSingle", "EmptyQuotes", "Inner", "Leading", "Trailing",
         "Spaced", "Tabbed", "Number", "SingleNumber", "QuotedBlank", "Q1", "Q2", "Q3", "Q6", "S3", "Unquoted6"});
    for (const char* file : {"integers.ini", "integers_crlf.ini"})
        ask(file, "Ints",
            {"Plain", "Negative", "Plus", "Padded", "Suffix", "Letters", "Minus", "DoubleMinus", "SpacedMinus",
             "PlusMinus", "Hex", "HexUpper", "Octal", "Decimal", "Max", "OverMax", "UnsignedMax", "OverUnsigned",
             "Min", "UnderMin", "Huge", "Empty", "Blank", "TwoNumbers", "LeadingZeros", "Tab", "ErrorFlag", "HexBig", "HexUpperPrefix",
             "HexBadDigit", "HexEmpty", "HexNegative", "HexPlus", "HexQuoted", "HexHuge", "HexFull",
             "LeadingSpaceSign"});
    ask("empty.ini", "S", {"Key"});
    ask("no_final_newline.ini", "S", {"Key"});
    ask("empty_last_value.ini", "S", {"Key"});
    ask("section_only.ini", "S", {"Key"});
    ask("blank_lines.ini", "S", {"Key"});
    ask("missing.ini", "S", {"Key"});
    ask("broken_header.ini", "A", {"K1", "K2", "K3"});
    ask("broken_header.ini", "Broken", {"K2"});
    ask("broken_header.ini", "B", {"K3"});
    ask("empty_header_first.ini", "", {"K"});
    ask("empty_header_first.ini", "A", {"K"});
    ask("orphans.ini", "", {"K", "; comment"});
    ask("orphans.ini", " ", {"K"});
    ask("orphans.ini", "A", {"K"});
    ask("repeated.ini", "A", {"K", "L"});
    ask("repeated.ini", "a", {"K", "L"});
    return queries;
}

std::string queryList(const std::vector<ProfileQuery>& queries) {
    std::string out;
    for (const ProfileQuery& query : queries)
        out += query.file + "|" + query.section + "|" + query.key + "|" + query.defaultValue + "\n";
    return out;
}

}  // namespace kob::test::wine
