// The reference's own checks: documented examples, so that a difference in the
// differential test can be pinned on the right side.
#include <gtest/gtest.h>

#include "reference/reference_build.h"

namespace lintrel::reference {
namespace {

std::vector<unsigned char> bytesOf(const std::string& finished) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < finished.size(); i += 2) {
        bytes.push_back(static_cast<unsigned char>(((finished[i] << 4) & 0xF0) | (finished[i + 1] & 0x0F)));
    }
    return bytes;
}

// Decoded bytes of the only line, without the two line-number bytes.
std::vector<unsigned char> lineBody(const std::string& platform, const std::string& text, bool removeSpaces = true) {
    const Result result = reference::build({"&P=" + platform, text}, BuildOptions{removeSpaces});
    EXPECT_FALSE(result.error.has_value()) << (result.error ? result.error->message : "");
    if (result.lines.size() != 1) return {};
    auto bytes = bytesOf(result.lines[0]);
    return {bytes.begin() + 2, bytes.end()};
}

using Bytes = std::vector<unsigned char>;

TEST(ReferenceReplaceAll, LeftmostCaseInsensitiveNonOverlapping) {
    EXPECT_EQ(replaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(replaceAll("aaa", "AA", "b"), "ba");
    EXPECT_EQ(replaceAll("xAbx", "ab", "ab!"), "xab!x");
    EXPECT_EQ(replaceAll("abab", "b", "bb"), "abbabb");  // inserted text not rescanned
    EXPECT_EQ(replaceAll("abc", "", "z"), "abc");
    EXPECT_EQ(replaceAll("\xE1\xC1", "\xC1", "x"), "\xE1x");  // only ASCII letters fold
}

TEST(ReferenceHexEnCoding, TokenLiteralsOnly) {
    std::vector<std::string> buffer = {"{41}{4a}", "{{41}}", "{GG}{1}", "{a8}"};
    hexEnCoding(buffer);
    EXPECT_EQ(buffer[0], "\x84\x81\x84\x8A");
    EXPECT_EQ(buffer[1], "{\x84\x81}");
    EXPECT_EQ(buffer[2], "{GG}{1}");
    EXPECT_EQ(buffer[3], "\x8A\x88");
    auto again = buffer;
    hexEnCoding(again);
    EXPECT_EQ(again, buffer);
}

TEST(ReferenceLabels, LongestFirstAndSequentialRows) {
    std::vector<std::string> buffer = {"GOTO \\loop10:GOTO \\loop1", "\\ab", "\\nowhere"};
    std::vector<std::string> names = {"\\loop1", "\\loop10", "\\a"};
    std::vector<std::string> numbers = {"10", "50", "7"};
    labelEnCoding(buffer, names, numbers);
    EXPECT_EQ(buffer, (std::vector<std::string>{"GOTO 50:GOTO 10", "7b", "\\nowhere"}));
    EXPECT_EQ(names, (std::vector<std::string>{"\\loop10", "\\loop1", "\\a"}));

    // An inserted number completes a shorter name with the text before it.
    buffer = {"\\x\\long"};
    names = {"\\x1", "\\long"};
    numbers = {"3", "10"};
    labelEnCoding(buffer, names, numbers);
    EXPECT_EQ(buffer[0], "30");
}

TEST(ReferenceAssembler, TextPlatformsAndPrefixes) {
    auto lines = [](std::vector<std::string> project) { return reference::build(project, {}).lines; };
    EXPECT_EQ(lines({"&P=BASIC", "&C=10", "&I=10", "PRINT 1", "GOTO \\a"}),
              (std::vector<std::string>{"10 PRINT 1", "20 GOTO \\A"}));
    EXPECT_EQ(lines({"PRINT 1 | show it", "PRINT \"A|B\""}), (std::vector<std::string>{"PRINT 1 ", "PRINT \"A"}));
    EXPECT_EQ(lines({"&P=BASIC", "PRINT 5 &C=100"}), (std::vector<std::string>{"100 PRINT 5 "}));
    EXPECT_EQ(lines({"&P=ABC80", "&C=300", "\\start", "end:goto \\START"}), (std::vector<std::string>{"300END:GOTO 300"}));
    EXPECT_EQ(lines({"&P=BASIC", "\\a PRINT 1", "\\b|x", "\t\t", "", "GOTO \\b"}),
              (std::vector<std::string>{"1 PRINT 1", "2 GOTO 2"}));
}

TEST(ReferenceAssembler, StringsRemarksAndSpaces) {
    const auto hl2 = [](const std::string& text, bool removeSpaces) {
        return assembleLines({"&P=HL2", "&C=300", text}, BuildOptions{removeSpaces}).buffer.at(0);
    };
    EXPECT_EQ(hl2("END", true), "{01}{2C}END");
    EXPECT_EQ(hl2("PRINT \"A B\"", true), "{01}{2C}PRINT{22}{41}{20}{42}\"");
    EXPECT_EQ(hl2("PRINT \"A B\"", false), "{01}{2C}PRINT {22}{41}{20}{42}\"");
    EXPECT_EQ(hl2("rem hi", true), "{01}{2C}REM{20}{48}{49}");
    EXPECT_EQ(hl2("PRINT \"rem\"", true), "{01}{2C}PRINT{22}{52}{45}{4D}\"");
    EXPECT_EQ(hl2("REM \"A\" B", true), "{01}{2C}REM{20}{22}{41}{22}{20}{42}");
    EXPECT_EQ(hl2("PRINT \"&\"", true), "{01}{2C}PRINT{22}{26}\"");
    EXPECT_EQ(hl2("X{41}\"{4", true), "{01}{2C}X{41}{22}{4");
    EXPECT_EQ(assembleLines({"&P=PRIMO", "&C=300", "END"}, {}).buffer.at(0), "{2C}{01}END");
}

TEST(ReferenceAssembler, DirectiveErrorsSelectTheValue) {
    const auto error = [](std::vector<std::string> project) { return *reference::build(project, {}).error; };
    Diagnostic d = error({"PRINT 1", "  &P=HL4 |x"});
    EXPECT_EQ(d.message, "\"HL4\" is not a valid platform!");
    EXPECT_EQ(d.line, 1);
    EXPECT_EQ(d.column, 5);
    EXPECT_EQ(d.length, 3);
    EXPECT_TRUE(d.selects);
    d = error({"&P= HL2"});
    EXPECT_EQ(d.message, "\"\" is not a valid platform!");
    EXPECT_EQ(d.column, 3);
    EXPECT_EQ(d.length, 0);
    EXPECT_EQ(error({"&P=primo"}).message, "\"primo\" is not a valid platform!");
    EXPECT_EQ(error({"&I=1O"}).message, "\"1O\" is not a valid integer value!");
    EXPECT_EQ(error({"&C=2147483648"}).message, "\"2147483648\" is not a valid integer value!");
    EXPECT_EQ(error({"&I=-2147483649"}).message, "\"-2147483649\" is not a valid integer value!");
    EXPECT_EQ(error({"&I=-2147483648"}).message, "Parameter \"-2147483648\" must be 1 or greater!");
    EXPECT_EQ(error({"&I=+-1"}).message, "\"+-1\" is not a valid integer value!");
    EXPECT_EQ(reference::build({"&P=BASIC", "&C=00000000002147483646", "A"}, {}).lines.at(0), "2147483646 A");
    EXPECT_EQ(error({"&C=10", "&C=9"}).message, "Parameter \"9\" must be greater than 10!");
    EXPECT_EQ(error({"&I=0"}).message, "Parameter \"0\" must be 1 or greater!");
    EXPECT_FALSE(reference::build({"&C=10", "&C=+10", "&I=1", "&E=a b|c"}, {}).error);
    EXPECT_EQ(reference::build({"&E=emu.exe -run x|c", "A&E=", "B"}, {}).emulatorCommand, "");
}

TEST(ReferenceAssembler, LineNumberLimits) {
    const auto limit = [](std::vector<std::string> project) { return reference::build(project, {}).error; };
    const auto shows = [&](std::vector<std::string> project) {
        const auto message = limit(project).value_or(Diagnostic{}).message;
        const auto at = message.rfind('(');
        return at == std::string::npos ? std::string() : message.substr(at);
    };
    EXPECT_FALSE(limit({"&P=HL2", "&C=32750", "&I=10", "END"}));
    auto d = limit({"&P=HL2", "&C=32750", "&I=10", "END", "END"});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->message, "The maximum allowed value for BASIC line numbering has been exceeded. (32759)");
    EXPECT_EQ(d->line, 4);
    EXPECT_FALSE(d->selects);
    EXPECT_EQ(shows({"&P=TVC", "&C=9990", "&I=10", "A", "B"}), "(9999)");
    EXPECT_EQ(shows({"&P=ABC80", "&C=65530", "&I=10", "A"}), "(65535)");
    EXPECT_EQ(shows({"&C=2147483647", "A"}), "(2147483647)");
    EXPECT_FALSE(limit({"&P=BASIC", "&C=2147483646", "A"}));
}

TEST(ReferenceTokenizer, HomelabNamesAndKeywords) {
    EXPECT_EQ(lineBody("HL2", "PRINTAB$"), (Bytes{0xA8, 0x61, 0x42}));
    EXPECT_EQ(lineBody("HL2", "DIMA(10)"), (Bytes{0x90, 0x41, 0x1F, 0x31, 0x30, 0x29}));
    EXPECT_EQ(lineBody("HL2", "X=AB(3)"), (Bytes{0x58, 0x87, 0x41, 0x02, 0x33, 0x29}));
    EXPECT_EQ(lineBody("HL2", "ABC$"), (Bytes{0x41, 0x62, 0x43}));
    EXPECT_EQ(lineBody("HL3", "A$=\"X\""), (Bytes{0x41, 0xE2, 0x87, 0x22, 0x58, 0x22}));
    EXPECT_EQ(lineBody("HL3", "INKEY$"), (Bytes{0x8C, 0x24}));
    EXPECT_EQ(lineBody("TVC", "A(1)"), (Bytes{0x41, 0x96, 0x31, 0x95}));
    EXPECT_EQ(lineBody("HL2", "ab"), (Bytes{0x41, 0x42}));
    EXPECT_EQ(lineBody("HL2", "{a8}"), (Bytes{0xA8}));
    EXPECT_EQ(lineBody("HL2", "FOR I=1 TO N"), (Bytes{0x92, 0x49, 0x87, 0x31, 0xA6, 0x4E}));
    EXPECT_EQ(lineBody("TVC", "FOR D=1 TO 9"), (Bytes{0xF2, 0x44, 0x9A, 0x31, 0xB4, 0x39}));
    EXPECT_EQ(lineBody("HT", "FOR I=1 TO N"), (Bytes{0x81, 0x49, 0xD5, 0x31, 0xBD, 0x4E}));
    EXPECT_EQ(lineBody("PRIMO", "FOR I=1 TO N"), (Bytes{0x81, 0x49, 0xD5, 0x31, 0xBD, 0x4E}));
}

TEST(ReferenceTokenizer, HtAndPrimoMachineRules) {
    EXPECT_EQ(lineBody("HT", "PRINT TAB(5);\"X\""), (Bytes{0xB2, 0xBC, 0x35, 0x29, 0x3B, 0x22, 0x58, 0x22}));
    EXPECT_EQ(lineBody("HT", "A=USR(0)"), (Bytes{0x41, 0xD5, 0xC1, 0x28, 0x30, 0x29}));
    EXPECT_EQ(lineBody("HT", "DATA ORANGE, -1"),
              (Bytes{0x88, 0x20, 0x4F, 0x52, 0x41, 0x4E, 0x47, 0x45, 0x2C, 0x20, 0x2D, 0x31}));
    EXPECT_EQ(lineBody("PRIMO", "READ A$:DATA \"A:B\",C"),
              (Bytes{0x8B, 0x41, 0x24, 0x3A, 0x88, 0x20, 0x22, 0x41, 0x3A, 0x42, 0x22, 0x2C, 0x43}));
    EXPECT_EQ(lineBody("HT", "DATA 1:PRINT"), (Bytes{0x88, 0x20, 0x31, 0x3A, 0xB2}));
    EXPECT_EQ(lineBody("HT", "' no te"), (Bytes{0x3A, 0x93, 0xFB, 0x20, 0x6E, 0x6F, 0x20, 0x74, 0x65}));
    EXPECT_EQ(lineBody("HT", "IF A THEN 20 ELSE 30"),
              (Bytes{0x8F, 0x41, 0xCA, 0x32, 0x30, 0x3A, 0x95, 0x33, 0x30}));
    EXPECT_EQ(lineBody("PRIMO", "PRINT:ELSE"), (Bytes{0xB2, 0x3A, 0x3A, 0x95}));
    EXPECT_EQ(lineBody("HT", "\"\xE1\xDB\""), (Bytes{0x22, 0x60, 0x10, 0x60, 0x08, 0x22}));
    EXPECT_EQ(lineBody("HT", "\xE1"), (Bytes{0x60, 0x10}));
    EXPECT_EQ(lineBody("HL2", "DATA A"), (Bytes{0x97, 0x41}));  // Homelab DATA items are program text
}

TEST(ReferenceUnencodable, FirstInSourceOrder) {
    const auto error = [](std::vector<std::string> project) { return reference::build(project, {}).error; };
    auto d = error({"&P=HL2", "PRINT 1", "A={G1}:B=\"~\""});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->message, "The character \"{\" (7B) has no code on HL2!");
    EXPECT_EQ(d->line, 2);
    EXPECT_EQ(d->column, 2);
    EXPECT_EQ(d->length, 1);
    EXPECT_TRUE(d->selects);
    d = error({"&P=HL2", "PRINT \"A\x85\""});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->message, "The character \"\x85\" (85) has no code on HL2!");
    EXPECT_EQ(d->column, 8);
    EXPECT_EQ(error({"&P=HL3", "PRINT \"@\" | {G1}"})->message, "The character \"@\" (40) has no code on HL3!");
    EXPECT_FALSE(error({"&P=PRIMO", "PRINT \"^\""}));  // the keyword pass encodes it
    EXPECT_FALSE(error({"&P=BASIC", "{G1}\x85~"}));
    EXPECT_FALSE(error({"&P=HL2", "\\\x85 PRINT 1"}));  // label definition names are no program text
    EXPECT_FALSE(error({"&P=HL2", "PRINT 1 &E=\x85"}));
    d = error({"&P=HT", "\\x~ PRINT \"~\""});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->column, 11);
}

}  // namespace
}  // namespace lintrel::reference
