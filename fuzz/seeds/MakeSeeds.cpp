// usage: kestrune_fuzz_seeds OUTDIR — writes the seed corpora into OUTDIR/<target>/.

#include <cstdio>
#include <exception>

#include "Seeds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrune_fuzz_seeds OUTDIR\n");
        return 2;
    }
    try {
        std::printf("%d seeds written\n", kestrune::fuzz::WriteSeedCorpora(argv[1]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrune_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
