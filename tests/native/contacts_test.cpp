// Contacts from other programs: the text conversions, the CSV and vCard readers on hand-written
// exports in the layouts of common address books (tests/native/data/contacts), the import into
// the phone book and its undo, and the writers read back by the readers.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/code_page_text.h"
#include "present/contact_csv.h"
#include "present/contact_export.h"
#include "present/contact_file.h"
#include "present/contact_merge.h"
#include "present/contact_record.h"
#include "present/phone_book_model.h"

namespace {

using Texts = std::vector<std::string>;

const CodePageMap& kMap = Windows1252Map();

std::string ReadSample(const std::string& name) {
    std::ifstream file(std::string(TELLWIRE_TEST_DATA) + "/contacts/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// "name/numbers" of each contact.
Texts Rows(const std::vector<PhoneBookContact>& contacts) {
    Texts rows;
    for (const PhoneBookContact& contact : contacts) rows.push_back(contact.name + "/" + contact.numbers);
    return rows;
}

ContactFile Read(const std::string& bytes) { return ReadContactFile(bytes.data(), bytes.size(), kMap); }

TEST(CodePageText, Utf8ToTheProgramsCodePage) {
    struct Case { std::string utf8, expected; } const cases[] = {
        {"M\xC3\xBCller \xE2\x82\xAC", "M\xFCller \x80"},    // in the code page, also from its upper block
        {"\xC5\x9F \xE4\xB8\xAD \xF0\x9F\x91\xB7", "? ? ?"},  // not in it: one "?" per character
        {"cut \xC3", "cut ?"},                                // a sequence the text ends inside
        {"\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80", "?? ??? ????"},  // overlong, surrogate, past U+10FFFF
        {"\xC3(", "?("},                                      // a lead byte without its follower
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Utf8ToCodePage(c.utf8.data(), c.utf8.size(), kMap)) << c.utf8;
    // Every byte that stands for a character comes back through UTF-8 as itself.
    for (int byte = 1; byte < 256; ++byte) {
        std::string one(1, static_cast<char>(byte));
        std::string utf8 = CodePageToUtf8(one.data(), 1, kMap);
        bool none = byte >= 0x80 && kMap.high[byte - 0x80] == 0;
        EXPECT_EQ(none ? "?" : one, Utf8ToCodePage(utf8.data(), utf8.size(), kMap)) << byte;
    }
}

TEST(CodePageText, EncodingOfAFile) {
    // A mark of UTF-8, UTF-8 without one and the code page: the sample exports (ContactFiles).
    struct Case { std::string bytes; TextEncoding encoding; size_t start; } const cases[] = {
        {"\xFF\xFEN\0", TextEncoding::Utf16LittleEndian, 2},
        {std::string("\xFE\xFF\0N", 4), TextEncoding::Utf16BigEndian, 2},
        {"", TextEncoding::Utf8, 0},
    };
    for (const Case& c : cases) {
        size_t start = 99;
        EXPECT_EQ(c.encoding, DetectTextEncoding(c.bytes.data(), c.bytes.size(), &start)) << c.bytes;
        EXPECT_EQ(c.start, start) << c.bytes;
    }
    struct Wide { std::string bytes; bool big; std::string utf8; } const wides[] = {
        {std::string("A\0\xFC\0", 4), false, "A\xC3\xBC"},
        {std::string("\0A\0\xFC", 4), true, "A\xC3\xBC"},
        {std::string("\x3D\xD8\x77\xDC", 4), false, "\xF0\x9F\x91\xB7"},  // a surrogate pair
        {std::string("\x3D\xD8" "A\0", 4), false, "\xEF\xBF\xBD" "A"},    // a lone one
        {std::string("A\0B", 3), false, "A"},                             // an odd byte at the end
    };
    for (const Wide& c : wides) EXPECT_EQ(c.utf8, Utf16ToUtf8(c.bytes.data(), c.bytes.size(), c.big));
}

TEST(ContactCsv, Records) {
    struct Case { std::string text; std::vector<Texts> records; } const cases[] = {
        {"\"Smith, John\",\"say \"\"hi\"\"\"\n", {{"Smith, John", "say \"hi\""}}},
        {"\"two\r\nlines\",x\ry", {{"two\r\nlines", "x"}, {"y"}}},  // a CR alone ends a record too
        {",,\n", {{"", "", ""}}},
        {"a,\"never closed\nb,c", {{"a", "never closed\nb,c"}}},
        {"\"quoted\"tail,x", {{"quotedtail", "x"}}},                 // text after a closing quote stays
        {"mid\"quote,x", {{"mid\"quote", "x"}}},
        {"\n\nx", {{""}, {""}, {"x"}}},
    };
    for (const Case& c : cases) {
        CsvCursor cursor{c.text.data(), c.text.size(), 0, ','};
        std::vector<Texts> records;
        Texts fields;
        while (NextCsvRecord(&cursor, &fields)) records.push_back(fields);
        EXPECT_EQ(c.records, records) << c.text;
    }
    struct Separator { const char* header; char separator; } const separators[] = {
        {"Name\tPhone", '\t'}, {"Name", ','},  // a comma and a semicolon: the sample exports
        {"\"a;b;c\",Phone", ','},                      // inside quotes they do not count
        {"\r\nName;Phone\r\nx,y,z,w", ';'},            // only the header row counts
    };
    for (const Separator& c : separators) {
        EXPECT_EQ(c.separator, GuessCsvSeparator(c.header, strlen(c.header))) << c.header;
    }
}

TEST(ContactCsv, Columns) {
    // Only headers that the sample files below would not show read wrongly.
    struct Case { const char* header; CsvColumn column; } const cases[] = {
        {"Display Name", CsvColumn::FullName},   {"Given Name", CsvColumn::FirstName},
        {"Additional Name", CsvColumn::MiddleName}, {"Family Name", CsvColumn::LastName},
        {"Fax Number", CsvColumn::Phone},        {"Company Main Phone", CsvColumn::Phone},
        {"TTY/TDD Phone", CsvColumn::Phone},     {"HomePhone", CsvColumn::Phone},
        {" WORK PHONE ", CsvColumn::Phone},
        {"Phone 1 - Label", CsvColumn::Other},   {"Phone 1 - Type", CsvColumn::Other},
        {"Phonetic First Name", CsvColumn::Other}, {"Given Name Yomi", CsvColumn::Other},
        {"E-mail Address", CsvColumn::Other},    {"Nickname", CsvColumn::Other},
        {"Name Prefix", CsvColumn::Other},       {"Telex", CsvColumn::Other},
    };
    for (const Case& c : cases) EXPECT_EQ(c.column, ClassifyCsvColumn(c.header)) << c.header;
}

// Each sample file in a layout of a common export, with what the phone book gets from it (names
// in Windows-1252).
TEST(ContactFiles, CommonExports) {
    struct Case { const char* file; Texts rows; size_t refused; } const cases[] = {
        {"outlook.csv",  // the code page's own bytes; a company with a comma; notes over two lines
         {"Anna M. M\xFCller/12125550101, 2125550102, 9175550103", "Acme Plumbing/5550198, 5550199"}, 2},
        {"google.csv",  // UTF-8 without a mark; " ::: " between numbers; characters the code page lacks
         {"Zo\xEB Saldana/14155550111, 14155550112, 4155550113", "? ?/861055550114", "Bob Builder ?/5550115"}, 0},
        {"google_old.csv",  // UTF-16; a company in place of a name
         {"Fran\xE7ois Dupont/5550121, 5550122", "Dupont SARL/5550123"}, 0},
        {"thunderbird.csv",  // UTF-8 with a mark; a display name before first and last
         {"Karl J\xF8rgensen/0305550131, 01705550132"}, 1},
        {"semicolon.csv", {"Meier; Hans/02115550141, 01715550142"}, 0},
        {"phone30.vcf",  // grouped and typed TELs, escapes, a folded name, a picture, a company only
         {"Johnny Appleseed/14085550151, 4085550152, 4085550153", "Pizza Express/5550154",
          "Hans-J\xFCrgen M\xFCller-L\xFC" "denscheidt von und zu Gro\xDF" "enkneten/0049305550155"},
         0},
        {"phone21.vcf",  // quoted-printable over two lines, N without FN, an agent's card, Latin-1
         {"Ay?e \xD6zt\xFCrk \x96 Ankara Ofisi \xE7" "al??ma/905550161, 03125550162", "Jane Smith/5550163, 5550164",
          "Ana\xEFs Ren\xE9/5550165"},
         1},
        {"phone40.vcf",  // tel: addresses with an extension; a file cut short inside its last card
         {"Dr. Jane Q. Public/15555550171, 15555550172", "??? ???????" "/74955550173", "Cut Short/5550174"}, 0},
    };
    for (const Case& c : cases) {
        ContactFile file = Read(ReadSample(c.file));
        EXPECT_TRUE(file.recognised) << c.file;
        EXPECT_EQ(c.rows, Rows(file.contacts)) << c.file;
        EXPECT_EQ(c.refused, file.refused) << c.file;
    }
}

// A file that names no caller is refused, and says what it has instead.
TEST(ContactFiles, NoNameOrPhoneColumn) {
    struct Case { std::string text; std::string columns; } const cases[] = {
        {ReadSample("no_phone.csv"), "Email, Birthday, Notes"},
        {"Name,Email\r\nBob,bob@example.com\r\n", "Name, Email"},
        {"Mobile, Phone 1 - Label\r\n555-0100,Home\r\n", "Mobile, Phone 1 - Label"},
        {"\xEF\xBB\xBF\"Vorname\xC3\xA4\";Notiz\r\n", "Vorname\xE4, Notiz"},
        {"", ""},
        {"\r\n\r\n", ""},
    };
    for (const Case& c : cases) {
        ContactFile file = Read(c.text);
        EXPECT_FALSE(file.recognised) << c.text;
        EXPECT_TRUE(file.contacts.empty()) << c.text;
        EXPECT_EQ(c.columns, file.columns) << c.text;
    }
}

TEST(ContactRecord, NumbersAndNames) {
    struct Case { std::string field; Texts numbers; } const cases[] = {
        {"+1 (212) 555-0101", {"12125550101"}},
        {"555-0101 ext. 12", {"5550101"}},
        {"555-0101x12; 555-0102", {"5550101", "5550102"}},
        {"030 / 555 01 31", {"0305550131"}},
        {"555-0101 ::: 555-0102 ::: 555-0101", {"5550101", "5550102"}},  // each number once
        {"tel. 555-0101", {"5550101"}},                                  // letters before the digits
        {"none", {}},
        {"1,2\n3|4", {"1", "2", "3", "4"}},
        {std::string(255, '7') + ";" + std::string(256, '8'), {std::string(255, '7')}},
    };
    for (const Case& c : cases) {
        Texts numbers;
        AddPhoneNumbers(c.field, &numbers);
        EXPECT_EQ(c.numbers, numbers) << c.field;
    }
    std::string longName(300, 'n');
    struct Contact { std::string name; Texts numbers; std::string row; } const contacts[] = {
        {"  Two\t blanks\x01here\r\n ", {"5550101"}, "Two blanks here/5550101"},
        {longName, {"5550101"}, std::string(255, 'n') + "/5550101"},
        {std::string(254, 'n') + " x", {"5550101"}, std::string(254, 'n') + "/5550101"},  // no blank left at the end
        {"Many", Texts(40, "5550101"), "Many/5550101" + [] {  // only whole numbers: 28 of them fit
             std::string more;
             for (int i = 1; i < 28; ++i) more += ", 5550101";
             return more;
         }()},
    };
    for (const Contact& c : contacts) {
        ContactFile file;
        AddReadContact(&file, c.name, c.numbers);
        EXPECT_EQ(Texts{c.row}, Rows(file.contacts)) << c.name;
    }
    ContactFile refused;
    AddReadContact(&refused, " \t", {"5550101"});
    AddReadContact(&refused, "Nobody", {});
    EXPECT_EQ(2u, refused.refused);
    EXPECT_TRUE(refused.contacts.empty());
}

PhoneBookModel Book(const Texts& rows) {
    PhoneBookModel model;
    for (const std::string& row : rows) {
        size_t slash = row.find('/');
        AddPhoneBookContact(&model, row.substr(0, slash).c_str(), row.substr(slash + 1).c_str());
    }
    return model;
}

ContactFile FileOf(const Texts& rows, size_t refused) {
    ContactFile file;
    file.contacts = Book(rows).contacts;
    file.refused = refused;
    file.recognised = true;
    return file;
}

TEST(ContactMerge, EqualContactsAreSkippedAndUndoTakesTheImportBack) {
    PhoneBookModel model = Book({"Ann/5550101", "Bob/5550102"});
    ImportUndo undo;
    ImportCounts counts = MergeContacts(
        &model, FileOf({"Ann/5550101", "Ann/5550101, 5550109", "ann/5550101", "Cid/5550103", "Cid/5550103"}, 4), &undo);
    EXPECT_EQ(3u, counts.added);    // the same name with other numbers, or in another case, is another contact
    EXPECT_EQ(2u, counts.skipped);  // one already there, one twice in the file
    EXPECT_EQ(4u, counts.refused);
    EXPECT_EQ((Texts{"Ann/5550101", "Bob/5550102", "Ann/5550101, 5550109", "ann/5550101", "Cid/5550103"}),
              Rows(model.contacts));

    // Sorted meanwhile, one imported contact changed by the user: the rest of the import goes.
    SortPhoneBook(&model, kPhoneBookNameColumn);
    size_t cid = 0;
    while (model.contacts[cid].name != "Cid") ++cid;
    SetPhoneBookNumbers(&model, cid, "5550104");
    EXPECT_EQ(2u, UndoImport(&model, &undo));
    EXPECT_EQ((Texts{"Ann/5550101", "Bob/5550102", "Cid/5550104"}), Rows(model.contacts));
    EXPECT_TRUE(undo.added.empty());
    EXPECT_EQ(0u, UndoImport(&model, &undo));  // once only

    // A book that held the contact twice before the import keeps both.
    PhoneBookModel twice = Book({"Dup/5550105", "Dup/5550105"});
    MergeContacts(&twice, FileOf({"Dup/5550105", "New/5550106"}, 0), &undo);
    EXPECT_EQ(1u, UndoImport(&twice, &undo));
    EXPECT_EQ((Texts{"Dup/5550105", "Dup/5550105"}), Rows(twice.contacts));
}

// What the writers write, the readers read back as the same contacts.
TEST(ContactExport, WrittenFilesReadBackTheSame) {
    PhoneBookModel model = Book({
        "Smith, John \"Jack\"/5550101, 2125550102",
        "M\xFCller; B\xE4" "ckerei \x80 \\ Co./5550103",
        std::string(120, 'L') + " \xE9" + std::string(40, 'e') + "/5550104",  // folded inside a character
        "Colon: in name/5550105",
        "BEGIN:VCARD/5550106",
    });
    PhoneBookModel withBlank = model;
    AddPhoneBookContact(&withBlank, "No numbers", "");  // the phone book does not keep such a one
    for (bool vCard : {false, true}) {
        std::string text = vCard ? ContactsToVCard(withBlank, kMap) : ContactsToCsv(withBlank, kMap);
        ContactFile file = Read(text);
        EXPECT_EQ(vCard, file.vCard);
        EXPECT_EQ(Rows(model.contacts), Rows(file.contacts)) << text;
        EXPECT_EQ(0u, file.refused);
        if (!vCard) continue;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 76u) << line;  // 75 and the CR
    }
    EXPECT_EQ("\xEF\xBB\xBFName,Phone Numbers\r\n\"Ann, B\",\"5550101, 5550102\"\r\n",
              ContactsToCsv(Book({"Ann, B/5550101-5550102"}), kMap));
    EXPECT_EQ("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\\, B\r\nN:Ann\\, B;;;;\r\nTEL;TYPE=VOICE:5550101\r\n"
              "TEL;TYPE=VOICE:5550102\r\nEND:VCARD\r\n",
              ContactsToVCard(Book({"Ann, B/5550101, 5550102"}), kMap));
}

}  // namespace
