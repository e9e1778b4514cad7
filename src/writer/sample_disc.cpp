// The sample disc: synthetic but realistic holders (Taiwanese names and companies, ID
// numbers with valid check digits, ROC dates, addresses with full-width digits), pledges,
// court deposits and court-auction accounts linking them. Every data set's fields are
// filled by what they hold (FieldSpec::meaning), so one generator serves all fourteen.
#include "writer/sample_disc.h"

#include "datasets/catalogue.h"
#include "datasets/postal_districts.h"
#include "engine/field_values.h"
#include "engine/record_text.h"
#include "writer/disc_writer.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <fstream>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace regdisc {

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL) {}
    std::uint64_t next()
    {
        // splitmix64: the same sequence on every platform.
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, size_t N> const T &pick(const std::array<T, N> &items)
    {
        return items[static_cast<size_t>(below(static_cast<int>(N)))];
    }

private:
    std::uint64_t state_;
};

// The value in decimal digits, at least `width` of them, after what `out` holds.
void appendDigits(Text &out, std::uint64_t value, int width)
{
    constexpr int kMost = 24;  // more than any 64-bit value's digits
    char16_t buffer[kMost];
    int first = kMost;
    do {
        buffer[--first] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (kMost - first < width && first > 0)
        buffer[--first] = u'0';
    if (width > kMost)
        out.append(static_cast<size_t>(width - kMost), u'0');
    out.append(buffer + first, static_cast<size_t>(kMost - first));
}

Text digitsText(std::uint64_t value, int width)
{
    Text out;
    appendDigits(out, value, width);
    return out;
}

// A few surnames carry most holders, so name queries have many matches to step through.
constexpr std::array<std::u16string_view, 24> kSurnames{
    u"陳", u"陳", u"陳", u"林", u"林", u"林", u"黃", u"黃", u"張", u"李", u"王",   u"王",
    u"吳", u"劉", u"蔡", u"楊", u"許", u"鄭", u"謝", u"郭", u"洪", u"曾", u"歐陽", u"司馬"};
constexpr std::array<std::u16string_view, 40> kGivenChars{
    u"志", u"明", u"美", u"玲", u"俊", u"傑", u"淑", u"芬", u"建", u"宏", u"雅", u"婷", u"家", u"豪",
    u"怡", u"君", u"文", u"華", u"宗", u"翰", u"佳", u"蓉", u"冠", u"廷", u"欣", u"妤", u"承", u"恩",
    u"詩", u"涵", u"子", u"瑜", u"柏", u"宇", u"育", u"誠", u"秀", u"英", u"國", u"榮"};
// Characters that are rare in names but present in code page 950.
constexpr std::array<std::u16string_view, 8> kRareChars{u"璿", u"淼", u"焱", u"垚",
                                                        u"菫", u"珺", u"翊", u"鋐"};
constexpr std::array<std::u16string_view, 12> kCompanyStems{u"台灣", u"新光", u"富邦", u"國泰",
                                                            u"大同", u"華碩", u"聯發", u"長榮",
                                                            u"統一", u"遠東", u"中華", u"永豐"};
// Full-width Latin letters in both cases, as company names carry them.
constexpr std::array<std::u16string_view, 6> kLatinParts{u"ＡＢＣ", u"ａｂｃ", u"ＩＣ",
                                                         u"ｉｃ",   u"ＴＷ",   u"ｔｗ"};
constexpr std::array<std::u16string_view, 6> kCompanyKinds{u"科技", u"投資", u"電子",
                                                           u"實業", u"建設", u"證券"};
constexpr std::array<std::u16string_view, 2> kCompanySuffixes{u"股份有限公司", u"有限公司"};
// Roads that most towns have.
constexpr std::array<std::u16string_view, 8> kRoads{u"中山路一段", u"中正路",   u"民生路",     u"民族路二段",
                                                    u"復興路",     u"和平東路", u"光復路三段", u"建國北路"};
constexpr std::array<std::u16string_view, 6> kBanks{
    u"臺灣銀行", u"合作金庫商業銀行", u"第一商業銀行", u"華南商業銀行", u"彰化商業銀行", u"國泰世華商業銀行"};
constexpr std::array<std::u16string_view, 6> kCourts{u"臺灣臺北地方法院", u"臺灣新北地方法院",
                                                     u"臺灣士林地方法院", u"臺灣桃園地方法院",
                                                     u"臺灣臺中地方法院", u"臺灣高雄地方法院"};
constexpr std::array<std::u16string_view, 6> kEnglishSurnames{u"CHEN",  u"LIN", u"Huang",
                                                              u"CHANG", u"Lee", u"WANG"};
constexpr std::array<std::u16string_view, 6> kEnglishGiven{u"TA-MING", u"Mei-Hua",  u"CHIH-HAO",
                                                           u"Ya-Ting", u"WEN-HSIN", u"Chia-Hao"};

// The letter values of the national ID check digit.
int idLetterValue(char c)
{
    static const std::string order = "ABCDEFGHJKLMNPQRSTUVXYWZIO";
    return 10 + static_cast<int>(order.find(c));
}

// A national ID number: the letter, the digit after it (1 or 2 for citizens, 8 or 9 for
// residents from abroad), seven digits and the check digit.
void appendPersonalId(Text &out, char letter, char second, std::uint64_t serial)
{
    char digits[9];
    digits[0] = second;
    std::uint64_t rest = serial % 10000000;
    for (int i = 7; i >= 1; --i, rest /= 10)
        digits[i] = static_cast<char>('0' + rest % 10);
    const int v = idLetterValue(letter);
    int sum = v / 10 + (v % 10) * 9;
    for (int i = 0; i < 8; ++i)
        sum += (digits[i] - '0') * (8 - i);
    digits[8] = static_cast<char>('0' + (10 - sum % 10) % 10);
    out.push_back(static_cast<char16_t>(letter));
    for (char c : digits)
        out.push_back(static_cast<char16_t>(c));
}

// A and F dominate, so ID prefixes are shared by many holders.
char idLetter(Random &random)
{
    static const std::string letters = "AAAAFFFHBCDEGJKLMNPQRSTUVXYWZ";
    return letters[static_cast<size_t>(random.below(static_cast<int>(letters.size())))];
}

// An 8-digit unified business number: seven digits and the digit that makes the weighted
// digit sum a multiple of 10.
void appendBusinessNumber(Text &out, std::uint64_t serial)
{
    static const int weights[] = {1, 2, 1, 2, 1, 2, 4};
    const size_t first = out.size();
    appendDigits(out, serial % 10000000, 7);
    int sum = 0;
    for (size_t i = 0; i < 7; ++i) {
        const int p = (out[first + i] - u'0') * weights[i];
        sum += p / 10 + p % 10;
    }
    out.push_back(static_cast<char16_t>(u'0' + (10 - sum % 10) % 10));
}

// The holders of the register get ID numbers made from their number, spread over the
// range, so that no two holders share one.
std::uint64_t idSerial(std::int64_t holder)
{
    return (static_cast<std::uint64_t>(holder) * 3861979u + 1234567u) % 10000000u;
}

struct Party {
    Text name;
    Text id;
    Text account;
    Text registeredAddress;
    Text mailingAddress;
    Text birthDate;  // era flag + yyymmdd
    Text telephone;
    Text postcode;
    Text englishName;
    Text holderType;  // the holder register's 戶別 code
    Text nationality;
    Text foreignInvestorNumber;
};

// A number in full-width digits.
void appendFullWidthNumber(Text &out, int value)
{
    const size_t first = out.size();
    appendDigits(out, static_cast<std::uint64_t>(value), 1);
    for (size_t i = first; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(out[i] - u'0' + u'０');
}

// Where holders live: a county or city by its population (in ten thousands, the capital's
// holders weighted up as investors are), then one of its districts alike. The islands
// without a post office of their own (釣魚臺, 東沙, 南沙) have no holders.
class Districts {
public:
    Districts()
    {
        static constexpr std::pair<std::u16string_view, int> kWeights[] = {
            {u"臺北市", 330}, {u"基隆市", 36},  {u"新北市", 400}, {u"連江縣", 1},  {u"宜蘭縣", 45},
            {u"新竹市", 45},  {u"新竹縣", 58},  {u"桃園市", 230}, {u"苗栗縣", 54}, {u"臺中市", 285},
            {u"彰化縣", 124}, {u"南投縣", 48},  {u"嘉義市", 26},  {u"嘉義縣", 49}, {u"雲林縣", 67},
            {u"臺南市", 186}, {u"高雄市", 273}, {u"澎湖縣", 11},  {u"金門縣", 14}, {u"屏東縣", 80},
            {u"臺東縣", 21},  {u"花蓮縣", 32},
        };
        for (const auto &[county, weight] : kWeights) {
            std::vector<const PostalDistrict *> districts;
            for (const PostalDistrict &d : postalDistricts())
                if (d.county == county && d.code != u"290" && d.code != u"817" && d.code != u"819")
                    districts.push_back(&d);
            total_ += weight;
            counties_.push_back({total_, std::move(districts)});
        }
    }
    const PostalDistrict &pick(Random &random) const
    {
        const int r = random.below(total_);
        const auto county =
            std::find_if(counties_.begin(), counties_.end(), [&](const County &c) { return r < c.upTo; });
        const auto &districts = county->districts;
        return *districts[static_cast<size_t>(random.below(static_cast<int>(districts.size())))];
    }

private:
    struct County {
        int upTo;  // the cumulative weight
        std::vector<const PostalDistrict *> districts;
    };
    std::vector<County> counties_;
    int total_ = 0;
};

// Every draw of the sample is a statement of its own, so that the draws are made in the
// order written whatever the compiler: the same seed makes the same disc everywhere. Where
// the order of the draws differs from the order of the text, the text is kept in the order
// of an address (the house number is drawn first, then the road, then the district).
// Returns the district, whose postcode goes with the address.
const PostalDistrict &appendAddress(Text &a, Random &random)
{
    static const Districts districts;
    const int number = 1 + random.below(300);
    const std::u16string_view road = random.pick(kRoads);
    const PostalDistrict &district = districts.pick(random);
    a += district.county;
    a += district.district;
    a += road;
    appendFullWidthNumber(a, number);
    a += u"號";
    if (random.chance(40)) {
        appendFullWidthNumber(a, 2 + random.below(20));
        a += u"樓";
    }
    return district;
}

void appendRocDate7(Text &out, Random &random, int minYear, int maxYear)
{
    const int day = 1 + random.below(28);
    const int month = 1 + random.below(12);
    const int year = minYear + random.below(maxYear - minYear + 1);
    appendDigits(out, static_cast<std::uint64_t>(year), 3);
    appendDigits(out, static_cast<std::uint64_t>(month), 2);
    appendDigits(out, static_cast<std::uint64_t>(day), 2);
}

// The issuer of the sample discs: a company of no market, with a code no listing has (the
// exchanges' codes are digits), so that no invented holder is taken for a real company's.
struct SampleSecurity {
    std::u16string_view code;
    std::u16string_view name;
};
constexpr SampleSecurity kSampleSecurity{u"X001", u"虛構科技"};

// The count listings of a sample disc: the records of each data set (`counts`, one line
// each) and the stock numbers.
void writeListings(const std::filesystem::path &folder, const Text &baseName, const Text &securityName,
                   const Text &dataDate, std::int64_t holderRecords, const std::vector<Text> &counts)
{
    std::vector<Text> ptr{u"證券代號：" + baseName + u"  " + securityName, u"資料日期：" + dataDate,
                          u"股東名冊總筆數：" + fromAscii(std::to_string(holderRecords))};
    ptr.insert(ptr.end(), counts.begin(), counts.end());
    writeListing(folder, baseName, "ptr", ptr);
    Text code = baseName;
    code.resize(std::max<size_t>(code.size(), 10), u' ');
    writeListing(folder, baseName, "lnx",
                 {u"股票號碼檔", u"證券代號  股票張數  起號        迄號",
                  code + fromAscii(std::to_string(holderRecords)) + u"      AA00000001  AA" +
                      digitsText(static_cast<std::uint64_t>(holderRecords), 8)});
}

// The sample's data date, 113/12/06, is the day the holders' ages are told on.
constexpr int kDataYear = 113;

// A person's birth date (era flag and yyymmdd), ages as a listed company's holders have
// them: a few minors (their parents' gift), most between 30 and 70, some past 80; one in
// fifty without a date; one in two thousand born before 1912, the estate of a holder long
// dead and never settled.
void appendBirthDate(Text &out, Random &random)
{
    const int u = random.below(10000);
    if (u < 5) {
        out += u"1";  // born before the ROC era
        appendRocDate7(out, random, 1, 2);
        return;
    }
    if (u < 205) {
        out += u"        ";
        return;
    }
    static constexpr std::array<std::pair<int, int>, 8> kBands{
        {{3, 1}, {13, 20}, {30, 30}, {50, 40}, {70, 50}, {87, 60}, {96, 70}, {100, 80}}};
    const int band = random.below(100);
    int age = 0;
    for (size_t b = 0; b < kBands.size(); ++b) {
        if (band < kBands[b].first) {
            const int from = kBands[b].second;
            const int to = b + 1 < kBands.size() ? kBands[b + 1].second - 1 : 95;
            age = from + random.below(to - from + 1);
            break;
        }
    }
    out += u" ";
    appendRocDate7(out, random, kDataYear - age, kDataYear - age);
}

// Who a holder is; the holder register's 戶別 and the form of the ID number follow.
enum class HolderClass {
    Person,  // 一般戶, a national ID
    Company,  // 一般戶, a business number
    ForeignInstitution,  // 外國投資機構, a business number and a foreign investor number
    OverseasPerson,  // 僑外戶, a resident's ID from abroad (old form: two letters and eight digits)
    MainlandInvestor,  // 大陸地區投資人
    CourtAuction,  // 法院拍賣專戶
};

constexpr std::array<std::u16string_view, 10> kForeignHouses{
    u"梵加德", u"貝萊德", u"摩根大通", u"花旗", u"富達", u"道富", u"匯豐", u"瑞銀", u"高盛", u"摩根士丹利"};
constexpr std::array<std::u16string_view, 6> kForeignFunds{
    u"託管新興市場基金投資專戶", u"託管亞洲股票基金專戶", u"託管國際指數基金專戶",
    u"託管退休基金投資專戶",     u"證券國際有限公司",     u"託管主權基金投資專戶"};
constexpr std::array<std::u16string_view, 10> kForeignNationalities{u"US", u"US", u"US", u"GB", u"SG",
                                                                    u"HK", u"JP", u"LU", u"NO", u"CA"};
constexpr std::array<std::u16string_view, 8> kOverseasNationalities{u"MY", u"US", u"JP", u"HK",
                                                                    u"SG", u"CA", u"ID", u"TH"};
constexpr std::array<std::u16string_view, 5> kMainlandHouses{u"華夏", u"南方", u"易方達", u"嘉實", u"博時"};

// A holder, made into `p` (whose texts are used again). With `identity` (the holder's
// number in the register) its ID number is its own; without, one is drawn.
void makeHolder(Party &p, Random &random, std::int64_t serial, bool rare,
                HolderClass cls = HolderClass::Person, std::int64_t identity = -1)
{
    for (Text *text :
         {&p.name, &p.id, &p.account, &p.registeredAddress, &p.mailingAddress, &p.birthDate, &p.telephone,
          &p.postcode, &p.englishName, &p.holderType, &p.nationality, &p.foreignInvestorNumber})
        text->clear();
    const std::uint64_t number =
        identity >= 0 ? idSerial(identity) : static_cast<std::uint64_t>(random.below(10000000));
    const bool person = cls == HolderClass::Person || cls == HolderClass::OverseasPerson;
    if (!person) {
        switch (cls) {
        case HolderClass::ForeignInstitution: {
            const std::u16string_view fund = random.pick(kForeignFunds);
            p.name += random.pick(kForeignHouses);
            p.name += fund;
            p.englishName += random.pick(kEnglishSurnames);
            p.englishName += u" INTERNATIONAL FUND";
            break;
        }
        case HolderClass::MainlandInvestor:
            p.name += random.pick(kMainlandHouses);
            p.name += u"基金管理有限公司";
            p.englishName += u"CHINA ";
            p.englishName += random.pick(kEnglishSurnames);
            p.englishName += u" FUND MANAGEMENT";
            break;
        case HolderClass::CourtAuction:
            p.name += random.pick(kCourts);
            p.name += u"拍賣專戶";
            p.englishName += u"COURT AUCTION ACCOUNT";
            break;
        default: {
            p.name += random.pick(kCompanyStems);
            if (random.chance(40))
                p.name += random.pick(kLatinParts);
            const std::u16string_view suffix = random.pick(kCompanySuffixes);
            p.name += random.pick(kCompanyKinds);
            p.name += suffix;
            p.englishName += random.pick(kEnglishSurnames);
            p.englishName += u" HOLDINGS CO., LTD.";
            break;
        }
        }
        appendBusinessNumber(p.id, number);
        p.birthDate += u" ";
        appendRocDate7(p.birthDate, random, 40, 112);
    } else {
        const std::u16string_view given = random.pick(kGivenChars);
        p.name += random.pick(kSurnames);
        p.name += given;
        p.name += rare ? random.pick(kRareChars) : random.pick(kGivenChars);
        const char letter = idLetter(random);
        if (cls == HolderClass::OverseasPerson && random.chance(30)) {
            p.id.push_back(static_cast<char16_t>(letter));
            p.id.push_back(static_cast<char16_t>(u'A' + random.below(4)));
            appendDigits(p.id, number, 8);
        } else if (cls == HolderClass::OverseasPerson) {
            appendPersonalId(p.id, letter, random.chance(50) ? '8' : '9', number);
        } else {
            appendPersonalId(p.id, letter, random.chance(50) ? '1' : '2', number);
        }
        appendBirthDate(p.birthDate, random);
        const std::u16string_view englishGiven = random.pick(kEnglishGiven);
        p.englishName += random.pick(kEnglishSurnames);
        p.englishName += u" ";
        p.englishName += englishGiven;
    }
    switch (cls) {
    case HolderClass::ForeignInstitution:
        p.holderType += u"1";
        p.nationality += random.pick(kForeignNationalities);
        p.foreignInvestorNumber += u"QF";
        appendDigits(p.foreignInvestorNumber, static_cast<std::uint64_t>(random.below(99999999)), 8);
        break;
    case HolderClass::OverseasPerson:
        p.holderType += u"2";
        p.nationality += random.pick(kOverseasNationalities);
        break;
    case HolderClass::MainlandInvestor:
        p.holderType += u"3";
        p.nationality += u"CN";
        break;
    case HolderClass::CourtAuction:
        p.holderType += u"4";
        p.nationality += u"TW";
        break;
    default:
        p.holderType += u"0";
        p.nationality += u"TW";
        break;
    }
    p.account += u"9";
    appendDigits(p.account, static_cast<std::uint64_t>(100 + random.below(900)), 3);
    appendDigits(p.account, static_cast<std::uint64_t>(serial), 7);
    // The postcode is the mailing address's.
    const PostalDistrict *district = &appendAddress(p.registeredAddress, random);
    if (random.chance(70))
        p.mailingAddress = p.registeredAddress;
    else
        district = &appendAddress(p.mailingAddress, random);
    const int line = 1000 + random.below(9000);
    const int exchange = 2000 + random.below(8000);
    const int area = 2 + random.below(8);
    p.telephone += u"0";
    appendDigits(p.telephone, static_cast<std::uint64_t>(area), 1);
    p.telephone += u"-";
    appendDigits(p.telephone, static_cast<std::uint64_t>(exchange), 4);
    p.telephone += u"-";
    appendDigits(p.telephone, static_cast<std::uint64_t>(line), 4);
    p.postcode = district->code;
}

Party holder(Random &random, std::int64_t serial, bool rare, HolderClass cls = HolderClass::Person,
             std::int64_t identity = -1)
{
    Party p;
    makeHolder(p, random, serial, rare, cls, identity);
    return p;
}

Party institution(Random &random, std::u16string_view name)
{
    Party p = holder(random, 9000000 + random.below(999999), false, HolderClass::Company);
    p.name = Text(name);
    return p;
}

// The holders of the sample register. Record i belongs to the holder whose first record is
// groupStart(i): a holder has up to four accounts, its records one after the other, each
// with its own shares and all storing their sum as the holder's total. Every holder and
// every holding is drawn from generators of its own, so any record can be made again
// without a list of holders. Holdings are heavy-tailed, as a large listed company's are:
// many odd-lot and one-lot holders, few institutions with large blocks, and a few holders
// with a fixed share of the total above 5%.
class SampleRegister {
public:
    SampleRegister(std::uint64_t seed, std::int64_t records) : seed_(seed), records_(records)
    {
        if (records_ >= 16)
            for (size_t k = 0; k < std::size(kMajors); ++k)
                majorStarts_.push_back((records_ * static_cast<std::int64_t>(k + 1) / 4) & ~std::int64_t{3});
        // The majors' blocks are their share of the total with the others' holdings.
        std::int64_t others = 0;
        for (std::int64_t i = 0; i < records_; ++i) {
            const std::int64_t start = groupStart(i);
            if (majorAt(start) < 0)
                others += drawnShares(i, classOf(start));
        }
        int majorsPerMille = 0;
        for (size_t k = 0; k < majorStarts_.size(); ++k)
            majorsPerMille += kMajors[k].perMille;
        const std::int64_t total = others * 1000 / (1000 - majorsPerMille);
        for (size_t k = 0; k < majorStarts_.size(); ++k)
            majorShares_.push_back(total * kMajors[k].perMille / 1000 / 1000 * 1000);
    }

    std::int64_t groupStart(std::int64_t i) const
    {
        while (continues(i))
            --i;
        return i;
    }
    // One past the holder's last record.
    std::int64_t groupEnd(std::int64_t start) const
    {
        std::int64_t end = start + 1;
        while (end < records_ && continues(end))
            ++end;
        return end;
    }

    // The holder of record i, made into `p`.
    void party(std::int64_t i, Party &p) const
    {
        const std::int64_t start = groupStart(i);
        Random own(seed_ ^ (0xD1B54A32D192ED03ULL * static_cast<std::uint64_t>(start + 1)));
        makeHolder(p, own, start + 1, false, classOf(start), start);
        if (const int k = majorAt(start); k >= 0)
            p.name = kMajors[static_cast<size_t>(k)].name;
        if (i != start) {
            // Another account of the same holder, with a broker of its own.
            Random account(draw(i, 3));
            p.account = u"9";
            appendDigits(p.account, static_cast<std::uint64_t>(100 + account.below(900)), 3);
            appendDigits(p.account, static_cast<std::uint64_t>(i + 1), 7);
        }
    }

    // The whole shares of record i.
    std::int64_t shares(std::int64_t i) const
    {
        const std::int64_t start = groupStart(i);
        if (const int k = majorAt(start); k >= 0)
            return majorShares_[static_cast<size_t>(k)];
        return drawnShares(i, classOf(start));
    }

    std::int64_t holderShares(std::int64_t start) const
    {
        std::int64_t sum = 0;
        for (std::int64_t i = start, end = groupEnd(start); i < end; ++i)
            sum += shares(i);
        return sum;
    }

private:
    struct Major {
        std::u16string_view name;
        HolderClass cls;
        int perMille;  // of the total
    };
    static constexpr Major kMajors[] = {
        {u"美商花旗銀行託管存託憑證專戶", HolderClass::ForeignInstitution, 142},
        {u"行政院國家發展基金管理會", HolderClass::Company, 64},
        {u"新光人壽保險股份有限公司", HolderClass::Company, 53},
    };

    std::uint64_t draw(std::int64_t i, std::uint64_t salt) const
    {
        return Random(seed_ ^ (0x9E3779B97F4A7C15ULL * static_cast<std::uint64_t>(i + 1)) ^ (salt << 56))
            .next();
    }

    int majorAt(std::int64_t start) const
    {
        for (size_t k = 0; k < majorStarts_.size(); ++k)
            if (majorStarts_[k] == start)
                return static_cast<int>(k);
        return -1;
    }

    // Whether record i is another account of the holder of record i - 1. Holders begin
    // at least every fourth record; a major holder has one account.
    bool continues(std::int64_t i) const
    {
        return i > 0 && i % 4 != 0 && majorAt(i - 1) < 0 && draw(i, 1) % 100 < 12;
    }

    HolderClass classOf(std::int64_t start) const
    {
        if (const int k = majorAt(start); k >= 0)
            return kMajors[static_cast<size_t>(k)].cls;
        const auto u = draw(start, 2) % 10000;
        return u < 8400   ? HolderClass::Person
               : u < 9400 ? HolderClass::Company
               : u < 9650 ? HolderClass::OverseasPerson
               : u < 9930 ? HolderClass::ForeignInstitution
               : u < 9970 ? HolderClass::MainlandInvestor
                          : HolderClass::CourtAuction;
    }

    // A number spread evenly over the decades from 10^low to 10^high, in whole integers.
    static std::int64_t logUniform(Random &random, int low, int high)
    {
        std::int64_t value = 1000 + random.below(9000);
        const int decade = low + random.below(high - low);
        for (int d = 3; d < decade; ++d)
            value *= 10;
        for (int d = decade; d < 3; ++d)
            value /= 10;
        return std::max<std::int64_t>(value, 1);
    }

    std::int64_t drawnShares(std::int64_t i, HolderClass cls) const
    {
        Random random(draw(i, 4));
        switch (cls) {
        case HolderClass::Company:
            return logUniform(random, 3, 6) / 1000 * 1000;
        case HolderClass::ForeignInstitution:
            return logUniform(random, 4, 7) / 1000 * 1000;
        case HolderClass::MainlandInvestor:
            return logUniform(random, 3, 6) / 1000 * 1000;
        case HolderClass::CourtAuction:
            return 1 + random.below(50000);
        default:
            break;
        }
        const int u = random.below(1000);
        if (u < 12)
            return 0;  // an account emptied
        if (u < 360)
            return 1 + random.below(999);  // odd lots
        if (u < 760) {  // one to five lots, now and then with an odd lot
            const std::int64_t lots = 1 + random.below(5);
            return 1000 * lots + (random.chance(20) ? random.below(1000) : 0);
        }
        if (u < 880)
            return 5001 + random.below(5000);
        if (u < 950)
            return 10001 + random.below(40000);
        if (u < 985)
            return 50001 + random.below(150000);
        if (u < 997)
            return 200001 + random.below(800000);
        return 1000001 + random.below(4000000);
    }

    std::uint64_t seed_;
    std::int64_t records_;
    std::vector<std::int64_t> majorStarts_;
    std::vector<std::int64_t> majorShares_;
};

// A long name for the long-name data sets: up to 79 double-byte characters. Where a data
// set shows no long name only its draws are made (the pieces' lengths are known), so that
// every data set draws the same numbers whether it shows one or not.
Text longChineseName(Random &random, const Party &p, bool needed)
{
    if (!needed) {
        size_t n = p.name.size();
        while (n < 40 + static_cast<size_t>(random.below(30))) {
            n += 2 + 6;  // 附屬, 信託財產專戶
            n += random.pick(kCompanyStems).size();
            n += random.pick(kCompanyKinds).size();
        }
        return {};
    }
    Text n = p.name;
    while (n.size() < 40 + static_cast<size_t>(random.below(30))) {
        const std::u16string_view kind = random.pick(kCompanyKinds);
        n += u"附屬";
        n += random.pick(kCompanyStems);
        n += kind;
        n += u"信託財產專戶";
    }
    return n.substr(0, 79);
}

Text longEnglishName(Random &random, const Party &p, bool needed)
{
    if (!needed) {
        size_t n = p.englishName.size();
        while (n < 60 + static_cast<size_t>(random.below(200)))
            n += 16 + random.pick(kEnglishSurnames).size() + 17;  // " AS TRUSTEE FOR ", " INVESTMENT TRUST"
        return {};
    }
    Text n = p.englishName;
    while (n.size() < 60 + static_cast<size_t>(random.below(200)))
        n += u" AS TRUSTEE FOR " + Text(random.pick(kEnglishSurnames)) + u" INVESTMENT TRUST";
    return n.substr(0, 300);
}

struct RecordParties {
    const Party *first = nullptr;  // the holder: pledgor, depositor, owner, or the one party
    const Party *pledgee = nullptr;  // a bank, now and then another holder
    const Party *court = nullptr;
    const Party *auction = nullptr;  // a court-auction account
    const Party *bank = nullptr;  // treasury bank
};

// What a field is filled with, worked out once per data set from its meaning and rule, so
// that making a record compares no names.
enum class Fill {
    Quantity,
    Date,
    PartyBirthDate,  // the era flag and the date as the party holds them
    Security,
    Name,  // the Chinese name in a double-byte field, the English one otherwise
    LongName,
    LongNamePart1,
    LongNamePart2,
    Id,
    Account,
    RegisteredAddress,
    MailingAddress,
    BirthDate,  // a leading 0 and the date
    Telephone,
    Postcode,
    LegalRepresentative,
    Nationality,
    ForeignInvestorNumber,
    HolderType,
    IdErrorMark,
    CaseNumber,
    Remark,
    Code,  // one character of codeSet, or a digit when there is none
    Digits,
};

enum class Role { First, Pledgee, Court, Auction, Bank };

struct FieldFill {
    const FieldSpec *field = nullptr;
    Role role = Role::First;
    Fill fill = Fill::Digits;
    std::string_view codeSet;
};

// The party whose value fills a field of that owner.
Role roleOf(FieldOwner owner)
{
    switch (owner) {
    case FieldOwner::TreasuryBank:
        return Role::Bank;
    case FieldOwner::Pledgee:
        return Role::Pledgee;
    case FieldOwner::Court:
        return Role::Court;
    case FieldOwner::AuctionAccount:
        return Role::Auction;
    default:
        return Role::First;
    }
}

// The characters a one-character code is chosen from, by what the legends explain.
std::string_view codeSetOf(FieldMeaning meaning)
{
    static constexpr std::pair<FieldMeaning, std::string_view> sets[] = {
        {FieldMeaning::CreditCode, "00000159ABCDXYEFGHW"},
        {FieldMeaning::MandateCode, "000012345"},
        {FieldMeaning::OddLotMark, "   PX"},
        {FieldMeaning::PledgeMark, "   1"},
        {FieldMeaning::RegistrationMark, "01"},
        {FieldMeaning::FruitsAgreementCode, "12"},
        {FieldMeaning::PledgeNumberMark, "    #&"},
        {FieldMeaning::PledgeTrustCode, "12"},
        {FieldMeaning::CapitalReductionAgreementCode, "123 "},
        {FieldMeaning::CourtDepositKind, "1234"},
        {FieldMeaning::DetailCategory, "ABCD"},
        {FieldMeaning::SeizureCategory, "1234"},
        {FieldMeaning::DuplicateIdMark, "    *"},
        {FieldMeaning::CourtAuctionBalanceMark, "   Y"},
        {FieldMeaning::CourtDepositMark, "   Y"},
    };
    for (const auto &[m, set] : sets)
        if (meaning == m)
            return set;
    return {};
}

// The fill of a text field by what it holds; Digits when its meaning names none.
Fill textFillOf(const FieldSpec &f)
{
    if (f.meaning == FieldMeaning::Name && f.part > 0)
        return f.part == 1 ? Fill::LongNamePart1 : Fill::LongNamePart2;
    static constexpr std::pair<FieldMeaning, Fill> byMeaning[] = {
        {FieldMeaning::Name, Fill::Name},
        {FieldMeaning::EnglishName, Fill::LongName},
        {FieldMeaning::Id, Fill::Id},
        {FieldMeaning::AgencyNumber, Fill::Id},
        {FieldMeaning::WithholdingUnitNumber, Fill::Id},
        {FieldMeaning::Pledgee, Fill::Id},
        {FieldMeaning::Account, Fill::Account},
        {FieldMeaning::RegisteredAddress, Fill::RegisteredAddress},
        {FieldMeaning::MailingAddress, Fill::MailingAddress},
        {FieldMeaning::BirthDate, Fill::BirthDate},
        {FieldMeaning::Telephone, Fill::Telephone},
        {FieldMeaning::Postcode, Fill::Postcode},
        {FieldMeaning::LegalRepresentative, Fill::LegalRepresentative},
        {FieldMeaning::Nationality, Fill::Nationality},
        {FieldMeaning::ForeignInvestorNumber, Fill::ForeignInvestorNumber},
        {FieldMeaning::HolderType, Fill::HolderType},
        {FieldMeaning::IdErrorMark, Fill::IdErrorMark},
        {FieldMeaning::CaseNumber, Fill::CaseNumber},
        {FieldMeaning::Remark, Fill::Remark},
    };
    for (const auto &[m, fill] : byMeaning)
        if (f.meaning == m)
            return fill;
    return Fill::Digits;
}

FieldFill planField(const FieldSpec &f)
{
    FieldFill plan{&f, roleOf(f.owner), Fill::Digits, {}};
    switch (f.rule) {
    case Rule::Quantity:
    case Rule::WholeNumber:
        plan.fill = Fill::Quantity;
        return plan;
    case Rule::Date:
        plan.fill = Fill::Date;
        return plan;
    case Rule::BirthDate:
        plan.fill = Fill::PartyBirthDate;
        return plan;
    case Rule::Security:
        plan.fill = Fill::Security;
        return plan;
    case Rule::Text:
        break;
    }
    plan.fill = textFillOf(f);
    if (plan.fill != Fill::Digits)
        return plan;
    if (f.width == 1) {
        plan.fill = Fill::Code;
        plan.codeSet = codeSetOf(f.meaning);
    } else if (f.doubleByte) {
        plan.fill = Fill::Name;
    }
    return plan;
}

// The fields of a data set with what fills them, and whether a long name is needed.
struct RecordPlan {
    explicit RecordPlan(const DataSetSpec &spec)
    {
        for (const FieldSpec &f : spec.fields) {
            fields.push_back(planField(f));
            const Fill fill = fields.back().fill;
            usesLongName |=
                fill == Fill::LongName || fill == Fill::LongNamePart1 || fill == Fill::LongNamePart2;
        }
    }
    std::vector<FieldFill> fields;
    bool usesLongName = false;
};

// The value of a field; generated values are made in `scratch`, which the view may name.
TextView fillValue(Random &random, const FieldFill &plan, const RecordParties &parties, const Text &longName,
                   Text &scratch)
{
    const Party *party = plan.role == Role::Pledgee   ? parties.pledgee
                         : plan.role == Role::Court   ? parties.court
                         : plan.role == Role::Auction ? parties.auction
                         : plan.role == Role::Bank    ? parties.bank
                                                      : parties.first;
    const FieldSpec &f = *plan.field;
    scratch.clear();
    switch (plan.fill) {
    case Fill::Quantity:
        appendDigits(scratch,
                     static_cast<std::uint64_t>(
                         random.chance(5) ? 0 : 1 + random.below(random.chance(20) ? 90000000 : 200000)),
                     13);
        return scratch;
    case Fill::Date:
        if (random.chance(10))
            scratch.assign(8, u' ');
        else {
            scratch += u"0";
            appendRocDate7(scratch, random, 80, 113);
        }
        return scratch;
    case Fill::PartyBirthDate:
        return party->birthDate;
    case Fill::Security:
        return kSampleSecurity.code;
    case Fill::Name:
        return f.doubleByte ? party->name : party->englishName;
    case Fill::LongName:
        return longName;
    case Fill::LongNamePart1:
        return TextView(longName).substr(0, 40);
    case Fill::LongNamePart2:
        return longName.size() > 40 ? TextView(longName).substr(40) : TextView();
    case Fill::Id:
        return party->id;
    case Fill::Account:
        return party->account;
    case Fill::RegisteredAddress:
        return party->registeredAddress;
    case Fill::MailingAddress:
        return party->mailingAddress;
    case Fill::BirthDate:
        if (TextView(party->birthDate).substr(1) == u"       ") {
            scratch.assign(8, u' ');
        } else {
            scratch = u"0";
            scratch += TextView(party->birthDate).substr(1);
        }
        return scratch;
    case Fill::Telephone:
        return party->telephone;
    case Fill::Postcode:
        return party->postcode;
    case Fill::LegalRepresentative:
        if (random.chance(10)) {
            const std::u16string_view last = random.pick(kGivenChars);
            const std::u16string_view middle = random.pick(kGivenChars);
            scratch += random.pick(kSurnames);
            scratch += middle;
            scratch += last;
        }
        return scratch;
    case Fill::Nationality:
        return party->nationality;
    case Fill::ForeignInvestorNumber:
        return party->foreignInvestorNumber;
    case Fill::HolderType:
        return party->holderType;
    case Fill::IdErrorMark:
        return u" ";  // the sample's ID numbers are well formed
    case Fill::CaseNumber: {
        const int caseNumber = 10000 + random.below(90000);
        appendFullWidthNumber(scratch, 100 + random.below(14));
        scratch += u"年度司執字第";
        appendFullWidthNumber(scratch, caseNumber);
        scratch += u"號";
        return scratch;
    }
    case Fill::Remark:
        if (random.chance(20))
            scratch = u"REISSUED";
        return scratch;
    case Fill::Code:
        if (plan.codeSet.empty())
            appendDigits(scratch, static_cast<std::uint64_t>(random.below(10)), 1);
        else
            scratch.push_back(static_cast<char16_t>(
                plan.codeSet[static_cast<size_t>(random.below(static_cast<int>(plan.codeSet.size())))]));
        return scratch;
    case Fill::Digits:
        break;
    }
    appendDigits(scratch, random.next() % 10000000000ULL, std::min(f.width, 10));
    return scratch;
}

// How many records each data set gets, as a share of the holder register.
// How many records each data set of the sample holds, and what sets its holders apart.
struct Population {
    std::string_view ext;
    int perMille;  // records per thousand holder-register records
    bool rareCharacterNames = false;  // names written with characters outside the usual set
    bool sameIdTwice = false;  // every second record has the ID number of the record before
};
constexpr Population kPopulations[] = {
    {.ext = "psm", .perMille = 1000}, {.ext = "pid", .perMille = 20, .sameIdTwice = true},
    {.ext = "pla", .perMille = 100},  {.ext = "psl", .perMille = 20},
    {.ext = "psr", .perMille = 100},  {.ext = "pco", .perMille = 30},
    {.ext = "pru", .perMille = 40},   {.ext = "tru", .perMille = 40},
    {.ext = "lmk", .perMille = 30},   {.ext = "rae", .perMille = 10, .rareCharacterNames = true},
    {.ext = "pel", .perMille = 20},   {.ext = "drf", .perMille = 20},
    {.ext = "cpm", .perMille = 20},   {.ext = "rsa", .perMille = 30},
};

std::int64_t populationSize(std::int64_t holderRecords, const Population &population)
{
    // holderRecords * perMille / 1000, in two steps so that no product overflows.
    const std::int64_t n =
        holderRecords / 1000 * population.perMille + holderRecords % 1000 * population.perMille / 1000;
    return std::max<std::int64_t>(1, n);
}

// A data set holds no more records than its pointers can number (the chain's end marker is
// the largest). A disc too large for one of them is refused before anything is written.
void checkPopulations(std::int64_t holderRecords)
{
    for (const Population &population : kPopulations) {
        const DataSetSpec &spec = *findDataSet(population.ext);
        const std::int64_t most = spec.lookupProfile().chainEnd() - 1;
        const std::int64_t n = populationSize(holderRecords, population);
        if (n > most)
            throw DiscWriteError(std::to_string(holderRecords) + " holder records are too many: the " +
                                 std::string(spec.ext) + " data set would hold " + std::to_string(n) +
                                 " records, and its " + std::to_string(spec.pointerWidth) +
                                 "-digit pointers number at most " + std::to_string(most));
    }
}

// Hands records to a DataSetWriter on a second thread, in batches and in order, so that
// making the records and writing them overlap; the files are the same as written on one
// thread. At most a few batches wait, so memory stays bounded.
class BackgroundWriter {
public:
    explicit BackgroundWriter(DataSetWriter &writer) : writer_(writer), thread_([this] { run(); }) {}
    BackgroundWriter(const BackgroundWriter &) = delete;
    BackgroundWriter &operator=(const BackgroundWriter &) = delete;
    ~BackgroundWriter()
    {
        if (thread_.joinable()) {
            stop();
            thread_.join();
        }
    }

    void add(Text record)
    {
        batch_.push_back(std::move(record));
        if (batch_.size() == kBatch)
            hand();
    }

    // A text written earlier, to be made into the next record without a new allocation.
    Text spareText()
    {
        if (spare_.empty())
            return {};
        Text text = std::move(spare_.back());
        spare_.pop_back();
        return text;
    }

    // Waits until every record is written; rethrows what the writer threw.
    void finish()
    {
        hand();
        stop();
        thread_.join();
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    static constexpr size_t kBatch = 2048;
    static constexpr size_t kWaiting = 4;

    void hand()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return queue_.size() < kWaiting || error_; });
        if (error_)
            std::rethrow_exception(error_);
        queue_.push_back(std::move(batch_));
        batch_.clear();
        batch_.reserve(kBatch);
        if (spare_.empty() && !written_.empty()) {
            spare_ = std::move(written_.back());
            written_.pop_back();
        }
        changed_.notify_all();
    }
    void stop()
    {
        std::lock_guard lock(mutex_);
        done_ = true;
        changed_.notify_all();
    }
    void run()
    {
        for (;;) {
            std::vector<Text> batch;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return !queue_.empty() || done_; });
                if (queue_.empty())
                    return;
                batch = std::move(queue_.front());
                queue_.pop_front();
                changed_.notify_all();
            }
            try {
                for (const Text &record : batch)
                    writer_.add(record);
                std::lock_guard lock(mutex_);
                if (written_.size() < kWaiting)
                    written_.push_back(std::move(batch));
            } catch (...) {
                std::lock_guard lock(mutex_);
                error_ = std::current_exception();
                queue_.clear();
                changed_.notify_all();
                return;
            }
        }
    }

    DataSetWriter &writer_;
    std::vector<Text> batch_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<Text>> queue_;
    std::vector<std::vector<Text>> written_;  // batches written, their texts to be used again
    std::vector<Text> spare_;  // texts to be used again (the making thread's)
    bool done_ = false;
    std::exception_ptr error_;
    std::thread thread_;  // last: starts when everything else is there
};

// One data set being written: its writer and the thread that hands it the records (which
// goes first, as it uses the writer).
struct DataSetWriting {
    DataSetWriting(const std::filesystem::path &folder, TextView baseName, const DataSetSpec &spec)
        : writer(folder, baseName, spec), background(writer)
    {
    }
    DataSetWriter writer;
    BackgroundWriter background;
};

// ---------------------------------------------------------------------------------------
// The next book closure of a disc: the same security and baseName, the holder register
// of the disc before with most holdings as they were, some bought and sold, some holders
// gone, new ones come, a few block trades across 5%; pledges, court deposits and court
// auctions partly released and partly made anew; every other register as it was.

std::uint64_t hashText(TextView text, std::uint64_t seed)
{
    std::uint64_t h = 0xCBF29CE484222325ULL ^ seed;
    for (char16_t c : text) {
        h ^= c;
        h *= 0x100000001B3ULL;
    }
    return Random(h).next();
}

// Every record of a file of `length`-byte records, in order, as text of `characters`.
template <typename Visit>
std::int64_t readRecords(const std::filesystem::path &path, int length, int characters, Visit visit)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw DiscWriteError("cannot read " + path.string());
    constexpr size_t kPerRead = 2048;
    std::string block(kPerRead * static_cast<size_t>(length), '\0');
    std::int64_t n = 0;
    for (;;) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto got = static_cast<size_t>(in.gcount());
        for (size_t at = 0; at + static_cast<size_t>(length) <= got; at += static_cast<size_t>(length))
            visit(n++,
                  recordText(std::string_view(block).substr(at, static_cast<size_t>(length)), characters));
        if (got < block.size())
            break;
    }
    return n;
}

// A yyy/mm/dd date `months` later (the day kept where the month has it, else its last).
Text laterDate(TextView date, int months)
{
    const auto number = [&](size_t from, size_t width) {
        int v = 0;
        for (size_t i = from; i < from + width; ++i) {
            if (i >= date.size() || date[i] < u'0' || date[i] > u'9')
                return -1;
            v = v * 10 + (date[i] - u'0');
        }
        return v;
    };
    int year = number(0, 3), month = number(4, 2), day = number(7, 2);
    if (date.size() != 9 || date[3] != u'/' || date[6] != u'/' || year < 0 || month < 1 || month > 12 ||
        day < 1)
        return Text(date);
    month += months;
    year += (month - 1) / 12;
    month = (month - 1) % 12 + 1;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    day = std::min(day, days[month - 1]);
    Text out;
    appendDigits(out, static_cast<std::uint64_t>(year), 3);
    out += u"/";
    appendDigits(out, static_cast<std::uint64_t>(month), 2);
    out += u"/";
    appendDigits(out, static_cast<std::uint64_t>(day), 2);
    return out;
}

// A holder's party taken back from its holder-register record, to pledge or deposit anew.
Party partyOfRecord(TextView record)
{
    const DataSetSpec &psm = psmDataSet();
    Party p;
    p.name = Text(trimEnd(textOf(fieldOf(psm.fields, FieldMeaning::Name), record)));
    p.id = Text(trimEnd(textOf(fieldOf(psm.fields, FieldMeaning::Id), record)));
    p.account = Text(trimEnd(textOf(fieldOf(psm.fields, FieldMeaning::Account), record)));
    p.registeredAddress = Text(trimEnd(textOf(fieldOf(psm.fields, FieldMeaning::RegisteredAddress), record)));
    p.mailingAddress = Text(trimEnd(textOf(fieldOf(psm.fields, FieldMeaning::MailingAddress), record)));
    p.birthDate = Text(textOf(fieldOf(psm.fields, FieldMeaning::BirthDate), record));
    p.telephone = Text(trimEnd(textOf(fieldOf(psm.fields, FieldMeaning::Telephone), record)));
    p.postcode = Text(textOf(fieldOf(psm.fields, FieldMeaning::Postcode), record));
    p.holderType = Text(textOf(fieldOf(psm.fields, FieldMeaning::HolderType), record));
    p.nationality = Text(textOf(fieldOf(psm.fields, FieldMeaning::Nationality), record));
    p.foreignInvestorNumber =
        Text(trimEnd(textOf(fieldOf(psm.fields, FieldMeaning::ForeignInvestorNumber), record)));
    p.englishName = u"HOLDER " + p.account;
    return p;
}

// What happens to one holder of the disc before.
enum class Fate : std::uint8_t { Stays, Leaves, Sells, Buys, SellsDown, SellsBlock };

struct HolderPlan {
    std::int64_t before = 0;  // the holder's shares (stored units)
    std::int64_t after = 0;
    Fate fate = Fate::Stays;
};

class LaterDisc {
public:
    LaterDisc(const std::filesystem::path &folder, const SampleOptions &options)
        : folder_(folder), options_(options)
    {
        if (!readDiscInfoFile(options.after / "stkidx" / "security.txt", before_))
            throw DiscWriteError("cannot read the disc information " +
                                 (options.after / "stkidx" / "security.txt").string());
        std::error_code error;
        if (std::filesystem::exists(folder, error) &&
            std::filesystem::equivalent(folder, options.after, error))
            throw DiscWriteError("the later disc cannot be written over the disc it follows: " +
                                 folder.string());
        info_ = before_;
        info_.dataDate = laterDate(before_.dataDate, 6);
        info_.productionDate = laterDate(before_.productionDate, 6);
        unit_ = before_.decimalFlag == u"Y" ? 100 : 1;
    }

    void write()
    {
        const DataSetSpec &psm = psmDataSet();
        if (!std::filesystem::is_regular_file(oldFile(psm, "data")))
            throw DiscWriteError("the disc " + options_.after.string() + " has no holder register");
        writeDiscInfo(folder_, info_);
        plan();
        std::vector<Text> counts;
        for (const Population &population : kPopulations) {
            const DataSetSpec &spec = *findDataSet(population.ext);
            std::int64_t n = 0;
            if (&spec == &psm)
                n = writeHolders();
            else if (spec.keyKinds.size() == 6)
                n = writeTwoParty(spec);
            else
                n = copyDataSet(spec);
            if (n >= 0)
                counts.push_back(fromAscii(std::string(spec.ext)) + u"  " + Text(spec.title) + u"  筆數：" +
                                 fromAscii(std::to_string(n)));
        }
        writeListings(folder_, info_.baseName, info_.securityName, info_.dataDate, holderRecords_, counts);
        if (options_.pdfDataSetsWritten)
            options_.pdfDataSetsWritten();
    }

private:
    std::filesystem::path oldFile(const DataSetSpec &spec, std::string_view which) const
    {
        const Text ext = fromAscii(std::string(spec.ext));
        if (which == "data")
            return discFilePath(options_.after, "stk", before_.baseName + u"." + ext);
        return discFilePath(options_.after, "stkidx",
                            before_.baseName + (which == "top" ? u"idxp." : u"idxd.") + ext);
    }

    // A holder is known by its ID, or, without one, by its account.
    std::uint64_t holderKey(TextView record) const
    {
        const Text id = Text(trimEnd(textOf(idField_, record)));
        return id.empty() ? hashText(u"#" + Text(textOf(accountField_, record)), 0) : hashText(id, 0);
    }

    std::int64_t quantity(TextView record, const FieldSpec &f) const
    {
        std::int64_t v = 0;
        for (char16_t c : textOf(f, record))
            if (c >= u'0' && c <= u'9')
                v = v * 10 + (c - u'0');
        return v;
    }

    // A record's shares on the later disc.
    std::int64_t sharesAfter(TextView record, const HolderPlan &plan) const
    {
        const std::int64_t shares = quantity(record, sharesField_);
        const std::uint64_t draw = hashText(textOf(accountField_, record), options_.seed);
        const std::int64_t lot = 1000 * unit_;
        const auto inLots = [&](std::int64_t v) { return shares >= lot ? v / lot * lot : v; };
        switch (plan.fate) {
        case Fate::Stays:
            return shares;
        case Fate::Leaves:
            return 0;
        case Fate::Sells:
            return inLots(shares * static_cast<std::int64_t>(20 + draw % 61) / 100);
        case Fate::Buys:
            return shares + inLots(shares * static_cast<std::int64_t>(10 + draw % 191) / 100) +
                   (shares < lot ? lot : 0);
        case Fate::SellsDown:  // to 4.3% of the total
            return inLots(static_cast<std::int64_t>(static_cast<long double>(shares) * 43 * total_ / 1000 /
                                                    std::max<std::int64_t>(plan.before, 1)));
        case Fate::SellsBlock:  // a block of 5.2% of the total, at most half of it
            return shares - inLots(static_cast<std::int64_t>(static_cast<long double>(shares) * block_ /
                                                             std::max<std::int64_t>(plan.before, 1)));
        }
        return shares;
    }

    // Reads the holder register once to decide what each holder does.
    void plan()
    {
        const DataSetSpec &psm = psmDataSet();
        readRecords(oldFile(psm, "data"), psm.data.length, psm.dataN, [&](std::int64_t, const Text &record) {
            HolderPlan &p = plans_[holderKey(record)];
            p.before += quantity(record, sharesField_);
            ++oldRecords_;
        });
        // Most stay; a few leave, sell or buy.
        std::uint64_t largest = 0, smallestAbove5 = 0;
        for (auto &[key, p] : plans_) {
            total_ += std::max<std::int64_t>(p.before, 0);
            if (p.before > 0)
                ++oldHolders_;
        }
        // Holders of 1% or more trade only in the blocks below.
        for (auto &[key, p] : plans_) {
            const std::uint64_t u = Random(key ^ options_.seed).next() % 1000;
            p.fate = p.before <= 0 || p.before * 100 >= total_ ? Fate::Stays
                     : u < 30                                  ? Fate::Leaves
                     : u < 90                                  ? Fate::Sells
                     : u < 150                                 ? Fate::Buys
                                                               : Fate::Stays;
        }
        for (auto &[key, p] : plans_) {
            if (largest == 0 || p.before > plans_[largest].before)
                largest = key;
            if (p.before * 20 >= total_ && (smallestAbove5 == 0 || p.before < plans_[smallestAbove5].before))
                smallestAbove5 = key;
        }
        // Two block trades across 5%: the largest holder sells 5.2% of the total to a new
        // holder, and the smallest holder above 5% sells down to 4.3%.
        if (largest != 0 && plans_[largest].before * 20 >= total_) {
            block_ = std::min<std::int64_t>(total_ * 52 / 1000, plans_[largest].before / 2);
            plans_[largest].fate = Fate::SellsBlock;
        }
        if (smallestAbove5 != 0 && smallestAbove5 != largest)
            plans_[smallestAbove5].fate = Fate::SellsDown;
        readRecords(oldFile(psm, "data"), psm.data.length, psm.dataN, [&](std::int64_t, const Text &record) {
            HolderPlan &p = plans_[holderKey(record)];
            p.after += sharesAfter(record, p);
        });
        // What the holders of the disc before sold and did not buy goes to the new holders,
        // so that the total stays: where the buyers would want more than was sold, the
        // largest buyers stay as they were instead.
        std::int64_t sold = 0, bought = 0;
        std::vector<HolderPlan *> buyers;
        for (auto &[key, p] : plans_) {
            if (p.fate == Fate::SellsBlock) {
                blockBought_ = p.before - p.after;
            } else if (p.after < p.before) {
                sold += p.before - p.after;
            } else if (p.after > p.before) {
                bought += p.after - p.before;
                buyers.push_back(&p);
            }
        }
        std::sort(buyers.begin(), buyers.end(), [](const HolderPlan *a, const HolderPlan *b) {
            return a->after - a->before > b->after - b->before;
        });
        for (HolderPlan *p : buyers) {
            if (bought <= sold)
                break;
            bought -= p->after - p->before;
            p->fate = Fate::Stays;
            p->after = p->before;
        }
        arriving_ = sold - bought;
    }

    std::int64_t writeHolders()
    {
        const DataSetSpec &psm = psmDataSet();
        auto writing = std::make_unique<DataSetWriting>(folder_, info_.baseName, psm);
        BackgroundWriter &background = writing->background;
        std::int64_t n = 0;
        Random reservoirDraws(options_.seed ^ 0x5EEDULL);
        readRecords(oldFile(psm, "data"), psm.data.length, psm.dataN, [&](std::int64_t, const Text &old) {
            const HolderPlan &p = plans_[holderKey(old)];
            if (p.fate == Fate::Leaves)
                return;
            Text record = old;
            record.replace(static_cast<size_t>(sharesField_.pos - 1), static_cast<size_t>(sharesField_.width),
                           digitsText(static_cast<std::uint64_t>(sharesAfter(old, p)), sharesField_.width));
            record.replace(static_cast<size_t>(totalField_.pos - 1), static_cast<size_t>(totalField_.width),
                           digitsText(static_cast<std::uint64_t>(std::max<std::int64_t>(p.after, 0)),
                                      totalField_.width));
            // Holders who stay, some of whom pledge or deposit shares anew.
            if (reservoir_.size() < kReservoir)
                reservoir_.push_back(partyOfRecord(record));
            else if (const auto r =
                         static_cast<size_t>(reservoirDraws.next() % static_cast<std::uint64_t>(n + 1));
                     r < kReservoir)
                reservoir_[r] = partyOfRecord(record);
            background.add(std::move(record));
            ++n;
        });
        // The new holders: the block's buyer, then those who bought what was sold.
        Random random(options_.seed * 0x9E3779B97F4A7C15ULL + 77);
        const std::int64_t count =
            options_.newHolders >= 0 ? options_.newHolders : std::max<std::int64_t>(1, oldHolders_ * 3 / 100);
        std::vector<std::int64_t> weights;
        std::int64_t weight = 0;
        for (std::int64_t i = 0; i < count; ++i) {
            weights.push_back(
                1 + static_cast<std::int64_t>(random.next() % 1000) *
                        static_cast<std::int64_t>(1 + random.next() % (random.chance(5) ? 1000 : 20)));
            weight += weights.back();
        }
        const RecordPlan plan(psm);
        const FieldSpec &opening = fieldOf(psm.fields, FieldMeaning::OpeningDate);
        Text opened = u"0" + info_.dataDate;
        opened.erase(std::remove(opened.begin(), opened.end(), u'/'), opened.end());
        Party party;
        Text scratch;
        const auto add = [&](std::int64_t i, HolderClass cls, std::int64_t shares) {
            const std::int64_t identity = std::max<std::int64_t>(oldRecords_, 1) + i;
            makeHolder(party, random, identity + 1, false, cls, identity);
            const RecordParties parties{&party, &banks_[0], &banks_[0], &banks_[0], &banks_[0]};
            RecordBuilder record(psm.dataN);
            for (const FieldFill &f : plan.fields)
                record.put(f.field->pos, f.field->width, fillValue(random, f, parties, {}, scratch),
                           f.field->doubleByte);
            const Text amount = digitsText(static_cast<std::uint64_t>(shares), sharesField_.width);
            record.put(sharesField_.pos, sharesField_.width, amount);
            record.put(totalField_.pos, totalField_.width, amount);
            record.put(opening.pos, opening.width, opened);  // the account opened lately
            background.add(std::move(record).take());
            ++n;
        };
        if (blockBought_ > 0)
            add(0, HolderClass::ForeignInstitution, blockBought_);
        std::int64_t left = std::max<std::int64_t>(arriving_, 0);
        for (std::int64_t i = 0; i < count; ++i) {
            const std::int64_t lot = 1000 * unit_;
            std::int64_t shares = arriving_ > 0
                                      ? static_cast<std::int64_t>(static_cast<long double>(arriving_) *
                                                                  weights[size_t(i)] / weight)
                                      : weights[size_t(i)] * unit_;
            if (shares >= lot)
                shares = shares / lot * lot;
            if (arriving_ > 0)
                shares = i + 1 == count ? left : std::min(shares, left);
            left -= shares;
            add(1 + i, random.chance(85) ? HolderClass::Person : HolderClass::Company,
                std::max<std::int64_t>(shares, 0));
        }
        background.finish();
        writing->writer.finish();
        holderRecords_ = n;
        return n;
    }

    // A register of two parties: one in ten records released, as many made anew by holders
    // who stay.
    std::int64_t writeTwoParty(const DataSetSpec &spec)
    {
        if (!std::filesystem::is_regular_file(oldFile(spec, "data")))
            return -1;
        auto writing = std::make_unique<DataSetWriting>(folder_, info_.baseName, spec);
        BackgroundWriter &background = writing->background;
        std::int64_t n = 0, released = 0;
        readRecords(
            oldFile(spec, "data"), spec.data.length, spec.dataN, [&](std::int64_t i, const Text &record) {
                if (Random(options_.seed ^ (0xA5A5ULL * static_cast<std::uint64_t>(i + 1))).next() % 10 ==
                    0) {
                    ++released;
                    return;
                }
                background.add(record);
                ++n;
            });
        Random random(options_.seed ^ hashText(fromAscii(std::string(spec.ext)), 3));
        const RecordPlan plan(spec);
        Text scratch;
        for (std::int64_t i = 0; i < released && !reservoir_.empty(); ++i) {
            const Party &first = reservoir_[static_cast<size_t>(random.next() % reservoir_.size())];
            const Party &other = reservoir_[static_cast<size_t>(random.next() % reservoir_.size())];
            const RecordParties parties{&first,
                                        random.chance(20) ? &other : &banks_[random.next() % banks_.size()],
                                        &courts_[random.next() % courts_.size()],
                                        &courts_[random.next() % courts_.size()], &banks_[0]};
            RecordBuilder record(spec.dataN);
            for (const FieldFill &f : plan.fields)
                record.put(f.field->pos, f.field->width, fillValue(random, f, parties, {}, scratch),
                           f.field->doubleByte);
            background.add(std::move(record).take());
            ++n;
        }
        background.finish();
        writing->writer.finish();
        return n;
    }

    // A register that did not change: its three files as they were.
    std::int64_t copyDataSet(const DataSetSpec &spec)
    {
        std::int64_t records = -1;
        for (const char *which : {"top", "detail", "data"}) {
            const std::filesystem::path from = oldFile(spec, which);
            if (!std::filesystem::is_regular_file(from))
                continue;
            const Text ext = fromAscii(std::string(spec.ext));
            const std::filesystem::path to =
                std::string_view(which) == "data"
                    ? discFilePath(folder_, "stk", info_.baseName + u"." + ext)
                    : discFilePath(folder_, "stkidx",
                                   info_.baseName + (std::string_view(which) == "top" ? u"idxp." : u"idxd.") +
                                       ext);
            std::filesystem::create_directories(to.parent_path());
            std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
            if (std::string_view(which) == "data")
                records = static_cast<std::int64_t>(std::filesystem::file_size(from) /
                                                    static_cast<std::uint64_t>(spec.data.length));
        }
        return records;
    }

    static constexpr size_t kReservoir = 4096;

    std::filesystem::path folder_;
    const SampleOptions &options_;
    DiscInfo before_, info_;
    std::int64_t unit_ = 1;
    const FieldSpec &accountField_ = fieldOf(psmDataSet().fields, FieldMeaning::Account);
    const FieldSpec &idField_ = fieldOf(psmDataSet().fields, FieldMeaning::Id);
    const FieldSpec &sharesField_ = fieldOf(psmDataSet().fields, FieldMeaning::Shares);
    const FieldSpec &totalField_ = fieldOf(psmDataSet().fields, FieldMeaning::TotalShares);
    std::unordered_map<std::uint64_t, HolderPlan> plans_;
    std::int64_t oldRecords_ = 0, oldHolders_ = 0, total_ = 0;
    std::int64_t block_ = 0, blockBought_ = 0, arriving_ = 0;
    std::int64_t holderRecords_ = 0;
    std::vector<Party> reservoir_;
    std::vector<Party> banks_ = [] {
        Random random(11);
        std::vector<Party> parties;
        for (std::u16string_view bank : kBanks)
            parties.push_back(institution(random, bank));
        return parties;
    }();
    std::vector<Party> courts_ = [] {
        Random random(13);
        std::vector<Party> parties;
        for (std::u16string_view court : kCourts)
            parties.push_back(institution(random, court));
        return parties;
    }();
};

}  // namespace

namespace {

// A new sample disc: the holder register of `records` records, then every other data set
// with records of its holders, banks, courts and court-auction accounts.
class NewDisc {
public:
    NewDisc(const std::filesystem::path &folder, SampleOptions &options)
        : folder_(folder), options_(options), random_(options.seed), holderCount_(options.records),
          holders_(options.seed, options.records), unit_(options.decimalFlag == u"Y" ? 100 : 1),
          mismatchesLeft_(options.mismatchedTotals)
    {
        for (std::u16string_view bank : kBanks)
            banks_.push_back(institution(random_, bank));
        for (std::u16string_view court : kCourts) {
            courts_.push_back(institution(random_, court));
            auctions_.push_back(institution(random_, Text(court.substr(2, 2)) + u"地院民事執行處"));
        }
    }

    void write()
    {
        writeDiscInfo(folder_, {baseName_, Text(kSampleSecurity.name), u"113/12/06", options_.decimalFlag,
                                u"113/12/09"});
        std::vector<Text> counts(std::size(kPopulations));
        for (const Population *next : writingOrder()) {
            const DataSetSpec &spec = *findDataSet(next->ext);
            if (!spec.hasPdf && options_.pdfDataSetsWritten) {
                waitForIndexing();
                options_.pdfDataSetsWritten();
                options_.pdfDataSetsWritten = nullptr;
            }
            const std::int64_t n = writeDataSet(*next, spec);
            counts[static_cast<size_t>(next - kPopulations)] = fromAscii(std::string(spec.ext)) + u"  " +
                                                               Text(spec.title) + u"  筆數：" +
                                                               fromAscii(std::to_string(n));
        }
        waitForIndexing();
        writeListings(folder_, baseName_, Text(kSampleSecurity.name), u"113/12/06", options_.records, counts);
    }

private:
    // The data sets with a PDF copy first, so that their copies can be painted while the
    // holder registers are written; the listing keeps the catalogue's order.
    static std::vector<const Population *> writingOrder()
    {
        std::vector<const Population *> order;
        for (bool pdf : {true, false})
            for (const Population &population : kPopulations)
                if (findDataSet(population.ext)->hasPdf == pdf)
                    order.push_back(&population);
        return order;
    }

    // A data set's records; its index is built (its keys sorted, its chains and
    // TopIndexFile written) on a thread of its own while the next data set's records are
    // made; one at a time, so memory stays bounded. Returns the number of records.
    std::int64_t writeDataSet(const Population &population, const DataSetSpec &spec)
    {
        const std::int64_t n = populationSize(options_.records, population);
        auto writing = std::make_unique<DataSetWriting>(folder_, baseName_, spec);
        BackgroundWriter &background = writing->background;
        const RecordPlan plan(spec);
        const bool holderRegister = &spec == &psm_;
        // A register of English names gets long English names; every other one Chinese.
        const bool englishLongName =
            std::any_of(spec.fields.begin(), spec.fields.end(),
                        [](const FieldSpec &f) { return f.meaning == FieldMeaning::EnglishName; });
        Text scratch;  // a field value being made
        Party first, pledgee;  // the record's holder and pledgee, their texts used again
        Text previous;  // the record before
        for (std::int64_t i = 0; i < n; ++i) {
            chooseHolder(population, spec, i, previous, holderRegister, first);
            const bool holderPledgee = random_.chance(20);
            if (holderPledgee)
                anyHolder(pledgee);
            const RecordParties parties{&first, holderPledgee ? &pledgee : &any(banks_), &any(courts_),
                                        &any(auctions_), &banks_[0]};
            const Text longName = englishLongName ? longEnglishName(random_, first, plan.usesLongName)
                                                  : longChineseName(random_, first, plan.usesLongName);
            RecordBuilder record(spec.dataN, background.spareText());
            for (const FieldFill &f : plan.fields)
                record.put(f.field->pos, f.field->width, fillValue(random_, f, parties, longName, scratch),
                           f.field->doubleByte);
            if (holderRegister)
                putHolderQuantities(i, record);
            // Only the same-ID register's next record looks back at this one.
            Text text = std::move(record).take();
            if (population.sameIdTwice)
                previous = text;
            background.add(std::move(text));
        }
        waitForIndexing();
        indexing_ = std::async(std::launch::async, [writing = std::move(writing)] {
            writing->background.finish();
            writing->writer.finish();
        });
        return n;
    }

    // The record's holder: the holder register's own in order, anyone's elsewhere.
    void chooseHolder(const Population &population, const DataSetSpec &spec, std::int64_t i,
                      const Text &previous, bool holderRegister, Party &first)
    {
        if (holderRegister)
            holders_.party(i, first);
        else
            anyHolder(first);
        if (population.rareCharacterNames)
            makeHolder(first, random_, i + 1, true);
        if (population.sameIdTwice && i % 2 == 1) {
            // The same ID as the record before, with another birth date.
            first.id = Text(textOf(fieldOf(spec.fields, FieldMeaning::Id), previous));
            first.birthDate = u" ";
            appendRocDate7(first.birthDate, random_, 20, 110);
        }
    }

    // The holder register's quantities: shares per record and the holder's total on each.
    void putHolderQuantities(std::int64_t i, RecordBuilder &record)
    {
        if (holders_.groupStart(i) == i) {
            storedTotal_ = holders_.holderShares(i) * unit_;
            // A deliberate fault where a test asks for one: a holder of several accounts
            // whose stored total is not their sum.
            if (mismatchesLeft_ > 0 && holders_.groupEnd(i) - i > 1) {
                storedTotal_ += 1000 * unit_;
                --mismatchesLeft_;
            }
        }
        record.put(sharesField_.pos, sharesField_.width,
                   digitsText(static_cast<std::uint64_t>(holders_.shares(i) * unit_), sharesField_.width));
        record.put(totalField_.pos, totalField_.width,
                   digitsText(static_cast<std::uint64_t>(storedTotal_), totalField_.width));
    }

    // Any holder can be made again when a record of another data set names it: no list of
    // holders is kept.
    void anyHolder(Party &p)
    {
        holders_.party(static_cast<std::int64_t>(random_.next() % static_cast<std::uint64_t>(holderCount_)),
                       p);
    }

    const Party &any(const std::vector<Party> &pool)
    {
        return pool[static_cast<size_t>(random_.below(static_cast<int>(pool.size())))];
    }

    void waitForIndexing()
    {
        if (indexing_.valid())
            indexing_.get();
    }

    const std::filesystem::path &folder_;
    SampleOptions &options_;
    Random random_;
    const Text baseName_{kSampleSecurity.code};
    const std::int64_t holderCount_;
    const SampleRegister holders_;
    const DataSetSpec &psm_ = psmDataSet();
    const FieldSpec &sharesField_ = fieldOf(psm_.fields, FieldMeaning::Shares);
    const FieldSpec &totalField_ = fieldOf(psm_.fields, FieldMeaning::TotalShares);
    const std::int64_t unit_;
    std::int64_t mismatchesLeft_;
    std::int64_t storedTotal_ = 0;  // of the holder being written
    std::vector<Party> banks_, courts_, auctions_;
    std::future<void> indexing_;
};

}  // namespace

void writeSampleDisc(const std::filesystem::path &folder, SampleOptions options)
{
    if (!options.after.empty()) {
        LaterDisc(folder, options).write();
        return;
    }
    checkPopulations(options.records);
    NewDisc(folder, options).write();
}

}  // namespace regdisc
