#include "hand_built_disc.h"

#include "platform/codepage.h"
#include "platform/text.h"

#include <fstream>
#include <stdexcept>

namespace regdisc::test {

namespace fs = std::filesystem;

namespace {

std::string fill(std::string_view character, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += character;
    return out;
}

std::string big5(std::string_view utf8)
{
    return encodeCp950(fromUtf8(utf8));
}

// The DetailEntries of the 57-byte detail index: ID number 0-9, account 10-20, the name key
// 21-32 (six double-byte characters), the record number 33-38, the next-pointers 39, 45, 51.
const std::vector<HandKey> kThreeKeys = {{0, 10, false, 39}, {10, 11, false, 45}, {21, 6, true, 51}};

// The two-party DetailEntry of 108 bytes: first party's ID number 0-9, account 10-20, name
// key 21-32; second party's ID number 33-42, account 43-53, name key 54-65; the record
// number 66-71; the six next-pointers from 72 on.
const std::vector<HandKey> kTwoParties = {{0, 10, false, 72},  {10, 11, false, 78}, {21, 6, true, 84},
                                          {33, 10, false, 90}, {43, 11, false, 96}, {54, 6, true, 102}};

// Characters 1 to 241 of the holder-register record, bytes 0 to 346.
std::vector<HandField> holderFields()
{
    return {
        {0, "12345678901"},  // account
        {11, "王大明一二三四五六七八九十甲乙丙丁戊己"},  // Chinese name, 19 double-byte
        {49, "B123456789"},  // ID number
        {59, "臺北市中正區重慶南路一段一二二號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申"},
        {137, "高雄市苓雅區四維三路二號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天"},
        {215, "0000001234567"},  // shares of this record
        {228, "0000009876543"},  // shares in total
        {241, "1"},  // era flag: before the ROC era
        {242, "0450312"},  // birth date
        {249, "李法定代理人甲乙丙"},  // legal representative, 9 double-byte
        {267, "20010203"},  // account opening date
        {275, "2330AB"},  // security code
        {281, "3"},  // credit code
        {282, "20230405"},  // address change date
        {290, "(02)2345-6789EXT1234"},  // telephone
        {310, "*"},  // ID number error flag
        {311, "2"},  // holder type
        {312, "1"},  // pledge flag
        {313, "220"},  // postcode
        {316, "50123456789012345"},  // giro account
        {333, "FI12345678"},  // foreign investor number
        {343, "XY"},  // not shown
        {345, "4"},  // mandate code
        {346, "X"},  // odd-lot flag
    };
}

std::vector<HandField> operator+(std::vector<HandField> a, const std::vector<HandField> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

const std::vector<HandLayout> &handLayouts()
{
    static const std::vector<HandLayout> layouts = {
        // The holder register: 7-digit numbers, 1900-byte top records, a 61-byte DetailEntry
        // (record number 33-39, next-pointers 40, 47, 54).
        {"psm", 7, 1900, 61, 494, 33, {{0, 10, false, 40}, {10, 11, false, 47}, {21, 6, true, 54}}},
        {"pla", 6, 1800, 108, 394, 66, kTwoParties},
        {"psl", 6, 1800, 57, 200, 33, kThreeKeys},
        // Two keys: ID number 0-9, name key 10-21, record number 22-27, next-pointers 28, 34.
        {"psr", 6, 1800, 40, 150, 22, {{0, 10, false, 28}, {10, 6, true, 34}}},
        {"pid", 6, 1800, 57, 349, 33, kThreeKeys},
        {"pco", 6, 1800, 57, 344, 33, kThreeKeys},
        {"pru", 6, 1800, 57, 494, 33, kThreeKeys},
        {"tru", 6, 1800, 57, 494, 33, kThreeKeys},
        {"lmk", 6, 1800, 57, 334, 33, kThreeKeys},
        {"rae", 6, 1800, 57, 241, 33, kThreeKeys},
        // All single-byte: the English name key takes 12 bytes 21-32.
        {"pel", 6, 1800, 57, 342, 33, {{0, 10, false, 39}, {10, 11, false, 45}, {21, 12, false, 51}}},
        {"drf", 6, 1800, 108, 392, 66, kTwoParties},
        {"cpm", 6, 1800, 108, 410, 66, kTwoParties},
        {"rsa", 6, 1800, 57, 100, 33, kThreeKeys},
    };
    return layouts;
}

const HandLayout &handLayout(std::string_view ext)
{
    for (const HandLayout &layout : handLayouts())
        if (layout.ext == ext)
            return layout;
    throw std::invalid_argument("no hand-built layout for " + std::string(ext));
}

std::vector<HandField> sampleFields(std::string_view ext)
{
    if (ext == "psm")
        return holderFields() + std::vector<HandField>{
                                    {347, "SUB001"},  // sub-account number
                                    {353, "TW"},  // nationality
                                    {355, "C"},  // court deposit flag
                                    {356, "D"},  // court auction balance flag
                                    {357, fill("#", 137)},
                                };
    if (ext == "pid")
        return holderFields() + std::vector<HandField>{{347, "##"}};
    if (ext == "pru" || ext == "tru")
        return holderFields() +
               std::vector<HandField>{
                   {347, "SUB001"}, {353, "TW"}, {355, "CD" + fill("#", 137)},  // not shown on these screens
               };
    if (ext == "pco")
        return {
            {0, "2330AB"},  // security code
            {6, "0"},  // registration mark
            {7, "12345678901"},  // account
            {18, "陳美玲一二三四五六七八九十甲乙丙丁戊己"},
            {56, "C234567890"},  // ID number
            {66, "#"},  // not shown
            {67, "臺中市西屯區臺灣大道三段九九號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
            {145, "臺南市東區大學路一號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天地玄"},
            {223, "0000001234567"},  // shares of this record
            {236, "0000000000100"},  // shares in total
            {249, "1"},  // era flag
            {250, "0450312"},  // birth date
            {257, "陳法定代理人丁戊己"},
            {275, "19991231"},  // account opening date
            {283, "20240229"},  // address change date
            {291, "0912-345-678 EXT9876"},  // telephone
            {311, "*"},  // ID-error mark
            {312, "03"},  // account type, two characters
            {314, "802"},  // postal code
            {317, "60123456789012345"},  // transfer account
            {334, fill("＃", 5)},  // not shown, five double-byte characters
        };
    if (ext == "lmk")
        return {
            {0, "2330AB"},
            {6, "12345678901"},
            {17, "林志豪一二三四五六七八九十甲乙丙丁戊己"},
            {55, "D345678901"},
            {65, "新竹市東區光復路二段一零一號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌"},
            {143, "嘉義市西區中山路三號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天地玄"},
            {221, "0000000123456"},  // shares held
            {234, "0"},  // era flag: not before the ROC era
            {235, "0650315"},
            {242, "林法定代理人庚辛壬"},
            {260, "20000101"},
            {268, "20101010"},
            {276, "(07)1234-5678EXT9012"},
            {296, "300"},
            {299, "70123456789012345"},
            {316, fill("#", 18)},
        };
    if (ext == "rae")
        return {
            {0, "12345678901"},
            {11, "罕用字王一二三四五六七八九十甲乙丙丁戊"},
            {49, "E456789012"},
            {59, "宜蘭縣宜蘭市中山路一段一號戶籍地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥"},
            {137, "花蓮縣花蓮市中正路二號通訊地址甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥天地"},
            {215, "罕法定代理人癸子丑"},  // legal representative
            {233, "2330AB"},  // security code
            {239, "##"},
        };
    if (ext == "pla")
        return {
            {0, "2330AB"},
            {6, "10000000001"},  // pledgor
            {17, "出質人王一二三四五六七八九十甲乙丙丁戊"},
            {55, "F123456789"},
            {65, "出質人通訊地址臺北市信義區松仁路一號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌"},
            {143, "20000000002"},  // pledgee
            {154, "質權人銀行一二三四五六七八九十甲乙丙丁"},
            {192, "G234567890"},
            {202, "質權人通訊地址臺北市中山區南京東路二號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
            {280, "0000001234567"},  // quantity delivered in pledge
            {293, "2"},  // fruits agreement code
            {294, "00000012345"},  // pledge number
            {305, "&"},  // pledge-number mark
            {306, "1"},  // pledge trust code
            {307, "30000000004"},  // trust property account
            {318, "3"},  // agreement code
            {319, fill("#", 75)},
        };
    if (ext == "drf")
        return {
            {0, "2330AB"},
            {6, "10000000001"},  // depositor
            {17, "提存人張三一二三四五六七八九十甲乙丙丁"},
            {55, "H123456789"},
            {65, "提存人通訊地址桃園市桃園區中正路三號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌"},
            {143, "20000000002"},  // court
            {154, "臺灣臺北地方法院一二三四五六七八九十甲"},
            {192, "WU12345678"},  // withholding-unit number
            {202, "法院通訊地址臺北市中正區博愛路一三一號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
            {280, "0000000654321"},  // deposited quantity
            {293, "DC00000001"},  // deposit certificate number
            {303, "代庫銀行臺灣銀行一二三四五六七八九十甲"},  // treasury bank
            {341, "BANK000001"},
            {351, "CM1234567890123456789"},  // case-money account
            {372, "5"},  // kind of court deposit
            {373, fill("#", 19)},
        };
    if (ext == "cpm")
        return {
            {0, "30000000003"},  // court-auction account
            {11, "法院拍賣專戶一二三四五六七八九十甲乙丙"},
            {49, "AG12345678"},  // executing agency's unified number
            {59, "2330AB"},  // security code
            {65, "所有人趙四一二三四五六七八九十甲乙丙丁"},  // owner
            {103, "J123456789"},
            {113, "#"},  // not shown
            {114, "00451231"},  // birth date, shown as stored
            {122, "所有人戶籍地址臺中市北區三民路三段一號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
            {200, "所有人通訊地址臺中市南區復興路二段二號甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉"},
            {278, "(04)2222-3333EXT4444"},
            {298, "40000000004"},  // owner account
            {309, "B"},  // registered-account detail category
            {310, "0000000002500"},  // balance
            {323, "一一三年度司執字第一二三四五號執行函文甲乙丙丁戊己庚辛壬癸"},  // 29 double-byte
            {381, "SZ00000000013"},  // seizure number
            {394, "2"},  // seizure item category
            {395, "NO00000000017"},  // number
            {408, "##"},
        };
    if (ext == "psl")
        return {
            {0, "12345678901"},
            {11, "K123456789"},
            {21, "長戶名第一段甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥一二三四五六七八九十天地"},  // 40
            {101, "長戶名第二段甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥一二三四五六七八九十天"},  // 39
            {179, "2330AB"},
            {185, fill("#", 15)},
        };
    if (ext == "pel") {
        std::string name = "CHEN TA-MING INTERNATIONAL HOLDINGS CO., LTD.";
        name.resize(300, ' ');
        return {{0, "12345678901"}, {11, "L123456789"}, {21, name}, {321, "2330AB"}, {327, fill("#", 15)}};
    }
    if (ext == "psr")
        return {
            {0, "2330AB"},
            {6, "M123456789"},
            {16, "Y"},  // duplicated-ID-number mark
            {17, "0000001234567"},  // quantity
            {30, "0000000765432"},  // replied quantity
            {43, "0000000000099"},  // replied deferred-tax quantity
            {56, "無實體王一二三四五六七八九十甲乙丙丁戊"},
            {94, "C"},  // detail category
            {95, "PLEDGEE001"},
            {105, "REMARK-0123456789ABC"},
            {125, "E"},  // court-auction balance mark
            {126, fill("#", 24)},
        };
    if (ext == "rsa")
        return {
            {0, "2330AB"},       {6, "12345678901"},    {17, "員工甲一二三四五六七八九十甲乙丙丁戊己"},
            {55, "N123456789"},  {65, "0000001234567"},  // quantity held
            {78, fill("#", 22)},
        };
    throw std::invalid_argument("no sample record for " + std::string(ext));
}

std::vector<std::string> sampleKeys(std::string_view ext)
{
    if (ext == "psm" || ext == "pid" || ext == "pru" || ext == "tru")
        return {"B123456789", "12345678901", "王大明一二三"};
    if (ext == "pco")
        return {"C234567890", "12345678901", "陳美玲一二三"};
    if (ext == "lmk")
        return {"D345678901", "12345678901", "林志豪一二三"};
    if (ext == "rae")
        return {"E456789012", "12345678901", "罕用字王一二"};
    if (ext == "psl")
        return {"K123456789", "12345678901", "長戶名第一段"};
    if (ext == "pel")
        return {"L123456789", "12345678901", "CHEN TA-MING"};
    if (ext == "rsa")
        return {"N123456789", "12345678901", "員工甲一二三"};
    if (ext == "psr")
        return {"M123456789", "無實體王一二"};
    if (ext == "pla")
        return {"F123456789", "10000000001", "出質人王一二", "G234567890", "20000000002", "質權人銀行一"};
    if (ext == "drf")
        return {"H123456789", "10000000001", "提存人張三一", "WU12345678", "20000000002", "臺灣臺北地方"};
    if (ext == "cpm")
        return {"AG12345678", "30000000003", "法院拍賣專戶", "J123456789", "40000000004", "所有人趙四一"};
    throw std::invalid_argument("no sample keys for " + std::string(ext));
}

std::string recordBytes(const std::vector<HandField> &fields, int length)
{
    std::string bytes;
    for (const HandField &field : fields) {
        if (static_cast<int>(bytes.size()) != field.offset)
            throw std::logic_error("the field \"" + field.value + "\" should start at byte " +
                                   std::to_string(bytes.size()) + ", not " + std::to_string(field.offset));
        bytes += big5(field.value);
    }
    if (static_cast<int>(bytes.size()) != length)
        throw std::logic_error("a record of " + std::to_string(bytes.size()) + " bytes instead of " +
                               std::to_string(length));
    return bytes;
}

namespace {

void writeBytes(const fs::path &path, const std::string &bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string digits(long long value, int width)
{
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) > width)
        throw std::logic_error("a number wider than the pointer");
    return std::string(static_cast<size_t>(width) - text.size(), '0') + text;
}

// A key in the bytes of its width: single-byte keys filled with blanks, name keys with
// ideographic spaces (A1 40).
std::string keyBytes(const std::string &utf8, int characters, bool doubleByte)
{
    std::string bytes = big5(utf8);
    const size_t size = static_cast<size_t>(characters) * (doubleByte ? 2 : 1);
    while (bytes.size() < size)
        bytes += doubleByte ? std::string("\xA1\x40") : std::string(" ");
    if (bytes.size() != size)
        throw std::logic_error("the key \"" + utf8 + "\" does not fit its width");
    return bytes;
}

// A top record or block: one entry of key and number, then 99 unused entries.
std::string indexRecord(const HandLayout &layout, const HandKey &key, const std::string &greatest,
                        long long number)
{
    // Keys of TopEntries and BlockEntries are 12 single-byte or 6 double-byte characters.
    const int characters = key.doubleByte ? 6 : 12;
    std::string record = keyBytes(greatest, characters, key.doubleByte) + digits(number, layout.pointerWidth);
    const std::string unused =
        keyBytes("", characters, key.doubleByte) + std::string(layout.pointerWidth, '0');
    for (int i = 1; i < 100; ++i)
        record += unused;
    if (static_cast<int>(record.size()) != layout.topLength)
        throw std::logic_error("a top record of " + std::to_string(record.size()) + " bytes");
    return record;
}

}  // namespace

void writeHandDataSet(const fs::path &folder, std::string_view baseName, const HandLayout &layout,
                      const std::vector<HandEntry> &entries, const std::vector<std::vector<int>> &chains)
{
    const std::string ext(layout.ext);
    const std::string base(baseName);
    const long long chainEnd = layout.pointerWidth == 7 ? 9999999 : 999999;
    const size_t kinds = layout.keys.size();
    if (chains.size() != kinds)
        throw std::logic_error("one chain per KeyKind");

    std::string data;
    for (const HandEntry &entry : entries) {
        if (static_cast<int>(entry.record.size()) != layout.dataLength)
            throw std::logic_error("a DataFile record of the wrong length");
        data += entry.record;
    }
    writeBytes(folder / "stk" / (base + "." + ext), data);

    // next[k][i]: the DetailEntry after entry i+1 in the chain of KeyKind k+1.
    std::vector<std::vector<long long>> next(kinds, std::vector<long long>(entries.size(), chainEnd));
    for (size_t k = 0; k < kinds; ++k)
        for (size_t i = 0; i + 1 < chains[k].size(); ++i)
            next[k][static_cast<size_t>(chains[k][i] - 1)] = chains[k][i + 1];

    std::string detail;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string entry(static_cast<size_t>(layout.detailLength), '\x01');
        const auto put = [&](int offset, const std::string &bytes) {
            entry.replace(offset, bytes.size(), bytes);
        };
        for (size_t k = 0; k < kinds; ++k) {
            const HandKey &key = layout.keys[k];
            put(key.offset, keyBytes(entries[i].keys.at(k), key.characters, key.doubleByte));
            put(key.nextOffset, digits(next[k][i], layout.pointerWidth));
        }
        put(layout.recordNoOffset, digits(static_cast<long long>(i) + 1, layout.pointerWidth));
        if (entry.size() != static_cast<size_t>(layout.detailLength) ||
            entry.find('\x01') != std::string::npos)
            throw std::logic_error("the DetailEntry layout of " + ext + " leaves bytes unset");
        detail += entry;
    }
    writeBytes(folder / "stkidx" / (base + "idxd." + ext), detail);

    // Top records 1..K, then the blocks K+1..2K; each entry carries its chain's greatest
    // key, the block entry names the chain's first DetailEntry.
    std::string top;
    std::string blocks;
    for (size_t k = 0; k < kinds; ++k) {
        const std::string &greatest = entries.at(static_cast<size_t>(chains[k].back() - 1)).keys.at(k);
        top += indexRecord(layout, layout.keys[k], greatest, static_cast<long long>(kinds + k + 1));
        blocks += indexRecord(layout, layout.keys[k], greatest, chains[k].front());
    }
    writeBytes(folder / "stkidx" / (base + "idxp." + ext), top + blocks);
}

void writeHandDiscInfo(const fs::path &folder, const DiscInfo &info)
{
    std::string text;
    for (const Text *value :
         {&info.baseName, &info.securityName, &info.dataDate, &info.decimalFlag, &info.productionDate})
        text += toUtf8(*value) + "\r\n";
    writeBytes(folder / "stkidx" / "security.txt", big5(text));
}

std::vector<std::string> ptrLines()
{
    return {"2330AB 證券所有人名冊 001234 筆", "合計 001234"};
}

std::vector<std::string> lnxLines()
{
    return {"股票號碼檔 000042 筆"};
}

DiscInfo handDiscInfo()
{
    return {u"T01", u"測試公司", u"113/12/06", u"N", u"113/12/09"};
}

void writeHandDisc(const fs::path &folder, const DiscInfo &info)
{
    fs::create_directories(folder / "stk");
    writeHandDiscInfo(folder, info);
    const std::string base = toUtf8(info.baseName);
    for (const auto &[ext, lines] : {std::pair{"ptr", ptrLines()}, std::pair{"lnx", lnxLines()}}) {
        std::string text;
        for (const std::string &line : lines)
            text += line + "\r\n";
        writeBytes(folder / "stk" / (base + "." + ext), big5(text));
    }
    for (const HandLayout &layout : handLayouts()) {
        HandEntry filler{std::string(static_cast<size_t>(layout.dataLength), '#'), {}};
        for (const HandKey &key : layout.keys)
            filler.keys.push_back(key.doubleByte ? "龜龜龜龜龜龜"
                                                 : std::string(static_cast<size_t>(key.characters), 'Z'));
        const HandEntry sample{recordBytes(sampleFields(layout.ext), layout.dataLength),
                               sampleKeys(layout.ext)};
        writeHandDataSet(folder, base, layout, {filler, sample},
                         std::vector<std::vector<int>>(layout.keys.size(), {2, 1}));
    }
}

}  // namespace regdisc::test
