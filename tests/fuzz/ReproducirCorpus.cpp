// Runs a fuzz target's entry point over every file of the given folders, for builds without
// the fuzzing runtime: the saved corpus becomes a plain regression test.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* datos, std::size_t tamano);

int main(int argc, char** argv) {
    int archivos = 0;
    for (int a = 1; a < argc; ++a) {
        std::error_code ec;
        for (std::filesystem::recursive_directory_iterator it(argv[a], ec), fin; !ec && it != fin;
             it.increment(ec)) {
            if (!it->is_regular_file())
                continue;
            std::ifstream f(it->path(), std::ios::binary);
            std::vector<std::uint8_t> v((std::istreambuf_iterator<char>(f)),
                                        std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(v.data(), v.size());
            ++archivos;
        }
    }
    std::printf("%d inputs replayed\n", archivos);
    return archivos > 0 ? 0 : 1;
}
