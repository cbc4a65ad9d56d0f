// Each image reader against images it must take (Lintrel's own, and other
// tools' for the same machine) and against hand-damaged ones: one row per
// kind of damage, with the offset and the fault it names.
#include <gtest/gtest.h>

#include <functional>

#include "images/homelab_htp.h"
#include "images/ht_cas.h"
#include "images/primo_pri.h"
#include "images/tvc_cas.h"

namespace lintrel {
namespace {

using Bytes = std::vector<unsigned char>;

// "10 PRINT 1" and "20 GOTO 10" in each machine's bytes.
Bytes image(ImageWriter writer, std::string_view platform, const Bytes& first, const Bytes& second) {
    Program program;
    program.addLine(10, first, 0);
    program.addLine(20, second, 1);
    return writer(program, platform).bytes;
}

Bytes htImage() { return image(writeHtImage, "HT", {0xB2, 0x31}, {0x8D, 0x31, 0x30}); }
Bytes primoImage() { return image(writePrimoImage, "PRIMO", {0xB2, 0x31}, {0x8D, 0x31, 0x30}); }
Bytes tvcImage() { return image(writeTvcImage, "TVC", {0xDD, 0x31}, {0xEF, 0x31, 0x30}); }
Bytes hl3Image() { return image(writeHomelab3Image, "HL3", {0xA8, 0x31}, {0x93, 0x31, 0x30}); }

// The Homelab checksum over the data (offsets 278 up to the checksum) made
// right again, so a row damages only what it means to.
void fixChecksum(Bytes& bytes) {
    unsigned sum = 0;
    for (std::size_t i = 278; i + 2 < bytes.size(); ++i) sum += bytes[i];
    bytes[bytes.size() - 2] = static_cast<unsigned char>(sum);
}

struct Damage {
    const char* name;
    ImageReader reader;
    std::function<Bytes()> base;
    std::function<void(Bytes&)> damage;
    std::size_t offset;
    std::string message;
};

const std::vector<Damage>& damages() {
    static const std::vector<Damage> rows = {
        // HT: 255 zeros, A5 at 255, D3 D3 D3, name at 259, records from 260
        // (10 at 260, 20 at 267), end link at 275; 277 bytes.
        {"ht_empty", readHtImage, htImage, [](Bytes& b) { b.clear(); }, 0,
         "the file ends inside the leader: no sync byte A5"},
        {"ht_no_sync", readHtImage, htImage, [](Bytes& b) { b[255] = 0x5A; }, 255,
         "expected A5 (the sync byte after the leader), found 5A"},
        {"ht_not_basic", readHtImage, htImage, [](Bytes& b) { b[257] = 0x55; }, 257,
         "expected D3 (a BASIC file header), found 55"},
        {"ht_truncated_in_a_line", readHtImage, htImage, [](Bytes& b) { b.resize(270); }, 267,
         "the next-line address 42F8 points past the end of the program"},
        {"ht_truncated_before_end_link", readHtImage, htImage, [](Bytes& b) { b.resize(276); }, 276,
         "the program ends before its end link 00 00"},
        {"ht_chain_backwards", readHtImage, htImage, [](Bytes& b) { b[267] = 0xE0; }, 267,
         "the next-line address 42E0 points backwards (the line lies at 42F0)"},
        {"ht_chain_no_room", readHtImage, htImage, [](Bytes& b) { b[260] = 0xEB; }, 260,
         "the next-line address 42EB leaves no room for a line number and its end byte"},
        // Four bytes: one short of the smallest record (address, number, end byte).
        {"ht_chain_no_room_by_one", readHtImage, htImage, [](Bytes& b) { b[260] = 0xED; }, 260,
         "the next-line address 42ED leaves no room for a line number and its end byte"},
        {"ht_chain_outside", readHtImage, htImage, [](Bytes& b) { b[268] = 0x52; }, 267,
         "the next-line address 52F8 points past the end of the program"},
        {"ht_no_terminator", readHtImage, htImage, [](Bytes& b) { b[266] = 0x3A; }, 266,
         "line 10 has no end byte 00 before the next line (found 3A)"},
        {"ht_bytes_after_end", readHtImage, htImage, [](Bytes& b) { b.push_back(0x1A); }, 277,
         "unexpected byte 1A after the program's end"},
        // PRIMO: D1 00 00, the length at 3, records from 5 (10 at 5, 20 at
        // 12), end link at 20, C9 at 22; 23 bytes.
        {"primo_short_header", readPrimoImage, primoImage, [](Bytes& b) { b.resize(4); }, 4,
         "the file ends inside the block header"},
        {"primo_not_a_program", readPrimoImage, primoImage, [](Bytes& b) { b[0] = 0xD9; }, 0,
         "expected D1 (a BASIC program block), found D9"},
        {"primo_block_elsewhere", readPrimoImage, primoImage, [](Bytes& b) { b[2] = 0x01; }, 1,
         "the block starts at 0100 of the program area, not at 0000"},
        {"primo_truncated", readPrimoImage, primoImage, [](Bytes& b) { b.resize(15); }, 15,
         "the file ends inside the program block (its length at offset 3 says it ends at offset 22)"},
        {"primo_length_too_short", readPrimoImage, primoImage, [](Bytes& b) { b[3] = 0x0E; }, 12,
         "the next-line address 43F9 points past the end of the program"},
        {"primo_length_too_long", readPrimoImage, primoImage, [](Bytes& b) { b[3] = 0x12; b.push_back(0xC9); }, 22,
         "the end link comes before the block's end at offset 23 (the length at offset 3 does not match)"},
        {"primo_chain_backwards", readPrimoImage, primoImage, [](Bytes& b) { b[6] = 0x42; }, 5,
         "the next-line address 42F1 points backwards (the line lies at 43EA)"},
        {"primo_no_terminator", readPrimoImage, primoImage, [](Bytes& b) { b[19] = 0xFF; }, 19,
         "line 20 has no end byte 00 before the next line (found FF)"},
        {"primo_no_closing_byte", readPrimoImage, primoImage, [](Bytes& b) { b[22] = 0x00; }, 22,
         "expected C9 (the closing byte), found 00"},
        {"primo_bytes_after_closing", readPrimoImage, primoImage, [](Bytes& b) { b.push_back(0x00); }, 23,
         "unexpected byte 00 after the closing byte"},
        // TVC: headers to 144, records from 144 (10 at 144, 20 at 150), the
        // end byte at 157; 158 bytes: 1 block and 30.
        {"tvc_not_tvc", readTvcImage, tvcImage, [](Bytes& b) { b[0] = 0x01; }, 0,
         "expected 11 (a TVC cassette file), found 01"},
        {"tvc_short", readTvcImage, tvcImage, [](Bytes& b) { b.resize(100); }, 100, "the file ends inside the headers"},
        {"tvc_truncated", readTvcImage, tvcImage, [](Bytes& b) { b.resize(150); }, 150,
         "the file ends after 150 bytes; its block count at offset 2 says 158"},
        {"tvc_blocks_short", readTvcImage, tvcImage, [](Bytes& b) { b[4] = 20; }, 2,
         "the block count says 148 bytes; the file has 158"},
        {"tvc_last_block_too_large", readTvcImage, tvcImage, [](Bytes& b) { b[4] = 0x80; }, 4,
         "the last block's size 128 is not below 128"},
        {"tvc_not_a_program", readTvcImage, tvcImage, [](Bytes& b) { b[129] = 0x02; }, 129,
         "expected 01 (a program file), found 02"},
        {"tvc_program_length", readTvcImage, tvcImage, [](Bytes& b) { b[130] = 0x0D; }, 130,
         "the program length 13 does not match the 14 bytes after the headers"},
        {"tvc_record_too_short", readTvcImage, tvcImage, [](Bytes& b) { b[150] = 0x03; }, 150,
         "a line record of 3 bytes leaves no room for a line number and its end byte"},
        {"tvc_record_past_end", readTvcImage, tvcImage, [](Bytes& b) { b[150] = 0x09; }, 150,
         "a line record of 9 bytes passes the end of the file"},
        {"tvc_no_terminator", readTvcImage, tvcImage, [](Bytes& b) { b[149] = 0xFE; }, 149,
         "line 10 has no end byte FF (found FE)"},
        {"tvc_after_end_byte", readTvcImage, tvcImage,
         [](Bytes& b) { b[150] = 0x00; b[151] = 0x07; }, 151, "unexpected byte 07 after the end byte 00"},
        // Homelab 3: leader to 256, A5, name, 00 at 273, 4016 at 274, the
        // length at 276, data from 278 (program from 416: 10 at 416, 20 at
        // 421, 80 60 at 427), checksum at 429, 00; 431 bytes.
        {"homelab_no_sync", readHomelabImage, hl3Image, [](Bytes& b) { b[256] = 0x55; }, 256,
         "expected A5 (the sync byte after the leader), found 55"},
        {"homelab_long_name", readHomelabImage, hl3Image, [](Bytes& b) { b[273] = 0x20; }, 257,
         "the block name has no end byte 00 within 16 bytes"},
        {"homelab_loads_elsewhere", readHomelabImage, hl3Image, [](Bytes& b) { b[275] = 0x50; }, 274,
         "the block loads at 5016; a BASIC program loads at 4016"},
        {"homelab_truncated", readHomelabImage, hl3Image, [](Bytes& b) { b.resize(400); }, 400,
         "the file ends inside the block (its length at offset 276 says 151 bytes and a checksum)"},
        {"homelab_checksum", readHomelabImage, hl3Image, [](Bytes& b) { b[418] ^= 0x01; }, 429,
         "the checksum is 77; the data add up to 78"},
        {"homelab_bytes_after", readHomelabImage, hl3Image, [](Bytes& b) { b.push_back(0x0D); }, 431,
         "unexpected byte 0D after the program's end"},
        {"homelab_too_short", readHomelabImage, hl3Image,
         [](Bytes& b) { b[276] = 100; b.resize(278 + 100 + 2); b.back() = 0; fixChecksum(b); }, 276,
         "a block of 100 bytes is too short for a BASIC program"},
        {"homelab_end_address", readHomelabImage, hl3Image, [](Bytes& b) { b[280] = 0xAA; fixChecksum(b); }, 280,
         "the program's end address 40AA does not match the block's end at 40AB"},
        {"homelab_no_end_marker", readHomelabImage, hl3Image, [](Bytes& b) { b[427] = 0x81; fixChecksum(b); }, 427,
         "expected the end marker 80 60 at the program's end"},
        {"homelab_no_line_end", readHomelabImage, hl3Image, [](Bytes& b) { b[426] = 0x20; fixChecksum(b); }, 427,
         "line 20 has no end byte 60 before the end marker"},
        {"homelab_number_cut_off", readHomelabImage, hl3Image,
         [](Bytes& b) { b[425] = 0x60; fixChecksum(b); }, 426, "a line number is cut off by the program's end"},
    };
    return rows;
}

void PrintTo(const Damage& row, std::ostream* out) { *out << row.name; }

class DamagedImage : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedImage, NamesTheOffsetAndTheFault) {
    const Damage& row = GetParam();
    Bytes bytes = row.base();
    ASSERT_TRUE(row.reader(bytes).ok()) << "the undamaged image reads";
    row.damage(bytes);
    const ImageReading reading = row.reader(bytes);
    ASSERT_FALSE(reading.ok());
    EXPECT_EQ(reading.fault->offset, row.offset);
    EXPECT_EQ(reading.fault->message, row.message);
    EXPECT_TRUE(reading.program.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, DamagedImage, ::testing::ValuesIn(damages()),
                         [](const auto& info) { return std::string(info.param.name); });

std::string describe(const ImageReading& reading) {
    std::string text(reading.platform);
    const Program& lines = reading.program;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += " | " + std::to_string(lines.number(i)) + " @" + std::to_string(lines.origin(i)) + ":";
        for (const unsigned char b : lines.bytes(i)) text += " " + hexByte(b);
    }
    return text;
}

TEST(ImageReaders, FindTheLinesTheWritersWrote) {
    EXPECT_EQ(describe(readHtImage(htImage())), "HT | 10 @260: B2 31 | 20 @267: 8D 31 30");
    EXPECT_EQ(describe(readPrimoImage(primoImage())), "PRIMO | 10 @5: B2 31 | 20 @12: 8D 31 30");
    EXPECT_EQ(describe(readTvcImage(tvcImage())), "TVC | 10 @144: DD 31 | 20 @150: EF 31 30");
    EXPECT_EQ(describe(readHomelabImage(hl3Image())), "HL3 | 10 @416: A8 31 | 20 @421: 93 31 30");
    const Bytes hl2 = image(writeHomelab2Image, "HL2", {0xA8, 0x31}, {0x93, 0x31, 0x30});
    EXPECT_EQ(describe(readHomelabImage(hl2)), "HL2 | 10 @416: A8 31 | 20 @421: 93 31 30");
}

// Other tools write the HT's BASIC tapes with another leader and name, and
// may pad the end; a Homelab block with another name or system area reads,
// but cannot tell HL2 from HL3.
TEST(ImageReaders, TakeOtherToolsImagesOfTheSameMachines) {
    Bytes ht = htImage();
    ht.erase(ht.begin(), ht.begin() + 200);  // a 55-byte leader
    ht[59] = 'G';                            // the name
    ht.insert(ht.end(), 3, 0x00);
    EXPECT_EQ(describe(readHtImage(ht)), "HT | 10 @60: B2 31 | 20 @67: 8D 31 30");
    const Bytes whole = htImage();
    const Bytes noLeader(whole.begin() + 255, whole.end());
    EXPECT_EQ(describe(readHtImage(noLeader)), "HT | 10 @5: B2 31 | 20 @12: 8D 31 30");

    Bytes homelab = hl3Image();
    homelab[257] = 'G';
    fixChecksum(homelab);
    EXPECT_EQ(describe(readHomelabImage(homelab)), " | 10 @416: A8 31 | 20 @421: 93 31 30");
}

TEST(ImageReaders, AnEmptyProgramHasNoLines) {
    const Program none;
    EXPECT_EQ(describe(readHtImage(writeHtImage(none, "HT").bytes)), "HT");
    EXPECT_EQ(describe(readPrimoImage(writePrimoImage(none, "PRIMO").bytes)), "PRIMO");
    EXPECT_EQ(describe(readTvcImage(writeTvcImage(none, "TVC").bytes)), "TVC");
    EXPECT_EQ(describe(readHomelabImage(writeHomelab2Image(none, "HL2").bytes)), "HL2");
}

TEST(ImageReaders, FaultsNameTheirOffsetInDecimalAndHex) {
    EXPECT_EQ(describeFault({300, "the checksum is A0; the data add up to A1"}),
              "offset 300 (012C): the checksum is A0; the data add up to A1");
    EXPECT_EQ(describeFault({70000, "x"}), "offset 70000 (00011170): x");
}

}  // namespace
}  // namespace lintrel
