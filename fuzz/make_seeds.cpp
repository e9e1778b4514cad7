// Writes the fuzz targets' seed corpus (checked in under fuzz/corpus): a small sample disc
// written by the project's disc writer, each data set packed as one lookup input, a few
// damaged variants, and the disc's text files.
//
//   make_fuzz_seeds OUTDIR
#include "datasets/catalogue.h"
#include "fuzz_input.h"
#include "platform/codepage.h"
#include "writer/disc_writer.h"
#include "writer/sample_disc.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace regdisc;
namespace fs = std::filesystem;

namespace {

std::string fileBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeSeed(const fs::path &folder, const std::string &name, const std::string &bytes)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

// The lookup target's input: data set, caption, presses, cut, input, then the three files.
std::string lookupInput(std::size_t set, std::uint8_t caption, std::uint8_t presses, std::uint8_t cut,
                        const std::string &input, const std::string &top, const std::string &detail,
                        const std::string &data)
{
    std::string out;
    out.push_back(static_cast<char>(set));
    out.push_back(static_cast<char>(caption));
    out.push_back(static_cast<char>(presses));
    out.push_back(static_cast<char>(cut));
    out.push_back(static_cast<char>(input.size()));
    out += input;
    return out + fuzz::pieceBytes(top) + fuzz::pieceBytes(detail) + fuzz::pieceBytes(data);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_seeds OUTDIR\n";
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path disc = fs::temp_directory_path() / "regdisc-fuzz-seeds";
    fs::remove_all(disc);
    writeSampleDisc(disc, {.records = 12, .seed = 7, .decimalFlag = u"Y"});
    const auto &sets = allDataSets();
    const std::string base = "X001";
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const DataSetSpec &spec = *sets[i];
        const std::string ext(spec.ext);
        const std::string top = fileBytes(disc / "stkidx" / (base + "idxp." + ext));
        const std::string detail = fileBytes(disc / "stkidx" / (base + "idxd." + ext));
        const std::string data = fileBytes(disc / "stk" / (base + "." + ext));
        // The whole first chain with 次筆, back and forth through the history.
        writeSeed(out / "lookup", ext, lookupInput(i, 0, 0x5F, 0, "", top, detail, data));
        writeSeed(out / "record_text", ext,
                  std::string(1, static_cast<char>(i)) + "Y" +
                      data.substr(0, static_cast<std::size_t>(spec.data.length)));
        if (ext != "psm")
            continue;
        // Damaged holder registers: an entry that names itself, a chain that goes back down,
        // a DataFile cut under the screen, an index pointer far past the end.
        const int entry = spec.detail.length;
        std::string selfLoop = detail;
        selfLoop.replace(static_cast<std::size_t>(2 * entry + 40), 7, "0000003");
        writeSeed(out / "lookup", "psm-self-loop", lookupInput(i, 0, 0x0F, 0, "", top, selfLoop, data));
        std::string back = detail;
        back.replace(static_cast<std::size_t>(5 * entry + 40), 7, "0000002");
        writeSeed(out / "lookup", "psm-loop-back", lookupInput(i, 0, 0x0F, 0, "", top, back, data));
        writeSeed(out / "lookup", "psm-cut-data", lookupInput(i, 1, 0xAF, 3 * 8 + 2, "", top, detail, data));
        std::string far = detail;
        far.replace(static_cast<std::size_t>(entry + 40), 7, "9999998");
        writeSeed(out / "lookup", "psm-far-pointer", lookupInput(i, 2, 0x0F, 0, "", top, far, data));
    }
    writeSeed(out / "disc_info", "sample", fileBytes(disc / "stkidx" / "security.txt"));
    writeSeed(out / "disc_info", "one-line", encodeCp950(u"X001,\"虛構科技, 普通股\",113/12/06,Y,113/12/09"));
    writeSeed(out / "disc_info", "blanks", "  X001   \r\n\r\n\"a\"b,c\r\n\tN\r\n113/12/09");
    writeSeed(out / "listing", "ptr", fileBytes(disc / "stk" / (base + ".ptr")).substr(0, 2000));
    writeSeed(out / "listing", "lnx", fileBytes(disc / "stk" / (base + ".lnx")).substr(0, 2000));
    writeSeed(out / "listing", "line-ends", "A\r\nB\rC\nD\r\n\r\n\x1b[2J\x80\xa4");
    fs::remove_all(disc);
    return 0;
}
