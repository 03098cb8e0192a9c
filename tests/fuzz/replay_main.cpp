// Runs a fuzz target once over every file named on the command line, or in a
// directory named there, the way libFuzzer would run a corpus; so the seeds
// and every input that once failed are plain tests in every build.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

bool isDirectory(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!isDirectory(argv[i])) {
            inputs.push_back(argv[i]);
            continue;
        }
        // In name order, so a run is repeatable; hidden files left out.
        for (const std::string &name : tilmar_test::listDirectory(argv[i]))
            if (name[0] != '.' && !isDirectory(std::string(argv[i]) + "/" + name))
                inputs.push_back(std::string(argv[i]) + "/" + name);
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const std::string &path : inputs) {
        if (!tilmar_test::fileExists(path)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        const std::string bytes = tilmar_test::readFile(path);
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
        // A fresh heap copy of exactly the file's size (never null, as under
        // libFuzzer), so reading past its end is caught by the address sanitizer.
        std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), copy.get());
        LLVMFuzzerTestOneInput(copy.get(), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
