// szddpack: packs one file into the SZDD format of the COMPRESS tool.
//   szddpack <input> <output>
// Used by the build to make the font resource QUENYA_TT_ from the TrueType file.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <vector>

#include "tools/szddcompress.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: szddpack <input> <output>\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "szddpack: cannot open %s\n", argv[1]);
            return 1;
        }
        const std::vector<std::uint8_t> input{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        if (in.bad()) {
            std::fprintf(stderr, "szddpack: cannot read %s\n", argv[1]);
            return 1;
        }
        const std::vector<std::uint8_t> packed = szddpack::pack(input.data(), input.size());
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "szddpack: cannot write %s\n", argv[2]);
            std::remove(argv[2]);
            return 1;
        }
        std::printf("szddpack: %zu -> %zu bytes\n", input.size(), packed.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "szddpack: %s\n", e.what());
        return 1;
    }
    return 0;
}
